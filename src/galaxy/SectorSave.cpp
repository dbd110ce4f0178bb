// The galaxy file: sector records at fixed offsets followed by the player
// record. Each operation opens the file, reads or writes whole records and
// closes it again, so every save has reached the operating system when it
// returns, and the disk too unless the caller asked only for speed. A save
// writes both its records or neither (galaxy/GalaxyFile.h); every opening
// first completes a save that a stopped process left half done.

#include <algorithm>
#include <string>
#include <ostream>

#include "screen/ConLib.h"
#include "screen/HelpFuncLib.h"
#include "screen/Window.h"
#include "storage/GalaxyFile.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

using record::get16;
using record::get32;
using record::put16;
using record::put32;

bool partKindIsSound(int kind) { return kind >= Sector::NO_PART && kind < Sector::PART_KINDS; }

// The sector that the player record puts the ship in, or 0 when the record
// holds coordinates outside the galaxy.
int playerSectorNumber(const savePlayerData& data) {
    const int x = get32(data.bytes.data() + playerRec::worldX);
    const int y = get32(data.bytes.data() + playerRec::worldY);
    if (!galaxy::isSectorCoord(x) || !galaxy::isSectorCoord(y)) return 0;
    return galaxy::sectorNumber(x, y);
}

// A record belongs in slot n only when it holds sector n's coordinates:
// otherwise its next save would land on another sector.
bool recordFitsSlot(const saveSectorData& data, int n) {
    const int x = get32(data.bytes.data() + sectorRec::secX);
    const int y = get32(data.bytes.data() + sectorRec::secY);
    // A damaged record may hold any coordinates: the number of coordinates
    // outside the galaxy would overflow.
    return galaxy::isSectorCoord(x) && galaxy::isSectorCoord(y) && galaxy::sectorNumber(x, y) == n;
}

}  // namespace

std::string galaxy::fileName(const char* galaxyName) {
    return std::string(galaxyName == nullptr ? "" : galaxyName) + ".glx";
}

// ---- Record copies -----------------------------------------------------------

void Sector::SaveToFile(saveSectorData* data) const {
    std::uint8_t* const r = data->bytes.data();
    data->bytes.fill(0);  // reserved bytes and unused planet slots stay zero
    put32(r + sectorRec::number, number);
    put32(r + sectorRec::secX, secX);
    put32(r + sectorRec::secY, secY);
    put16(r + sectorRec::aPartX, aPartPos.X);
    put16(r + sectorRec::aPartY, aPartPos.Y);
    put16(r + sectorRec::aPartKind, aPartKind);
    put16(r + sectorRec::epX, epPos.X);
    put16(r + sectorRec::epY, epPos.Y);
    savePlanetData slot;
    for (int i = 0; i < number; ++i) {
        planets[i].SaveToFile(&slot);
        std::copy(slot.bytes.begin(), slot.bytes.end(), r + sectorRec::planets + i * PLANET_RECORD_SIZE);
    }
}

namespace {

savePlanetData planetSlot(const saveSectorData& data, int i) {
    savePlanetData slot;
    const std::uint8_t* const from = data.bytes.data() + sectorRec::planets + i * PLANET_RECORD_SIZE;
    std::copy(from, from + PLANET_RECORD_SIZE, slot.bytes.begin());
    return slot;
}

}  // namespace

bool Sector::isSoundRecord(const saveSectorData& data) {
    const std::uint8_t* const r = data.bytes.data();
    const int count = get32(r + sectorRec::number);
    if (count < 0 || count > MAX_PLANETS) return false;
    if (!galaxy::isSectorCoord(get32(r + sectorRec::secX)) || !galaxy::isSectorCoord(get32(r + sectorRec::secY)))
        return false;
    const int kind = get16(r + sectorRec::aPartKind);
    if (!partKindIsSound(kind)) return false;
    // Bonuses in use are drawn on the map, so they must lie on the screen.
    if (kind != NO_PART && !ScreenGrid::contains(get16(r + sectorRec::aPartX), get16(r + sectorRec::aPartY)))
        return false;
    const int epX = get16(r + sectorRec::epX);
    const int epY = get16(r + sectorRec::epY);
    if (epX != -1 && epY != -1 && !ScreenGrid::contains(epX, epY)) return false;
    for (int i = 0; i < count; ++i)
        if (!Planet::isSoundRecord(planetSlot(data, i))) return false;
    return true;
}

bool Sector::LoadFromFile(const saveSectorData* data) {
    if (data == nullptr || !isSoundRecord(*data)) return false;
    const std::uint8_t* const r = data->bytes.data();
    number = get32(r + sectorRec::number);
    secX = get32(r + sectorRec::secX);
    secY = get32(r + sectorRec::secY);
    aPartPos = Coord{get16(r + sectorRec::aPartX), get16(r + sectorRec::aPartY)};
    aPartKind = get16(r + sectorRec::aPartKind);
    epPos = Coord{get16(r + sectorRec::epX), get16(r + sectorRec::epY)};
    // Slots past `number` are not read; they keep whatever they held.
    for (int i = 0; i < number; ++i) {
        const savePlanetData slot = planetSlot(*data, i);
        planets[i].LoadFromFile(&slot);
    }
    return true;
}

// ---- File operations ---------------------------------------------------------

bool Sector::reportSaveFailure(ConLib* console) const {
    // Callers without a console of their own (the menu, the bonus placement)
    // still get the message on the screen of the running game.
    ConLib* const shown = console != nullptr ? console : ConLib::current();
    if (shown != nullptr) {
        shown->err() << "Blad podczas zapisu pliku" << '\n';
        shown->pause();
    }
    return false;
}

void Sector::confirmSave(ConLib* console) const {
    showMessage(console, 28, 5, "INFORMATION", "Game saved successfully!", CloseOn::AnyKey);
    drawMap(console);
}

bool Sector::save(ConLib* console, bool show, Durability durability) {
    // The tutorial's galaxy is only ever read.
    if (wName == nullptr || access == Access::ReadOnly) return reportSaveFailure(console);
    // The sector's own coordinates decide where it goes; never write
    // outside the sector records.
    if (!galaxy::isSectorCoord(secX) || !galaxy::isSectorCoord(secY)) return reportSaveFailure(console);

    PendingSave records;
    records.sector = galaxy::sectorNumber(secX, secY);
    SaveToFile(&records.sectorData);
    if (player != nullptr) {
        records.hasPlayer = true;
        player->SaveToFile(&records.playerData);
    }
    if (!galaxy::writeSave(galaxy::fileName(wName), records, durability == Durability::Synced))
        return reportSaveFailure(console);

    if (show && console != nullptr) confirmSave(console);
    return true;
}

bool Sector::completePendingSave(const std::string& file) const {
    // A read-only galaxy never has a save of ours on its way in.
    return access == Access::ReadOnly || galaxy::completePendingSave(file) != galaxy::PendingOutcome::Failed;
}

LoadResult Sector::loadSector(int n) {
    if (!galaxy::isSectorNumber(n)) return LoadResult::NoSuchSector;
    if (wName == nullptr) return LoadResult::NoFile;
    const std::string name = galaxy::fileName(wName);
    platform::File file(name, platform::OpenMode::Read);
    if (!file.isOpen()) return LoadResult::NoFile;
    // Half a save cannot be read as a sector.
    if (!completePendingSave(name)) return LoadResult::Damaged;
    saveSectorData data;
    if (!file.readAt(sectorRecordOffset(n), data.bytes.data(), SECTOR_RECORD_SIZE)) return LoadResult::Damaged;
    if (!recordFitsSlot(data, n) || !LoadFromFile(&data)) return LoadResult::Damaged;
    return LoadResult::Ok;
}

LoadResult Sector::loadGame() {
    if (wName == nullptr) return LoadResult::NoFile;
    const std::string name = galaxy::fileName(wName);
    platform::File file(name, platform::OpenMode::Read);
    if (!file.isOpen()) return LoadResult::NoFile;
    // Without a player there is nothing to put the player record into.
    if (player == nullptr) return LoadResult::Damaged;
    if (!completePendingSave(name)) return LoadResult::Damaged;

    savePlayerData playerData;
    if (!file.readAt(PLAYER_RECORD_OFFSET, playerData.bytes.data(), PLAYER_RECORD_SIZE)) return LoadResult::Damaged;
    const int n = playerSectorNumber(playerData);
    if (n == 0) return LoadResult::Damaged;
    saveSectorData sectorData;
    if (!file.readAt(sectorRecordOffset(n), sectorData.bytes.data(), SECTOR_RECORD_SIZE)) return LoadResult::Damaged;

    // Both records are checked before either is used, so a damaged file
    // changes neither the player nor the sector.
    if (!recordFitsSlot(sectorData, n) || !isSoundRecord(sectorData)) return LoadResult::Damaged;
    if (!player->LoadFromFile(&playerData)) return LoadResult::Damaged;
    LoadFromFile(&sectorData);
    return LoadResult::Ok;
}

// ---- A new galaxy ------------------------------------------------------------

bool writeNewGalaxyRecords(std::ostream& out, Sector& working, const GalaxyProgress& progress) {
    saveSectorData data;
    int written = 0;
    for (int y = galaxy::MIN_COORD; y <= galaxy::MAX_COORD; ++y) {
        for (int x = galaxy::MIN_COORD; x <= galaxy::MAX_COORD; ++x) {
            working.genSector(x, y);
            working.SaveToFile(&data);
            out.write(reinterpret_cast<const char*>(data.bytes.data()), static_cast<std::streamsize>(data.bytes.size()));
            if (!out) return false;
            ++written;
            if (progress) progress(written);
        }
    }
    return true;
}
