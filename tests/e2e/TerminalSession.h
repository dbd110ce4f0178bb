#pragma once
// The real game in a pseudo-terminal of 80 x 25, its screen read through
// libvterm, and keys sent the way a terminal sends them: libvterm encodes
// them, so arrows follow the cursor-key mode the game set.

#include <gtest/gtest.h>
#include <sys/types.h>
#include <termios.h>
#include <vterm.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The map's background, where the ship is looked for.
constexpr int MAP_BLUE = 4;
// The first engine lets 15 presses pass: a step takes 16.
constexpr int PRESSES_PER_STEP = 16;

// One cell as the emulator shows it. Colours are numbers 0 to 7; the
// terminal's default colours count as white (7) on black (0).
struct ShownCell {
    char ch = ' ';
    int fg = 7;
    int bg = 0;
    bool bold = false;
    bool underline = false;
    bool reverse = false;
};

class TerminalSession {
public:
    struct Options {
        std::string term = "xterm-256color";
        std::vector<std::string> args;
        std::string workDir = ".";
        std::string program;  // the game built beside the tests when empty
    };

    // The game started in `folder` under TERM=`term`.
    static Options in(const std::filesystem::path& folder, std::string term = "xterm-256color");
#ifdef STARHOLLOW_WINDOWS_EXE
    // The Windows game (or another Windows program) under Wine, started in `folder`.
    static Options windowsIn(const std::filesystem::path& folder, const std::string& program = STARHOLLOW_WINDOWS_EXE);
#endif

    explicit TerminalSession(const Options& options);
    ~TerminalSession();  // a program still running is killed
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    // Keys through the emulator's keyboard encoder.
    void key(VTermKey key);
    void keys(VTermKey key, int times);
    // Printable characters; '\n' is the Enter key.
    void type(std::string_view text);
    // Raw bytes, as typed (control characters too).
    void sendBytes(std::string_view bytes);
    // What the encoder sent for the last key().
    const std::string& lastKeyBytes() const { return lastKeyBytes_; }

    // Reads the program's output into the emulator for `ms` milliseconds.
    void pump(int ms);
    // Reads until `condition` holds or `timeoutMs` passed; its last value.
    bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000);
    bool waitForText(int x, int y, std::string_view text, int timeoutMs = 10000);
    bool screenHas(std::string_view text) const;
    // Reads until the program has written nothing for `quietMs`.
    void settle(int quietMs = 40);

    // Once `text` shows anywhere, types `keys`; a failure shows the screen.
    testing::AssertionResult typeWhenShown(std::string_view text, std::string_view keys, int timeoutMs = 10000);
    // The main menu is shown.
    bool menuShown();
    // Loads galaxy `name` from the main menu; the ship's cell once the map shows it.
    std::optional<std::pair<int, int>> loadOntoMap(const std::string& name);
    // Leaves through E and Y; true when the program then ended with status 0.
    bool quitsCleanly();

    ShownCell cell(int x, int y) const;
    std::string row(int y) const;
    std::string dump() const;
    // The first cell showing `ch` on background `bg`, if any.
    std::optional<std::pair<int, int>> find(char ch, int bg) const;
    // Everything the program wrote so far.
    const std::string& output() const { return output_; }

    void signal(int sig);
    // Closes the terminal's master side: a hangup, as when a connection drops.
    void hangUp();
    // The raw wait status once the program ended within timeoutMs.
    std::optional<int> waitExit(int timeoutMs = 10000);

    // The terminal's modes now, and as they were before the program started.
    termios modes() const;
    const termios& modesBefore() const { return before_; }

private:
    static void onOutput(const char* bytes, std::size_t length, void* self);
    // libvterm 0.1.4 puts the cursor in its pending-wrap state after a REP
    // (repeat the last character, CSI n b) that ends before the last column,
    // so the next character scrolls the screen; real terminals do not. The
    // repeats are written out before the emulator sees them.
    std::string expandRepeats(std::string_view bytes);
    void writeToProgram(std::string_view bytes);
    void readAvailable(int timeoutMs);

    int master_ = -1;
    int slave_ = -1;  // kept open so that the modes can be read after the end
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
    termios before_{};
    VTerm* vt_ = nullptr;
    VTermScreen* screen_ = nullptr;
    std::string output_;
    std::string lastKeyBytes_;
    std::string sequence_;  // an escape sequence not complete yet
    char lastGraphic_ = ' ';
};

// The same termios in every field a program may change.
bool sameModes(const termios& a, const termios& b);
// A wait status in words.
std::string describeStatus(int status);
