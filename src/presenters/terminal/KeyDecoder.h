#pragma once
// Turns what a terminal sends (bytes, and the special codes that curses
// reports for keys it decoded itself) into the game's key codes.

#include <deque>
#include <string>

#include "screen/Backend.h"

// The game's key codes: every key that goes down has one; 0 stands for a
// release or for input that is no key (mouse, resize, focus, unknown).
// Letters give the capital's code and digits their character's code; a
// shifted key gives the same code as the key itself.
namespace keycode {
constexpr unsigned None = 0;
constexpr unsigned Backspace = 8;
constexpr unsigned Tab = 9;
constexpr unsigned Clear = 12;  // the keypad's middle key without Num Lock
constexpr unsigned Enter = 13;
constexpr unsigned Escape = 27;
constexpr unsigned Space = 32;
constexpr unsigned PageUp = 33;
constexpr unsigned PageDown = 34;
constexpr unsigned End = 35;
constexpr unsigned Home = 36;
constexpr unsigned Left = 37;
constexpr unsigned Up = 38;
constexpr unsigned Right = 39;
constexpr unsigned Down = 40;
constexpr unsigned Insert = 45;
constexpr unsigned Delete = 46;
constexpr unsigned F1 = 112;
constexpr unsigned F12 = 123;
constexpr unsigned Semicolon = 186;
constexpr unsigned Equals = 187;
constexpr unsigned Comma = 188;
constexpr unsigned Minus = 189;
constexpr unsigned Period = 190;
constexpr unsigned Slash = 191;
constexpr unsigned Tilde = 192;  // the key left of 1: ` and ~
constexpr unsigned OpenBracket = 219;
constexpr unsigned Backslash = 220;
constexpr unsigned CloseBracket = 221;
constexpr unsigned Quote = 222;

// F1 to F12 by their number; None for any other number.
constexpr unsigned function(int n) { return n >= 1 && n <= 12 ? F1 + static_cast<unsigned>(n - 1) : None; }
}  // namespace keycode

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
