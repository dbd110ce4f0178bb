#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TestSupport.h"
#include "platform/Files.h"

using platform::RenameResult;
using platform::renameWithoutReplacing;

// A finished galaxy takes its name only while nothing has it: a file or a
// folder that took the name meanwhile stays as it was, and so does the
// working file, on every system.
TEST(PlatformFiles, RenameNeverReplacesWhatHasTheName) {
    ScopedWorkDir dir;
    std::ofstream("work.glx") << "new";
    std::ofstream("Taken.glx") << "old";
    std::filesystem::create_directory("Folder.glx");
    EXPECT_EQ(renameWithoutReplacing("work.glx", "Taken.glx"), RenameResult::NameTaken);
    EXPECT_EQ(renameWithoutReplacing("work.glx", "Folder.glx"), RenameResult::NameTaken);
    EXPECT_EQ(fileContents("Taken.glx"), "old");
    EXPECT_EQ(renameWithoutReplacing("work.glx", "Free.glx"), RenameResult::Renamed);
    EXPECT_EQ(fileContents("Free.glx"), "new");
    EXPECT_FALSE(std::filesystem::exists("work.glx"));
    EXPECT_EQ(renameWithoutReplacing("work.glx", "Other.glx"), RenameResult::Failed);
}
