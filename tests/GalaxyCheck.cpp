#include "GalaxyCheck.h"


#include "TestSupport.h"
#include "storage/SaveRecords.h"
#include "storage/GalaxyFile.h"
#include "galaxy/Sector.h"
#include "shell/Game.h"

namespace {

constexpr int PARTS_PER_KIND = 5;
static_assert(std::tuple_size_v<decltype(GalaxyReport::goodsOnPlanets)> == Planet::GOOD_COUNT);

void checkSectors(const std::string& file, GalaxyReport& report) {
    Sector sector(0, 0, nullptr, nullptr);
    for (int n = 1; n <= SECTOR_COUNT; ++n) {
        saveSectorData record;
        std::copy_n(file.begin() + sectorRecordOffset(n), SECTOR_RECORD_SIZE, record.bytes.begin());
        if (!sector.LoadFromFile(&record)) {
            report.faults.push_back("sector record " + std::to_string(n) + " is damaged");
            continue;
        }
        if (galaxy::sectorNumber(sector.getSecX(), sector.getSecY()) != n)
            report.faults.push_back("sector record " + std::to_string(n) + " holds another sector");
        if (sector.getaPartKind() >= 0) ++report.partsInSectors[static_cast<std::size_t>(sector.getaPartKind())];
        for (int i = 0; i < sector.getNumber(); ++i)
            for (int good = 0; good < Planet::GOOD_COUNT; ++good)
                report.goodsOnPlanets[static_cast<std::size_t>(good)] += sector.getPlanet(i)->getGood(good);
        if (sector.getEpPos().X != -1 && sector.getEpPos().Y != -1) ++report.piratesPlanets;
    }
}

void checkPlayer(const std::string& file, GalaxyReport& report) {
    savePlayerData record;
    std::copy_n(file.begin() + PLAYER_RECORD_OFFSET, PLAYER_RECORD_SIZE, record.bytes.begin());
    if (!report.player.LoadFromFile(&record)) {
        report.faults.push_back("the player record is damaged");
        return;
    }
    const Player& p = report.player;
    if (p.getCredits() < 0) report.faults.push_back("negative credits");
    for (int good = 0; good < Planet::GOOD_COUNT; ++good)
        if (p.getTrade(good) < 0) report.faults.push_back("negative cargo of good " + std::to_string(good + 1));
    for (std::size_t kind = 0; kind < report.partsHeld.size(); ++kind) {
        report.partsHeld[kind] = p.getaParts(static_cast<int>(kind));
        report.partsResearched[kind] = p.getResarch(static_cast<int>(kind));
    }
}

void checkCounts(GalaxyReport& report) {
    for (std::size_t kind = 0; kind < report.partsInSectors.size(); ++kind) {
        const int total = report.partsInSectors[kind] + report.partsHeld[kind] + report.partsResearched[kind];
        if (total != PARTS_PER_KIND)
            report.faults.push_back("ancient parts of kind " + std::to_string(kind) + ": " + std::to_string(total) +
                                    " instead of 5");
    }
    // Destroyed in the boss fight it is gone; never more than one.
    if (report.piratesPlanets > 1)
        report.faults.push_back(std::to_string(report.piratesPlanets) + " pirates planets");
}

// The game itself must take the file: its own loader, from its own name.
// It completes or drops a save left pending, so nothing may be left of one.
void checkGameLoads(const std::filesystem::path& path, GalaxyReport& report) {
    const std::string stem = (path.parent_path() / path.stem()).string();
    Player player;
    Sector sector(0, 0, &player, stem.c_str());
    if (sector.loadGame() != LoadResult::Ok) report.faults.push_back("the game does not load it");
    if (std::filesystem::exists(galaxy::pendingSaveFileName(path.string())))
        report.faults.push_back("a pending save is left beside it");
}

}  // namespace

std::string GalaxyReport::describe() const {
    std::string text;
    for (const std::string& fault : faults) text += fault + "; ";
    return text.empty() ? "sound" : text;
}

GalaxyReport checkGalaxyFile(const std::filesystem::path& path) {
    GalaxyReport report;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size != static_cast<std::uintmax_t>(GALAXY_FILE_SIZE)) {
        report.faults.push_back("size " + (error ? std::string("unknown") : std::to_string(size)) + " instead of " +
                                std::to_string(GALAXY_FILE_SIZE));
        return report;
    }
    // First, as the game would: the records checked are those it then plays.
    checkGameLoads(path, report);
    const std::string file = fileContents(path);  // in one read: a galaxy is 12 MB
    if (file.size() != static_cast<std::size_t>(GALAXY_FILE_SIZE)) {
        report.faults.push_back("the file cannot be read whole");
        return report;
    }
    checkSectors(file, report);
    checkPlayer(file, report);
    checkCounts(report);
    return report;
}

std::vector<std::pair<std::string, GalaxyReport>> checkGalaxyFolder(const std::filesystem::path& folder) {
    std::vector<std::pair<std::string, GalaxyReport>> reports;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::filesystem::path& path = entry.path();
        if (path.extension() != ".glx" || !Game::isValidGalaxyName(path.stem().string())) continue;
        reports.emplace_back(path.filename().string(), checkGalaxyFile(path));
    }
    return reports;
}
