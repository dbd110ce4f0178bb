#pragma once
// Where the game looks for the tutorial's galaxy: beside the player, beside
// the program and in the installed data folder.

#include <filesystem>
#include <vector>

// The folders searched for the file, in order: the working folder, the
// program's own folder, the installed data folder.
std::vector<std::filesystem::path> tutorialGalaxyFolders();
