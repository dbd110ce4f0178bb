#include "presenters/terminal/TerminalBackend.h"

#include <fcntl.h>
#include <ncurses.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <term.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "presenters/terminal/CursesMapping.h"
#include "screen/Interrupt.h"
#include "presenters/terminal/Monochrome.h"
#include "presenters/ScreenNotice.h"
#include "platform/Clock.h"
#include "platform/posix/Interrupts.h"

namespace {

constexpr int ESCAPE_DELAY_MS = 25;
// Ctrl+C as the terminal sends it in raw mode.
constexpr int CTRL_C = 3;

// The one terminal the game has taken over, for the restore on every exit.
SCREEN* activeScreen = nullptr;
std::FILE* activeOut = nullptr;
bool titlePushed = false;
std::terminate_handler previousTerminate = nullptr;

bool titleByOsc(const char* term) {
    if (term == nullptr) return false;
    static const char* const families[] = {"xterm", "rxvt", "screen", "tmux", "alacritty", "kitty",
                                           "foot", "gnome", "konsole", "vte", "st-", "wezterm"};
    for (const char* family : families)
        if (std::strncmp(term, family, std::strlen(family)) == 0) return true;
    return false;
}

void onTerminate() {
    restoreTerminal();
    if (previousTerminate != nullptr) previousTerminate();
    std::abort();
}

void installRestoreHandlers() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    interrupt::install();
    std::atexit(restoreTerminal);
    previousTerminate = std::set_terminate(onTerminate);
}

// A terminfo string capability, or null when the terminal has none.
const char* capability(const char* name) {
    const char* value = tigetstr(const_cast<char*>(name));
    return value == reinterpret_cast<char*>(-1) ? nullptr : value;
}

// The bytes a capability sends, with its padding worked out.
std::string* expanding = nullptr;
int collectByte(int ch) {
    if (ch != 0) expanding->push_back(static_cast<char>(ch));
    return ch;
}
void appendCapability(std::string& into, const char* name) {
    const char* value = capability(name);
    if (value == nullptr) return;
    expanding = &into;
    tputs(value, 1, collectByte);
    expanding = nullptr;
}

// Terminals without an alternate screen (the Linux console) keep the last
// picture after the game unless it is cleared.
bool hasAlternateScreen() { return capability("rmcup") != nullptr; }

// What leaves the game's screen: plain colours, the cursor, the keypad and
// the player's own screen (or a cleared one) and title.
std::string leavingBytes() {
    std::string bytes;
    appendCapability(bytes, "sgr0");
    appendCapability(bytes, "cnorm");
    appendCapability(bytes, "rmkx");
    if (hasAlternateScreen()) {
        appendCapability(bytes, "rmcup");
    } else {
        appendCapability(bytes, "clear");
    }
    if (titlePushed) bytes += "\033[23;0t";
    return bytes;
}

// The terminal's modes from before the game took it over, for the restore
// that runs inside a signal handler.
termios shellModes{};
bool shellModesKnown = false;

void prepareEmergencyRestore() {
    if (activeOut == nullptr) return;
    interrupt::setEmergencyRestore(fileno(activeOut), shellModesKnown ? &shellModes : nullptr, leavingBytes());
}

}  // namespace

void restoreTerminal() {
    if (activeScreen == nullptr) return;
    SCREEN* screen = activeScreen;
    activeScreen = nullptr;
    if (interrupt::terminalGone()) {
        // After a hangup nothing may wait on the terminal: curses would.
        interrupt::emergencyRestore();
        titlePushed = false;
        return;
    }
    interrupt::clearEmergencyRestore();
    set_term(screen);
    if (!isendwin()) {
        curs_set(1);
        endwin();
    }
    if (activeOut != nullptr) {
        if (titlePushed) std::fputs("\033[23;0t", activeOut);  // the title the player had
        std::fputs("\033[0m", activeOut);
        if (!hasAlternateScreen()) {
            std::string clear;
            appendCapability(clear, "clear");
            std::fputs(clear.c_str(), activeOut);
        }
        std::fflush(activeOut);
    }
    titlePushed = false;
}

TerminalUnusable::TerminalUnusable(const std::string& term, bool known)
    : ConsoleUnusable("Starhollow needs a terminal that can position the cursor, 80 x 25 or larger; TERM=" +
                      (term.empty() ? std::string("(unset)") : term) +
                      (known ? " cannot." : " is unknown to terminfo.") +
                      " Set TERM to your terminal's type, e.g. TERM=xterm-256color.") {}

struct TerminalBackend::Impl {
    std::FILE* out = nullptr;
    std::FILE* in = nullptr;
    SCREEN* screen = nullptr;
    std::string term;
    bool colours = false;
    ScreenGrid shown;
    bool shownValid = false;
    ScreenGrid wanted;  // the last grid the game presented
    Coord cursor{0, 0};
    bool cursorVisible = false;
    KeyDecoder decoder;

    void start(std::FILE* o, std::FILE* i, const char* termType) {
        out = o;
        in = i;
        const char* envTerm = std::getenv("TERM");
        term = termType != nullptr ? termType : (envTerm != nullptr ? envTerm : "");
        refuseUnusableTerminal(termType);
        shellModesKnown = tcgetattr(fileno(out), &shellModes) == 0;
        screen = newterm(termType, out, in);
        if (screen == nullptr) throw TerminalUnusable(term, false);
        set_term(screen);
        activeScreen = screen;
        activeOut = out;
        installRestoreHandlers();
        raw();
        noecho();
        nonl();
        keypad(stdscr, TRUE);
        intrflush(stdscr, FALSE);
        set_escdelay(ESCAPE_DELAY_MS);
        curs_set(0);
        if (has_colors()) {
            start_color();
            const PairColours standard = coloursOfPair(0);
            assume_default_colors(standard.text, standard.background);
            colours = COLOR_PAIRS >= COLOUR_PAIRS_USED;
            for (short p = 1; colours && p < COLOUR_PAIRS_USED; ++p) {
                const PairColours pair = coloursOfPair(p);
                init_pair(p, pair.text, pair.background);
            }
        }
        prepareEmergencyRestore();
    }

    // Before anything is drawn: a terminal that cannot place the cursor
    // (TERM=dumb) or that terminfo does not know cannot show the game.
    void refuseUnusableTerminal(const char* termType) {
        int status = 0;
        if (setupterm(termType, fileno(out), &status) != OK) throw TerminalUnusable(term, false);
        const bool placesCursor = capability("cup") != nullptr;
        del_curterm(cur_term);
        if (!placesCursor) throw TerminalUnusable(term, true);
    }

    bool largeEnough() const { return LINES >= SCREEN_HEIGHT && COLS >= SCREEN_WIDTH; }

    // In a terminal too small for the game, a notice stands until it grows.
    void waitUntilLargeEnough() {
        while (!largeEnough()) {
            erase();
            attrset(A_NORMAL);
            const std::vector<std::string> notice = smallScreenNotice(COLS, LINES);
            for (std::size_t line = 0; line < notice.size(); ++line)
                mvaddstr(static_cast<int>(line), 0, notice[line].c_str());
            refresh();
            int code = 0;
            // A signal (or Ctrl+C) ends the wait; the key wait that follows throws.
            if (!readKeyOrSignal(-1, code)) return;
        }
        erase();
        clearok(curscr, TRUE);
        shownValid = false;
    }

    void draw() {
        if (interrupt::terminalGone()) return;
        if (!largeEnough()) waitUntilLargeEnough();
        if (!largeEnough()) return;  // a signal ended the wait
        for (int y = 0; y < SCREEN_HEIGHT; ++y) {
            for (int x = 0; x < SCREEN_WIDTH; ++x) {
                const Cell& cell = wanted.at(x, y);
                if (shownValid && shown.at(x, y) == cell) continue;
                const chtype attribute = colours ? COLOR_PAIR(colourPairFor(cell.fg, cell.bg)) : monochrome(cell);
                // The bottom-right cell reports an error after writing: harmless.
                mvaddch(y, x, static_cast<chtype>(static_cast<unsigned char>(cell.ch)) | attribute);
            }
        }
        shown = wanted;
        shownValid = true;
        if (cursorVisible) {
            curs_set(1);
            move(cursor.Y, cursor.X);
        } else {
            curs_set(0);
            move(SCREEN_HEIGHT - 1, SCREEN_WIDTH - 1);
        }
        refresh();
    }

    int translate(int code) {
        if (code == KEY_RESIZE) {
            if (!largeEnough()) waitUntilLargeEnough();
            shownValid = false;
            draw();
            return rawkey::Other;
        }
        return rawFromCursesKey(code, code > 255 ? keyname(code) : nullptr);
    }

    enum class Read { Key, TimedOut, Woken, Gone };

    // Reads one code within timeoutMs (-1: for ever). Waits on the terminal
    // and on the signal wake-up together, so a signal ends the wait.
    Read readCode(int timeoutMs, int& code) {
        // Curses may hold bytes it has read already: take those first.
        wtimeout(stdscr, 0);
        code = wgetch(stdscr);
        if (code != ERR) return Read::Key;
        if (interrupt::pending() != 0) return Read::Woken;
        pollfd fds[2] = {{fileno(in), POLLIN, 0}, {interrupt::wakeFd(), POLLIN, 0}};
        const int ready = ::poll(fds, fds[1].fd >= 0 ? 2 : 1, timeoutMs);
        if (ready < 0) return errno == EINTR ? Read::Woken : Read::Gone;
        if (ready == 0) return Read::TimedOut;
        if (fds[1].revents != 0) return Read::Woken;
        code = wgetch(stdscr);
        if (code != ERR) return Read::Key;
        // Readable, yet nothing to read: the end of the input, or a hangup.
        int waiting = 0;
        if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 || ::ioctl(fileno(in), FIONREAD, &waiting) != 0 ||
            waiting == 0)
            return Read::Gone;
        return Read::Woken;
    }

    // One code, or false when a signal came, Ctrl+C was typed or the
    // terminal went away (each recorded as its signal).
    bool readKeyOrSignal(int timeoutMs, int& code) {
        for (;;) {
            switch (readCode(timeoutMs, code)) {
                case Read::Key:
                    if (code != CTRL_C) return true;
                    interrupt::deliver(SIGINT);
                    endAtOnceIfTypedAgain();
                    return false;
                case Read::Gone: interrupt::deliver(SIGHUP); return false;
                case Read::TimedOut: return false;
                case Read::Woken:
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
        wtimeout(stdscr, 0);
        for (int code = wgetch(stdscr); code != ERR; code = wgetch(stdscr))
            if (code == CTRL_C) ::raise(SIGINT);
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
            int code = 0;
            if (!readKeyOrSignal(wait, code)) {
                if (interrupt::pending() != 0) return false;
                if (decoder.escapePending()) {
                    decoder.flushEscape();
                    continue;
                }
                return false;
            }
            decoder.feed(translate(code));
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
            int code = 0;
            if (readKeyOrSignal(static_cast<int>(left.count()), code)) decoder.feed(translate(code));
        }
    }

    static chtype monochrome(const Cell& cell) {
        const MonoLook look = monochromeLook(cell);
        chtype attribute = A_NORMAL;
        if (look.reverse) attribute |= A_REVERSE;
        if (look.bold) attribute |= A_BOLD;
        if (look.underline) attribute |= A_UNDERLINE;
        return attribute;
    }
};

TerminalBackend::TerminalBackend() : TerminalBackend(stdout, stdin, nullptr) {}

TerminalBackend::TerminalBackend(std::FILE* out, std::FILE* in, const char* termType)
    : impl_(std::make_unique<Impl>()) {
    impl_->start(out, in, termType);
}

TerminalBackend::~TerminalBackend() {
    if (activeScreen == impl_->screen) restoreTerminal();
    // After a hangup the process ends by the signal; curses is left alone.
    if (impl_->screen != nullptr && !interrupt::terminalGone()) delscreen(impl_->screen);
}

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
    std::string clean;
    for (char ch : title)
        if (ch >= 32 && ch < 127) clean.push_back(ch);
    const char* tsl = tigetstr(const_cast<char*>("tsl"));
    const char* fsl = tigetstr(const_cast<char*>("fsl"));
    const bool hasStatusLine = tsl != nullptr && tsl != reinterpret_cast<char*>(-1) && fsl != nullptr &&
                               fsl != reinterpret_cast<char*>(-1);
    if (titleByOsc(impl_->term.c_str())) {
        if (!titlePushed) std::fputs("\033[22;0t", impl_->out);  // keep the player's title
        titlePushed = true;
        std::fprintf(impl_->out, "\033]0;%s\007", clean.c_str());
        prepareEmergencyRestore();
    } else if (hasStatusLine) {
        std::fputs(tparm(const_cast<char*>(tsl), 0), impl_->out);
        std::fputs(clean.c_str(), impl_->out);
        std::fputs(fsl, impl_->out);
    }
    std::fflush(impl_->out);
}
