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

// Takes the process's console over: keys one at a time without echo, the
// cursor hidden, the window blanked. Everything is kept to be given back.
// False when the process has no console (its output goes elsewhere).
bool takeOver();
// Gives back the contents, cursor, attributes, modes and title as they were
// before takeOver(). Does anything only once; safe from any thread.
void giveBack();

// The visible part of the console; cells are counted from its top-left.
Size windowSize();
void writeRow(int y, const Cell* cells, int count);
void clearWindow();
void placeCursor(int x, int y, bool visible);
void setTitle(const std::string& title);

// Waits at most timeoutMs (for ever when negative) for console input or for
// `wake` (an event handle) to be set.
Wait waitForInput(int timeoutMs, void* wake);
// Reads one input record; only after waitForInput reported input.
bool readEvent(Event& event);

}  // namespace platform::winconsole
