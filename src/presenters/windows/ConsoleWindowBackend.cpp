// The player's console on Windows: the console window itself, drawn and read
// through the console API (platform/ConsoleWindow.h).

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <exception>
#include <string>
#include <vector>

#include "presenters/windows/ConsoleWindowInput.h"
#include "screen/Interrupt.h"
#include "presenters/PlayerConsole.h"
#include "presenters/ScreenNotice.h"
#include "presenters/windows/WindowsConsoleMapping.h"
#include "platform/Clock.h"
#include "platform/ConsoleWindow.h"

namespace {

namespace wc = platform::winconsole;

// How often a window too small for the game is measured again: the classic
// console reports a new window size only when its buffer changes too.
constexpr int RESIZE_POLL_MS = 250;
// Ctrl+C as a key, where the console hands it over instead of raising its event.
constexpr char CTRL_C = 3;

std::terminate_handler previousTerminate = nullptr;

void onTerminate() {
    wc::giveBack();
    if (previousTerminate != nullptr) previousTerminate();
    std::abort();
}

constexpr wc::Size GAME_SIZE{SCREEN_WIDTH, SCREEN_HEIGHT};

bool largeEnough(wc::Size size) { return size.columns >= SCREEN_WIDTH && size.rows >= SCREEN_HEIGHT; }

std::uint16_t shownAttribute(unsigned text, unsigned background) {
    return attributeForConsole(consoleAttribute(text, background), wc::underWine());
}

class ConsoleWindowBackend : public Backend {
public:
    ConsoleWindowBackend() {
        interrupt::install();
        if (!wc::takeOver())
            throw ConsoleUnusable(
                "Starhollow needs a console window of at least 80 x 25; its input and output cannot be redirected.");
        previousTerminate = std::set_terminate(onTerminate);
        wc::fitToWindow(GAME_SIZE);
    }
    ~ConsoleWindowBackend() override { wc::giveBack(); }
    ConsoleWindowBackend(const ConsoleWindowBackend&) = delete;
    ConsoleWindowBackend& operator=(const ConsoleWindowBackend&) = delete;

    void present(const ScreenGrid& grid, Coord cursor, bool cursorVisible) override {
        wanted_ = grid;
        cursor_ = cursor;
        cursorVisible_ = cursorVisible;
        draw();
    }

    bool waitForInput(int timeoutMs) override {
        const std::uint64_t deadline = platform::monotonicMs() + static_cast<std::uint64_t>(std::max(timeoutMs, 0));
        while (events_.empty()) {
            if (interrupt::pending() != 0) return false;
            const int wait = timeoutMs < 0 ? -1 : static_cast<int>(millisecondsUntil(deadline));
            if (!readRecord(wait)) return false;
        }
        return true;
    }

    InputEvent takeInput() override {
        const InputEvent event = events_.front();
        events_.pop_front();
        return event;
    }

    std::uint64_t nowMs() override { return platform::monotonicMs(); }

    // Keys typed during the pause wait their turn; Ctrl+C and the other
    // stops end it at once.
    void sleepMs(unsigned ms) override {
        const std::uint64_t deadline = platform::monotonicMs() + ms;
        while (interrupt::pending() == 0) {
            const std::uint64_t left = millisecondsUntil(deadline);
            if (left == 0) return;
            readRecord(static_cast<int>(left));
        }
    }

    void setTitle(const std::string& title) override { wc::setTitle(title); }

private:
    static std::uint64_t millisecondsUntil(std::uint64_t deadline) {
        const std::uint64_t now = platform::monotonicMs();
        return deadline > now ? deadline - now : 0;
    }

    // Waits at most `timeoutMs` for one input record and takes it in; false
    // when none came, a stop did or the console failed (a hangup).
    bool readRecord(int timeoutMs) {
        wc::Event record;
        if (readConsoleInput(ConsoleInputSource{}, timeoutMs, record) != ConsoleRead::Record) return false;
        take(record);
        return true;
    }

    // Presses keep their virtual-key code and character, once per
    // auto-repeat. Releases give nothing: the console adds the release of
    // every press itself, as it does for a terminal. Any other record (the
    // window's size, focus, a menu) is input that is no key: code 0.
    void take(const wc::Event& record) {
        if (record.kind == wc::Event::Kind::KeyUp) return;
        if (record.kind != wc::Event::Kind::KeyDown) {
            if (record.kind == wc::Event::Kind::Resize) {
                wc::fitToWindow(GAME_SIZE);
                draw();
            }
            events_.push_back(InputEvent{});
            return;
        }
        if (record.ch == CTRL_C) {
            interrupt::deliver(SIGINT);
            return;
        }
        for (unsigned i = 0; i < record.repeat; ++i) events_.push_back(InputEvent{record.vk, record.ch});
    }

    void draw() {
        if (!largeEnough(wc::windowSize())) waitUntilLargeEnough();
        if (!largeEnough(wc::windowSize())) return;  // a stop ended the wait
        std::vector<wc::Cell> row(SCREEN_WIDTH);
        for (int y = 0; y < SCREEN_HEIGHT; ++y) {
            if (shownValid_ && rowShown(y)) continue;
            for (int x = 0; x < SCREEN_WIDTH; ++x) {
                const Cell& cell = wanted_.at(x, y);
                row[static_cast<std::size_t>(x)] = wc::Cell{cell.ch, shownAttribute(cell.fg, cell.bg)};
            }
            wc::writeRow(y, row.data(), SCREEN_WIDTH);
        }
        shown_ = wanted_;
        shownValid_ = true;
        wc::placeCursor(cursor_.X, cursor_.Y, cursorVisible_);
    }

    bool rowShown(int y) const {
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            if (!(shown_.at(x, y) == wanted_.at(x, y))) return false;
        return true;
    }

    // In a window too small for the game, a notice stands until it grows;
    // keys typed meanwhile are dropped. The game is then drawn whole again.
    void waitUntilLargeEnough() {
        for (wc::Size size = wc::windowSize(); !largeEnough(size); size = wc::windowSize()) {
            showNotice(size);
            if (interrupt::pending() != 0) return;
            wc::Event dropped;
            readConsoleInput(ConsoleInputSource{}, RESIZE_POLL_MS, dropped);
            wc::fitToWindow(GAME_SIZE);
        }
        wc::clearWindow();
        shownValid_ = false;
    }

    static void showNotice(wc::Size size) {
        wc::clearWindow();
        const std::uint16_t plain = shownAttribute(7, 0);
        const std::vector<std::string> notice = smallScreenNotice(size.columns, size.rows);
        for (int line = 0; line < static_cast<int>(notice.size()) && line < size.rows; ++line) {
            std::vector<wc::Cell> cells;
            for (char ch : notice[static_cast<std::size_t>(line)].substr(0, static_cast<std::size_t>(size.columns)))
                cells.push_back(wc::Cell{ch, plain});
            wc::writeRow(line, cells.data(), static_cast<int>(cells.size()));
        }
        wc::placeCursor(0, 0, false);
    }

    ScreenGrid wanted_;
    ScreenGrid shown_;
    bool shownValid_ = false;
    Coord cursor_{0, 0};
    bool cursorVisible_ = false;
    std::deque<InputEvent> events_;
};

}  // namespace

std::unique_ptr<Backend> makePlayerConsole() { return std::make_unique<ConsoleWindowBackend>(); }
