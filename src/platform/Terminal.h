#pragma once
// The player's terminal through curses, termios and poll: what the terminal
// presenter draws with and reads keys from. Plain types only, so that no
// system header reaches the game's code. Built on POSIX systems.

#include <cstdio>
#include <string>
#include <vector>

namespace platform::terminal {

// Why a terminal cannot show a full-screen program.
enum class Refusal {
    None,
    Unknown,            // terminfo does not know the terminal type
    CannotPlaceCursor,  // it knows it, but it cannot place the cursor (TERM=dumb)
};

// Colours as terminals number them (0 black, 1 red, 2 green, 3 yellow,
// 4 blue, 5 magenta, 6 cyan, 7 white); a pair is a text and a background.
struct Pair {
    short text = 7;
    short background = 0;
};

// How a cell stands out on a terminal without colours.
struct Look {
    bool reverse = false;
    bool bold = false;
    bool underline = false;
};

// One thing read from the terminal: a byte as typed, a key that the
// terminal's library decoded itself (by its name there, as "KEY_UP" or
// "kUP5"), or a change of the terminal's size.
struct Key {
    enum class Kind { Byte, Named, Resize };
    Kind kind = Kind::Byte;
    int byte = 0;
    std::string name;
};

enum class Read {
    Key,       // a key was read
    TimedOut,  // nothing came in time
    Woken,     // a stop was recorded, or another signal came
    Gone,      // the input ended or the terminal hung up
};

// Checks before anything is written that `termType` (null: $TERM) can show
// a full-screen program on `out`.
Refusal check(std::FILE* out, const char* termType);

// Takes the terminal over: keys one at a time without echo, the cursor
// hidden, the colour pairs 1 to pairs.size() - 1 defined (pair 0 is the
// terminal's default, set to pairs[0]). Everything is kept to be given
// back, also by a signal handler. False when the terminal cannot be opened.
bool takeOver(std::FILE* out, std::FILE* in, const char* termType, const std::vector<Pair>& pairs);
// Whether every pair could be defined: false on a terminal without colours.
bool coloursUsable();
// Gives the terminal back as it was (cursor, colours, main screen, line mode
// and echo; a terminal without an alternate screen is cleared), also its
// title. Safe to call more than once. After a hangup it writes nothing that
// could block.
void giveBack();
// Frees what takeOver() took, once the terminal was given back; nothing
// after a hangup, when the process ends by the signal anyway.
void release();

// The terminal's size in cells: columns and rows.
int width();
int height();

// Drawing, shown by update(). Text is one byte a cell.
void clearScreen();
void writeLine(int y, const std::string& text);
void writeCell(int x, int y, unsigned char ch, short pair);
void writeCell(int x, int y, unsigned char ch, Look look);
// Forgets what the terminal shows, so that the next update draws everything.
void redrawAll();
void placeCursor(int x, int y, bool visible);
void update();

// Waits at most timeoutMs (for ever when negative) for one key, or for a
// stop to wake the wait.
Read readKey(int timeoutMs, Key& key);

// Sets the window title where the terminal has a way to (the player's own
// title is given back by giveBack()). `title` holds printable ASCII only.
void setTitle(const std::string& title);

}  // namespace platform::terminal
