#pragma once
// The program's top: owns everything that lives for the whole run and runs
// the main menu loop.

#include <memory>

#include "console/ConLib.h"
#include "console/Window.h"

class Game {
public:
    // Choice codes of the main menu.
    static constexpr int CHOICE_EXIT = 0;
    static constexpr int CHOICE_NEW_GAME = 1;
    static constexpr int CHOICE_TUTORIAL = 2;
    static constexpr int CHOICE_LOAD = 3;
    static constexpr int CHOICE_CREDITS = 4;

    // Without a backend the game runs headless (tests).
    explicit Game(std::unique_ptr<Backend> backend = nullptr);

    void run();
    int menu(ConLib* console);
    void credits(ConLib* console);

    ConLib& getConsole() { return console; }

private:
    // The quit question: true when the player confirms.
    bool confirmQuit();
    void drawMenu(ConLib* console);
    void drawCredits(ConLib* console);

    ConLib console;
    Window dialogWindow;
    char worldName[20];
};
