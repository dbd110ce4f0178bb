#include <cstdio>
#include <ctime>
#include <memory>

#include "console/Interrupt.h"
#include "console/PlayerConsole.h"
#include "console/Random.h"
#include "shell/CommandLine.h"
#include "shell/Game.h"

namespace {

// Runs the game; the signal that stopped it, or 0 when the player left.
// The game (and with it the terminal) is already given back on return.
int play() {
    try {
        Game game(makePlayerConsole());
        game.run();
    } catch (const GameInterrupted& stop) {
        return stop.signal();
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLineAction action = interpretArguments(argc, argv);
    if (action.kind != CommandLineAction::Kind::Play) {
        std::fputs(action.text.c_str(), action.kind == CommandLineAction::Kind::Refuse ? stderr : stdout);
        return action.exitStatus;
    }
    rng::srand(static_cast<unsigned>(std::time(nullptr)));
    int signal = 0;
    try {
        signal = play();
    } catch (const ConsoleUnusable& unusable) {
        std::fprintf(stderr, "%s\n", unusable.what());
        return 1;
    }
    // Ended by Ctrl+C, termination or hangup: the status the shell expects.
    if (signal != 0) interrupt::exitBySignal(signal);
    return 0;
}
