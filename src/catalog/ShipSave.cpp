// The ship's part of the player record: seven amounts, then the catalog row
// of each slot.

#include "catalog/Ship.h"
#include "storage/SaveRecords.h"

namespace {

std::size_t partIdOffset(int slot) { return shipRec::partIds + 4 * static_cast<std::size_t>(slot); }

}  // namespace

void Ship::SaveToFile(saveShipData* data) const {
    if (data == nullptr) return;
    std::uint8_t* bytes = data->bytes.data();
    record::put32(bytes + shipRec::maxHealth, maxHealth);
    record::put32(bytes + shipRec::ammo, ammo);
    record::put32(bytes + shipRec::aHealth, aHealth);
    record::put32(bytes + shipRec::aShield, aShield);
    record::put32(bytes + shipRec::aFuel, aFuel);
    record::put32(bytes + shipRec::aEnergy, aEnergy);
    record::put32(bytes + shipRec::aWeight, aWeight);
    for (int slot = 0; slot < PART_SLOT_COUNT; ++slot) record::put32(bytes + partIdOffset(slot), getPartId(slot));
}

bool Ship::isValidRecord(const saveShipData& data) {
    for (int slot = 0; slot < PART_SLOT_COUNT; ++slot) {
        const std::int32_t row = record::get32(data.bytes.data() + partIdOffset(slot));
        if (row < 0 || row >= CATALOG_ROWS) return false;
    }
    return true;
}

bool Ship::LoadFromFile(const saveShipData* data) {
    if (data == nullptr || !isValidRecord(*data)) return false;
    const std::uint8_t* bytes = data->bytes.data();
    // The stored maximum is kept as it is; it is not recounted from the parts.
    maxHealth = record::get32(bytes + shipRec::maxHealth);
    ammo = record::get32(bytes + shipRec::ammo);
    aHealth = record::get32(bytes + shipRec::aHealth);
    aShield = record::get32(bytes + shipRec::aShield);
    aFuel = record::get32(bytes + shipRec::aFuel);
    aEnergy = record::get32(bytes + shipRec::aEnergy);
    aWeight = record::get32(bytes + shipRec::aWeight);
    for (int slot = 0; slot < PART_SLOT_COUNT; ++slot) fitPart(slot, record::get32(bytes + partIdOffset(slot)));
    return true;
}
