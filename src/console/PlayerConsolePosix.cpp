#include "console/PlayerConsole.h"

#include "console/TerminalBackend.h"

std::unique_ptr<Backend> makePlayerConsole() { return std::make_unique<TerminalBackend>(); }
