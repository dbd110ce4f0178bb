#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "TestSupport.h"
#include "storage/GalaxyFile.h"
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

// Another handle open without leave to delete the file, as a scanner's may
// be on Windows: a save goes through, and a removal waits until it closes.
TEST(PlatformFiles, AFileOpenElsewhereIsSavedAndWaitedForToRemove) {
    ScopedWorkDir dir;
    std::ofstream("Busy.glx").close();
    std::filesystem::resize_file("Busy.glx", GALAXY_FILE_SIZE);
    auto other = std::make_unique<platform::File>("Busy.glx", platform::OpenMode::Read);
    PendingSave home;
    home.sector = galaxy::sectorNumber(0, 0);
    EXPECT_TRUE(galaxy::writeSave("Busy.glx", home, true));
    std::thread closer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.reset();
    });
    EXPECT_TRUE(platform::removeFile("Busy.glx"));
    closer.join();
    EXPECT_FALSE(std::filesystem::exists("Busy.glx") || std::filesystem::exists(".Busy.glx.pending"));
}
