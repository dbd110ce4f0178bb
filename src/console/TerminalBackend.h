#pragma once
// Shows the screen grid in a real terminal through ncurses and reads its keys.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "console/Backend.h"
#include "console/KeyDecoder.h"

class TerminalBackend : public Backend {
public:
    // The player's terminal: standard input and output.
    TerminalBackend();
    // Any terminal stream pair and terminal type (the benchmark counts bytes with it).
    TerminalBackend(std::FILE* out, std::FILE* in, const char* termType);
    ~TerminalBackend() override;
    TerminalBackend(const TerminalBackend&) = delete;
    TerminalBackend& operator=(const TerminalBackend&) = delete;

    void present(const ScreenGrid& grid, COORD cursor, bool cursorVisible) override;
    bool waitForInput(int timeoutMs) override;
    InputEvent takeInput() override;
    std::uint64_t nowMs() override;
    void sleepMs(unsigned ms) override;
    void setTitle(const std::string& title) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Gives the terminal back as it was (cursor, colours, main screen, line mode
// and echo). Safe to call more than once; the signal handlers call it too.
void restoreTerminal();
