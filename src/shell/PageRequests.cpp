// What the browser's page asks of the game beside playing it: whether a
// galaxy file is one the game would load, and the tutorial's galaxy. The
// page's build exports them by name; elsewhere nothing calls them.

#include "galaxy/Sector.h"
#include "player/Player.h"
#include "shell/Game.h"
#include "tutorial/TutorialGalaxy.h"

// The same check as loading it from the menu. 0: it loads; 1: the name is no galaxy name the game accepts; 2: it is damaged.
extern "C" int starhollow_check_galaxy(const char* folder, const char* name) {
    if (!Game::isValidGalaxyName(name)) return 1;
    const std::string stem = std::string(folder) + "/" + name;
    Player player;
    Sector sector(0, 0, &player, stem.c_str());
    return sector.loadGame() == LoadResult::Ok ? 0 : 2;
}

// The page makes the tutorial's galaxy when it opens, rather than download
// 12 MB: the game's own code gives the same bytes on every system.
extern "C" int starhollow_make_tutorial_galaxy(const char* path) {
    return writeTutorialGalaxy(path) ? 1 : 0;
}
