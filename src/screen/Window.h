#pragma once
// Framed message windows and yes/no questions drawn over any screen.

#include "screen/ScreenGrid.h"

class ConLib;

// Draws a star frame with a blank interior and an optional centred title.
void DrawBorder(int width, int height, Coord position, const char* title, ConLib* console);

class Window {
public:
    int width = 0;
    int height = 0;
    Coord position{0, 0};
    int backgroundColor = 7;
    int textColor = 1;
    ConLib* console = nullptr;

    void Show(const char* title, const char* text);
    bool ShowDialog(const char* title, const char* text, int yesKey, int noKey);

    // Sets size and places the window in the middle of the screen.
    void centre(int w, int h);

    // The field width of a prompt typed at `column` inside this window: the
    // cells from there to the inner side of the right frame (at least 1).
    int inputWidth(int column) const;

private:
    // Writes the frame and the wrapped text; the cursor ends after the text.
    void drawFramedText(const char* title, const char* text);
};

// Colours of every message, question and error window: red text on white.
constexpr int MESSAGE_BACKGROUND = 7;
constexpr int MESSAGE_TEXT = 1;

// A window in the middle of the screen in the message colours.
Window messageWindow(ConLib* console, int width, int height);
// A window at a given place, in the given background and text colours.
Window windowAt(ConLib* console, int x, int y, int width, int height, int backgroundColor, int textColor);

// How a shown message is closed.
enum class CloseOn { AnyKey, Enter };

// Shows a centred message window, puts the cursor home and waits for the key.
void showMessage(ConLib* console, int width, int height, const char* title, const char* text, CloseOn close);
