#include <ctime>
#include <memory>

#include "console/Random.h"
#include "console/TerminalBackend.h"
#include "shell/Game.h"

int main() {
    rng::srand(static_cast<unsigned>(std::time(nullptr)));
    {
        Game game(std::make_unique<TerminalBackend>());
        game.run();
    }
    return 0;
}
