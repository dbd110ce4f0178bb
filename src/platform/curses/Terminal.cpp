#include "platform/Terminal.h"

#include <ncurses.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <term.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "platform/Interrupts.h"
#include "platform/posix/Interrupts.h"

namespace platform::terminal {

namespace {

constexpr int ESCAPE_DELAY_MS = 25;

// The one terminal taken over, for the give-back on every exit.
SCREEN* activeScreen = nullptr;
SCREEN* ownScreen = nullptr;
std::FILE* activeOut = nullptr;
std::FILE* activeIn = nullptr;
std::string activeTerm;
bool colours = false;
bool titlePushed = false;
std::terminate_handler previousTerminate = nullptr;

// The terminal's modes from before the takeover, for the give-back that
// runs inside a signal handler.
termios shellModes{};
bool shellModesKnown = false;

bool titleByOsc(const std::string& term) {
    static const char* const families[] = {"xterm", "rxvt", "screen", "tmux", "alacritty", "kitty",
                                           "foot", "gnome", "konsole", "vte", "st-", "wezterm"};
    for (const char* family : families)
        if (term.compare(0, std::strlen(family), family) == 0) return true;
    return false;
}

void onTerminate() {
    giveBack();
    if (previousTerminate != nullptr) previousTerminate();
    std::abort();
}

void installGiveBackHandlers() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    interrupt::install();
    std::atexit(giveBack);
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

void prepareEmergencyRestore() {
    if (activeOut == nullptr) return;
    interrupt::setEmergencyRestore(fileno(activeOut), shellModesKnown ? &shellModes : nullptr, leavingBytes());
}

void definePairs(const std::vector<Pair>& pairs) {
    colours = false;
    if (!has_colors() || pairs.empty()) return;
    start_color();
    assume_default_colors(pairs[0].text, pairs[0].background);
    colours = COLOR_PAIRS >= static_cast<int>(pairs.size());
    for (std::size_t p = 1; colours && p < pairs.size(); ++p)
        init_pair(static_cast<short>(p), pairs[p].text, pairs[p].background);
}

Key keyOf(int code) {
    if (code == KEY_RESIZE) return Key{Key::Kind::Resize, 0, {}};
    if (code >= 0 && code <= 255) return Key{Key::Kind::Byte, code, {}};
    const char* name = keyname(code);
    return Key{Key::Kind::Named, 0, name != nullptr ? name : ""};
}

// Waits on the terminal and on the stops' wake-up together, so that a stop
// ends the wait.
Read waitReadable(int timeoutMs, int& code) {
    pollfd fds[2] = {{fileno(activeIn), POLLIN, 0}, {interrupt::wakeFd(), POLLIN, 0}};
    const int ready = ::poll(fds, fds[1].fd >= 0 ? 2 : 1, timeoutMs);
    if (ready < 0) return errno == EINTR ? Read::Woken : Read::Gone;
    if (ready == 0) return Read::TimedOut;
    if (fds[1].revents != 0) return Read::Woken;
    code = wgetch(stdscr);
    if (code != ERR) return Read::Key;
    // Readable, yet nothing to read: the end of the input, or a hangup.
    int waiting = 0;
    if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 || ::ioctl(fileno(activeIn), FIONREAD, &waiting) != 0 ||
        waiting == 0)
        return Read::Gone;
    return Read::Woken;
}

}  // namespace

Refusal check(std::FILE* out, const char* termType) {
    int status = 0;
    if (setupterm(termType, fileno(out), &status) != OK) return Refusal::Unknown;
    const bool placesCursor = capability("cup") != nullptr;
    del_curterm(cur_term);
    return placesCursor ? Refusal::None : Refusal::CannotPlaceCursor;
}

bool takeOver(std::FILE* out, std::FILE* in, const char* termType, const std::vector<Pair>& pairs) {
    const char* envTerm = std::getenv("TERM");
    activeTerm = termType != nullptr ? termType : (envTerm != nullptr ? envTerm : "");
    shellModesKnown = tcgetattr(fileno(out), &shellModes) == 0;
    SCREEN* screen = newterm(termType, out, in);
    if (screen == nullptr) return false;
    set_term(screen);
    activeScreen = ownScreen = screen;
    activeOut = out;
    activeIn = in;
    installGiveBackHandlers();
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    intrflush(stdscr, FALSE);
    set_escdelay(ESCAPE_DELAY_MS);
    curs_set(0);
    definePairs(pairs);
    prepareEmergencyRestore();
    return true;
}

bool coloursUsable() { return colours; }

void giveBack() {
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

void release() {
    if (ownScreen == nullptr) return;
    if (activeScreen == ownScreen) giveBack();
    // After a hangup the process ends by the signal; curses is left alone.
    if (!interrupt::terminalGone()) delscreen(ownScreen);
    ownScreen = nullptr;
}

int width() { return COLS; }
int height() { return LINES; }

void clearScreen() {
    erase();
    attrset(A_NORMAL);
}

void writeLine(int y, const std::string& text) { mvaddstr(y, 0, text.c_str()); }

void writeCell(int x, int y, unsigned char ch, short pair) {
    // The bottom-right cell reports an error after writing: harmless.
    mvaddch(y, x, static_cast<chtype>(ch) | COLOR_PAIR(pair));
}

void writeCell(int x, int y, unsigned char ch, Look look) {
    chtype attribute = A_NORMAL;
    if (look.reverse) attribute |= A_REVERSE;
    if (look.bold) attribute |= A_BOLD;
    if (look.underline) attribute |= A_UNDERLINE;
    mvaddch(y, x, static_cast<chtype>(ch) | attribute);
}

void redrawAll() { clearok(curscr, TRUE); }

void placeCursor(int x, int y, bool visible) {
    curs_set(visible ? 1 : 0);
    move(y, x);
}

void update() { refresh(); }

Read readKey(int timeoutMs, Key& key) {
    // Curses may hold bytes it has read already: take those first.
    wtimeout(stdscr, 0);
    int code = wgetch(stdscr);
    Read read = Read::Key;
    if (code == ERR) read = interrupt::pending() != 0 ? Read::Woken : waitReadable(timeoutMs, code);
    if (read == Read::Key) key = keyOf(code);
    return read;
}

void setTitle(const std::string& title) {
    const char* tsl = capability("tsl");
    const char* fsl = capability("fsl");
    if (titleByOsc(activeTerm)) {
        if (!titlePushed) std::fputs("\033[22;0t", activeOut);  // keep the player's title
        titlePushed = true;
        std::fprintf(activeOut, "\033]0;%s\007", title.c_str());
        prepareEmergencyRestore();
    } else if (tsl != nullptr && fsl != nullptr) {
        std::fputs(tparm(const_cast<char*>(tsl), 0), activeOut);
        std::fputs(title.c_str(), activeOut);
        std::fputs(fsl, activeOut);
    }
    std::fflush(activeOut);
}

}  // namespace platform::terminal
