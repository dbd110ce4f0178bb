#include "screen/Window.h"

#include <cstring>
#include <string>

#include "screen/ConLib.h"
#include "screen/HelpFuncLib.h"

namespace {

void drawBorderRow(int width, Coord start, int row, int height, const char* title, int titleLength,
                   int titleStart, ConLib* console) {
    console->SetPosition(Coord{start.X, static_cast<short>(start.Y + row)});
    const bool edge = row == 0 || row == height - 1;
    for (int c = 0; c < width; ++c) {
        const bool last = c == width - 1;
        if (row == 0 && title != nullptr) {
            if (c == titleStart) {
                console->OutputString(title);
                continue;
            }
            if (c > titleStart && c < titleStart + titleLength) continue;
        }
        if (edge || c == 0 || last)
            console->OutputString(last ? "*\n" : "*");
        else
            console->OutputString(" ");
    }
}

}  // namespace

void DrawBorder(int width, int height, Coord position, const char* title, ConLib* console) {
    if (console == nullptr) return;
    console->SetPosition(position);
    int titleLength = 0;
    int titleStart = 0;
    if (title != nullptr) {
        titleLength = static_cast<int>(std::strlen(title));
        titleStart = foundMiddle(width, titleLength);
        if (width < titleLength) {
            console->OutputString("Za male rozmiary okna!\n");
            return;
        }
    }
    for (int row = 0; row < height; ++row)
        drawBorderRow(width, position, row, height, title, titleLength, titleStart, console);
}

void Window::centre(int w, int h) {
    width = w;
    height = h;
    position = Coord{static_cast<short>(foundMiddle(SCREEN_WIDTH, w)), static_cast<short>(foundMiddle(SCREEN_HEIGHT, h))};
}

int Window::inputWidth(int column) const {
    const int rightFrame = position.X + width - 1;
    return rightFrame - column > 1 ? rightFrame - column : 1;
}

void Window::drawFramedText(const char* title, const char* text) {
    console->SetTextColor(static_cast<unsigned short>(textColor));
    console->SetBackgroundColor(static_cast<unsigned short>(backgroundColor));
    DrawBorder(width, height, position, title, console);

    const int x0 = position.X + 2;
    const int margin = position.X + width - 2;
    int column = x0;
    int row = position.Y + 2;
    // Index in `text` of the first character on the current row: a word can
    // only be moved down whole when the space before it is on this row.
    std::size_t rowStart = 0;
    auto moveTo = [&](int x, int y) {
        column = x;
        row = y;
    };
    // Text that runs below the screen is dropped, never written elsewhere.
    auto write = [&](char ch) {
        if (ScreenGrid::contains(column, row)) {
            console->SetPosition(Coord{static_cast<short>(column), static_cast<short>(row)});
            console->out() << ch;
        }
        ++column;
    };
    moveTo(x0, row);

    const std::size_t length = text != nullptr ? std::strlen(text) : 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char ch = text[i];
        if (column < margin) {
            if (ch == '\n') {
                moveTo(x0, row + 1);
                rowStart = i + 1;
            } else {
                write(ch);
            }
            continue;
        }
        if (ch == ' ' || ch == '\n') {
            moveTo(x0, row + 1);
            rowStart = i + 1;
            continue;
        }
        // A word runs into the margin. Find the space before it on this row.
        std::size_t space = i;
        while (space > rowStart && text[space - 1] != ' ') --space;
        const bool spaceOnRow = space > rowStart;  // text[space - 1] is a space written on this row
        if (!spaceOnRow) {
            // The word fills the whole line: break it here.
            moveTo(x0, row + 1);
            rowStart = i;
            write(ch);
            continue;
        }
        const int k = static_cast<int>(i - (space - 1));
        moveTo(column - k, row);
        for (int n = 0; n < k; ++n) write(' ');
        moveTo(x0, row + 1);
        rowStart = space;
        for (std::size_t j = space; j <= i; ++j) write(text[j]);
    }
    console->SetPosition(Coord{static_cast<short>(column), static_cast<short>(row)});
}

void Window::Show(const char* title, const char* text) {
    if (console == nullptr) return;
    drawFramedText(title, text);
    console->SetBackgroundColor(0);
    console->SetTextColor(7);
    console->SetPosition(Coord{0, static_cast<short>(position.Y + height)});
}

Window messageWindow(ConLib* console, int width, int height) {
    Window window;
    window.console = console;
    window.backgroundColor = MESSAGE_BACKGROUND;
    window.textColor = MESSAGE_TEXT;
    window.centre(width, height);
    return window;
}

Window windowAt(ConLib* console, int x, int y, int width, int height, int backgroundColor, int textColor) {
    Window window;
    window.console = console;
    window.backgroundColor = backgroundColor;
    window.textColor = textColor;
    window.position = Coord{static_cast<short>(x), static_cast<short>(y)};
    window.width = width;
    window.height = height;
    return window;
}

void showMessage(ConLib* console, int width, int height, const char* title, const char* text, CloseOn close) {
    messageWindow(console, width, height).Show(title, text);
    console->SetPosition(Coord{0, 0});
    // The release of the key that led here reads as 0 and closes nothing.
    const unsigned wanted = close == CloseOn::Enter ? 13u : 0u;
    for (;;) {
        const unsigned key = console->GetKey();
        if (wanted == 0 ? key != 0 : key == wanted) return;
    }
}

bool Window::ShowDialog(const char* title, const char* text, int yesKey, int noKey) {
    if (console == nullptr) return false;
    drawFramedText(title, text);
    console->SetBackgroundColor(0);
    console->SetTextColor(7);
    for (;;) {
        const unsigned key = console->GetKey();
        if (static_cast<int>(key) == yesKey) return true;
        if (static_cast<int>(key) == noKey) return false;
    }
}
