#pragma once
// The narrow interface between the console and whatever shows it: a terminal
// through ncurses, or the headless presenter of the tests.

#include <cstdint>
#include <string>

#include "screen/ScreenGrid.h"

// One key stroke. `vk` is the game's key code (0 for anything the game does
// not know); `ch` is the character it types, or 0 when it types none.
struct InputEvent {
    unsigned vk = 0;
    char ch = 0;
};

class Backend {
public:
    virtual ~Backend() = default;

    // Shows the grid. Called right before the game waits for a key or sleeps.
    virtual void present(const ScreenGrid& grid, Coord cursor, bool cursorVisible) = 0;

    // Waits at most timeoutMs milliseconds (for ever when negative) until an
    // input event is waiting; true when one is.
    virtual bool waitForInput(int timeoutMs) = 0;

    // Takes the next input event. Only called after waitForInput returned true.
    virtual InputEvent takeInput() = 0;

    // A monotonic millisecond clock, and a pause measured on it.
    virtual std::uint64_t nowMs() = 0;
    virtual void sleepMs(unsigned ms) = 0;

    virtual void setTitle(const std::string& title) = 0;
};
