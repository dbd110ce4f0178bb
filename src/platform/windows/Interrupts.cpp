#include "platform/windows/Interrupts.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/ConsoleWindow.h"
#include "platform/Interrupts.h"

namespace {

// Set from the first stop on: the key waits wait on it beside the console.
HANDLE wake = nullptr;
// Set when a control handler that waits may return: only in tests, since
// the game ends the process instead.
HANDLE released = nullptr;

int stopOfEvent(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT: return SIGINT;
        case CTRL_CLOSE_EVENT: return SIGHUP;
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT: return SIGTERM;
        default: return 0;
    }
}

// After these Windows ends the process as soon as the handler returns.
bool endsOnReturn(DWORD event) { return event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT; }

BOOL WINAPI consoleControlHandler(DWORD event) { return interrupt::onConsoleControl(event) ? TRUE : FALSE; }

LONG WINAPI onCrash(EXCEPTION_POINTERS*) {
    platform::winconsole::giveBack();
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

namespace interrupt {

void install() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    released = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(consoleControlHandler, TRUE);
    SetUnhandledExceptionFilter(onCrash);
}

void* wakeEvent() { return wake; }

bool onConsoleControl(unsigned long event) {
    const int stop = stopOfEvent(event);
    if (stop == 0) return false;
    if (pending() != 0 && !endsOnReturn(event)) {
        // The game is already on its way out and the player wants it gone
        // now. TerminateProcess runs no exit code on this thread: no
        // destructors, no library detaching, no lock the game's thread holds.
        platform::winconsole::giveBack();
        TerminateProcess(GetCurrentProcess(), 128u + static_cast<unsigned>(stop));
    }
    const bool waits = endsOnReturn(event) && released != nullptr;
    if (waits) ResetEvent(released);
    deliver(stop);
    // Windows grants a few seconds after these; the game saves meanwhile
    // and ends the process, which ends this wait too.
    if (waits) WaitForSingleObject(released, INFINITE);
    return true;
}

[[noreturn]] void exitBySignal(int signal) {
    platform::winconsole::giveBack();
    ExitProcess(128u + static_cast<unsigned>(signal));
}

void detail::wakeKeyWaits() {
    if (wake != nullptr) SetEvent(wake);
}

// Ctrl+C stays the console's own event (processed input), which reaches the
// handler whatever the game is doing.
void detail::prepareForSecondStop() {}

std::thread threadWithoutStops(std::function<void()> body) { return std::thread(std::move(body)); }

void detail::drainWakeUps() {
    if (wake != nullptr) ResetEvent(wake);
    // A handler still waiting belongs to a stop that is forgotten now.
    if (released != nullptr) SetEvent(released);
}

}  // namespace interrupt
