#pragma once
// The galaxy file's records, held as the exact bytes that go to disk. Every
// field is written and read explicitly, little-endian, at its own offset, so
// the format never depends on the compiler's struct layout.

#include <array>
#include <cstddef>
#include <cstdint>

namespace record {

inline void put8(std::uint8_t* at, std::uint8_t value) { at[0] = value; }
inline void put16(std::uint8_t* at, std::int16_t value) {
    const auto v = static_cast<std::uint16_t>(value);
    at[0] = static_cast<std::uint8_t>(v & 0xFF);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void put32(std::uint8_t* at, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}
inline std::uint8_t get8(const std::uint8_t* at) { return at[0]; }
inline std::int16_t get16(const std::uint8_t* at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] | (at[1] << 8)));
}
inline std::int32_t get32(const std::uint8_t* at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(at[i]) << (8 * i);
    return static_cast<std::int32_t>(v);
}

}  // namespace record

// Sizes and places of the records in a galaxy file.
constexpr std::size_t SHIP_RECORD_SIZE = 52;
constexpr std::size_t PLANET_RECORD_SIZE = 116;
constexpr std::size_t SECTOR_RECORD_SIZE = 1184;
constexpr std::size_t PLAYER_RECORD_SIZE = 168;
constexpr int SECTOR_COUNT = 10201;
constexpr std::int64_t PLAYER_RECORD_OFFSET = std::int64_t{SECTOR_COUNT} * SECTOR_RECORD_SIZE;  // 12077984
constexpr std::int64_t GALAXY_FILE_SIZE = PLAYER_RECORD_OFFSET + PLAYER_RECORD_SIZE;           // 12078152

namespace galaxy {
// Sector coordinates run from -50 to 50 on both axes.
constexpr int MIN_COORD = -50;
constexpr int MAX_COORD = 50;
constexpr int SIDE = MAX_COORD - MIN_COORD + 1;  // 101

constexpr bool isSectorCoord(int value) { return value >= MIN_COORD && value <= MAX_COORD; }
// Key of sector (x, y) in the galaxy file, 1 to 10201.
constexpr int sectorNumber(int x, int y) { return y * SIDE + x + 5101; }
constexpr bool isSectorNumber(int n) { return n >= 1 && n <= SECTOR_COUNT; }
}  // namespace galaxy

// Byte offset of sector record n (1 to 10201).
constexpr std::int64_t sectorRecordOffset(int n) { return std::int64_t{n - 1} * SECTOR_RECORD_SIZE; }

struct saveShipData {
    std::array<std::uint8_t, SHIP_RECORD_SIZE> bytes{};
};
struct savePlanetData {
    std::array<std::uint8_t, PLANET_RECORD_SIZE> bytes{};
};
struct saveSectorData {
    std::array<std::uint8_t, SECTOR_RECORD_SIZE> bytes{};
};
struct savePlayerData {
    std::array<std::uint8_t, PLAYER_RECORD_SIZE> bytes{};
};

// Field offsets inside the records.
namespace shipRec {
constexpr std::size_t maxHealth = 0, ammo = 4, aHealth = 8, aShield = 12, aFuel = 16, aEnergy = 20,
                      aWeight = 24, partIds = 28;  // 6 x 4 bytes, slots 0 to 5
}
namespace planetRec {
constexpr std::size_t rX = 0, rY = 2, gX = 4, gY = 6, rarity = 8, name = 9 /* 6 bytes */, goods = 16,
                      population = 76, facilityCount = 80, facilityOutput = 82, inputCount = 92,
                      facilityInputs = 94;
}
namespace sectorRec {
constexpr std::size_t number = 0, secX = 4, secY = 8, aPartX = 12, aPartY = 14, aPartKind = 16, epX = 18,
                      epY = 20, planets = 24;  // 10 x 116 bytes
}
namespace playerRec {
constexpr std::size_t rX = 0, rY = 2, reserved = 4, worldX = 8, worldY = 12, credits = 16, trade = 20,
                      ship = 80, aParts = 132, resarch = 146, vicType = 160, isWinner = 162, dimX = 164,
                      dimY = 166;
}
