#pragma once
// One read of the console window's input for the Windows presenter, apart
// so that a test can hand it a console that fails. Built on Windows only.

#include "platform/ConsoleWindow.h"

// Where the input comes from: the console itself, unless a test says otherwise.
struct ConsoleInputSource {
    platform::winconsole::Wait (*wait)(int timeoutMs) = platform::winconsole::waitForInput;
    bool (*read)(platform::winconsole::Event& event) = platform::winconsole::readEvent;
};

enum class ConsoleRead { Record, Nothing, Lost };

// Waits at most timeoutMs (for ever when negative) for one input record or a
// stop, and reads the record. A console that can no longer be waited on or
// read is gone, as a terminal after a hangup: Lost, with SIGHUP recorded, so
// that the game saves and ends instead of asking again at once.
ConsoleRead readConsoleInput(const ConsoleInputSource& source, int timeoutMs, platform::winconsole::Event& record);
