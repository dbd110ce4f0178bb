#include "console/Recording.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>

namespace recording {

namespace {

// Changed cells closer than this are sent in one run: a run's own header
// costs about as much as that many cells.
constexpr int RUN_GAP = 8;

std::string lineError(int line, std::string_view why) {
    return "line " + std::to_string(line) + " of the recording " + std::string(why);
}

// Reads the words of one line, failing on anything out of place.
class LineReader {
public:
    LineReader(std::string_view text, int line) : text_(text), line_(line) {}

    template <typename T>
    T number(int base = 10) {
        skipBlank();
        T value{};
        const auto [end, error] = std::from_chars(text_.data() + pos_, text_.data() + text_.size(), value, base);
        if (error != std::errc() || end == text_.data() + pos_) fail("does not parse");
        pos_ = static_cast<std::size_t>(end - text_.data());
        return value;
    }
    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    char code() {
        skipBlank();
        if (pos_ >= text_.size()) fail("does not parse");
        return text_[pos_++];
    }
    // The rest of the line after one blank.
    std::string rest() {
        if (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
        std::string all(text_.substr(pos_));
        pos_ = text_.size();
        return all;
    }
    void expect(char ch) {
        if (pos_ >= text_.size() || text_[pos_] != ch) fail("does not parse");
        ++pos_;
    }
    std::string take(std::size_t count) {
        if (text_.size() - pos_ < count) fail("does not parse");
        std::string taken(text_.substr(pos_, count));
        pos_ += count;
        return taken;
    }
    bool atEnd() {
        return pos_ >= text_.size();
    }
    void end() {
        if (!atEnd()) fail("does not parse");
    }
    [[noreturn]] void fail(std::string_view why) const { throw Refused(lineError(line_, why)); }

private:
    void skipBlank() {
        if (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_;
};

bool isColour(int value) { return value >= 0 && value <= 7; }

// A pair of colours is written as two digits, "FB": text, then background.
int colourDigits(std::uint8_t fg, std::uint8_t bg) { return fg * 10 + bg; }

// A blank cell in the pair of colours read.
Cell readColours(LineReader& in) {
    const int digits = in.number<int>();
    if (digits < 0 || !isColour(digits / 10) || !isColour(digits % 10)) in.fail("does not parse");
    return Cell{' ', static_cast<std::uint8_t>(digits / 10), static_cast<std::uint8_t>(digits % 10)};
}

CellRun readRun(LineReader& in) {
    CellRun run;
    run.x = in.number<int>();
    in.expect(',');
    run.y = in.number<int>();
    in.expect(',');
    const Cell colours = readColours(in);
    run.fg = colours.fg;
    run.bg = colours.bg;
    in.expect(',');
    const std::size_t length = in.number<std::size_t>();
    in.expect(':');
    run.text = in.take(length);
    const bool inside = ScreenGrid::contains(run.x, run.y) && length > 0 &&
                        static_cast<std::size_t>(run.x) + length <= static_cast<std::size_t>(SCREEN_WIDTH);
    if (!inside) in.fail("names cells outside the screen");
    return run;
}

Cell readFill(LineReader& in) {
    in.expect('~');
    return readColours(in);
}

RowCopy readCopy(LineReader& in) {
    in.expect('^');
    RowCopy copy;
    copy.y = in.number<int>();
    in.expect(',');
    copy.from = in.number<int>();
    if (!ScreenGrid::contains(0, copy.y) || !ScreenGrid::contains(0, copy.from))
        in.fail("names cells outside the screen");
    return copy;
}

Event readEvent(std::string_view text, int line, std::uint64_t& time) {
    LineReader in(text, line);
    Event event;
    event.line = line;
    const auto gap = in.number<std::uint64_t>();
    if (gap > UINT64_MAX - time) in.fail("does not parse");
    time += gap;
    event.time = time;
    event.kind = static_cast<Kind>(in.code());
    switch (event.kind) {
        case Kind::Clock:
        case Kind::Sleep:
        case Kind::Stopped: event.value = in.number<std::int64_t>(); break;
        case Kind::Wait:
        case Kind::Input:
            event.value = in.number<std::int64_t>();
            event.detail = in.number<std::int64_t>();
            break;
        case Kind::Title: event.text = in.rest(); break;
        case Kind::Present: {
            event.checksum = in.number<std::uint32_t>(16);
            const int x = in.number<int>();
            const int y = in.number<int>();
            if (!ScreenGrid::contains(x, y)) in.fail("names cells outside the screen");
            event.cursor = COORD{static_cast<short>(x), static_cast<short>(y)};
            event.cursorVisible = in.number<int>() != 0;
            while (!in.atEnd()) {
                in.expect(' ');
                if (in.peek() == '~' && !event.changes.fill && event.changes.copies.empty() &&
                    event.changes.runs.empty())
                    event.changes.fill = readFill(in);
                else if (in.peek() == '^')
                    event.changes.copies.push_back(readCopy(in));
                else
                    event.changes.runs.push_back(readRun(in));
            }
            break;
        }
        case Kind::Galaxy:
            event.checksum = in.number<std::uint32_t>(16);
            event.size = in.number<std::uint64_t>();
            event.text = in.rest();
            if (event.text.empty()) in.fail("does not parse");
            break;
        case Kind::End: break;
        default: in.fail("does not parse");
    }
    in.end();
    return event;
}

// The blank cell a new screen was cleared with, when starting from it costs
// less than starting from the screen before: most of it is that blank.
std::optional<Cell> clearingOf(const ScreenGrid& before, const ScreenGrid& after) {
    std::array<int, 64> blanks{};
    int differing = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const Cell& cell = after.at(x, y);
            if (cell.ch == ' ') ++blanks[static_cast<std::size_t>(cell.fg % 8 * 8 + cell.bg % 8)];
            if (!(cell == before.at(x, y))) ++differing;
        }
    const auto most = std::max_element(blanks.begin(), blanks.end());
    const int others = SCREEN_WIDTH * SCREEN_HEIGHT - *most;
    if (others * 2 >= differing) return std::nullopt;
    const auto colours = static_cast<int>(most - blanks.begin());
    return Cell{' ', static_cast<std::uint8_t>(colours / 8), static_cast<std::uint8_t>(colours % 8)};
}

bool sameRow(const ScreenGrid& a, int ya, const ScreenGrid& b, int yb) {
    for (int x = 0; x < SCREEN_WIDTH; ++x)
        if (!(a.at(x, ya) == b.at(x, yb))) return false;
    return true;
}

void appendRun(std::string& line, const CellRun& run) {
    line += ' ' + std::to_string(run.x) + ',' + std::to_string(run.y) + ',' +
            std::to_string(colourDigits(run.fg, run.bg)) + ',' + std::to_string(run.text.size()) + ':' + run.text;
}

// Splits the cells x0..x1 of row y into runs of one pair of colours.
void addRuns(std::vector<CellRun>& runs, const ScreenGrid& screen, int y, int x0, int x1) {
    for (int x = x0; x <= x1; ++x) {
        const Cell& cell = screen.at(x, y);
        if (runs.empty() || runs.back().y != y || runs.back().x + static_cast<int>(runs.back().text.size()) != x ||
            runs.back().fg != cell.fg || runs.back().bg != cell.bg)
            runs.push_back(CellRun{x, y, cell.fg, cell.bg, {}});
        runs.back().text.push_back(cell.ch);
    }
}

}  // namespace

Recording parse(std::istream& in) {
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    // Only whole lines count: a last line without its line end was cut short.
    for (std::size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1) {
        // A recording that went through an editor or a checkout that ends
        // lines with CR LF reads the same.
        const std::size_t length = end > start && all[end - 1] == '\r' ? end - start - 1 : end - start;
        lines.emplace_back(all.data() + start, length);
    }
    const std::string_view magic(MAGIC);
    if (lines.empty() || lines[0].substr(0, magic.size() + 1) != std::string(MAGIC) + " ")
        throw Refused("not a Starhollow recording");
    LineReader first(lines[0].substr(magic.size()), 1);
    const int version = first.number<int>();
    first.end();
    if (version != VERSION)
        throw Refused("a recording of version " + std::to_string(version) + ", this game reads version " +
                      std::to_string(VERSION));
    if (lines.size() < 2 || lines[1].substr(0, 5) != "seed ") throw Refused(lineError(2, "does not parse"));
    Recording recording;
    LineReader seed(lines[1].substr(4), 2);
    recording.seed = seed.number<unsigned>();
    seed.end();
    std::uint64_t time = 0;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        if (!lines[i].empty() && lines[i][0] == '#') continue;  // a note for the reader
        recording.events.push_back(readEvent(lines[i], static_cast<int>(i + 1), time));
    }
    return recording;
}

Recording parseFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Refused("cannot open " + path.string());
    return parse(in);
}

std::string header(unsigned seed) {
    return std::string(MAGIC) + " " + std::to_string(VERSION) + "\nseed " + std::to_string(seed) + "\n";
}

std::string formatEvent(const Event& event, std::uint64_t previousTime) {
    std::string line = std::to_string(event.time >= previousTime ? event.time - previousTime : 0);
    line += ' ';
    line += static_cast<char>(event.kind);
    char hex[9];
    switch (event.kind) {
        case Kind::Clock:
        case Kind::Sleep:
        case Kind::Stopped: line += ' ' + std::to_string(event.value); break;
        case Kind::Wait:
        case Kind::Input: line += ' ' + std::to_string(event.value) + ' ' + std::to_string(event.detail); break;
        case Kind::Title: line += ' ' + event.text; break;
        case Kind::Present: {
            const auto [end, error] = std::to_chars(hex, hex + 8, event.checksum, 16);
            line += ' ' + std::string(hex, end) + ' ' + std::to_string(event.cursor.X) + ' ' +
                    std::to_string(event.cursor.Y) + (event.cursorVisible ? " 1" : " 0");
            if (event.changes.fill)
                line += " ~" + std::to_string(colourDigits(event.changes.fill->fg, event.changes.fill->bg));
            for (const RowCopy& copy : event.changes.copies)
                line += " ^" + std::to_string(copy.y) + ',' + std::to_string(copy.from);
            for (const CellRun& run : event.changes.runs) appendRun(line, run);
            break;
        }
        case Kind::Galaxy: {
            const auto [end, error] = std::to_chars(hex, hex + 8, event.checksum, 16);
            line += ' ' + std::string(hex, end) + ' ' + std::to_string(event.size) + ' ' + event.text;
            break;
        }
        case Kind::End: break;
    }
    return line;
}

ScreenChange screenChanges(const ScreenGrid& before, const ScreenGrid& after) {
    ScreenChange change;
    change.fill = clearingOf(before, after);
    // A screen that scrolls (the meteor field, a console) shows most rows
    // again one row further: those are sent as copies, not cell by cell.
    for (int y = 0; y < SCREEN_HEIGHT && !change.fill; ++y) {
        if (sameRow(before, y, after, y)) continue;
        for (const int from : {y - 1, y + 1})
            if (from >= 0 && from < SCREEN_HEIGHT && sameRow(before, from, after, y)) {
                change.copies.push_back(RowCopy{y, from});
                break;
            }
    }
    ScreenGrid copied = before;
    applyChanges(copied, change);
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        int first = -1;
        int last = -1;
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            if (copied.at(x, y) == after.at(x, y)) continue;
            if (first >= 0 && x - last > RUN_GAP) {
                addRuns(change.runs, after, y, first, last);
                first = -1;
            }
            if (first < 0) first = x;
            last = x;
        }
        if (first >= 0) addRuns(change.runs, after, y, first, last);
    }
    return change;
}

void applyChanges(ScreenGrid& screen, const ScreenChange& changes) {
    const ScreenGrid before = screen;
    if (changes.fill) screen.fill(*changes.fill);
    for (const RowCopy& copy : changes.copies)
        for (int x = 0; x < SCREEN_WIDTH; ++x) screen.at(x, copy.y) = before.at(x, copy.from);
    for (const CellRun& run : changes.runs)
        for (std::size_t i = 0; i < run.text.size(); ++i)
            screen.at(run.x + static_cast<int>(i), run.y) = Cell{run.text[i], run.fg, run.bg};
}

std::uint32_t screenChecksum(const ScreenGrid& screen, COORD cursor, bool cursorVisible) {
    // FNV-1a over every cell and the cursor.
    std::uint32_t hash = 2166136261u;
    const auto mix = [&hash](unsigned value) {
        hash ^= value & 0xFFu;
        hash *= 16777619u;
    };
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const Cell& cell = screen.at(x, y);
            mix(static_cast<unsigned char>(cell.ch));
            mix(cell.fg * 8u + cell.bg);
        }
    mix(static_cast<unsigned>(cursor.X));
    mix(static_cast<unsigned>(cursor.Y));
    mix(cursorVisible ? 1u : 0u);
    return hash;
}

std::string seconds(std::uint64_t ms) {
    std::string fraction = std::to_string(ms % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    return std::to_string(ms / 1000) + "." + fraction + " s";
}

std::string printable(std::string text) {
    for (char& ch : text)
        if (ch < 32 || ch > 126) ch = '?';
    return text;
}

std::string describe(const Event& event) {
    switch (event.kind) {
        case Kind::Clock: return "a clock reading (" + std::to_string(event.value) + ")";
        case Kind::Wait:
            return "a wait of " + std::to_string(event.value) + " ms (" + (event.detail != 0 ? "input" : "none") + ")";
        case Kind::Input: return "an input event (key " + std::to_string(event.value) + ")";
        case Kind::Sleep: return "a pause of " + std::to_string(event.value) + " ms";
        case Kind::Title: return "the title \"" + event.text + "\"";
        case Kind::Present: return "a screen";
        case Kind::Galaxy: return "the galaxy " + event.text;
        case Kind::Stopped: return "a stop by signal " + std::to_string(event.value);
        case Kind::End: return "the end of the game";
    }
    return "an event";
}

std::string describeCell(const Cell& cell) {
    const bool printable = cell.ch >= 32 && cell.ch < 127;
    std::ostringstream out;
    out << '\'' << (printable ? cell.ch : '?') << "' colour " << int{cell.fg} << " on " << int{cell.bg};
    return out.str();
}

}  // namespace recording
