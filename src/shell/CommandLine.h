#pragma once
// The program's arguments: none to play, --help and --version to print and
// leave without touching the terminal; anything else is refused.

#include <string>

struct CommandLineAction {
    enum class Kind { Play, Help, Version, Refuse };
    Kind kind = Kind::Play;
    // What to print: the help and the version go to the standard output,
    // a refusal to the standard error.
    std::string text;
    int exitStatus = 0;
};

CommandLineAction interpretArguments(int argc, const char* const* argv);

// "Usage: starhollow [--help | --version]"
const char* usageLine();
