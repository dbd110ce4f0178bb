#pragma once
// Playing a recording back. The game runs as it did, and every time it asks
// the console for something (a clock reading, a wait, a key, a pause) the
// replay answers with what the recording says came at that point, so that
// even the real-time screens go exactly as they went. A question the
// recording does not have at that point, or a screen that differs from the
// recorded one, stops the replay: it never guesses.

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "screen/Backend.h"
#include "recording/Recording.h"

// The game went another way than the recording; what() says where and how.
class ReplayDiverged : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The recording has nothing more to answer with (it was cut by a stop, a
// kill or a crash, or it was only a script of keys).
class ReplayEnded : public std::exception {
public:
    const char* what() const noexcept override { return "the recording ends here"; }
};

// The viewer stopped the replay with Esc.
class ReplayStopped : public std::exception {
public:
    const char* what() const noexcept override { return "the replay was stopped"; }
};

class ReplayBackend : public Backend {
public:
    // Without a presenter the replay runs at once, on the recorded clock
    // (checking). With one, it shows every screen there at the recorded
    // pace; a key doubles the pace, Esc stops.
    // The recording is read as the game asks for it. A stop (or the end)
    // is the recording's last event: anything after it is a divergence.
    explicit ReplayBackend(recording::Reader recording, std::unique_ptr<Backend> presenter = nullptr);

    // After the game ended by itself: throws ReplayDiverged when the
    // recording goes on with anything the game should still have asked for.
    void expectEnd();
    std::size_t eventsReplayed() const { return next_; }
    int screensChecked() const { return screens_; }
    std::uint64_t recordedTime() const { return time_; }

    void present(const ScreenGrid& grid, Coord cursor, bool cursorVisible) override;
    bool waitForInput(int timeoutMs) override;
    InputEvent takeInput() override;
    std::uint64_t nowMs() override;
    void sleepMs(unsigned ms) override;
    void setTitle(const std::string& title) override;

private:
    // The next event, which must be of that kind; `asked` says what the game wanted.
    recording::Event take(recording::Kind kind, const std::string& asked);
    // The event ahead, after the notes, or nothing where the recording ends.
    const recording::Event* peek();
    recording::Event advance();
    // Takes the stop or the end ahead, which nothing may follow.
    void takeLast();
    [[noreturn]] void diverge(const recording::Event& at, const std::string& how) const;
    // Waits in real time until the event's moment has come (with a presenter).
    void pace(const recording::Event& event);

    recording::Reader recording_;
    std::optional<recording::Event> ahead_;
    std::unique_ptr<Backend> presenter_;
    std::size_t next_ = 0;
    std::uint64_t time_ = 0;
    ScreenGrid expected_;
    int screens_ = 0;
    // The pace: real time and recorded time at the last change of speed.
    std::uint64_t anchorReal_ = 0;
    std::uint64_t anchorRecorded_ = 0;
    unsigned speed_ = 1;
};

// A recording's keys played again at their recorded times on a virtual
// clock, whatever the game asks in between: how a recording is made again
// when the game has changed. The recorded stop, if any, comes after the
// last key, at its time.
class ScriptedBackend : public Backend {
public:
    // `keys` reads the recording for its keys, as they are wanted; `summary`
    // has what comes after them.
    struct Summary {
        std::uint64_t end = 0;  // the time of the recording's last event
        int stopSignal = 0;
        std::uint64_t stopTime = 0;
    };
    ScriptedBackend(recording::Reader keys, Summary summary);
    ~ScriptedBackend() override;
    ScriptedBackend(const ScriptedBackend&) = delete;
    ScriptedBackend& operator=(const ScriptedBackend&) = delete;

    void present(const ScreenGrid&, Coord, bool) override {}
    bool waitForInput(int timeoutMs) override;
    InputEvent takeInput() override;
    std::uint64_t nowMs() override { return now_; }
    void sleepMs(unsigned ms) override;
    void setTitle(const std::string&) override {}
    // Whether the recorded stop was delivered (a stop from outside was not).
    bool stopDelivered() const { return stopped_; }

private:
    struct Timed {
        std::uint64_t time;
        InputEvent input;
    };
    // Delivers the recorded stop when it falls within `ms` from now.
    bool stopWithin(std::uint64_t ms);
    // The next key of the recording, if any is left.
    const Timed* nextKey();

    recording::Reader keys_;
    std::optional<Timed> ahead_;
    std::uint64_t now_ = 0;
    std::uint64_t end_ = 0;  // the time of the recording's last event
    int stopSignal_ = 0;
    std::uint64_t stopTime_ = 0;
    bool stopped_ = false;
};
