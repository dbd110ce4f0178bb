#pragma once
// Records a game as it is played: sits between the console and the presenter
// that shows it, passes every call on, and writes down what came back and
// every screen shown (console/Recording.h). Lines are handed to the system
// before every wait and pause, so a game killed or stopped leaves a recording
// that replays up to its last whole event.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "console/Backend.h"
#include "console/Recording.h"

class RecordingBackend : public Backend {
public:
    // Creates a recording's file, before anything else is started; throws
    // recording::Refused when it cannot be created.
    static std::FILE* createFile(const std::filesystem::path& file);
    // Takes the file over.
    RecordingBackend(std::unique_ptr<Backend> inner, std::FILE* file, unsigned seed);
    ~RecordingBackend() override;
    RecordingBackend(const RecordingBackend&) = delete;
    RecordingBackend& operator=(const RecordingBackend&) = delete;

    // A galaxy the game loaded, as it was before the game touched it.
    void noteGalaxy(const std::string& name, std::uint32_t checksum, std::uint64_t size);
    // How the game ended: by this signal, or (0) by the player leaving.
    void noteEnd(int signal);
    // False once a line could not be written (a full disk).
    bool whole() const { return whole_; }

    void present(const ScreenGrid& grid, COORD cursor, bool cursorVisible) override;
    bool waitForInput(int timeoutMs) override;
    InputEvent takeInput() override;
    std::uint64_t nowMs() override;
    void sleepMs(unsigned ms) override;
    void setTitle(const std::string& title) override;

private:
    void write(recording::Event event);
    void flush();

    std::unique_ptr<Backend> inner_;
    std::FILE* out_ = nullptr;
    bool whole_ = true;
    std::uint64_t start_ = 0;
    std::uint64_t lastTime_ = 0;
    ScreenGrid shown_;
};
