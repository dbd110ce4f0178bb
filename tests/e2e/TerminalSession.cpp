#include "TerminalSession.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

#ifndef STARHOLLOW_EXE
#error "STARHOLLOW_EXE must name the game's executable"
#endif

namespace {

constexpr int ROWS = 25;
constexpr int COLUMNS = 80;

using Clock = std::chrono::steady_clock;

int elapsedMs(Clock::time_point since) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// The environment of the child: ours, with the terminal's type set and
// nothing that would override the terminal's real size.
std::vector<std::string> childEnvironment(const std::string& term) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string_view entry(*e);
        if (entry.starts_with("TERM=") || entry.starts_with("LINES=") || entry.starts_with("COLUMNS=")) continue;
        env.emplace_back(entry);
    }
    if (!term.empty()) env.push_back("TERM=" + term);
    return env;
}

int colourNumber(const VTermColor& colour, bool foreground) {
    if (foreground && VTERM_COLOR_IS_DEFAULT_FG(&colour)) return 7;
    if (!foreground && VTERM_COLOR_IS_DEFAULT_BG(&colour)) return 0;
    if (VTERM_COLOR_IS_INDEXED(&colour)) return colour.indexed.idx & 7;
    return -1;  // a colour given as RGB: none of the game's
}

}  // namespace

TerminalSession::Options TerminalSession::in(const std::filesystem::path& folder, std::string term) {
    Options options;
    options.term = std::move(term);
    options.workDir = folder.string();
    return options;
}

#ifdef STARHOLLOW_WINDOWS_EXE
TerminalSession::Options TerminalSession::windowsIn(const std::filesystem::path& folder, const std::string& program) {
    Options options = in(folder);
    options.program = "/usr/bin/env";
    options.args = {"WINEPREFIX=" STARHOLLOW_WINE_PREFIX, "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=",
                    STARHOLLOW_WINE, program};
    return options;
}
#endif

TerminalSession::TerminalSession(const Options& options) {
    winsize size{};
    size.ws_row = ROWS;
    size.ws_col = COLUMNS;
    if (openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) throw std::runtime_error("openpty failed");
    tcgetattr(slave_, &before_);

    std::vector<std::string> argStrings{options.program.empty() ? std::string(STARHOLLOW_EXE) : options.program};
    argStrings.insert(argStrings.end(), options.args.begin(), options.args.end());
    const std::vector<std::string> envStrings = childEnvironment(options.term);
    std::vector<char*> argv;
    for (const std::string& a : argStrings) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : envStrings) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        setsid();
        ioctl(slave_, TIOCSCTTY, 0);
        dup2(slave_, 0);
        dup2(slave_, 1);
        dup2(slave_, 2);
        if (slave_ > 2) close(slave_);
        close(master_);
        if (chdir(options.workDir.c_str()) != 0) _exit(126);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);

    vt_ = vterm_new(ROWS, COLUMNS);
    vterm_set_utf8(vt_, 0);
    vterm_output_set_callback(vt_, &TerminalSession::onOutput, this);
    screen_ = vterm_obtain_screen(vt_);
    vterm_screen_enable_altscreen(screen_, 1);
    vterm_screen_reset(screen_, 1);
}

TerminalSession::~TerminalSession() {
    if (!reaped_ && pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
    if (vt_ != nullptr) vterm_free(vt_);
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
}

void TerminalSession::onOutput(const char* bytes, std::size_t length, void* self) {
    auto* session = static_cast<TerminalSession*>(self);
    session->lastKeyBytes_.append(bytes, length);
    session->writeToProgram(std::string_view(bytes, length));
}

void TerminalSession::writeToProgram(std::string_view bytes) {
    // The program may be busy: keep reading its output while the input
    // queue is full, or both sides would wait for ever.
    const auto start = Clock::now();
    while (!bytes.empty() && master_ >= 0) {
        const ssize_t written = ::write(master_, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) return;
        if (elapsedMs(start) > 10000) return;
        readAvailable(5);
    }
}

void TerminalSession::key(VTermKey which) {
    lastKeyBytes_.clear();
    vterm_keyboard_key(vt_, which, VTERM_MOD_NONE);
}

void TerminalSession::keys(VTermKey which, int times) {
    for (int i = 0; i < times; ++i) key(which);
}

void TerminalSession::type(std::string_view text) {
    for (char ch : text) {
        if (ch == '\n') {
            key(VTERM_KEY_ENTER);
        } else {
            lastKeyBytes_.clear();
            vterm_keyboard_unichar(vt_, static_cast<unsigned char>(ch), VTERM_MOD_NONE);
        }
    }
}

void TerminalSession::sendBytes(std::string_view bytes) { writeToProgram(bytes); }

void TerminalSession::readAvailable(int timeoutMs) {
    if (master_ < 0) return;
    pollfd fd{master_, POLLIN, 0};
    if (::poll(&fd, 1, timeoutMs) <= 0) return;
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(master_, buffer, sizeof buffer);
        if (got <= 0) return;
        output_.append(buffer, static_cast<std::size_t>(got));
        const std::string shown = expandRepeats(std::string_view(buffer, static_cast<std::size_t>(got)));
        vterm_input_write(vt_, shown.data(), shown.size());
    }
}

std::string TerminalSession::expandRepeats(std::string_view bytes) {
    std::string out;
    for (char ch : bytes) {
        if (sequence_.empty()) {
            if (ch == '\x1b') {
                sequence_.push_back(ch);
            } else {
                if (ch >= 0x20 && ch < 0x7f) lastGraphic_ = ch;
                out.push_back(ch);
            }
            continue;
        }
        sequence_.push_back(ch);
        if (sequence_.size() == 2 && ch != '[') {
            out += sequence_;  // not a control sequence: nothing to expand
            sequence_.clear();
            continue;
        }
        if (sequence_.size() > 2 && ch >= 0x40 && ch <= 0x7e) {
            const std::string_view params(sequence_.data() + 2, sequence_.size() - 3);
            if (ch == 'b' && params.find_first_not_of("0123456789") == std::string_view::npos) {
                const int count = params.empty() ? 1 : std::atoi(std::string(params).c_str());
                out.append(static_cast<std::size_t>(count), lastGraphic_);
            } else {
                out += sequence_;
            }
            sequence_.clear();
        }
    }
    return out;
}

void TerminalSession::pump(int ms) {
    const auto start = Clock::now();
    for (int left = ms; left > 0; left = ms - elapsedMs(start)) readAvailable(left);
}

bool TerminalSession::waitFor(const std::function<bool()>& condition, int timeoutMs) {
    const auto start = Clock::now();
    for (;;) {
        readAvailable(0);
        if (condition()) {
            // A screen arrives in pieces: let the rest of it come first.
            settle();
            if (condition()) return true;
        }
        if (elapsedMs(start) > timeoutMs) return false;
        readAvailable(20);
    }
}

void TerminalSession::settle(int quietMs) {
    std::size_t seen = output_.size();
    for (int i = 0; i < 200; ++i) {
        readAvailable(quietMs);
        if (output_.size() == seen) return;
        seen = output_.size();
    }
}

bool TerminalSession::waitForText(int x, int y, std::string_view text, int timeoutMs) {
    return waitFor([&] { return row(y).compare(static_cast<std::size_t>(x), text.size(), text) == 0; }, timeoutMs);
}

bool TerminalSession::screenHas(std::string_view text) const { return dump().find(text) != std::string::npos; }

testing::AssertionResult TerminalSession::typeWhenShown(std::string_view text, std::string_view keys,
                                                        int timeoutMs) {
    if (!waitFor([&] { return screenHas(text); }, timeoutMs))
        return testing::AssertionFailure() << "waited in vain for \"" << text << "\"; the screen:\n" << dump();
    type(keys);
    return testing::AssertionSuccess();
}

bool TerminalSession::menuShown() { return waitForText(34, 4, "N - New Game"); }

std::optional<std::pair<int, int>> TerminalSession::loadOntoMap(const std::string& name) {
    if (!menuShown()) return std::nullopt;
    type("L");
    if (!typeWhenShown("LOAD GAME", name + "\n")) return std::nullopt;
    std::optional<std::pair<int, int>> ship;
    waitFor([&] { return (ship = find('H', MAP_BLUE)).has_value(); });
    return ship;
}

bool TerminalSession::quitsCleanly() {
    if (!menuShown()) return false;
    type("E");
    if (!typeWhenShown("Are you sure", "Y")) return false;
    const std::optional<int> status = waitExit();
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

ShownCell TerminalSession::cell(int x, int y) const {
    VTermScreenCell raw{};
    vterm_screen_get_cell(screen_, VTermPos{y, x}, &raw);
    ShownCell shown;
    shown.ch = raw.chars[0] == 0 ? ' ' : static_cast<char>(raw.chars[0] < 128 ? raw.chars[0] : '?');
    shown.fg = colourNumber(raw.fg, true);
    shown.bg = colourNumber(raw.bg, false);
    shown.bold = raw.attrs.bold != 0;
    shown.underline = raw.attrs.underline != 0;
    shown.reverse = raw.attrs.reverse != 0;
    return shown;
}

std::string TerminalSession::row(int y) const {
    std::string text;
    for (int x = 0; x < COLUMNS; ++x) text.push_back(cell(x, y).ch);
    return text;
}

std::string TerminalSession::dump() const {
    std::string text;
    for (int y = 0; y < ROWS; ++y) text += row(y) + "\n";
    return text;
}

std::optional<std::pair<int, int>> TerminalSession::find(char ch, int bg) const {
    for (int y = 0; y < ROWS; ++y)
        for (int x = 0; x < COLUMNS; ++x) {
            const ShownCell shown = cell(x, y);
            if (shown.ch == ch && shown.bg == bg) return std::make_pair(x, y);
        }
    return std::nullopt;
}

void TerminalSession::signal(int sig) {
    if (!reaped_) kill(pid_, sig);
}

void TerminalSession::hangUp() {
    if (slave_ >= 0) close(slave_);
    slave_ = -1;
    if (master_ >= 0) close(master_);
    master_ = -1;
}

std::optional<int> TerminalSession::waitExit(int timeoutMs) {
    const auto start = Clock::now();
    while (!reaped_) {
        const pid_t done = waitpid(pid_, &status_, WNOHANG);
        if (done == pid_) {
            reaped_ = true;
            break;
        }
        if (elapsedMs(start) > timeoutMs) return std::nullopt;
        if (master_ >= 0) {
            readAvailable(10);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    readAvailable(0);
    return status_;
}

termios TerminalSession::modes() const {
    termios now{};
    tcgetattr(slave_, &now);
    return now;
}

bool sameModes(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

std::string describeStatus(int status) {
    if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}
