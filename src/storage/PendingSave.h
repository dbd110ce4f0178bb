#pragma once
// A save on its way into the galaxy file. Before a save touches the galaxy
// it writes both records, with a checksum, to a small hidden file beside it;
// a save stopped half-way (a kill, a crash, a power cut) is then completed
// from that file the next time the galaxy is opened, and a file that was not
// written whole is known as such and dropped: the galaxy was not touched yet.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "storage/SaveRecords.h"

struct PendingSave {
    int sector = 0;  // the sector record's number, 1 to 10201
    saveSectorData sectorData;
    // A save without a player (a working sector) writes the sector alone.
    bool hasPlayer = false;
    savePlayerData playerData;
};

// Layout of the pending-save file.
namespace pendingRec {
constexpr std::size_t magic = 0, sector = 4, hasPlayer = 8, sectorData = 12,
                      playerData = sectorData + SECTOR_RECORD_SIZE,   // 1196
                      checksum = playerData + PLAYER_RECORD_SIZE,      // 1364
                      size = checksum + 4;                             // 1368
}
constexpr std::size_t PENDING_SAVE_SIZE = pendingRec::size;
using PendingSaveBytes = std::array<std::uint8_t, PENDING_SAVE_SIZE>;

// CRC-32 (the common reflected polynomial 0xEDB88320).
std::uint32_t crc32(const std::uint8_t* bytes, std::size_t size);

PendingSaveBytes encodePendingSave(const PendingSave& save);
// The save, or none when the bytes are not a whole, undamaged pending save
// of a sector in its own slot.
std::optional<PendingSave> decodePendingSave(const std::uint8_t* bytes, std::size_t size);
