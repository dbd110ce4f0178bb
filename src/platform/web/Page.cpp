#include "platform/Page.h"

#include <emscripten.h>

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

namespace platform::page {

void show(const std::uint8_t* cells, int size, int cursorX, int cursorY, bool cursorVisible) {
    showGrid(cells, size, cursorX, cursorY, cursorVisible ? 1 : 0);
}

void setTitle(const std::string& title) { showTitle(title.c_str()); }

bool keyWaiting() { return keyIsWaiting() != 0; }

Key takeKey() {
    const int key = nextKey();
    return Key{static_cast<unsigned>(key >> 8), static_cast<char>(key & 0xff)};
}

bool waitForKey(int timeoutMs) { return ::waitForKey(timeoutMs) != 0; }

void pause(unsigned ms) { pauseFor(static_cast<int>(ms)); }

}  // namespace platform::page
