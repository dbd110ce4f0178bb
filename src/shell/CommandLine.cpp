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
           "  --help           print this help and exit\n"
           "  --version        print the version and exit\n"
           "  --record FILE    play as usual and record the game in a new FILE (a galaxy\n"
           "                   the game loads is kept beside it as FILE.NAME.glx)\n"
           "  --replay FILE    play a recording back at its pace (a key doubles the\n"
           "                   pace, Esc stops)\n"
           "  --verify FILE    replay a recording at once, without a terminal: status 0\n"
           "                   when every screen matches, 1 with where it went another way\n"
           "  --galaxy PATH    after --replay or --verify: the file of a galaxy the\n"
           "                   recording loaded, as it was then\n"
           "  --rerecord FILE  play a recording's keys again and write it anew, listing\n"
           "                   the screens that changed (for the game's developers)\n";
}

CommandLineAction actionOf(CommandLineAction::Kind kind, std::string text = {}, int exitStatus = 0) {
    CommandLineAction action;
    action.kind = kind;
    action.text = std::move(text);
    action.exitStatus = exitStatus;
    return action;
}

CommandLineAction refuse(std::string_view why) {
    std::string text = "starhollow: ";
    text += why;
    text += "\n";
    text += usageLine();
    text += "\n";
    return actionOf(CommandLineAction::Kind::Refuse, text, USAGE_STATUS);
}

CommandLineAction refuseArgument(std::string_view wrong) {
    return refuse("unknown argument '" + std::string(wrong) + "'");
}

std::string_view argument(int argc, const char* const* argv, int i) {
    return i < argc && argv[i] != nullptr ? std::string_view(argv[i]) : std::string_view();
}

// A recording's option: its file, then (except for --record) any number of
// "--galaxy PATH".
CommandLineAction recordingAction(CommandLineAction::Kind kind, int argc, const char* const* argv) {
    const std::string_view option = argument(argc, argv, 1);
    if (argc < 3) return refuse(std::string(option) + " needs a FILE");
    CommandLineAction action = actionOf(kind);
    action.file = argument(argc, argv, 2);
    for (int i = 3; i < argc; i += 2) {
        const bool galaxyOption = kind != CommandLineAction::Kind::Record && argument(argc, argv, i) == "--galaxy";
        if (!galaxyOption) return refuseArgument(argument(argc, argv, i));
        if (i + 1 >= argc) return refuse("--galaxy needs a PATH");
        action.galaxies.emplace_back(argument(argc, argv, i + 1));
    }
    return action;
}

}  // namespace

const char* usageLine() {
    // Lines of at most 80 columns, as the whole help.
    return "Usage: starhollow [--help | --version | --record FILE |\n"
           "                  --replay FILE [--galaxy PATH]... |\n"
           "                  --verify FILE [--galaxy PATH]... |\n"
           "                  --rerecord FILE [--galaxy PATH]...]";
}

CommandLineAction interpretArguments(int argc, const char* const* argv) {
    if (argc <= 1) return {};
    const std::string_view first = argument(argc, argv, 1);
    if (argc == 2 && first == "--help") return actionOf(CommandLineAction::Kind::Help, helpText());
    if (argc == 2 && first == "--version")
        return actionOf(CommandLineAction::Kind::Version, std::string("starhollow ") + STARHOLLOW_VERSION + "\n");
    if (first == "--record") return recordingAction(CommandLineAction::Kind::Record, argc, argv);
    if (first == "--replay") return recordingAction(CommandLineAction::Kind::Replay, argc, argv);
    if (first == "--verify") return recordingAction(CommandLineAction::Kind::Verify, argc, argv);
    if (first == "--rerecord") return recordingAction(CommandLineAction::Kind::Rerecord, argc, argv);
    // Name the first argument that is not understood; a lone known option
    // followed by more arguments is refused as a whole.
    if (first == "--help" || first == "--version") return refuseArgument(argument(argc, argv, 2));
    return refuseArgument(first);
}
