#include "tutorial/TutorialGalaxy.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "catalog/Random.h"
#include "galaxy/Sector.h"
#include "planet/TutorialProgress.h"
#include "storage/Paths.h"
#include "player/Player.h"

namespace {

namespace fs = std::filesystem;
using namespace tutorialGalaxy;

// Every tutorial galaxy is the same one.
constexpr unsigned SEED = 1969;
constexpr int ORE = 14;

struct PlanetPlan {
    const char* name;
    short x, y;
    int ore;  // -1: as generated
};

constexpr std::array<PlanetPlan, 3> HOME_PLANETS{{
    {HOME_PLANET, EARTH_X, EARTH_Y, EARTH_ORE},
    {"MARS", MARS_X, MARS_Y, MARS_ORE},
    {"VENUS", VENUS_X, VENUS_Y, -1},
}};

// A few ancient parts next door for whoever explores; no pirates planet
// anywhere, since nobody expects to lose a tutorial.
struct PartPlan {
    int sectorX, sectorY;
    short kind;
};
constexpr std::array<PartPlan, 4> NEARBY_PARTS{{{1, 0, 0}, {0, 1, 2}, {-1, 0, 4}, {0, -1, 6}}};

bool writeGeneratedGalaxy(const std::string& file, Player& player) {
    std::ofstream out(platform::pathOfUtf8(file), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    Sector working(0, 0, nullptr, nullptr);
    if (!writeNewGalaxyRecords(out, working)) return false;
    savePlayerData record;
    player.SaveToFile(&record);
    out.seekp(PLAYER_RECORD_OFFSET);
    out.write(reinterpret_cast<const char*>(record.bytes.data()), static_cast<std::streamsize>(record.bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

void planHomePlanet(Planet& planet, const PlanetPlan& plan) {
    planet.setName(plan.name);
    planet.setrX(plan.x);
    planet.setrY(plan.y);
    // Galaxy coordinates of the sector at (0, 0) are the map cells themselves.
    planet.setgX(plan.x);
    planet.setgY(plan.y);
    planet.setRarity(false);
    if (plan.ore >= 0) planet.setGood(ORE, plan.ore);
}

// The home sector and the player in it, written over what was generated.
bool writeHomeSector(const char* stem, Player& player) {
    Sector home(HOME_SECTOR_X, HOME_SECTOR_Y, &player, stem);
    home.setNumber(static_cast<int>(HOME_PLANETS.size()));
    for (std::size_t i = 0; i < HOME_PLANETS.size(); ++i)
        planHomePlanet(*home.getPlanet(static_cast<int>(i)), HOME_PLANETS[i]);
    return home.save(nullptr, false);
}

bool hideNearbyParts(const char* stem) {
    Sector sector(0, 0, nullptr, stem);
    for (const PartPlan& part : NEARBY_PARTS) {
        if (!sector.load(galaxy::sectorNumber(part.sectorX, part.sectorY))) return false;
        sector.setaPart(part.kind);
        if (!sector.save(nullptr, false)) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> findTutorialGalaxy(const std::vector<fs::path>& folders) {
    for (const fs::path& folder : folders) {
        std::error_code error;
        if (fs::is_regular_file(folder / galaxy::fileName(TUTORIAL_GALAXY), error))
            return platform::utf8Of(folder / TUTORIAL_GALAXY);
    }
    return std::nullopt;
}

bool writeTutorialGalaxy(const std::string& path) {
    // Built under a working name and renamed when whole, so that a build
    // stopped half-way never leaves a short file behind.
    const std::string stem = path + ".part";
    const std::string working = galaxy::fileName(stem.c_str());
    rng::srand(SEED);
    Player player;
    player.newPlayer(VICTORY_PIRATES);
    const bool written = writeGeneratedGalaxy(working, player) && writeHomeSector(stem.c_str(), player) &&
                         hideNearbyParts(stem.c_str());
    std::error_code error;
    if (written) fs::rename(platform::pathOfUtf8(working), platform::pathOfUtf8(path), error);
    if (!written || error) {
        fs::remove(platform::pathOfUtf8(working), error);
        return false;
    }
    return true;
}
