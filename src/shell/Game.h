#pragma once
// The program's top: owns everything that lives for the whole run and runs
// the main menu loop.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "screen/ConLib.h"
#include "screen/Window.h"
#include "encounters/EventEncounters.h"
#include "galaxy/Sector.h"
#include "platform/Files.h"
#include "player/Player.h"

class Game {
public:
    // Choice codes of the main menu.
    static constexpr int CHOICE_EXIT = 0;
    static constexpr int CHOICE_NEW_GAME = 1;
    static constexpr int CHOICE_TUTORIAL = 2;
    static constexpr int CHOICE_LOAD = 3;
    static constexpr int CHOICE_CREDITS = 4;

    // Without a backend the game runs headless (tests).
    explicit Game(std::unique_ptr<Backend> backend);

    void run();
    int menu(ConLib* console);
    void credits(ConLib* console);
    void gameOver(ConLib* console);

    // New galaxy and loading (GameGalaxy.cpp).
    bool newGame(ConLib* console);
    bool createNewWorld(ConLib* console, const char* name, Player* player, short goal);
    // Hides the ancient parts and the pirates planet in the galaxy file whose
    // name without ".glx" is `fileStem`; false as soon as a sector cannot be
    // read or written (a save failure has then been reported).
    bool placeBonuses(Player* player, const char* fileStem);
    bool load(ConLib* console);
    // Lets go of the galaxy in play, which another game may then open: the
    // menu does so when it shows again. A galaxy is held from its creation
    // or loading on, so that two games never play it at once.
    void leaveGalaxy() { galaxyHold.reset(); }

    // The tutorial (GameTutorial.cpp): loads the tutorial galaxy and runs the
    // course; nothing of it is ever saved.
    void playTutorial();
    // Where T looks for the tutorial galaxy, in order; by default the working
    // folder, the program's folder and the installed data folder.
    void setTutorialFolders(std::vector<std::filesystem::path> folders) { tutorialFolders = std::move(folders); }

    // Told of each galaxy the menu opens, by name: one just created, or one
    // loaded as it stood on the disk (a recording keeps those).
    std::function<void(const std::string& name, bool created)> onGalaxyOpened;

    ConLib& getConsole() { return console; }
    Player& getPlayer() { return player; }
    Sector& getSector() { return sector; }
    const char* getWorldName() const { return worldName; }

    // Galaxy names: 1 to 19 letters, digits, '_' or '-', and no device
    // name of Windows, so that a name is always a plain file name in the
    // working folder, on every system.
    static constexpr int MAX_NAME_LENGTH = 19;
    static bool isValidGalaxyName(const std::string& name);
    // CON, NUL, AUX, PRN, COM0 to COM9, LPT0 to LPT9, in any case.
    static bool isDeviceName(const std::string& name);
    // The creation progress shown after that many sectors are written.
    static int creationPercent(int sectorsWritten);
    // Removes the working files of creations whose process no longer runs
    // (killed before they could clean up), whatever galaxy they were for.
    static void removeCreationLeftovers();

private:
    // The quit question: true when the player confirms.
    bool confirmQuit();
    void drawMenu(ConLib* console);
    void drawCredits(ConLib* console);
    // Flies the galaxy that was just created or loaded, then saves it.
    void playGalaxy();
    void saveAfterGalaxy();
    std::string askGalaxyName(ConLib* console, const char* title, const char* text, Coord at);
    short askGoal(ConLib* console);
    void showError(ConLib* console, int width, const char* text);
    // Holds the galaxy file for this game; false, with the player told,
    // when another game has it open.
    bool holdGalaxy(ConLib* console, const std::string& path, const std::string& name);
    bool writeGalaxyFile(ConLib* console, const std::string& path, Sector& working, Player* player, short goal);

    ConLib console;
    Player player;
    Sector sector{0, 0, nullptr, nullptr};
    // Meteor fields, pirates and the special encounters of flight.
    EventEncounters encounters;
    Window dialogWindow;
    char worldName[20];
    std::unique_ptr<platform::FileHold> galaxyHold;
    // The tutorial galaxy's name while the sector holds it.
    std::string tutorialName;
    std::vector<std::filesystem::path> tutorialFolders;
};
