#pragma once
// The tutorial's galaxy: a file in the ordinary save format that the
// project builds from its own code, and where the game looks for it.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The galaxy's name; its file is "Tutorial.glx".
constexpr const char* TUTORIAL_GALAXY = "Tutorial";

// The name to load the galaxy by (the file's path without ".glx") in the
// first of the folders that holds the file (the game's are
// tutorialGalaxyFolders(), shell/TutorialFolders.h); none when none does.
std::optional<std::string> findTutorialGalaxy(const std::vector<std::filesystem::path>& folders);

// Writes the whole tutorial galaxy to `path` (which should end in ".glx").
// Always the same bytes. The file appears only once it is complete; false
// when it could not be written.
bool writeTutorialGalaxy(const std::string& path);

// What the course relies on in the galaxy.
namespace tutorialGalaxy {
constexpr int HOME_SECTOR_X = 0;
constexpr int HOME_SECTOR_Y = 0;
// The home sector's planets, none of them rare, none within three steps of
// the cell where the scripted fight leaves the ship.
constexpr short EARTH_X = 38, EARTH_Y = 12;   // the ship starts beside it
constexpr short MARS_X = 44, MARS_Y = 9;      // where the ore sells well
constexpr short VENUS_X = 30, VENUS_Y = 18;
constexpr int EARTH_ORE = 800;  // cheap
constexpr int MARS_ORE = 60;    // dear
}  // namespace tutorialGalaxy
