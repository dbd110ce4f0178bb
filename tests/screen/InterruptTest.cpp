// The console's side of Ctrl+C, termination and hangup: every key wait
// throws once a signal came, so does a pause, and the handlers only
// record the first signal.

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include "TestSupport.h"
#include "screen/Interrupt.h"
#include "screen/Window.h"

// Whatever the game waits in, a scripted signal unwinds it with that signal,
// including a typed line half written; and the wait before it is not taken.
TEST(ConsoleInterrupt, EveryKeyWaitThrowsTheSignal) {
    const struct WaitCase {
        const char* name;
        const char* typedBefore;  // input the wait takes before the signal comes
        std::function<void(ConLib&)> wait;
    } waits[] = {
        {"GetKey", "A", [](ConLib& c) {
             while (c.GetKey() != 'Q') {
             }
         }},
        {"keyWaiting", "", [](ConLib& c) { c.keyWaiting(1000); }},
        {"readWord", "12", [](ConLib& c) { c.readWord(); }},
        {"readNumber", "12", [](ConLib& c) { c.readNumber(); }},
        {"pause", "", [](ConLib& c) { c.pause(); }},
        {"ShowDialog", "A",
         [](ConLib& c) { messageWindow(&c, 30, 6).ShowDialog("QUESTION", "Y or N?", 'Y', 'N'); }},
        {"checkInterrupt", "", [](ConLib& c) { c.checkInterrupt(); }},
        {"sleep", "", [](ConLib& c) { c.sleep(1000); }},
    };
    for (const WaitCase& w : waits) {
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
            SCOPED_TRACE(std::string(w.name) + " with signal " + std::to_string(signal));
            HeadlessConsole t;
            t.screen->pushText(w.typedBefore);
            t.screen->pushSignal(signal);
            t.screen->pushText("\nYQ");  // never reached
            EXPECT_EQ(signalThatEnded([&] { w.wait(t.con); }), signal);
            // Every later wait throws too, until the process is gone.
            EXPECT_THROW(t.con.GetKey(), GameInterrupted);
        }
    }
    EXPECT_EQ(interrupt::pending(), 0) << "the headless presenter forgets what it delivered";
    // The first signal is the one the game ends with.
    interrupt::deliver(SIGHUP);
    interrupt::deliver(SIGINT);
    EXPECT_EQ(interrupt::pending(), SIGHUP);
    interrupt::reset();
}

// A timed wait or a pause meets a signal at its time, not before, and then
// throws; after it a pause throws at once.
TEST(ConsoleInterrupt, TimedWaitsMeetTheSignalAtItsTime) {
    const std::function<void(ConLib&, unsigned)> waits[] = {[](ConLib& c, unsigned ms) { c.keyWaiting(ms); },
                                                            [](ConLib& c, unsigned ms) { c.sleep(ms); }};
    for (const auto& wait : waits) {
        HeadlessConsole t;
        t.screen->pushDelay(300);
        t.screen->pushSignal(SIGHUP);
        wait(t.con, 299);
        EXPECT_EQ(interrupt::pending(), 0);
        EXPECT_THROW(wait(t.con, 30000), GameInterrupted);
        EXPECT_EQ(t.con.nowMs(), 300u);
        EXPECT_TRUE(interrupt::terminalGone());
        EXPECT_THROW(t.con.sleep(30000), GameInterrupted);
        EXPECT_EQ(t.con.nowMs(), 300u);
    }
}

// POSIX only (README, "Tests on Windows"): signals and death tests in a forked child.
#ifndef _WIN32
#include <pthread.h>
#include <unistd.h>

#include "platform/posix/Interrupts.h"

// The real handlers, in a child process each: the first signal is only
// recorded (and readable on the wake-up pipe), a second one ends the
// process by its default action at once, as exitBySignal does.
TEST(ConsoleInterruptDeathTest, FirstSignalIsRecordedSecondEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            interrupt::install();
            std::raise(SIGTERM);
            char byte = 0;
            const bool woken = ::read(interrupt::wakeFd(), &byte, 1) == 1;
            std::_Exit(interrupt::pending() == SIGTERM && woken ? 7 : 1);
        },
        ::testing::ExitedWithCode(7), "");
    EXPECT_EXIT(
        {
            interrupt::install();
            std::raise(SIGHUP);
            std::raise(SIGINT);
            std::_Exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "");
    EXPECT_EXIT(interrupt::exitBySignal(SIGTERM), ::testing::KilledBySignal(SIGTERM), "");
}

// A helper thread of the game's never takes a stop: its mask blocks them all.
TEST(ConsoleInterrupt, HelperThreadsBlockEveryStop) {
    sigset_t mask;
    interrupt::threadWithoutStops([&] { pthread_sigmask(SIG_BLOCK, nullptr, &mask); }).join();
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) EXPECT_EQ(sigismember(&mask, signal), 1) << signal;
}
#endif
