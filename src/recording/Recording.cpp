#include "recording/Recording.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <climits>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>
#include <utility>

#include "storage/SaveRecords.h"
#include "platform/Interrupts.h"

namespace recording {

namespace {

// Changed cells closer than this are sent in one run: a run's own header
// costs about as much as that many cells.
constexpr int RUN_GAP = 8;

std::string lineError(int line, std::string_view why) {
    return "line " + std::to_string(line) + " of the recording " + std::string(why) + ".";
}

// A number as a refusal shows it: a long run of digits is cut.
std::string shown(std::string_view digits) {
    constexpr std::size_t LONGEST = 20;
    return digits.size() <= LONGEST ? std::string(digits) : std::string(digits.substr(0, LONGEST)) + "...";
}

bool isPrintable(char ch) { return ch >= 32 && ch <= 126; }

// Reads the words of one line, failing on anything out of place or out of range.
class LineReader {
public:
    LineReader(std::string_view text, int line) : text_(text), line_(line) {}

    // A whole number from `min` to `max`; `what` names it in a refusal.
    template <typename T>
    T number(std::string_view what, T min, T max, int base = 10) {
        skipBlank();
        const char* first = text_.data() + pos_;
        const char* last = text_.data() + text_.size();
        const char* digitsEnd = first;
        while (digitsEnd < last && (std::isxdigit(static_cast<unsigned char>(*digitsEnd)) || *digitsEnd == '-'))
            ++digitsEnd;
        T value{};
        const auto [end, error] = std::from_chars(first, last, value, base);
        if (end == first) fail("does not parse: " + std::string(what) + " is missing or not a number");
        if (error == std::errc::result_out_of_range || std::cmp_less(value, min) || std::cmp_greater(value, max))
            fail("has " + std::string(what) + " " + shown(std::string_view(first, static_cast<std::size_t>(digitsEnd - first))) +
                 ", outside " + std::to_string(min) + " to " + std::to_string(max));
        pos_ = static_cast<std::size_t>(end - text_.data());
        return value;
    }
    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    char code() {
        skipBlank();
        if (pos_ >= text_.size()) fail("does not parse: it has no event");
        return text_[pos_++];
    }
    // The rest of the line after one blank: printable characters only, so
    // that nothing from a file reaches a terminal as a control sequence.
    std::string rest(std::string_view what, std::size_t longest) {
        if (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
        std::string all(text_.substr(pos_));
        pos_ = text_.size();
        if (all.size() > longest) fail("has " + std::string(what) + " longer than " + std::to_string(longest) + " characters");
        requirePrintable(all, what);
        return all;
    }
    void expect(char ch, std::string_view where) {
        if (pos_ >= text_.size() || text_[pos_] != ch)
            fail("does not parse: '" + std::string(1, ch) + "' is missing " + std::string(where));
        ++pos_;
    }
    std::string take(std::size_t count) {
        if (text_.size() - pos_ < count) fail("does not parse: a run of cells is shorter than its length");
        std::string taken(text_.substr(pos_, count));
        pos_ += count;
        return taken;
    }
    void requirePrintable(std::string_view text, std::string_view what) const {
        for (const char ch : text)
            if (!isPrintable(ch))
                fail("has a character that cannot be shown (byte " + std::to_string(static_cast<unsigned char>(ch)) +
                     ") in " + std::string(what));
    }
    bool atEnd() const { return pos_ >= text_.size(); }
    void end() const {
        if (!atEnd()) fail("does not parse: it goes on after its event");
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

// A pair of colours is written as two digits, "FB": text, then background.
int colourDigits(std::uint8_t fg, std::uint8_t bg) { return fg * 10 + bg; }

// A blank cell in the pair of colours read.
Cell readColours(LineReader& in) {
    const int digits = in.number<int>("the colours", 0, 77);
    if (digits % 10 > 7) in.fail("has the colours " + std::to_string(digits) + ", where each digit is a colour 0 to 7");
    return Cell{' ', static_cast<std::uint8_t>(digits / 10), static_cast<std::uint8_t>(digits % 10)};
}

CellRun readRun(LineReader& in) {
    CellRun run;
    run.x = in.number<int>("a run's column", 0, SCREEN_WIDTH - 1);
    in.expect(',', "after a run's column");
    run.y = in.number<int>("a run's row", 0, SCREEN_HEIGHT - 1);
    in.expect(',', "after a run's row");
    const Cell colours = readColours(in);
    run.fg = colours.fg;
    run.bg = colours.bg;
    in.expect(',', "after a run's colours");
    const auto length = in.number<std::size_t>("a run's length", 1, static_cast<std::size_t>(SCREEN_WIDTH - run.x));
    in.expect(':', "after a run's length");
    run.text = in.take(length);
    in.requirePrintable(run.text, "a run of cells");
    return run;
}

RowCopy readCopy(LineReader& in) {
    in.expect('^', "before a row copy");
    RowCopy copy;
    copy.y = in.number<int>("a copied row", 0, SCREEN_HEIGHT - 1);
    in.expect(',', "after a copied row");
    copy.from = in.number<int>("the row it copies", 0, SCREEN_HEIGHT - 1);
    return copy;
}

// A screen's changes come in their order: a clearing, row copies, then cells.
void readChanges(LineReader& in, ScreenChange& changes) {
    while (!in.atEnd()) {
        in.expect(' ', "between two changes of a screen");
        if (in.peek() == '~') {
            if (changes.fill || !changes.copies.empty() || !changes.runs.empty())
                in.fail("has a clearing after other changes of its screen");
            in.expect('~', "before a clearing");
            changes.fill = readColours(in);
        } else if (in.peek() == '^') {
            if (!changes.runs.empty()) in.fail("has a row copy after cells of its screen");
            if (changes.copies.size() == SCREEN_HEIGHT) in.fail("copies more rows than a screen has");
            changes.copies.push_back(readCopy(in));
        } else {
            changes.runs.push_back(readRun(in));
        }
    }
}

// The stops the game knows: Ctrl+C, termination and hangup.
bool isKnownStop(std::int64_t signal) { return signal == SIGINT || signal == SIGTERM || signal == SIGHUP; }

Event readEvent(std::string_view text, int line, std::uint64_t& time) {
    LineReader in(text, line);
    Event event;
    event.line = line;
    const auto gap = in.number<std::uint64_t>("the time since the line before", 0, MAX_TIME_MS);
    if (gap > MAX_TIME_MS - time) in.fail("takes the recording past 34 years");
    time += gap;
    event.time = time;
    const char code = in.code();
    event.kind = static_cast<Kind>(code);
    switch (event.kind) {
        case Kind::Clock:
            event.value = in.number<std::int64_t>("the clock reading", 0, std::int64_t{1} << 62);
            break;
        case Kind::Sleep: event.value = in.number<std::int64_t>("the pause", 0, UINT_MAX); break;
        case Kind::Stopped:
            event.value = in.number<std::int64_t>("the stop", 0, INT_MAX);
            if (!isKnownStop(event.value))
                in.fail("has the stop " + std::to_string(event.value) + ", a signal the game does not know (" +
                        std::to_string(SIGINT) + ", " + std::to_string(SIGTERM) + " or " + std::to_string(SIGHUP) + ")");
            break;
        case Kind::Wait:
            event.value = in.number<std::int64_t>("the wait's time-out", -1, INT_MAX);
            event.detail = in.number<std::int64_t>("the wait's outcome", 0, 1);
            break;
        case Kind::Input:
            event.value = in.number<std::int64_t>("the key code", 0, 255);
            event.detail = in.number<std::int64_t>("the typed byte", 0, 255);
            break;
        case Kind::Title: event.text = in.rest("the title", MAX_TITLE); break;
        case Kind::Present: {
            event.checksum = in.number<std::uint32_t>("the screen's checksum", 0, UINT32_MAX, 16);
            const int x = in.number<int>("the cursor's column", 0, SCREEN_WIDTH - 1);
            const int y = in.number<int>("the cursor's row", 0, SCREEN_HEIGHT - 1);
            event.cursor = Coord{static_cast<short>(x), static_cast<short>(y)};
            event.cursorVisible = in.number<int>("the cursor's visibility", 0, 1) != 0;
            readChanges(in, event.changes);
            break;
        }
        case Kind::Galaxy:
            event.checksum = in.number<std::uint32_t>("the galaxy's checksum", 0, UINT32_MAX, 16);
            event.size = in.number<std::uint64_t>("the galaxy's size", GALAXY_FILE_SIZE, GALAXY_FILE_SIZE);
            event.text = in.rest("the galaxy's name", MAX_TITLE);
            if (event.text.empty() || event.text.find(' ') != std::string::npos)
                in.fail("does not parse: a galaxy's name is one word");
            break;
        case Kind::End: break;
        default:
            in.fail(isPrintable(code) ? "has an unknown event '" + std::string(1, code) + "'"
                                      : "has an unknown event (byte " + std::to_string(static_cast<unsigned char>(code)) + ")");
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

void requireRegularFile(const std::filesystem::path& file, const std::string& what) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found)
        throw Refused("there is no " + what + " " + file.string() + ".");
    if (error) throw Refused("cannot read the " + what + " " + file.string() + ": " + error.message() + ".");
    if (status.type() == std::filesystem::file_type::directory)
        throw Refused("the " + what + " " + file.string() + " is a folder, not a file.");
    if (status.type() != std::filesystem::file_type::regular)
        throw Refused("the " + what + " " + file.string() +
                      " is not a plain file: a device, a FIFO or a socket may never end.");
}

Reader::Reader(std::istream& in) : in_(&in) { readHeader(); }

Reader::Reader(std::unique_ptr<std::istream> in) : owned_(std::move(in)), in_(owned_.get()) { readHeader(); }

Reader Reader::open(const std::filesystem::path& file) {
    requireRegularFile(file, "recording");
    auto in = std::make_unique<std::ifstream>(file, std::ios::binary);
    if (!*in) throw Refused("cannot open the recording " + file.string() + ".");
    return Reader(std::move(in));
}

Reader::Got Reader::readLine() {
    line_.clear();
    std::streambuf& in = *in_->rdbuf();
    using Traits = std::streambuf::traits_type;
    for (;;) {
        const auto ch = in.sbumpc();
        // Only whole lines count: a last line without its line end was cut short.
        if (Traits::eq_int_type(ch, Traits::eof())) return Got::End;
        if (ch == '\n') break;
        if (line_.size() == MAX_LINE) return Got::TooLong;
        line_.push_back(Traits::to_char_type(ch));
    }
    ++lineNumber_;
    // A recording that went through an editor or a checkout that ends lines
    // with CR LF reads the same.
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    return Got::Line;
}

void Reader::readHeader() {
    const std::string_view magic(MAGIC);
    if (readLine() != Got::Line || std::string_view(line_).substr(0, magic.size() + 1) != std::string(MAGIC) + " ")
        throw Refused("this is not a Starhollow recording.");
    LineReader first(std::string_view(line_).substr(magic.size()), 1);
    const int version = first.number<int>("the version", 0, INT_MAX);
    first.end();
    if (version != VERSION)
        throw Refused("this is a recording of version " + std::to_string(version) + ", this game reads version " +
                      std::to_string(VERSION) + ".");
    if (readLine() != Got::Line || std::string_view(line_).substr(0, 5) != "seed ")
        throw Refused(lineError(2, "does not parse: it is not the seed"));
    LineReader seed(std::string_view(line_).substr(4), 2);
    seed_ = seed.number<unsigned>("the seed", 0, UINT_MAX);
    seed.end();
}

std::optional<Event> Reader::next() {
    for (;;) {
        const Got got = readLine();
        if (got == Got::TooLong)
            throw Refused(lineError(lineNumber_ + 1, "is longer than " + std::to_string(MAX_LINE) + " characters"));
        if (got == Got::End) return std::nullopt;
        if (!line_.empty() && line_[0] == '#') continue;  // a note for the reader
        Event event = readEvent(line_, lineNumber_, time_);
        if (event.kind == Kind::Clock) {
            // The game's clock never goes back.
            if (lastClock_ && event.value < *lastClock_)
                throw Refused(lineError(lineNumber_, "has a clock reading earlier than the one before"));
            lastClock_ = event.value;
        }
        return event;
    }
}

Recording parse(std::istream& in) {
    Reader reader(in);
    Recording recording;
    recording.seed = reader.seed();
    while (std::optional<Event> event = reader.next()) recording.events.push_back(std::move(*event));
    return recording;
}

Recording parseFile(const std::filesystem::path& path) {
    Reader reader = Reader::open(path);
    Recording recording;
    recording.seed = reader.seed();
    while (std::optional<Event> event = reader.next()) recording.events.push_back(std::move(*event));
    return recording;
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

std::uint32_t screenChecksum(const ScreenGrid& screen, Coord cursor, bool cursorVisible) {
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
