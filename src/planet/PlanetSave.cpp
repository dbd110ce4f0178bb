// A planet's 116-byte record in the galaxy file.

#include "screen/ScreenGrid.h"
#include "planet/Planet.h"

namespace {

using record::get16;
using record::get32;
using record::get8;
using record::put16;
using record::put32;
using record::put8;

constexpr std::size_t NAME_LETTERS = Planet::NAME_SIZE - 1;

bool inRange(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

void Planet::SaveToFile(savePlanetData* data) const {
    std::uint8_t* const r = data->bytes.data();
    data->bytes.fill(0);  // reserved bytes and the name's padding stay zero
    put16(r + planetRec::rX, rX);
    put16(r + planetRec::rY, rY);
    put16(r + planetRec::gX, gX);
    put16(r + planetRec::gY, gY);
    put8(r + planetRec::rarity, rarity ? 1 : 0);
    for (std::size_t i = 0; i < NAME_LETTERS && name[i] != '\0'; ++i)
        put8(r + planetRec::name + i, static_cast<std::uint8_t>(name[i]));
    for (int g = 0; g < GOOD_COUNT; ++g) put32(r + planetRec::goods + 4 * g, goods[g]);
    put32(r + planetRec::population, population);
    put16(r + planetRec::facilityCount, facilityCount);
    for (int k = 0; k < MAX_FACILITIES; ++k) put16(r + planetRec::facilityOutput + 2 * k, facilityOutput[k]);
    put16(r + planetRec::inputCount, inputCount);
    for (int i = 0; i < MAX_INPUTS; ++i) put16(r + planetRec::facilityInputs + 2 * i, facilityInputs[i]);
}

bool Planet::isSoundRecord(const savePlanetData& data) {
    const std::uint8_t* const r = data.bytes.data();
    // The planet is drawn on the map, which is the whole screen.
    if (!ScreenGrid::contains(get16(r + planetRec::rX), get16(r + planetRec::rY))) return false;
    for (int g = 0; g < GOOD_COUNT; ++g)
        if (!inRange(get32(r + planetRec::goods + 4 * g), 0, STOCK_CAPACITY)) return false;
    const int count = get16(r + planetRec::facilityCount);
    if (!inRange(count, 0, MAX_FACILITIES)) return false;
    if (get16(r + planetRec::inputCount) != 2 * count) return false;
    for (int k = 0; k < MAX_FACILITIES; ++k)
        if (!inRange(get16(r + planetRec::facilityOutput + 2 * k), 0, NO_GOOD)) return false;
    for (int i = 0; i < MAX_INPUTS; ++i)
        if (!inRange(get16(r + planetRec::facilityInputs + 2 * i), NO_INPUT, GOOD_COUNT - 1)) return false;
    return true;
}

bool Planet::LoadFromFile(const savePlanetData* data) {
    if (data == nullptr || !isSoundRecord(*data)) return false;
    const std::uint8_t* const r = data->bytes.data();
    rX = get16(r + planetRec::rX);
    rY = get16(r + planetRec::rY);
    gX = get16(r + planetRec::gX);
    gY = get16(r + planetRec::gY);
    rarity = get8(r + planetRec::rarity) != 0;
    // At most five letters, so the name is always terminated.
    name.fill('\0');
    for (std::size_t i = 0; i < NAME_LETTERS; ++i) {
        const std::uint8_t letter = get8(r + planetRec::name + i);
        if (letter == 0) break;
        name[i] = static_cast<char>(letter);
    }
    for (int g = 0; g < GOOD_COUNT; ++g) goods[g] = get32(r + planetRec::goods + 4 * g);
    population = get32(r + planetRec::population);
    facilityCount = get16(r + planetRec::facilityCount);
    for (int k = 0; k < MAX_FACILITIES; ++k) facilityOutput[k] = get16(r + planetRec::facilityOutput + 2 * k);
    inputCount = get16(r + planetRec::inputCount);
    for (int i = 0; i < MAX_INPUTS; ++i) facilityInputs[i] = get16(r + planetRec::facilityInputs + 2 * i);
    return true;
}
