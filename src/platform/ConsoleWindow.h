#pragma once
// The Windows console window through the console API: what the Windows
// presenter draws with and reads keys from. Plain types only, so that no
// system header reaches the game's code. Built on Windows only.

#include <cstdint>
#include <string>

namespace platform::winconsole {

// One cell as the console stores it: a character and its attribute bits.
struct Cell {
    char ch = ' ';
    std::uint16_t attribute = 0;
};

struct Size {
    int columns = 0;
    int rows = 0;
};

// One input record, reduced to what the game reads of it.
struct Event {
    enum class Kind { KeyDown, KeyUp, Resize, Other };
    Kind kind = Kind::Other;
    unsigned vk = 0;      // the virtual-key code of a key event
    char ch = 0;          // the character it types, 0 for none
    unsigned repeat = 1;  // auto-repeats reported in one record
};

enum class Wait { Input, Woken, TimedOut, Failed };

// Takes the process's console over: keys one at a time without echo, and a
// screen buffer of the game's own, the size of the window, made active and
// blanked with the cursor hidden (or, where the console has no second
// buffer, the player's window, its contents kept). False when the process
// has no console (its output goes elsewhere).
bool takeOver();
// Makes the player's buffer active again, whole as it was, and gives back
// the modes and the title (an empty one too). Does anything only once; safe
// from any thread.
void giveBack();

// Wine's console, which shows some attributes unlike Windows.
bool underWine();

// The visible part of the console. The game's cells are counted from the
// top-left of its own buffer (from the window's, on the player's buffer).
Size windowSize();
// After the window changed size: the game's buffer takes the window's size
// again, so that there is nothing to scroll, but never less than `least`,
// so that a classic console window can still grow to it.
void fitToWindow(Size least);
void writeRow(int y, const Cell* cells, int count);
void clearWindow();
void placeCursor(int x, int y, bool visible);
void setTitle(const std::string& title);

// Waits at most timeoutMs (for ever when negative) for console input or for
// a stop (platform/Interrupts.h), which wakes the wait.
Wait waitForInput(int timeoutMs);
// Reads one input record; only after waitForInput reported input.
bool readEvent(Event& event);

}  // namespace platform::winconsole
