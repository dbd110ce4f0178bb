// The player's console in the browser: the page draws the grid and hands
// over the keys (WebConsole.js). A wait for a key and a pause suspend the
// game and give the browser its event loop back until a key, the time-out
// or a stop comes.

#include <array>
#include <cstdint>

#include "presenters/PlayerConsole.h"
#include "platform/Clock.h"
#include "platform/Interrupts.h"
#include "platform/Page.h"

namespace {

// Each cell as three bytes: character, text colour, background colour.
constexpr std::size_t CELL_BYTES = 3;
using PackedGrid = std::array<std::uint8_t, SCREEN_WIDTH * SCREEN_HEIGHT * CELL_BYTES>;

PackedGrid pack(const ScreenGrid& grid) {
    PackedGrid packed{};
    std::size_t at = 0;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const Cell& cell = grid.at(x, y);
            packed[at++] = static_cast<std::uint8_t>(cell.ch);
            packed[at++] = cell.fg;
            packed[at++] = cell.bg;
        }
    return packed;
}

class WebBackend : public Backend {
public:
    void present(const ScreenGrid& grid, Coord cursor, bool cursorVisible) override {
        const PackedGrid packed = pack(grid);
        platform::page::show(packed.data(), static_cast<int>(packed.size()), cursor.X, cursor.Y, cursorVisible);
    }

    bool waitForInput(int timeoutMs) override {
        if (platform::page::keyWaiting()) return true;
        if (interrupt::pending() != 0) return false;
        return platform::page::waitForKey(timeoutMs);
    }

    InputEvent takeInput() override {
        const platform::page::Key key = platform::page::takeKey();
        return InputEvent{key.code, key.ch};
    }

    std::uint64_t nowMs() override { return platform::monotonicMs(); }

    // Keys typed during the pause wait their turn; a stop ends it at once.
    void sleepMs(unsigned ms) override {
        if (interrupt::pending() == 0) platform::page::pause(ms);
    }

    void setTitle(const std::string& title) override { platform::page::setTitle(title); }
};

}  // namespace

std::unique_ptr<Backend> makePlayerConsole() { return std::make_unique<WebBackend>(); }
