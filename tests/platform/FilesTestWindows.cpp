// Windows only: another program (a scanner, an indexer) that opens the
// game's files for a moment, and the working files hidden like dot-files.

#include <gtest/gtest.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "galaxy/GalaxyFile.h"
#include "platform/Files.h"

namespace {

constexpr DWORD NO_DELETE = FILE_SHARE_READ | FILE_SHARE_WRITE;

// The suite's own helpers clash with the system's headers: a folder of its own here.
struct WorkDir {
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("starhollow-busy-" + std::to_string(GetTickCount64()));
    WorkDir() {
        std::filesystem::create_directory(path);
        std::filesystem::current_path(path);
    }
    ~WorkDir() {
        std::filesystem::current_path(before);
        std::filesystem::remove_all(path);
    }
};

bool saveHome() {
    PendingSave save;
    save.sector = galaxy::sectorNumber(0, 0);
    return galaxy::writeSave("Busy.glx", save, true);
}

bool hidden(const char* file) { return (GetFileAttributesA(file) & FILE_ATTRIBUTE_HIDDEN) != 0; }

}  // namespace

TEST(PlatformFilesWindows, AFileBusyElsewhereIsWaitedForUpToASecond) {
    struct Case {
        const char* what;
        DWORD share;  // what the other program lets others do meanwhile
        int heldMs;
        std::function<bool()> operation;
        bool works;
        int atLeastMs, belowMs;
    };
    const Case cases[] = {
        {"a save, the galaxy open without leave to delete it", NO_DELETE, 2000, saveHome, true, 0, 500},
        {"a save, the galaxy open for nobody else", 0, 300, saveHome, true, 250, 1000},
        {"the removal of a lost galaxy", NO_DELETE, 300, [] { return platform::removeFile("Busy.glx"); }, true, 250, 1000},
        {"a removal that waits too long", NO_DELETE, 2000, [] { return platform::removeFile("Busy.glx"); }, false, 900, 1900},
        {"a new galaxy taking its name", NO_DELETE, 300,
         [] { return platform::renameWithoutReplacing("Busy.glx", "Named.glx") == platform::RenameResult::Renamed; },
         true, 250, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WorkDir dir;
        std::ofstream("Busy.glx").close();
        std::filesystem::resize_file("Busy.glx", GALAXY_FILE_SIZE);
        const HANDLE other = CreateFileW(L"Busy.glx", GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        std::thread closer([&] {
            Sleep(static_cast<DWORD>(c.heldMs));
            CloseHandle(other);
        });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(c.operation(), c.works);
        const auto took = std::chrono::steady_clock::now() - start;
        const auto tookMs = std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
        EXPECT_GE(tookMs, c.atLeastMs);
        EXPECT_LT(tookMs, c.belowMs);
        closer.join();
        EXPECT_FALSE(std::filesystem::exists(".Busy.glx.pending"));
    }
}

TEST(PlatformFilesWindows, WorkingFilesAreHiddenUntilTheyTakeAGalaxysName) {
    WorkDir dir;
    ASSERT_TRUE(platform::File(".Lyra.creating.1.glx", platform::OpenMode::Replace).isOpen());
    EXPECT_TRUE(hidden(".Lyra.creating.1.glx"));
    ASSERT_EQ(platform::renameWithoutReplacing(".Lyra.creating.1.glx", "Lyra.glx"), platform::RenameResult::Renamed);
    EXPECT_FALSE(hidden("Lyra.glx"));
}
