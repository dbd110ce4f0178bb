#include "presenters/terminal/TerminalBackend.h"

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Terminal.h"
#include "presenters/ScreenNotice.h"
#include "presenters/terminal/CursesMapping.h"
#include "presenters/terminal/Monochrome.h"
#include "screen/Interrupt.h"

namespace {

namespace term = platform::terminal;

constexpr int ESCAPE_DELAY_MS = 25;
// Ctrl+C as the terminal sends it in raw mode.
constexpr int CTRL_C = 3;

std::vector<term::Pair> gamePairs() {
    std::vector<term::Pair> pairs;
    for (short p = 0; p < COLOUR_PAIRS_USED; ++p) {
        const PairColours colours = coloursOfPair(p);
        pairs.push_back(term::Pair{colours.text, colours.background});
    }
    return pairs;
}

term::Look lookOf(const Cell& cell) {
    const MonoLook look = monochromeLook(cell);
    return term::Look{look.reverse, look.bold, look.underline};
}

// Only printable ASCII reaches the title: nothing the game writes there can
// become a control sequence.
std::string printable(const std::string& text) {
    std::string clean;
    for (char ch : text)
        if (ch >= 32 && ch < 127) clean.push_back(ch);
    return clean;
}

}  // namespace

TerminalUnusable::TerminalUnusable(const std::string& term, bool known)
    : ConsoleUnusable("Starhollow needs a terminal that can position the cursor, 80 x 25 or larger; TERM=" +
                      (term.empty() ? std::string("(unset)") : term) +
                      (known ? " cannot." : " is unknown to terminfo.") +
                      " Set TERM to your terminal's type, e.g. TERM=xterm-256color.") {}

struct TerminalBackend::Impl {
    ScreenGrid shown;
    bool shownValid = false;
    ScreenGrid wanted;  // the last grid the game presented
    Coord cursor{0, 0};
    bool cursorVisible = false;
    KeyDecoder decoder;

    void start(std::FILE* out, std::FILE* in, const char* termType) {
        const char* envTerm = std::getenv("TERM");
        const std::string name = termType != nullptr ? termType : (envTerm != nullptr ? envTerm : "");
        // Refused before anything is drawn.
        const term::Refusal refusal = term::check(out, termType);
        if (refusal != term::Refusal::None) throw TerminalUnusable(name, refusal == term::Refusal::CannotPlaceCursor);
        if (!term::takeOver(out, in, termType, gamePairs())) throw TerminalUnusable(name, false);
    }

    static bool largeEnough() { return term::height() >= SCREEN_HEIGHT && term::width() >= SCREEN_WIDTH; }

    // In a terminal too small for the game, a notice stands until it grows.
    void waitUntilLargeEnough() {
        while (!largeEnough()) {
            term::clearScreen();
            const std::vector<std::string> notice = smallScreenNotice(term::width(), term::height());
            for (std::size_t line = 0; line < notice.size(); ++line) term::writeLine(static_cast<int>(line), notice[line]);
            term::update();
            term::Key key;
            // A signal (or Ctrl+C) ends the wait; the key wait that follows throws.
            if (!readKeyOrSignal(-1, key)) return;
        }
        term::clearScreen();
        term::redrawAll();
        shownValid = false;
    }

    void draw() {
        if (interrupt::terminalGone()) return;
        if (!largeEnough()) waitUntilLargeEnough();
        if (!largeEnough()) return;  // a signal ended the wait
        const bool colours = term::coloursUsable();
        for (int y = 0; y < SCREEN_HEIGHT; ++y) {
            for (int x = 0; x < SCREEN_WIDTH; ++x) {
                const Cell& cell = wanted.at(x, y);
                if (shownValid && shown.at(x, y) == cell) continue;
                const auto ch = static_cast<unsigned char>(cell.ch);
                if (colours)
                    term::writeCell(x, y, ch, colourPairFor(cell.fg, cell.bg));
                else
                    term::writeCell(x, y, ch, lookOf(cell));
            }
        }
        shown = wanted;
        shownValid = true;
        if (cursorVisible)
            term::placeCursor(cursor.X, cursor.Y, true);
        else
            term::placeCursor(SCREEN_WIDTH - 1, SCREEN_HEIGHT - 1, false);
        term::update();
    }

    // The decoder's input for one key read from the terminal.
    int translate(const term::Key& key) {
        switch (key.kind) {
            case term::Key::Kind::Byte: return key.byte;
            case term::Key::Kind::Named: return rawFromCursesKey(key.name);
            case term::Key::Kind::Resize: break;
        }
        if (!largeEnough()) waitUntilLargeEnough();
        shownValid = false;
        draw();
        return rawkey::Other;
    }

    // One code, or false when a signal came, Ctrl+C was typed or the
    // terminal went away (each recorded as its signal).
    bool readKeyOrSignal(int timeoutMs, term::Key& key) {
        for (;;) {
            switch (term::readKey(timeoutMs, key)) {
                case term::Read::Key:
                    if (key.kind != term::Key::Kind::Byte || key.byte != CTRL_C) return true;
                    interrupt::deliver(SIGINT);
                    endAtOnceIfTypedAgain();
                    return false;
                case term::Read::Gone: interrupt::deliver(SIGHUP); return false;
                case term::Read::TimedOut: return false;
                case term::Read::Woken:
                    if (interrupt::pending() != 0) return false;
                    break;  // another signal (a resize): read again
            }
        }
    }

    // Ctrl+C typed again before the game read the first one: it ends the
    // game at once, as a second one typed later does (the terminal turns
    // that one into SIGINT from the first stop on). Nothing reads the other
    // keys any more.
    static void endAtOnceIfTypedAgain() {
        term::Key key;
        while (term::readKey(0, key) == term::Read::Key)
            if (key.kind == term::Key::Kind::Byte && key.byte == CTRL_C) std::raise(SIGINT);
    }

    bool waitForInput(int timeoutMs) {
        using clock = std::chrono::steady_clock;
        const auto deadline = clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
        while (!decoder.hasEvent()) {
            if (interrupt::pending() != 0) return false;
            int wait = -1;
            if (decoder.escapePending()) {
                wait = ESCAPE_DELAY_MS;
            } else if (timeoutMs >= 0) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now());
                wait = left.count() > 0 ? static_cast<int>(left.count()) : 0;
            }
            term::Key key;
            if (!readKeyOrSignal(wait, key)) {
                if (interrupt::pending() != 0) return false;
                if (decoder.escapePending()) {
                    decoder.flushEscape();
                    continue;
                }
                return false;
            }
            decoder.feed(translate(key));
        }
        return true;
    }

    void sleep(unsigned ms) {
        using clock = std::chrono::steady_clock;
        const auto deadline = clock::now() + std::chrono::milliseconds(ms);
        while (interrupt::pending() == 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now());
            if (left.count() <= 0) return;
            // Keys typed during the pause wait their turn; Ctrl+C, a signal
            // and a terminal that went away end it at once.
            term::Key key;
            if (readKeyOrSignal(static_cast<int>(left.count()), key)) decoder.feed(translate(key));
        }
    }
};

TerminalBackend::TerminalBackend() : TerminalBackend(stdout, stdin, nullptr) {}

TerminalBackend::TerminalBackend(std::FILE* out, std::FILE* in, const char* termType)
    : impl_(std::make_unique<Impl>()) {
    impl_->start(out, in, termType);
}

TerminalBackend::~TerminalBackend() { term::release(); }

void TerminalBackend::present(const ScreenGrid& grid, Coord cursor, bool cursorVisible) {
    impl_->wanted = grid;
    impl_->cursor = cursor;
    impl_->cursorVisible = cursorVisible;
    impl_->draw();
}

bool TerminalBackend::waitForInput(int timeoutMs) { return impl_->waitForInput(timeoutMs); }

InputEvent TerminalBackend::takeInput() { return impl_->decoder.takeEvent(); }

std::uint64_t TerminalBackend::nowMs() { return platform::monotonicMs(); }

void TerminalBackend::sleepMs(unsigned ms) { impl_->sleep(ms); }

void TerminalBackend::setTitle(const std::string& title) {
    if (interrupt::terminalGone()) return;
    term::setTitle(printable(title));
}
