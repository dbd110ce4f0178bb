// The player's console in the browser: the page draws the grid and hands
// over the keys (WebConsole.js). A wait for a key and a pause suspend the
// game and give the browser its event loop back until a key, the time-out
// or a stop comes.

#include <emscripten.h>

#include <array>
#include <cstdint>

#include "presenters/PlayerConsole.h"
#include "platform/Clock.h"
#include "platform/Interrupts.h"

namespace {

// Each cell as three bytes: character, text colour, background colour.
constexpr std::size_t CELL_BYTES = 3;
using PackedGrid = std::array<std::uint8_t, SCREEN_WIDTH * SCREEN_HEIGHT * CELL_BYTES>;

// clang-format off
EM_JS(void, showGrid, (const std::uint8_t* cells, int size, int x, int y, int visible), {
    Module.webConsole.present(HEAPU8.slice(cells, cells + size), x, y, visible !== 0);
});
EM_JS(void, showTitle, (const char* title), { Module.webConsole.setTitle(UTF8ToString(title)); });
EM_JS(int, keyIsWaiting, (), { return Module.webConsole.hasKey() ? 1 : 0; });
// The next key as its code times 256 plus the character it types.
EM_JS(int, nextKey, (), { return Module.webConsole.takeKey(); });
EM_ASYNC_JS(int, waitForKey, (int timeoutMs), { return (await Module.webConsole.wait(timeoutMs)) ? 1 : 0; });
EM_ASYNC_JS(void, pauseFor, (int ms), { await Module.webConsole.sleep(ms); });
// clang-format on

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
        showGrid(packed.data(), static_cast<int>(packed.size()), cursor.X, cursor.Y, cursorVisible ? 1 : 0);
    }

    bool waitForInput(int timeoutMs) override {
        if (keyIsWaiting() != 0) return true;
        if (interrupt::pending() != 0) return false;
        return waitForKey(timeoutMs) != 0;
    }

    InputEvent takeInput() override {
        const int key = nextKey();
        return InputEvent{static_cast<unsigned>(key >> 8), static_cast<char>(key & 0xff)};
    }

    std::uint64_t nowMs() override { return platform::monotonicMs(); }

    // Keys typed during the pause wait their turn; a stop ends it at once.
    void sleepMs(unsigned ms) override {
        if (interrupt::pending() == 0) pauseFor(static_cast<int>(ms));
    }

    void setTitle(const std::string& title) override { showTitle(title.c_str()); }
};

}  // namespace

std::unique_ptr<Backend> makePlayerConsole() { return std::make_unique<WebBackend>(); }
