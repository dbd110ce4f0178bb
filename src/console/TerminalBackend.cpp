#include "console/TerminalBackend.h"

#include <ncurses.h>
#include <term.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <thread>

#include "console/CursesMapping.h"

namespace {

constexpr int ESCAPE_DELAY_MS = 25;

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

void onFatalSignal(int sig) {
    restoreTerminal();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
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
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        struct sigaction action {};
        action.sa_handler = onFatalSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(sig, &action, nullptr);
    }
    std::atexit(restoreTerminal);
    previousTerminate = std::set_terminate(onTerminate);
}

}  // namespace

void restoreTerminal() {
    if (activeScreen == nullptr) return;
    SCREEN* screen = activeScreen;
    activeScreen = nullptr;
    set_term(screen);
    if (!isendwin()) {
        curs_set(1);
        endwin();
    }
    if (activeOut != nullptr) {
        if (titlePushed) std::fputs("\033[23;0t", activeOut);  // the title the player had
        std::fputs("\033[0m", activeOut);
        std::fflush(activeOut);
    }
    titlePushed = false;
}

struct TerminalBackend::Impl {
    std::FILE* out = nullptr;
    std::FILE* in = nullptr;
    SCREEN* screen = nullptr;
    std::string term;
    bool colours = false;
    ScreenGrid shown;
    bool shownValid = false;
    ScreenGrid wanted;  // the last grid the game presented
    COORD cursor{0, 0};
    bool cursorVisible = false;
    KeyDecoder decoder;

    void start(std::FILE* o, std::FILE* i, const char* termType) {
        out = o;
        in = i;
        const char* envTerm = std::getenv("TERM");
        term = termType != nullptr ? termType : (envTerm != nullptr ? envTerm : "");
        screen = newterm(termType, out, in);
        if (screen == nullptr) {
            std::fprintf(stderr, "Starhollow cannot use this terminal (TERM=%s).\n", term.c_str());
            std::exit(1);
        }
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
    }

    bool largeEnough() const { return LINES >= SCREEN_HEIGHT && COLS >= SCREEN_WIDTH; }

    // In a terminal too small for the game, a notice stands until it grows.
    void waitUntilLargeEnough() {
        while (!largeEnough()) {
            erase();
            attrset(A_NORMAL);
            mvaddstr(0, 0, "Starhollow needs a terminal of at least 80 x 25.");
            mvprintw(1, 0, "This one is %d x %d: please enlarge the window.", COLS, LINES);
            refresh();
            wtimeout(stdscr, -1);
            const int code = wgetch(stdscr);
            if (code == 3) std::raise(SIGINT);
            if (code == ERR) std::raise(SIGHUP);  // the terminal is gone
        }
        erase();
        clearok(curscr, TRUE);
        shownValid = false;
    }

    void draw() {
        if (!largeEnough()) waitUntilLargeEnough();
        for (int y = 0; y < SCREEN_HEIGHT; ++y) {
            for (int x = 0; x < SCREEN_WIDTH; ++x) {
                const Cell& cell = wanted.at(x, y);
                if (shownValid && shown.at(x, y) == cell) continue;
                chtype attribute = colours ? COLOR_PAIR(colourPairFor(cell.fg, cell.bg)) : A_NORMAL;
                if (!colours && cell.bg != 0) attribute = A_REVERSE;
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

    // Reads one code within timeoutMs (-1: for ever); false on time-out.
    bool readCode(int timeoutMs, int& code) {
        wtimeout(stdscr, timeoutMs);
        code = wgetch(stdscr);
        return code != ERR;
    }

    bool waitForInput(int timeoutMs) {
        using clock = std::chrono::steady_clock;
        const auto deadline = clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
        while (!decoder.hasEvent()) {
            int wait = -1;
            if (decoder.escapePending()) {
                wait = ESCAPE_DELAY_MS;
            } else if (timeoutMs >= 0) {
                const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now());
                wait = left.count() > 0 ? static_cast<int>(left.count()) : 0;
            }
            int code = 0;
            if (!readCode(wait, code)) {
                if (decoder.escapePending()) {
                    decoder.flushEscape();
                    continue;
                }
                // A read without time limit fails only when the terminal is gone.
                if (wait < 0) std::raise(SIGHUP);
                return false;
            }
            if (code == 3) std::raise(SIGINT);  // Ctrl+C in raw mode
            decoder.feed(translate(code));
        }
        return true;
    }
};

TerminalBackend::TerminalBackend() : TerminalBackend(stdout, stdin, nullptr) {}

TerminalBackend::TerminalBackend(std::FILE* out, std::FILE* in, const char* termType)
    : impl_(std::make_unique<Impl>()) {
    impl_->start(out, in, termType);
}

TerminalBackend::~TerminalBackend() {
    if (activeScreen == impl_->screen) restoreTerminal();
    if (impl_->screen != nullptr) delscreen(impl_->screen);
}

void TerminalBackend::present(const ScreenGrid& grid, COORD cursor, bool cursorVisible) {
    impl_->wanted = grid;
    impl_->cursor = cursor;
    impl_->cursorVisible = cursorVisible;
    impl_->draw();
}

bool TerminalBackend::waitForInput(int timeoutMs) { return impl_->waitForInput(timeoutMs); }

InputEvent TerminalBackend::takeInput() { return impl_->decoder.takeEvent(); }

std::uint64_t TerminalBackend::nowMs() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void TerminalBackend::sleepMs(unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void TerminalBackend::setTitle(const std::string& title) {
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
    } else if (hasStatusLine) {
        std::fputs(tparm(const_cast<char*>(tsl), 0), impl_->out);
        std::fputs(clean.c_str(), impl_->out);
        std::fputs(fsl, impl_->out);
    }
    std::fflush(impl_->out);
}
