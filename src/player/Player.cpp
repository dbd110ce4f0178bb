#include "player/Player.h"

#include <algorithm>
#include <cstdint>

#include "catalog/Amounts.h"
#include "catalog/Random.h"

namespace {

constexpr int START_CREDITS = 10000;
constexpr Coord START_CELL{39, 12};
// The board computer's jump target before any jump is prepared.
constexpr std::array<int, 5> DEFAULT_HYP_DATA{0, 0, 32, 12, 0};

// Coordinates keep only their low 16 bits, as the record's fields do.
short low16(int value) { return static_cast<short>(static_cast<std::uint16_t>(value)); }

bool isGood(int good) { return good >= 0 && good < TRADE_GOOD_COUNT; }
bool isAncientKind(int kind) { return kind >= 0 && kind < ANCIENT_KINDS; }
bool isAncientCount(int n) { return n >= 0 && n <= ANCIENT_MAX_COUNT; }

// A coordinate of the other dimension: far outside the galaxy.
short drawDimensionCoordinate() { return low16(rng::rand() % 5284832 + 50); }

}  // namespace

Player::Player() { newPlayer(VICTORY_PIRATES); }

void Player::newPlayer(short newVicType) {
    rPos = START_CELL;
    reserved = 0;
    worldX = 0;
    worldY = 0;
    credits = START_CREDITS;
    trade.fill(0);
    aParts.fill(0);
    resarch.fill(0);
    hypData = DEFAULT_HYP_DATA;
    vicType = newVicType;
    isWinner = false;
    hyperJump = false;
    newShip();
    drawDimension();
}

void Player::drawDimension() {
    // X is drawn first.
    dim.X = drawDimensionCoordinate();
    dim.Y = drawDimensionCoordinate();
}

void Player::addCredits(int n) {
    // No ceiling, but a negative amount (a cheat) never takes the credits below 0.
    credits = n >= 0 ? saturatedAdd(credits, n) : std::max(0, saturatedAdd(credits, n));
}

void Player::removeCredits(int n) {
    // A negative price (the dock buying back a dearer part) raises the credits.
    if (credits >= n) credits = saturatedSub(credits, n);
}

void Player::addTrade(int good, int n) {
    if (!isGood(good)) return;
    auto& units = trade[static_cast<std::size_t>(good)];
    units = saturatedAdd(units, n);
}

void Player::removeTrade(int good, int n) {
    if (!isGood(good)) return;
    auto& units = trade[static_cast<std::size_t>(good)];
    if (units >= n) units = saturatedSub(units, n);
}

int Player::getTrade(int good) const { return isGood(good) ? trade[static_cast<std::size_t>(good)] : 0; }

void Player::countShipWeight() {
    std::int64_t total = getAmmo() / 10;
    for (int units : trade) total += units;
    // setWeight refuses a total that does not fit; one beyond 32 bits cannot fit either.
    if (total < 0 || total > getMaxWeight()) return;
    setWeight(static_cast<int>(total));
}

void Player::loseAllTrade() {
    for (int good = 0; good < TRADE_GOOD_COUNT; ++good) removeTrade(good, getTrade(good));
    countShipWeight();
}

void Player::setaParts(int kind, int n) {
    if (isAncientKind(kind) && isAncientCount(n)) aParts[static_cast<std::size_t>(kind)] = static_cast<short>(n);
}

int Player::getaParts(int kind) const { return isAncientKind(kind) ? aParts[static_cast<std::size_t>(kind)] : 0; }

void Player::setResarch(int kind, int n) {
    if (isAncientKind(kind) && isAncientCount(n)) resarch[static_cast<std::size_t>(kind)] = static_cast<short>(n);
}

int Player::getResarch(int kind) const { return isAncientKind(kind) ? resarch[static_cast<std::size_t>(kind)] : 0; }

void Player::setrX(int x) {
    if (x >= 0 && x < SCREEN_WIDTH) rPos.X = static_cast<short>(x);
}

void Player::setrY(int y) {
    if (y >= 0 && y < SCREEN_HEIGHT) rPos.Y = static_cast<short>(y);
}

void Player::changeWorldCoord(bool xAxis, bool increase, int n) {
    int& value = xAxis ? worldX : worldY;
    const std::int64_t moved = increase ? std::int64_t{value} + n : std::int64_t{value} - n;
    // Past an edge the ship enters at the opposite edge, however far it went.
    if (moved > galaxy::MAX_COORD)
        value = galaxy::MIN_COORD;
    else if (moved < galaxy::MIN_COORD)
        value = galaxy::MAX_COORD;
    else
        value = static_cast<int>(moved);
}

int Player::getaSectorNumber() const { return galaxy::sectorNumber(worldX, worldY); }

void Player::setDimX(int x) { dim.X = low16(x); }
void Player::setDimY(int y) { dim.Y = low16(y); }

void Player::setHypData(int sectorX, int sectorY, int cellX, int cellY, int cost) {
    hypData = {sectorX, sectorY, cellX, cellY, cost};
    hyperJump = true;
}

Coord Player::getHyperJumpSectorCoord() const { return Coord{low16(hypData[0]), low16(hypData[1])}; }
