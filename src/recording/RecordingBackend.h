#pragma once
// Records a game as it is played: sits between the console and the presenter
// that shows it, passes every call on, and writes down what came back and
// every screen shown (console/Recording.h). Lines are handed to the system
// before every wait and pause, so a game killed or stopped leaves a recording
// that replays up to its last whole event. A write that fails stops the
// recording, never the game: failure() says why once the game is over.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "screen/Backend.h"
#include "recording/Recording.h"
#include "platform/Files.h"

class RecordingBackend : public Backend {
public:
    // Creates a recording's file, before anything else is started. A name
    // that is taken is refused, never replaced: throws recording::Refused.
    static std::unique_ptr<platform::File> createFile(const std::filesystem::path& file);
    // Takes the file over.
    RecordingBackend(std::unique_ptr<Backend> inner, std::unique_ptr<platform::File> file, unsigned seed);
    ~RecordingBackend() override;
    RecordingBackend(const RecordingBackend&) = delete;
    RecordingBackend& operator=(const RecordingBackend&) = delete;

    // A galaxy the game loaded, as it was before the game touched it.
    void noteGalaxy(const std::string& name, std::uint32_t checksum, std::uint64_t size);
    // How the game ended: by this signal, or (0) by the player leaving.
    void noteEnd(int signal);
    // Stops the recording for that reason ("writing it failed"); what was
    // written before stays a recording that replays up to there.
    void stop(const std::string& why);
    // Writes what is left, waits until it is on the disk when asked, and
    // closes the file; false when the recording is not whole.
    bool finish(bool sync);
    // Why the recording stopped, in words; empty while it is whole.
    const std::string& failure() const { return failure_; }

    void present(const ScreenGrid& grid, Coord cursor, bool cursorVisible) override;
    bool waitForInput(int timeoutMs) override;
    InputEvent takeInput() override;
    std::uint64_t nowMs() override;
    void sleepMs(unsigned ms) override;
    void setTitle(const std::string& title) override;

private:
    void write(recording::Event event);
    void flush();

    std::unique_ptr<Backend> inner_;
    std::unique_ptr<platform::File> out_;
    std::string pending_;        // lines not handed to the system yet
    std::int64_t written_ = 0;   // bytes in the file
    std::string failure_;
    std::uint64_t start_ = 0;
    std::uint64_t lastTime_ = 0;
    ScreenGrid shown_;
};
