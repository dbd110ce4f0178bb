#include "storage/PendingSave.h"

#include <algorithm>

namespace {

using record::get32;
using record::put32;

constexpr std::array<std::uint8_t, 4> MAGIC{'S', 'H', 'P', 'S'};

constexpr std::array<std::uint32_t, 256> crcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> CRC_TABLE = crcTable();

}  // namespace

std::uint32_t crc32(const std::uint8_t* bytes, std::size_t size) {
    std::uint32_t c = 0xFFFFFFFFU;
    for (std::size_t i = 0; i < size; ++i) c = CRC_TABLE[(c ^ bytes[i]) & 0xFFU] ^ (c >> 8);
    return c ^ 0xFFFFFFFFU;
}

PendingSaveBytes encodePendingSave(const PendingSave& save) {
    PendingSaveBytes bytes{};
    std::copy(MAGIC.begin(), MAGIC.end(), bytes.begin() + pendingRec::magic);
    put32(bytes.data() + pendingRec::sector, save.sector);
    put32(bytes.data() + pendingRec::hasPlayer, save.hasPlayer ? 1 : 0);
    std::copy(save.sectorData.bytes.begin(), save.sectorData.bytes.end(), bytes.begin() + pendingRec::sectorData);
    if (save.hasPlayer)
        std::copy(save.playerData.bytes.begin(), save.playerData.bytes.end(), bytes.begin() + pendingRec::playerData);
    put32(bytes.data() + pendingRec::checksum, static_cast<std::int32_t>(crc32(bytes.data(), pendingRec::checksum)));
    return bytes;
}

std::optional<PendingSave> decodePendingSave(const std::uint8_t* bytes, std::size_t size) {
    if (bytes == nullptr || size != PENDING_SAVE_SIZE) return std::nullopt;
    if (!std::equal(MAGIC.begin(), MAGIC.end(), bytes + pendingRec::magic)) return std::nullopt;
    if (static_cast<std::uint32_t>(get32(bytes + pendingRec::checksum)) != crc32(bytes, pendingRec::checksum))
        return std::nullopt;
    PendingSave save;
    save.sector = get32(bytes + pendingRec::sector);
    const int hasPlayer = get32(bytes + pendingRec::hasPlayer);
    if (!galaxy::isSectorNumber(save.sector) || (hasPlayer != 0 && hasPlayer != 1)) return std::nullopt;
    save.hasPlayer = hasPlayer == 1;
    std::copy_n(bytes + pendingRec::sectorData, SECTOR_RECORD_SIZE, save.sectorData.bytes.begin());
    std::copy_n(bytes + pendingRec::playerData, PLAYER_RECORD_SIZE, save.playerData.bytes.begin());
    // A save always writes a sector into its own slot.
    const int x = get32(save.sectorData.bytes.data() + sectorRec::secX);
    const int y = get32(save.sectorData.bytes.data() + sectorRec::secY);
    if (!galaxy::isSectorCoord(x) || !galaxy::isSectorCoord(y) || galaxy::sectorNumber(x, y) != save.sector)
        return std::nullopt;
    return save;
}
