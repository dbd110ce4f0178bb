#pragma once
// Shared helpers for the headless tests.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "screen/ConLib.h"
#include "presenters/headless/HeadlessBackend.h"
#include "screen/Interrupt.h"

// A console whose screen and keyboard belong to the test.
struct HeadlessConsole {
    std::unique_ptr<HeadlessBackend> owned = std::make_unique<HeadlessBackend>();
    HeadlessBackend* screen = owned.get();
    ConLib con{std::move(owned)};
};

// Text of `length` cells of the live grid starting at (x, y).
inline std::string gridText(const ConLib& con, int x, int y, int length) {
    std::string text;
    for (int i = 0; i < length && x + i < SCREEN_WIDTH; ++i) text.push_back(con.grid().at(x + i, y).ch);
    return text;
}

// The whole file as bytes; empty when it cannot be read.
inline std::string fileContents(const std::filesystem::path& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// Runs `play` and returns the signal the game unwound with, 0 if none.
template <typename F>
int signalThatEnded(F&& play) {
    try {
        play();
    } catch (const GameInterrupted& stop) {
        return stop.signal();
    }
    return 0;
}

// The seed of a test that draws random moments: STARHOLLOW_KILL_SEED when
// set, to repeat a failure, else a new one on every run.
inline unsigned killSeed() {
    if (const char* fixed = std::getenv("STARHOLLOW_KILL_SEED")) return static_cast<unsigned>(std::atoi(fixed));
    return std::random_device{}();
}

// A new, empty folder of its own under the system's temporary folder.
inline std::filesystem::path newTemporaryFolder(const std::string& prefix) {
    std::random_device random;
    for (;;) {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
        if (std::filesystem::create_directory(folder)) return folder;
    }
}

// Runs a test inside a fresh temporary working folder (galaxy files are
// written to the working folder), and removes it afterwards.
class ScopedWorkDir {
public:
    ScopedWorkDir() {
        previous_ = std::filesystem::current_path();
        path_ = newTemporaryFolder("starhollow-test-");
        std::filesystem::current_path(path_);
    }
    ~ScopedWorkDir() {
        std::error_code error;
        std::filesystem::current_path(previous_, error);
        std::filesystem::remove_all(path_, error);
    }
    ScopedWorkDir(const ScopedWorkDir&) = delete;
    ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};
