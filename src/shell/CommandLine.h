#pragma once
// The program's arguments: none to play, --help and --version to print and
// leave without touching the terminal, and the recorded games' options;
// anything else is refused.

#include <string>
#include <vector>

struct CommandLineAction {
    enum class Kind { Play, Help, Version, Refuse, Record, Replay, Verify, Rerecord };
    Kind kind = Kind::Play;
    // What to print: the help and the version go to the standard output,
    // a refusal to the standard error.
    std::string text;
    int exitStatus = 0;
    // The recording, and the galaxy files given for its replay.
    std::string file;
    std::vector<std::string> galaxies;
};

CommandLineAction interpretArguments(int argc, const char* const* argv);

// "Usage: starhollow [--help | --version | --record FILE | ...]"
const char* usageLine();
