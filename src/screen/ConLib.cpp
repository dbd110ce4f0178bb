#include "screen/ConLib.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <vector>

#include "screen/Interrupt.h"
#include "screen/KeyCodes.h"

namespace {
ConLib* currentConsole = nullptr;

bool isBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r'; }

bool hasWord(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char ch) { return !isBlank(ch); });
}
}  // namespace

void writeAt(ConLib* console, int x, int y, std::string_view text) {
    console->SetPosition(Coord{static_cast<short>(x), static_cast<short>(y)});
    console->OutputString(text);
}

ConsoleStreamBuf::int_type ConsoleStreamBuf::overflow(int_type ch) {
    if (!traits_type::eq_int_type(ch, traits_type::eof())) console_.putChar(traits_type::to_char_type(ch));
    return traits_type::not_eof(ch);
}

std::streamsize ConsoleStreamBuf::xsputn(const char* text, std::streamsize count) {
    for (std::streamsize i = 0; i < count; ++i) console_.putChar(text[i]);
    return count;
}

ConLib::ConLib(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {
    previous_ = currentConsole;
    currentConsole = this;
    SetTextColor(7);
    SetBackgroundColor(0);
}

ConLib::~ConLib() {
    if (currentConsole == this) currentConsole = previous_;
}

ConLib* ConLib::current() { return currentConsole; }

void ConLib::SetTextColor(unsigned short colour) { text_ = colour & 7u; }

void ConLib::SetBackgroundColor(unsigned short colour) { background_ = colour & 7u; }

void ConLib::SetTitle(const char* title) {
    if (title != nullptr) backend_->setTitle(title);
}

void ConLib::Clear() {
    grid_.fill(Cell{' ', static_cast<std::uint8_t>(text_), static_cast<std::uint8_t>(background_)});
    cursor_ = Coord{0, 0};
}

void ConLib::SetPosition(Coord position) {
    if (ScreenGrid::contains(position.X, position.Y)) cursor_ = position;
}

void ConLib::OutputString(std::string_view text) {
    for (char ch : text) putChar(ch);
}

void ConLib::scrollUp() {
    for (int y = 1; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) grid_.at(x, y - 1) = grid_.at(x, y);
    const Cell blank{' ', static_cast<std::uint8_t>(text_), static_cast<std::uint8_t>(background_)};
    for (int x = 0; x < SCREEN_WIDTH; ++x) grid_.at(x, SCREEN_HEIGHT - 1) = blank;
}

void ConLib::putChar(char ch) {
    const bool onBottomRow = cursor_.Y >= SCREEN_HEIGHT - 1;
    if (ch == '\n') {
        cursor_.X = 0;
        if (!onBottomRow)
            ++cursor_.Y;
        else if (scrolling_)
            scrollUp();
        return;
    }
    if (ch == '\r') {
        cursor_.X = 0;
        return;
    }
    if (cursor_.X >= SCREEN_WIDTH) {
        // The row is full: wrap. On the bottom row the screen scrolls in
        // scrolling mode; otherwise the character is dropped.
        if (onBottomRow && !scrolling_) return;
        if (onBottomRow)
            scrollUp();
        else
            ++cursor_.Y;
        cursor_.X = 0;
    }
    const unsigned char byte = static_cast<unsigned char>(ch);
    Cell& cell = grid_.at(cursor_.X, cursor_.Y);
    cell.ch = (byte >= 32 && byte < 127) ? ch : ' ';
    cell.fg = static_cast<std::uint8_t>(text_);
    cell.bg = static_cast<std::uint8_t>(background_);
    ++cursor_.X;
}

void ConLib::present() {
    Coord shown = cursor_;
    if (shown.X >= SCREEN_WIDTH) shown.X = SCREEN_WIDTH - 1;
    backend_->present(grid_, shown, cursorVisible_);
}

InputEvent ConLib::nextEvent() {
    for (;;) {
        interrupt::throwIfPending();
        // A wait without time limit ends without input only for a signal.
        if (backend_->waitForInput(-1)) return backend_->takeInput();
    }
}

unsigned ConLib::GetKey() {
    interrupt::throwIfPending();
    if (releasePending_) {
        releasePending_ = false;
        return 0;
    }
    present();
    const InputEvent event = nextEvent();
    // A key press is followed by its release; a resize or other event is not.
    releasePending_ = event.vk != 0 || event.ch != 0;
    return event.vk;
}

bool ConLib::keyWaiting(unsigned timeoutMs) {
    interrupt::throwIfPending();
    if (releasePending_) return true;
    present();
    const bool waiting = backend_->waitForInput(static_cast<int>(timeoutMs > INT_MAX ? INT_MAX : timeoutMs));
    interrupt::throwIfPending();
    return waiting;
}

void ConLib::sleep(unsigned ms) {
    // A stop is never held up by a pause, nor by a loop of pauses that reads
    // no keys (the jump's path calculation): the pause throws as a key wait does.
    interrupt::throwIfPending();
    present();
    backend_->sleepMs(ms);
    interrupt::throwIfPending();
}

void ConLib::checkInterrupt() {
    interrupt::throwIfPending();
    // Looking at the keyboard notices Ctrl+C and a terminal that went away;
    // keys typed meanwhile stay queued.
    backend_->waitForInput(0);
    interrupt::throwIfPending();
}

std::uint64_t ConLib::nowMs() { return backend_->nowMs(); }

void ConLib::echoTypedLine(std::string& line, int fieldWidth) {
    const int room = SCREEN_WIDTH - std::min<int>(cursor_.X, SCREEN_WIDTH);
    const std::size_t limit = static_cast<std::size_t>(fieldWidth > 0 ? std::min(fieldWidth, room) : room);
    // Where each typed character went, so Backspace can take it back.
    std::vector<Coord> places;
    cursorVisible_ = true;
    for (;;) {
        present();
        const InputEvent event = nextEvent();
        if (event.vk == keycode::Enter) {
            // A line without a word is no answer: keep waiting where the cursor is.
            if (!hasWord(line)) continue;
            putChar('\n');
            break;
        }
        if (event.vk == keycode::Backspace) {
            if (places.empty() || line.empty()) continue;  // never past what was typed
            line.pop_back();
            const Coord place = places.back();
            places.pop_back();
            Cell& cell = grid_.at(place.X, place.Y);
            cell = Cell{' ', static_cast<std::uint8_t>(text_), static_cast<std::uint8_t>(background_)};
            cursor_ = place;
            continue;
        }
        const unsigned char byte = static_cast<unsigned char>(event.ch);
        if (byte < 32 || byte >= 127 || line.size() >= MAX_TYPED_LINE || places.size() >= limit) continue;
        places.push_back(cursor_);
        line.push_back(event.ch);
        putChar(event.ch);
    }
    cursorVisible_ = false;
}

bool ConLib::wordPending() const { return hasWord(pending_); }

std::string ConLib::readWord(int fieldWidth) {
    releasePending_ = false;
    // Like a stream extraction, but a blank line is not even taken: typing
    // goes on in the same field until the line holds a word.
    while (!wordPending()) {
        pending_.clear();
        echoTypedLine(pending_, fieldWidth);
    }
    std::size_t start = 0;
    while (start < pending_.size() && isBlank(pending_[start])) ++start;
    std::size_t end = start;
    while (end < pending_.size() && !isBlank(pending_[end])) ++end;
    std::string word = pending_.substr(start, end - start);
    pending_.erase(0, end);
    return word;
}

int ConLib::readNumber(int fieldWidth) {
    const std::string word = readWord(fieldWidth);
    std::size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) negative = word[i++] == '-';
    if (i >= word.size()) return 0;
    long long value = 0;
    for (; i < word.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(word[i]))) return 0;
        if (value <= LLONG_MAX / 100) value = value * 10 + (word[i] - '0');
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

void ConLib::discardLine() { pending_.clear(); }

void ConLib::pause() {
    OutputString("Press any key to continue . . .");
    releasePending_ = false;
    while (GetKey() == 0) {
    }
    releasePending_ = false;
    putChar('\n');
}
