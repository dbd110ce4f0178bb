#include "presenters/PlayerConsole.h"

#include "presenters/terminal/TerminalBackend.h"

std::unique_ptr<Backend> makePlayerConsole() { return std::make_unique<TerminalBackend>(); }
