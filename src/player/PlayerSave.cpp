// The player record of the galaxy file. A record is checked whole before any
// of it is used, so a damaged file never leaves a half-loaded player behind.

#include <algorithm>

#include "storage/SaveRecords.h"
#include "player/Player.h"

namespace {

std::size_t tradeOffset(int good) { return playerRec::trade + 4 * static_cast<std::size_t>(good); }
std::size_t aPartsOffset(int kind) { return playerRec::aParts + 2 * static_cast<std::size_t>(kind); }
std::size_t resarchOffset(int kind) { return playerRec::resarch + 2 * static_cast<std::size_t>(kind); }

saveShipData shipRecordOf(const savePlayerData& data) {
    saveShipData ship;
    std::copy_n(data.bytes.begin() + playerRec::ship, SHIP_RECORD_SIZE, ship.bytes.begin());
    return ship;
}

bool inRange(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

void Player::SaveToFile(savePlayerData* data) const {
    if (data == nullptr) return;
    data->bytes.fill(0);  // reserved bytes stay zero
    std::uint8_t* bytes = data->bytes.data();
    record::put16(bytes + playerRec::rX, rPos.X);
    record::put16(bytes + playerRec::rY, rPos.Y);
    record::put32(bytes + playerRec::reserved, reserved);
    record::put32(bytes + playerRec::worldX, worldX);
    record::put32(bytes + playerRec::worldY, worldY);
    record::put32(bytes + playerRec::credits, credits);
    for (int good = 0; good < TRADE_GOOD_COUNT; ++good)
        record::put32(bytes + tradeOffset(good), trade[static_cast<std::size_t>(good)]);

    saveShipData ship;
    Ship::SaveToFile(&ship);
    std::copy(ship.bytes.begin(), ship.bytes.end(), data->bytes.begin() + playerRec::ship);

    for (int kind = 0; kind < ANCIENT_KINDS; ++kind) {
        record::put16(bytes + aPartsOffset(kind), aParts[static_cast<std::size_t>(kind)]);
        record::put16(bytes + resarchOffset(kind), resarch[static_cast<std::size_t>(kind)]);
    }
    record::put16(bytes + playerRec::vicType, vicType);
    record::put8(bytes + playerRec::isWinner, isWinner ? 1 : 0);
    record::put16(bytes + playerRec::dimX, dim.X);
    record::put16(bytes + playerRec::dimY, dim.Y);
}

bool Player::isValidRecord(const savePlayerData& data) {
    const std::uint8_t* bytes = data.bytes.data();
    if (!inRange(record::get16(bytes + playerRec::rX), 0, SCREEN_WIDTH - 1)) return false;
    if (!inRange(record::get16(bytes + playerRec::rY), 0, SCREEN_HEIGHT - 1)) return false;
    if (!galaxy::isSectorCoord(record::get32(bytes + playerRec::worldX))) return false;
    if (!galaxy::isSectorCoord(record::get32(bytes + playerRec::worldY))) return false;
    for (int kind = 0; kind < ANCIENT_KINDS; ++kind) {
        if (!inRange(record::get16(bytes + aPartsOffset(kind)), 0, ANCIENT_MAX_COUNT)) return false;
        if (!inRange(record::get16(bytes + resarchOffset(kind)), 0, ANCIENT_MAX_COUNT)) return false;
    }
    if (!inRange(record::get16(bytes + playerRec::vicType), VICTORY_PIRATES, VICTORY_KNOWLEDGE)) return false;
    return Ship::isValidRecord(shipRecordOf(data));
}

bool Player::LoadFromFile(const savePlayerData* data) {
    if (data == nullptr || !isValidRecord(*data)) return false;
    const std::uint8_t* bytes = data->bytes.data();
    const saveShipData ship = shipRecordOf(*data);
    Ship::LoadFromFile(&ship);

    rPos = Coord{record::get16(bytes + playerRec::rX), record::get16(bytes + playerRec::rY)};
    reserved = record::get32(bytes + playerRec::reserved);
    worldX = record::get32(bytes + playerRec::worldX);
    worldY = record::get32(bytes + playerRec::worldY);
    credits = record::get32(bytes + playerRec::credits);
    for (int good = 0; good < TRADE_GOOD_COUNT; ++good)
        trade[static_cast<std::size_t>(good)] = record::get32(bytes + tradeOffset(good));
    for (int kind = 0; kind < ANCIENT_KINDS; ++kind) {
        aParts[static_cast<std::size_t>(kind)] = record::get16(bytes + aPartsOffset(kind));
        resarch[static_cast<std::size_t>(kind)] = record::get16(bytes + resarchOffset(kind));
    }
    vicType = record::get16(bytes + playerRec::vicType);
    isWinner = record::get8(bytes + playerRec::isWinner) != 0;
    dim = Coord{record::get16(bytes + playerRec::dimX), record::get16(bytes + playerRec::dimY)};
    // The prepared hyperspace jump is not part of the record and stays as it is.
    return true;
}
