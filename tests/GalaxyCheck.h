#pragma once
// A full consistency check of a galaxy file, for every test that leaves one
// behind (the kill test, the hangup tests, the bad-input table): the size,
// that the game loads it (completing a save left pending, which must then be
// gone), every sector record sound and in its own slot, the player record,
// and the counts of ancient parts and of the pirates planet.

#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "player/Player.h"

struct GalaxyReport {
    // Each fault in words; empty when the file is sound.
    std::vector<std::string> faults;
    // Ancient parts by kind: still hidden in sectors, held by the player,
    // researched by the player. Every galaxy has five of each kind, so the
    // three add up to 5.
    std::array<int, 7> partsInSectors{};
    std::array<int, 7> partsHeld{};
    std::array<int, 7> partsResearched{};
    int piratesPlanets = 0;
    // Every planet's stock of each good, added up over the galaxy: with the
    // player's cargo, what trades must conserve.
    std::array<long long, 15> goodsOnPlanets{};
    Player player;  // as the file has it (when its record is sound)

    bool sound() const { return faults.empty(); }
    std::string describe() const;
};

// `path` is the file itself, NAME.glx. The check opens it as the game does,
// so a save left pending beside it is completed first.
GalaxyReport checkGalaxyFile(const std::filesystem::path& path);

// Every galaxy of a folder: the files NAME.glx whose NAME the game accepts
// (the hidden working files of a creation in progress are not galaxies).
std::vector<std::pair<std::string, GalaxyReport>> checkGalaxyFolder(const std::filesystem::path& folder);
