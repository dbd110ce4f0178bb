#pragma once
// Ctrl+C, termination and hangup end the game, but never in the middle of
// something: the handler only records the stop and wakes the key wait
// (platform/Interrupts.h), and the console's key waits then throw
// GameInterrupted, so the game unwinds between two key reads and can save
// the galaxy on its way out.

#include <stdexcept>
#include <string>

#include "platform/Interrupts.h"

class GameInterrupted : public std::runtime_error {
public:
    explicit GameInterrupted(int signal);
    int signal() const { return signal_; }

private:
    int signal_;
};

// Runs `work` and gives its result; when a stop unwinds it, `settle` runs
// first (what stopping there must cost) and the stop goes on.
template <typename Work, typename Settle>
decltype(auto) settleOnStop(Work&& work, Settle&& settle) {
    try {
        return work();
    } catch (const GameInterrupted&) {
        settle();
        throw;
    }
}

namespace interrupt {

// Throws GameInterrupted while a signal is recorded.
void throwIfPending();

}  // namespace interrupt
