#include "presenters/windows/ConsoleWindowInput.h"

#include "platform/Interrupts.h"
#include "platform/windows/Interrupts.h"

namespace {

ConsoleRead consoleLost() {
    interrupt::deliver(SIGHUP);
    return ConsoleRead::Lost;
}

}  // namespace

ConsoleRead readConsoleInput(const ConsoleInputSource& source, int timeoutMs, platform::winconsole::Event& record) {
    using platform::winconsole::Wait;
    switch (source.wait(timeoutMs)) {
        case Wait::Input: return source.read(record) ? ConsoleRead::Record : consoleLost();
        case Wait::Failed: return consoleLost();
        case Wait::Woken:
        case Wait::TimedOut: break;
    }
    return ConsoleRead::Nothing;
}
