#pragma once
// The key codes every screen compares with; what each presenter delivers.

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
