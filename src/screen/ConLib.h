#pragma once
// The console wrapper through which the whole game draws and reads the
// keyboard. It owns the 80 x 25 screen grid, the cursor and the current
// colours; a Backend shows the grid and delivers the keys.

#include <cstdint>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "screen/Backend.h"
#include "screen/ScreenGrid.h"

class ConLib;

class ConLib;

// Moves the cursor to (x, y) and writes the text there.
void writeAt(ConLib* console, int x, int y, std::string_view text);

// Writes characters at the console cursor: the game's standard output.
class ConsoleStreamBuf : public std::streambuf {
public:
    explicit ConsoleStreamBuf(ConLib& console) : console_(console) {}

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

private:
    ConLib& console_;
};

class ConLib {
public:
    // Longest typed line the keyboard reader keeps; further typing is ignored.
    static constexpr std::size_t MAX_TYPED_LINE = 265;

    // Draws through `backend`, which the console owns from then on.
    explicit ConLib(std::unique_ptr<Backend> backend);
    ~ConLib();
    ConLib(const ConLib&) = delete;
    ConLib& operator=(const ConLib&) = delete;

    // The console of the running game; the timer and isKeyPressed use it.
    static ConLib* current();

    void SetTextColor(unsigned short colour);
    void SetBackgroundColor(unsigned short colour);
    void SetTitle(const char* title);
    void Clear();
    void SetPosition(Coord position);
    void OutputString(std::string_view text);

    // Blocks until a key is pressed and returns its code. Every press is
    // followed by one 0 on the next call, standing for the key's release.
    // Every key wait (this, keyWaiting, the typed-line readers) throws
    // GameInterrupted (console/Interrupt.h) once a stopping signal came.
    unsigned GetKey();

    // The standard output and error streams of the game: both write at the
    // cursor in the current colours.
    std::ostream& out() { return out_; }
    std::ostream& err() { return out_; }

    // Typed input, echoed at the cursor. A line is read when nothing typed is
    // pending; text after a blank stays pending for the next read. The echo
    // accepts at most `fieldWidth` characters (0: up to the end of the
    // cursor's row), so typing never draws outside its prompt.
    std::string readWord(int fieldWidth = 0);
    // A whole decimal number; a word that is not one reads as 0, and numbers
    // beyond the 32-bit range are clamped to it.
    int readNumber(int fieldWidth = 0);
    // Forgets whatever is still pending of the typed line.
    void discardLine();

    // The shell's "pause": a prompt line and a wait for any key.
    void pause();

    // Waiting and time, on the backend's clock (virtual in tests). A pause
    // ends as soon as a signal comes, and throws GameInterrupted like a key wait.
    void sleep(unsigned ms);
    std::uint64_t nowMs();
    // True when a key event (or the release of the last key) is waiting
    // within timeoutMs; consumes nothing.
    bool keyWaiting(unsigned timeoutMs);
    // For long work that reads no keys (galaxy creation): throws
    // GameInterrupted when a signal came or Ctrl+C was typed meanwhile.
    void checkInterrupt();

    const ScreenGrid& grid() const { return grid_; }
    Coord cursor() const { return cursor_; }
    unsigned short textColor() const { return text_; }
    unsigned short backgroundColor() const { return background_; }
    Backend& backend() { return *backend_; }

    // Shows the screen now, for progress that runs without waiting for keys.
    void refresh() { present(); }

    // Writes one character at the cursor (as the output stream does).
    void putChar(char ch);

    // A terminal's way with the bottom row: output that passes it scrolls the
    // screen up one row, so the newest line stays visible. Off by default:
    // screens drawn to fixed cells drop what passes the last cell instead.
    void setScrolling(bool on) { scrolling_ = on; }
    bool scrolling() const { return scrolling_; }

private:
    void present();
    // Moves every row up one; the bottom row comes back blank in the current colours.
    void scrollUp();
    InputEvent nextEvent();
    bool wordPending() const;
    void echoTypedLine(std::string& line, int fieldWidth);

    std::unique_ptr<Backend> backend_;
    ScreenGrid grid_;
    // Column 80 means the row is full and the next character wraps first.
    Coord cursor_{0, 0};
    unsigned short text_ = 7;
    unsigned short background_ = 0;
    bool cursorVisible_ = false;
    bool releasePending_ = false;
    bool scrolling_ = false;
    std::string pending_;  // typed text not read yet
    ConsoleStreamBuf buf_{*this};
    std::ostream out_{&buf_};
    ConLib* previous_ = nullptr;
};

// Sets the console's scrolling mode for one scope and restores the previous
// mode when the scope ends, also when a key read throws.
class ScopedScrolling {
public:
    ScopedScrolling(ConLib* console, bool on) : console_(console), previous_(console->scrolling()) {
        console_->setScrolling(on);
    }
    ~ScopedScrolling() { console_->setScrolling(previous_); }
    ScopedScrolling(const ScopedScrolling&) = delete;
    ScopedScrolling& operator=(const ScopedScrolling&) = delete;

private:
    ConLib* console_;
    bool previous_;
};
