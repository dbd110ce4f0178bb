#pragma once
// The fixed tables of ship-part models and trade goods. They are constant
// data built at compile time: valid before any other global is initialised
// and for the whole run. Row n of a part table holds the model whose id is n.

#include "catalog/ShipParts.h"
#include "catalog/TradeGood.h"

constexpr int CATALOG_ROWS = 15;
// The ancient super-part of each table; only the laboratory fits it.
constexpr int SUPER_PART_ROW = 14;

// Ship part slots, shared by the ship, the save file and the ancient-part kinds.
enum PartSlot : int {
    SLOT_HULL = 0,
    SLOT_TANK = 1,
    SLOT_ENGINE = 2,
    SLOT_SHIELD = 3,
    SLOT_COLLECTOR = 4,
    SLOT_WEAPON = 5,
};
constexpr int PART_SLOT_COUNT = 6;

extern const Engine* const engines[CATALOG_ROWS];
extern const FuelTank* const tanks[CATALOG_ROWS];
extern const ShieldGen* const shields[CATALOG_ROWS];
extern const Body* const bodies[CATALOG_ROWS];
extern const EnergyCollector* const enCol[CATALOG_ROWS];
extern const Weapon* const weapons[CATALOG_ROWS];

// Row `row` of the table that serves part slot `slot`; null when either is
// out of range.
const ShipPart* catalogPart(int slot, int row);
