#pragma once
// Turns what a terminal sends (bytes, and the special codes that curses
// reports for keys it decoded itself) into the game's key codes.

#include <deque>
#include <string>

#include "screen/Backend.h"
#include "screen/KeyCodes.h"

// Codes above the byte range for keys that curses decoded already: the base
// plus the game's key code (the base alone is input the game has no use for).
namespace rawkey {
constexpr int Base = 0x10000;
constexpr int of(unsigned vk) { return Base + static_cast<int>(vk & 0xFFu); }
constexpr int Up = of(keycode::Up);
constexpr int Down = of(keycode::Down);
constexpr int Left = of(keycode::Left);
constexpr int Right = of(keycode::Right);
constexpr int Backspace = of(keycode::Backspace);
constexpr int Enter = of(keycode::Enter);
constexpr int Other = of(keycode::None);  // resize, mouse, keys without a code
}  // namespace rawkey

// The event for one plain byte (as typed, not part of an escape sequence).
InputEvent decodeCharacter(unsigned char c);

class KeyDecoder {
public:
    // Feeds one byte (0 to 255) or one rawkey code.
    void feed(int code);
    void feed(const std::string& bytes);

    // True while an Esc byte waits to learn whether a sequence follows it.
    bool escapePending() const { return state_ != State::Ground; }
    // No more bytes came in time: a pending Esc was a lone Esc key, and an
    // unfinished sequence is dropped. (A key that does come in time after an
    // Esc and starts no sequence is an Alt chord: that key alone.)
    void flushEscape();

    bool hasEvent() const { return !events_.empty(); }
    InputEvent takeEvent();

private:
    enum class State { Ground, Escape, Csi, Ss3, LinuxFunction, MouseReport };

    void feedGround(int code);
    void feedEscape(int code);
    void feedCsi(int code);
    void feedSs3(int code);
    void finishCsi(int final);
    void startSequence(State state);
    void dropSequence(int code);
    void emit(unsigned vk, char ch = 0) { events_.push_back(InputEvent{vk, ch}); }

    State state_ = State::Ground;
    std::string parameters_;  // parameter and intermediate bytes of the sequence so far
    int mouseBytesLeft_ = 0;
    std::deque<InputEvent> events_;
};
