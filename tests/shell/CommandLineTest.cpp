#include <gtest/gtest.h>

#include <vector>

#include "shell/CommandLine.h"

TEST(CommandLine, OnlyNoArgumentHelpOrVersion) {
    using Kind = CommandLineAction::Kind;
    const struct {
        std::vector<const char*> args;
        Kind kind;
        int status;
        const char* says;
    } cases[] = {
        {{}, Kind::Play, 0, ""},
        {{"--help"}, Kind::Help, 0, "Usage: starhollow [--help | --version]\n"},
        {{"--version"}, Kind::Version, 0, "starhollow 1.1.0\n"},
        {{"--help", "--version"}, Kind::Refuse, 2, "unknown argument '--version'"},
        {{"--version", "x"}, Kind::Refuse, 2, "unknown argument 'x'"},
        {{"--HELP"}, Kind::Refuse, 2, "Usage: starhollow [--help | --version]"},
        {{""}, Kind::Refuse, 2, "unknown argument ''"},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"starhollow"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        argv.push_back(nullptr);
        const CommandLineAction action = interpretArguments(static_cast<int>(argv.size()) - 1, argv.data());
        SCOPED_TRACE(argv.size() > 2 ? argv[1] : "(none)");
        EXPECT_EQ(action.kind, c.kind);
        EXPECT_EQ(action.exitStatus, c.status);
        EXPECT_NE(action.text.find(c.says), std::string::npos) << action.text;
    }
}
