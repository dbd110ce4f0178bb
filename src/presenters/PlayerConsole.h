#pragma once
// The console the player sees: a terminal through curses on POSIX, the
// console window on Windows. Each system builds its own.

#include <memory>
#include <stdexcept>
#include <string>

#include "screen/Backend.h"

// A console the game cannot be shown on; what() is the one line that says
// what the game needs.
class ConsoleUnusable : public std::runtime_error {
public:
    explicit ConsoleUnusable(const std::string& what) : std::runtime_error(what) {}
};

// Takes over the player's console; throws ConsoleUnusable before anything is
// drawn on one that cannot show the game.
std::unique_ptr<Backend> makePlayerConsole();
