#include "platform/ConsoleWindow.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "platform/windows/Interrupts.h"

namespace platform::winconsole {

namespace {

// Room for any title a console reports.
constexpr DWORD TITLE_SIZE = 1024;

HANDLE input = INVALID_HANDLE_VALUE;
HANDLE playerOutput = INVALID_HANDLE_VALUE;  // the player's own screen buffer
HANDLE output = INVALID_HANDLE_VALUE;        // the one the game draws on
bool ownBuffer = false;
std::atomic<bool> taken{false};

// What takeOver() found, to be given back.
struct Before {
    DWORD inputMode = 0;
    std::wstring title;
    // The player's window, for a console that shows it again only as it is
    // written (or where the game draws on it).
    CONSOLE_SCREEN_BUFFER_INFO buffer{};
    CONSOLE_CURSOR_INFO cursor{};
    std::vector<CHAR_INFO> window;
} before;

SMALL_RECT visibleRect() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(output, &info)) return SMALL_RECT{0, 0, -1, -1};
    return info.srWindow;
}

COORD sizeOf(const SMALL_RECT& rect) {
    return COORD{static_cast<SHORT>(rect.Right - rect.Left + 1), static_cast<SHORT>(rect.Bottom - rect.Top + 1)};
}

// The game's top-left cell: the corner of its own buffer, which scrolling
// cannot move; on the player's buffer, the window's corner.
COORD origin() {
    if (ownBuffer) return COORD{0, 0};
    const SMALL_RECT window = visibleRect();
    return COORD{window.Left, window.Top};
}

// Where clearWindow() blanks: the whole of the game's own buffer, or the
// player's window.
SMALL_RECT clearedRect() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(output, &info)) return SMALL_RECT{0, 0, -1, -1};
    if (!ownBuffer) return info.srWindow;
    return SMALL_RECT{0, 0, static_cast<SHORT>(info.dwSize.X - 1), static_cast<SHORT>(info.dwSize.Y - 1)};
}

// An empty title and one the console would not tell read alike: both are
// given back as empty.
std::wstring currentTitle() {
    std::wstring title(TITLE_SIZE, L'\0');
    const DWORD length = GetConsoleTitleW(title.data(), TITLE_SIZE);
    title.resize(length < TITLE_SIZE ? length : 0);
    return title;
}

void keepPlayersWindow() {
    GetConsoleScreenBufferInfo(playerOutput, &before.buffer);
    GetConsoleCursorInfo(playerOutput, &before.cursor);
    const COORD size = sizeOf(before.buffer.srWindow);
    before.window.assign(static_cast<std::size_t>(size.X) * static_cast<std::size_t>(size.Y), CHAR_INFO{});
    SMALL_RECT region = before.buffer.srWindow;
    if (!ReadConsoleOutputA(playerOutput, before.window.data(), size, COORD{0, 0}, &region)) before.window.clear();
}

void givePlayersWindowBack() {
    if (!before.window.empty()) {
        SMALL_RECT region = before.buffer.srWindow;
        WriteConsoleOutputA(playerOutput, before.window.data(), sizeOf(region), COORD{0, 0}, &region);
    }
    SetConsoleTextAttribute(playerOutput, before.buffer.wAttributes);
    SetConsoleCursorPosition(playerOutput, before.buffer.dwCursorPosition);
    SetConsoleCursorInfo(playerOutput, &before.cursor);
}

// A screen buffer of the game's own, as large as the window: it has no
// scrollback, so scrolling cannot move the picture, and the player's buffer
// stays untouched behind it. False where the console offers none.
bool useOwnBuffer() {
    CONSOLE_SCREEN_BUFFER_INFO players{};
    if (!GetConsoleScreenBufferInfo(playerOutput, &players)) return false;
    const HANDLE buffer = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                    nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (buffer == INVALID_HANDLE_VALUE) return false;
    SetConsoleScreenBufferSize(buffer, sizeOf(players.srWindow));
    if (!SetConsoleActiveScreenBuffer(buffer)) {
        CloseHandle(buffer);
        return false;
    }
    output = buffer;
    return true;
}

}  // namespace

bool underWine() {
    static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

bool takeOver() {
    input = GetStdHandle(STD_INPUT_HANDLE);
    playerOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(input, &mode) || !GetConsoleMode(playerOutput, &mode)) return false;
    GetConsoleMode(input, &before.inputMode);
    before.title = currentTitle();
    output = playerOutput;
    keepPlayersWindow();
    ownBuffer = useOwnBuffer();
    // Keys one record at a time: no line editing, no echo, no mouse, and no
    // quick-edit selection that would freeze the game. Ctrl+C stays the
    // system's, which hands it to the control handler.
    SetConsoleMode(input, ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT | ENABLE_EXTENDED_FLAGS);
    taken = true;
    clearWindow();
    placeCursor(0, 0, false);
    return true;
}

void giveBack() {
    if (!taken.exchange(false)) return;
    // The game's buffer stays open: another thread may still be drawing on it.
    if (ownBuffer) SetConsoleActiveScreenBuffer(playerOutput);
    // Windows shows a buffer made active again at once; Wine's console on a
    // terminal only as it is written to.
    if (!ownBuffer || underWine()) givePlayersWindowBack();
    SetConsoleMode(input, before.inputMode);
    SetConsoleTitleW(before.title.c_str());
}

void fitToWindow(Size least) {
    if (!ownBuffer) return;
    const COORD window = sizeOf(visibleRect());
    if (window.X <= 0 || window.Y <= 0) return;
    const SMALL_RECT atOrigin{0, 0, static_cast<SHORT>(window.X - 1), static_cast<SHORT>(window.Y - 1)};
    SetConsoleWindowInfo(output, TRUE, &atOrigin);
    SetConsoleScreenBufferSize(output, COORD{std::max(window.X, static_cast<SHORT>(least.columns)),
                                             std::max(window.Y, static_cast<SHORT>(least.rows))});
}

Size windowSize() {
    const COORD size = sizeOf(visibleRect());
    return Size{size.X, size.Y};
}

void writeRow(int y, const Cell* cells, int count) {
    const COORD corner = origin();
    std::vector<CHAR_INFO> row(static_cast<std::size_t>(count));
    for (int x = 0; x < count; ++x) {
        row[static_cast<std::size_t>(x)].Char.AsciiChar = cells[x].ch;
        row[static_cast<std::size_t>(x)].Attributes = cells[x].attribute;
    }
    const SHORT top = static_cast<SHORT>(corner.Y + y);
    SMALL_RECT region{corner.X, top, static_cast<SHORT>(corner.X + count - 1), top};
    WriteConsoleOutputA(output, row.data(), COORD{static_cast<SHORT>(count), 1}, COORD{0, 0}, &region);
}

void clearWindow() {
    const SMALL_RECT cleared = clearedRect();
    const COORD size = sizeOf(cleared);
    if (size.X <= 0 || size.Y <= 0) return;
    CHAR_INFO blank{};
    blank.Char.AsciiChar = ' ';
    blank.Attributes = FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE;
    std::vector<CHAR_INFO> cells(static_cast<std::size_t>(size.X) * static_cast<std::size_t>(size.Y), blank);
    SMALL_RECT region = cleared;
    WriteConsoleOutputA(output, cells.data(), size, COORD{0, 0}, &region);
}

void placeCursor(int x, int y, bool visible) {
    const COORD corner = origin();
    CONSOLE_CURSOR_INFO cursor = before.cursor;
    if (cursor.dwSize == 0) cursor.dwSize = 25;  // the console's usual cursor
    cursor.bVisible = visible ? TRUE : FALSE;
    SetConsoleCursorInfo(output, &cursor);
    SetConsoleCursorPosition(output, COORD{static_cast<SHORT>(corner.X + x), static_cast<SHORT>(corner.Y + y)});
}

void setTitle(const std::string& title) { SetConsoleTitleA(title.c_str()); }

Wait waitForInput(int timeoutMs) {
    HANDLE wake = static_cast<HANDLE>(interrupt::wakeEvent());
    HANDLE handles[2] = {input, wake};
    const DWORD count = wake != nullptr ? 2 : 1;
    const DWORD limit = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);
    switch (WaitForMultipleObjects(count, handles, FALSE, limit)) {
        case WAIT_OBJECT_0: return Wait::Input;
        case WAIT_OBJECT_0 + 1: return Wait::Woken;
        case WAIT_TIMEOUT: return Wait::TimedOut;
        default: return Wait::Failed;
    }
}

bool readEvent(Event& event) {
    INPUT_RECORD record{};
    DWORD read = 0;
    if (!ReadConsoleInputA(input, &record, 1, &read) || read != 1) return false;
    event = Event{};
    if (record.EventType == KEY_EVENT) {
        const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
        event.kind = key.bKeyDown ? Event::Kind::KeyDown : Event::Kind::KeyUp;
        event.vk = key.wVirtualKeyCode;
        event.ch = key.uChar.AsciiChar;
        event.repeat = key.wRepeatCount > 0 ? key.wRepeatCount : 1;
    } else if (record.EventType == WINDOW_BUFFER_SIZE_EVENT) {
        event.kind = Event::Kind::Resize;
    }
    return true;
}

}  // namespace platform::winconsole
