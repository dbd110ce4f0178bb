// Feeds arbitrary bytes to the sector and player record loaders: a damaged
// galaxy file must be refused, never used to index anything.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "format/SaveRecords.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

template <typename Record>
bool fill(Record& record, const std::uint8_t*& data, std::size_t& size) {
    if (size < record.bytes.size()) return false;
    std::memcpy(record.bytes.data(), data, record.bytes.size());
    data += record.bytes.size();
    size -= record.bytes.size();
    return true;
}

// A record that loads must survive a save and a second load unchanged.
void checkSector(const saveSectorData& record, Player* player) {
    Sector sector(0, 0, player, "fuzz");
    if (!sector.LoadFromFile(&record)) return;
    saveSectorData again;
    sector.SaveToFile(&again);
    Sector copy(0, 0, player, "fuzz");
    if (!copy.LoadFromFile(&again)) std::abort();
    saveSectorData third;
    copy.SaveToFile(&third);
    if (third.bytes != again.bytes) std::abort();
    for (int i = 0; i < sector.getNumber(); ++i) sector.getPlanet(i)->tick();
    sector.getNearestPlanet();
}

void checkPlayer(const savePlayerData& record, Player& player) {
    if (!player.LoadFromFile(&record)) return;
    savePlayerData again;
    player.SaveToFile(&again);
    Player copy;
    if (!copy.LoadFromFile(&again)) std::abort();
    player.countShipWeight();
    player.chargeShield();
    if (player.getaSectorNumber() < 1 || player.getaSectorNumber() > SECTOR_COUNT) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Player player;
    savePlayerData playerRecord;
    if (fill(playerRecord, data, size)) checkPlayer(playerRecord, player);
    saveSectorData sectorRecord;
    while (fill(sectorRecord, data, size)) checkSector(sectorRecord, &player);
    return 0;
}
