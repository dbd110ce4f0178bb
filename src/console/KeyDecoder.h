#pragma once
// Turns what a terminal sends (bytes, and the special codes that curses
// reports for keys it decoded itself) into the game's key codes.

#include <deque>
#include <string>

#include "console/Backend.h"

namespace keycode {
constexpr unsigned None = 0;
constexpr unsigned Backspace = 8;
constexpr unsigned Enter = 13;
constexpr unsigned Escape = 27;
constexpr unsigned Left = 37;
constexpr unsigned Up = 38;
constexpr unsigned Right = 39;
constexpr unsigned Down = 40;
constexpr unsigned Comma = 188;
constexpr unsigned Period = 190;
constexpr unsigned Tilde = 192;
}  // namespace keycode

// Codes above the byte range for keys that curses decoded already.
namespace rawkey {
constexpr int Up = 0x10000;
constexpr int Down = 0x10001;
constexpr int Left = 0x10002;
constexpr int Right = 0x10003;
constexpr int Backspace = 0x10004;
constexpr int Enter = 0x10005;
constexpr int Other = 0x10006;  // a key or event the game has no use for (resize, F-keys)
}  // namespace rawkey

// The event for one plain character (as typed, not part of an escape sequence).
InputEvent decodeCharacter(unsigned char c);

class KeyDecoder {
public:
    // Feeds one byte (0 to 255) or one rawkey code.
    void feed(int code);
    void feed(const std::string& bytes);

    // True while an Esc byte waits to learn whether a sequence follows it.
    bool escapePending() const { return state_ != State::Ground; }
    // No more bytes came in time: a pending Esc was a lone Esc key, and an
    // unfinished sequence is dropped.
    void flushEscape();

    bool hasEvent() const { return !events_.empty(); }
    InputEvent takeEvent();

private:
    enum class State { Ground, Escape, Csi, Ss3 };

    void feedGround(int code);
    void feedEscape(int code);
    void feedCsi(int code);
    void feedSs3(int code);
    void emit(unsigned vk, char ch = 0) { events_.push_back(InputEvent{vk, ch}); }

    State state_ = State::Ground;
    std::deque<InputEvent> events_;
};
