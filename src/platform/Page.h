#pragma once
// The browser's page: what the web presenter shows the game on and reads
// keys from (presenters/web/WebConsole.js draws and listens). Plain types
// only. Built for the browser only.

#include <cstdint>
#include <string>

namespace platform::page {

// Shows `size` bytes of cells, three a cell (the character, its text colour
// and its background colour), row by row, and the cursor.
void show(const std::uint8_t* cells, int size, int cursorX, int cursorY, bool cursorVisible);
void setTitle(const std::string& title);

struct Key {
    unsigned code = 0;  // the key's code, as the console gives it
    char ch = 0;        // the character it types, 0 for none
};
bool keyWaiting();
// Only after keyWaiting() or waitForKey() said a key is there.
Key takeKey();
// Suspends the game, giving the browser its event loop back, until a key
// comes, timeoutMs passes (for ever when negative) or a stop wakes it;
// true when a key came.
bool waitForKey(int timeoutMs);
// Suspends the game for `ms`, or until a stop wakes it.
void pause(unsigned ms);

}  // namespace platform::page
