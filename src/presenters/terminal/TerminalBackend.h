#pragma once
// Shows the screen grid in a real terminal through ncurses and reads its keys.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "screen/Backend.h"
#include "presenters/terminal/KeyDecoder.h"
#include "presenters/PlayerConsole.h"

// A terminal the game cannot be shown on.
class TerminalUnusable : public ConsoleUnusable {
public:
    // `known`: terminfo knows the terminal, but it cannot place the cursor.
    TerminalUnusable(const std::string& term, bool known);
};

class TerminalBackend : public Backend {
public:
    // The player's terminal: standard input and output. Throws
    // TerminalUnusable before anything is written to an unusable terminal.
    TerminalBackend();
    // Any terminal stream pair and terminal type (the benchmark counts bytes with it).
    TerminalBackend(std::FILE* out, std::FILE* in, const char* termType);
    ~TerminalBackend() override;
    TerminalBackend(const TerminalBackend&) = delete;
    TerminalBackend& operator=(const TerminalBackend&) = delete;

    void present(const ScreenGrid& grid, Coord cursor, bool cursorVisible) override;
    bool waitForInput(int timeoutMs) override;
    InputEvent takeInput() override;
    std::uint64_t nowMs() override;
    void sleepMs(unsigned ms) override;
    void setTitle(const std::string& title) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
