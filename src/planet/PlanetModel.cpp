// Planet generation, accessors and the production tick.

#include <algorithm>
#include <cstdint>

#include "catalog/Random.h"
#include "planet/Planet.h"

namespace {

// Raw materials (Wood, Cristals, Ore) are mined: their facilities need no inputs.
constexpr int FIRST_RAW_MATERIAL = 12;

constexpr std::array<Planet::Recipe, Planet::GOOD_COUNT> RECIPES{{
    {5, 3},    // Nano-Tech: Electronics, Nano-parts
    {4, 3},    // Robots: Mechanics, Nano-parts
    {5, 4},    // Computers: Electronics, Mechanics
    {6, 7},    // Nano-parts: Warheads, Parts
    {8, 7},    // Mechanics: Fiber, Parts
    {6, 8},    // Electronics: Warheads, Fiber
    {10, 9},   // Warheads: Energy cells, Glass
    {11, 10},  // Parts: Alloys, Energy cells
    {11, 9},   // Fiber: Alloys, Glass
    {14, 13},  // Glass: Ore, Cristals
    {12, 13},  // Energy cells: Wood, Cristals
    {12, 14},  // Alloys: Wood, Ore
    {-1, -1},  // Wood
    {-1, -1},  // Cristals
    {-1, -1},  // Ore
}};

// Galaxy coordinates are kept in 16 bits, as the save file stores them.
short galaxyCoordinate(int sector, int cellsPerSector, int cell) {
    const std::int64_t value = std::int64_t{sector} * cellsPerSector + cell;
    return static_cast<short>(static_cast<std::uint16_t>(value & 0xFFFF));
}

}  // namespace

Planet::Recipe Planet::recipeOf(int output) {
    if (!isGood(output)) return Recipe{};
    return RECIPES[output];
}

Planet::Planet(int sectorX, int sectorY) {
    // The order of the steps fixes the sequence of random draws.
    rX = static_cast<short>(genPos(true));
    rY = static_cast<short>(genPos(false));
    gX = galaxyCoordinate(sectorX, 80, rX);
    gY = galaxyCoordinate(sectorY, 25, rY);
    population = rng::rand() % 98 + 3;
    rarity = genRarity();
    genName(name);
    genGoods(goods);
    genFacilities();
}

int Planet::genPos(bool horizontal) {
    if (horizontal) return rng::rand() % (MAX_COLUMN - MIN_COLUMN + 1) + MIN_COLUMN;
    return rng::rand() % (MAX_ROW - MIN_ROW + 1) + MIN_ROW;
}

bool Planet::genRarity() { return rng::rand() % 100 + 1 > 94; }

void Planet::genName(std::array<char, NAME_SIZE>& buffer) {
    const int length = rng::rand() % (NAME_SIZE - 1) + 1;
    buffer.fill('\0');
    for (int i = 0; i < length; ++i) buffer[i] = static_cast<char>('A' + rng::rand() % 26);
}

void Planet::genGoods(std::array<int, GOOD_COUNT>& stocks) {
    for (int& stock : stocks) stock = rng::rand() % 251 + 250;
}

void Planet::genFacilities() {
    facilityCount = static_cast<short>(rng::rand() % (MAX_FACILITIES + 1));
    inputCount = static_cast<short>(2 * facilityCount);
    facilityOutput.fill(0);
    facilityInputs.fill(0);
    for (int k = 0; k < facilityCount; ++k) facilityOutput[k] = static_cast<short>(rng::rand() % 16);
    for (int k = 0; k < facilityCount; ++k) {
        const Recipe recipe = recipeOf(facilityOutput[k]);
        facilityInputs[2 * k] = recipe.first;
        facilityInputs[2 * k + 1] = recipe.second;
    }
}

bool Planet::consumeInputs(int k) {
    const int output = facilityOutput[k];
    // A facility without a good to make never touches a stock.
    if (!isGood(output)) return false;
    const int first = facilityInputs[2 * k];
    const int second = facilityInputs[2 * k + 1];
    if (first == NO_INPUT && second == NO_INPUT) return output >= FIRST_RAW_MATERIAL;
    if (!isGood(first) || !isGood(second)) return false;
    int& a = goods[first];
    int& b = goods[second];
    // Same good twice (only a hand-edited record does that) needs both batches.
    const int needed = first == second ? 2 * BATCH : BATCH;
    if (a < needed || b < needed) return false;
    a -= BATCH;
    b -= BATCH;
    return true;
}

void Planet::produceOutput(int k) {
    int& stock = goods[facilityOutput[k]];
    // A full store takes nothing; what was consumed for it is lost.
    if (stock + BATCH <= STOCK_CAPACITY) stock += BATCH;
}

void Planet::tick() {
    const int count = std::clamp<int>(facilityCount, 0, MAX_FACILITIES);
    std::array<bool, MAX_FACILITIES> active{};
    // Everything is consumed before anything is produced, so this tick's
    // products cannot feed a later facility in the same tick.
    for (int k = 0; k < count; ++k) active[k] = consumeInputs(k);
    for (int k = 0; k < count; ++k)
        if (active[k]) produceOutput(k);
}

int Planet::getGood(int good) const {
    if (!isGood(good)) return 0;
    return goods[good];
}

void Planet::setGood(int good, int count) {
    if (!isGood(good) || count < 0 || count > STOCK_CAPACITY) return;
    goods[good] = count;
}

void Planet::setName(std::string_view text) {
    if (text.size() > NAME_SIZE - 1) return;
    name.fill('\0');
    std::copy(text.begin(), text.end(), name.begin());
}

int Planet::getFacilityOutput(int k) const {
    if (k < 0 || k >= MAX_FACILITIES) return 0;
    return facilityOutput[k];
}

int Planet::getFacilityInput(int i) const {
    if (i < 0 || i >= MAX_INPUTS) return 0;
    return facilityInputs[i];
}
