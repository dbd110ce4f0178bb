#pragma once
// A recorded game: what the game got from outside at the Backend seam (every
// clock reading, every wait's outcome, every input event, every pause and
// title) and every screen it showed, as text, one event a line. The random
// seed and the galaxies it loaded are written down beside them.
//
//   starhollow-recording 1
//   seed 1733582880
//   <ms since the last line> <event> [arguments]
//
// Events: c CLOCK (a clock reading), w TIMEOUT 0|1 (a wait and whether input
// came), i VK CH (an input event: key code and typed byte), s MS (a pause),
// t TITLE, p CHECKSUM X Y CURSOR CHANGE... (a screen shown: the checksum of
// the whole screen, the cursor, and what changed since the screen before:
// "~FB" for a screen first cleared to blanks of text colour F on background
// B, or "^y,r" for a row that shows what row r showed, as when the screen
// scrolls, then runs of cells "x,y,FB,n:text"), g CHECKSUM SIZE NAME (a galaxy the game loaded,
// as it was), x SIGNAL (the game was stopped), e (the game ended).

#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "screen/ScreenGrid.h"

namespace recording {

constexpr const char* MAGIC = "starhollow-recording";
constexpr int VERSION = 1;

// The longest line read: a whole screen changed cell by cell in alternating
// colours takes some 26000 characters. Anything longer is no recording's.
constexpr std::size_t MAX_LINE = 65536;
// The longest recording: some 34 years of play, in ms.
constexpr std::uint64_t MAX_TIME_MS = std::uint64_t{1} << 40;
// The longest title, and the most galaxies one recorded game loads.
constexpr std::size_t MAX_TITLE = 255;
constexpr std::size_t MAX_GALAXIES = 64;

enum class Kind : char {
    Clock = 'c',
    Wait = 'w',
    Input = 'i',
    Sleep = 's',
    Title = 't',
    Present = 'p',
    Galaxy = 'g',
    Stopped = 'x',
    End = 'e',
};

// Cells of one row, side by side, in one pair of colours.
struct CellRun {
    int x = 0;
    int y = 0;
    std::uint8_t fg = 7;
    std::uint8_t bg = 0;
    std::string text;
    bool operator==(const CellRun&) const = default;
};

// A row that shows what another row of the screen before showed.
struct RowCopy {
    int y = 0;
    int from = 0;
    bool operator==(const RowCopy&) const = default;
};

// What changed from one screen to the next: a clearing or rows copied
// first, then cells.
struct ScreenChange {
    std::optional<Cell> fill;
    std::vector<RowCopy> copies;
    std::vector<CellRun> runs;
    bool operator==(const ScreenChange&) const = default;
};

struct Event {
    Kind kind = Kind::End;
    std::uint64_t time = 0;  // ms since the recording started
    // Clock: the reading. Wait: the time-out. Input: the key code. Sleep:
    // the milliseconds. Stopped: the signal.
    std::int64_t value = 0;
    // Wait: 1 when input came. Input: the typed byte.
    std::int64_t detail = 0;
    // Present: checksum, cursor and the changed cells. Galaxy: checksum.
    std::uint32_t checksum = 0;
    Coord cursor{0, 0};
    bool cursorVisible = false;
    ScreenChange changes;
    // Title: the text. Galaxy: the name.
    std::string text;
    std::uint64_t size = 0;  // Galaxy: the file's size
    int line = 0;            // where it stands in the file
    bool operator==(const Event&) const = default;
};

struct Recording {
    unsigned seed = 0;
    std::vector<Event> events;
};

// Why a recording cannot be used: one line.
class Refused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Refuses (with one line naming it as `what`) anything but a regular file:
// a folder, a FIFO or a device would hang a read, or never end.
void requireRegularFile(const std::filesystem::path& file, const std::string& what);

// Reads a recording event by event, holding one line at a time, so that
// its size costs no memory. Every field is checked against its range; a
// last line cut short (the game was killed while writing it) is left out.
// Throws Refused, saying which line and why, for anything that is not a
// whole recording of this version.
class Reader {
public:
    explicit Reader(std::istream& in);
    explicit Reader(std::unique_ptr<std::istream> in);
    static Reader open(const std::filesystem::path& file);

    unsigned seed() const { return seed_; }
    // The next event, or nothing where the recording ends.
    std::optional<Event> next();

private:
    enum class Got { Line, End, TooLong };
    Got readLine();
    void readHeader();

    std::unique_ptr<std::istream> owned_;
    std::istream* in_;
    std::string line_;
    int lineNumber_ = 0;
    unsigned seed_ = 0;
    std::uint64_t time_ = 0;
    std::optional<std::int64_t> lastClock_;
};

// A whole recording at once, for small ones (tests, tools).
Recording parse(std::istream& in);
Recording parseFile(const std::filesystem::path& path);

// One event as its line, without the line end; `previousTime` is the time of
// the line before.
std::string formatEvent(const Event& event, std::uint64_t previousTime);
std::string header(unsigned seed);

// What turns `before` into `after`: a clearing when most of `after` is blank
// in one colour, else rows that moved up or down by one; then the runs of
// cells that still differ, row by row.
ScreenChange screenChanges(const ScreenGrid& before, const ScreenGrid& after);
void applyChanges(ScreenGrid& screen, const ScreenChange& changes);
std::uint32_t screenChecksum(const ScreenGrid& screen, Coord cursor, bool cursorVisible);

// The text with anything that is not printable as '?', so that it stays on its line.
std::string printable(std::string text);

// A time of the recording in words: "12.345 s".
std::string seconds(std::uint64_t ms);

// What an event is, in words, for reports.
std::string describe(const Event& event);
// A cell in words: "'A' colour 1 on 7".
std::string describeCell(const Cell& cell);

}  // namespace recording
