#pragma once
// The presenter for tests: keeps what would be on screen, takes its keys from
// a script, and runs on virtual time so real-time screens finish at once.

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

#include "screen/Backend.h"

// Thrown when the game waits for a key and the script has none left.
class ScriptExhausted : public std::runtime_error {
public:
    ScriptExhausted() : std::runtime_error("the key script has run out") {}
};

class HeadlessBackend : public Backend {
public:
    HeadlessBackend() = default;
    ~HeadlessBackend() override;
    HeadlessBackend(const HeadlessBackend&) = delete;
    HeadlessBackend& operator=(const HeadlessBackend&) = delete;

    // A key press by its game code (letters by their capital, digits by the
    // digit); letters, digits and Space also type their character.
    void pushKey(unsigned vk);
    void pushKeys(std::initializer_list<unsigned> vks);
    // Typed characters, through the same decoding as a terminal; "\n" is Enter.
    void pushText(std::string_view text);
    // The next scripted input arrives this many virtual milliseconds later.
    void pushDelay(unsigned ms);
    // At this point of the script the process gets `signal` (SIGINT, SIGTERM,
    // SIGHUP): the key wait that reaches it records the signal as the real
    // handler does, so the game unwinds with GameInterrupted. The backend
    // forgets a signal it delivered when it is destroyed.
    void pushSignal(int signal);
    bool scriptEmpty() const { return script_.empty(); }
    // The virtual time the last scripted signal arrived at.
    std::uint64_t signalledAt() const { return signalledAt_; }

    // What was shown at the last present().
    const ScreenGrid& screen() const { return screen_; }
    char charAt(int x, int y) const { return screen_.at(x, y).ch; }
    unsigned fgAt(int x, int y) const { return screen_.at(x, y).fg; }
    unsigned bgAt(int x, int y) const { return screen_.at(x, y).bg; }
    std::string row(int y) const { return screen_.row(y); }
    std::string dump() const { return screen_.dump(); }
    Coord shownCursor() const { return cursor_; }
    bool cursorShown() const { return cursorVisible_; }
    int presentCount() const { return presents_; }
    const std::string& title() const { return title_; }

    // Called after every present, e.g. to keep snapshots of screens.
    std::function<void(const HeadlessBackend&)> onPresent;

    void present(const ScreenGrid& grid, Coord cursor, bool cursorVisible) override;
    bool waitForInput(int timeoutMs) override;
    InputEvent takeInput() override;
    std::uint64_t nowMs() override { return now_; }
    // A scripted signal that arrives during the pause ends it at its time.
    void sleepMs(unsigned ms) override;
    void setTitle(const std::string& title) override { title_ = title; }

private:
    struct Scripted {
        std::uint64_t delay = 0;  // virtual ms before this input arrives
        InputEvent event;
        int signal = 0;  // a signal instead of a key
    };

    // Delivers a scripted signal that has arrived at the front; true if it did.
    bool deliverSignal(int timeoutMs);

    std::deque<Scripted> script_;
    std::uint64_t pendingDelay_ = 0;
    std::uint64_t arrival_ = 0;  // virtual time the front of the script arrives
    bool arrivalKnown_ = false;
    std::uint64_t now_ = 0;
    std::uint64_t idleSinceExhausted_ = 0;
    ScreenGrid screen_;
    Coord cursor_{0, 0};
    bool cursorVisible_ = false;
    int presents_ = 0;
    std::string title_;
    bool signalled_ = false;
    std::uint64_t signalledAt_ = 0;
};
