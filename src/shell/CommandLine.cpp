#include "shell/CommandLine.h"

#include <string_view>

#ifndef STARHOLLOW_VERSION
#define STARHOLLOW_VERSION "unknown"
#endif

namespace {

// The status of a command used wrongly, as the shell's own tools give it.
constexpr int USAGE_STATUS = 2;

std::string helpText() {
    return std::string(usageLine()) +
           "\n\n"
           "Starhollow is a space trading and exploration game for a text terminal of at\n"
           "least 80 x 25 characters that can position the cursor (colour recommended).\n"
           "Run it without arguments to play. Galaxies are saved in the folder you start\n"
           "it from, as NAME.glx. The keys of every screen are in the manual page,\n"
           "starhollow(6).\n"
           "\n"
           "  --help     print this help and exit\n"
           "  --version  print the version and exit\n";
}

}  // namespace

const char* usageLine() { return "Usage: starhollow [--help | --version]"; }

CommandLineAction interpretArguments(int argc, const char* const* argv) {
    if (argc <= 1) return {};
    const std::string_view first = argv[1] == nullptr ? std::string_view() : std::string_view(argv[1]);
    if (argc == 2 && first == "--help") return {CommandLineAction::Kind::Help, helpText(), 0};
    if (argc == 2 && first == "--version")
        return {CommandLineAction::Kind::Version, std::string("starhollow ") + STARHOLLOW_VERSION + "\n", 0};
    // Name the first argument that is not understood; a lone known option
    // followed by more arguments is refused as a whole.
    std::string_view wrong = first;
    if (first == "--help" || first == "--version") wrong = argv[2] == nullptr ? "" : argv[2];
    std::string text = "starhollow: unknown argument '";
    text += wrong;
    text += "'\n";
    text += usageLine();
    text += "\n";
    return {CommandLineAction::Kind::Refuse, text, USAGE_STATUS};
}
