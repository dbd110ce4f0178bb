// Windows only: another program (a scanner, an indexer) holding the game's
// files for a while, and working files hidden like dot-files.

#include <gtest/gtest.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "galaxy/GalaxyFile.h"

namespace fs = std::filesystem;

namespace {

// The suite's helpers clash with the system's headers: a folder of its own.
struct WorkDir {
    fs::path before = fs::current_path(), path = fs::temp_directory_path() / std::to_string(GetTickCount64());
    WorkDir() { fs::create_directory(path); fs::current_path(path); }
    ~WorkDir() { fs::current_path(before); fs::remove_all(path); }
};

bool hidden(const char* file) { return (GetFileAttributesA(file) & FILE_ATTRIBUTE_HIDDEN) != 0; }

}  // namespace

TEST(PlatformFilesWindows, AFileBusyElsewhereIsWaitedForUpToASecond) {
    const DWORD noDelete = FILE_SHARE_READ | FILE_SHARE_WRITE;
    const auto save = [] {
        PendingSave home;
        home.sector = galaxy::sectorNumber(0, 0);
        return galaxy::writeSave("Busy.glx", home, true);
    };
    const auto remove = [] { return platform::removeFile("Busy.glx"); };
    struct Case {
        DWORD share;  // what the other program lets others do meanwhile
        int heldMs;
        bool (*operation)();
        bool works;
        int atLeastMs, belowMs;
    } const cases[] = {{noDelete, 2000, save, true, 0, 500}, {0, 300, save, true, 250, 1000},
                       {noDelete, 300, remove, true, 250, 1000}, {noDelete, 2000, remove, false, 900, 1900}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.share << " held " << c.heldMs);
        WorkDir dir;
        std::ofstream("Busy.glx").close();
        fs::resize_file("Busy.glx", GALAXY_FILE_SIZE);
        const HANDLE other = CreateFileW(L"Busy.glx", GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        std::thread closer([&] {
            Sleep(static_cast<DWORD>(c.heldMs));
            CloseHandle(other);
        });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(c.operation(), c.works);
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        EXPECT_TRUE(took.count() >= c.atLeastMs && took.count() < c.belowMs) << took.count();
        closer.join();
        EXPECT_FALSE(fs::exists(".Busy.glx.pending"));
    }
}

TEST(PlatformFilesWindows, WorkingFilesAreHiddenUntilTheyTakeAGalaxysName) {
    WorkDir dir;
    ASSERT_TRUE(platform::File(".Lyra.creating.1.glx", platform::OpenMode::Replace).isOpen());
    EXPECT_TRUE(hidden(".Lyra.creating.1.glx"));
    ASSERT_EQ(platform::renameWithoutReplacing(".Lyra.creating.1.glx", "Lyra.glx"), platform::RenameResult::Renamed);
    EXPECT_FALSE(hidden("Lyra.glx"));
}
