// The console window's input as the Windows presenter reads it.

#include <gtest/gtest.h>

#include <csignal>

#include "platform/Interrupts.h"
#include "presenters/windows/ConsoleWindowInput.h"

// A console that can no longer be read is a hangup, recorded at once: the
// game saves and ends instead of asking it again and again.
TEST(ConsoleInterrupt, AFailedConsoleReadIsAHangup) {
    namespace wc = platform::winconsole;
    const struct { ConsoleInputSource source; ConsoleRead read; int stop; } cases[] = {
        {{[](int) { return wc::Wait::Input; }, [](wc::Event&) { return false; }}, ConsoleRead::Lost, SIGHUP},
        {{[](int) { return wc::Wait::Failed; }, nullptr}, ConsoleRead::Lost, SIGHUP},
        {{[](int) { return wc::Wait::TimedOut; }, nullptr}, ConsoleRead::Nothing, 0},
        {{[](int) { return wc::Wait::Input; }, [](wc::Event&) { return true; }}, ConsoleRead::Record, 0},
    };
    interrupt::install();
    for (const auto& c : cases) {
        wc::Event record;
        EXPECT_EQ(readConsoleInput(c.source, -1, record), c.read);
        EXPECT_EQ(interrupt::pending(), c.stop);
        interrupt::reset();
    }
}
