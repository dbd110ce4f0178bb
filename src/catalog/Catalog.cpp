#include "catalog/Catalog.h"

namespace {

constexpr Engine engineRows[CATALOG_ROWS] = {
    {0, "SteelTurtle", 100, 10000, 15, 1},      {1, "HeavyBird", 150, 15000, 14, 1},
    {2, "SlowMotion", 200, 20000, 13, 2},       {3, "SpeedBoost50", 250, 25000, 12, 2},
    {4, "SpaceJump", 300, 30000, 11, 3},        {5, "QuickEagle", 350, 35000, 10, 3},
    {6, "PatriotX27", 400, 40000, 9, 4},        {7, "SpaceDash", 450, 45000, 8, 4},
    {8, "ThunderArrow", 500, 50000, 7, 5},      {9, "HyperX4", 550, 55000, 6, 5},
    {10, "GLZ52", 600, 60000, 5, 6},            {11, "LightS400", 650, 65000, 4, 6},
    {12, "Flame800", 700, 70000, 3, 7},         {13, "Flame950", 800, 75000, 2, 7},
    {14, "RainbowDash2739", 1000, 6000000, 0, 1},
};

constexpr FuelTank tankRows[CATALOG_ROWS] = {
    {0, "SmallTank", 100, 5000, 1000},    {1, "TanQ102", 150, 10000, 1500},
    {2, "OilBoss", 200, 15000, 2000},     {3, "LargeGlass", 250, 20000, 2500},
    {4, "TanQ238", 300, 25000, 3000},     {5, "Poli52", 350, 30000, 3500},
    {6, "HeavyFull", 400, 35000, 4000},   {7, "FuelBoss", 450, 40000, 4500},
    {8, "PeserY", 500, 45000, 5000},      {9, "Fumel", 550, 50000, 5500},
    {10, "CapKing", 600, 55000, 6000},    {11, "PureZ8R", 650, 60000, 6500},
    {12, "QZD", 700, 65000, 7000},        {13, "TanQ543", 800, 70000, 8000},
    {14, "BigDerpy", 1000, 6000000, 10000},
};

constexpr ShieldGen shieldRows[CATALOG_ROWS] = {
    {0, "NONE", 0, 0, 0},                     {1, "LittleHole", 100, 25000, 100},
    {2, "EnergyShield", 200, 30000, 200},     {3, "SafetyM10", 300, 35000, 300},
    {4, "MH400", 400, 40000, 400},            {5, "Protection", 500, 45000, 500},
    {6, "DWY53", 600, 50000, 600},            {7, "HeavyShield", 700, 55000, 700},
    {8, "KnightH12", 800, 60000, 800},        {9, "PZQ", 900, 65000, 900},
    {10, "LC479", 1000, 70000, 1000},         {11, "GoldenBlock", 1200, 75000, 1200},
    {12, "INW93", 1400, 80000, 1400},         {13, "Immortal", 1600, 85000, 1600},
    {14, "ShiningArmor", 2000, 6000000, 2000},
};

constexpr Body bodyRows[CATALOG_ROWS] = {
    {0, "LSteel", 1000, 30000, 100},       {1, "Titan", 2000, 40000, 125},
    {2, "FSH543", 3000, 50000, 150},       {3, "Portal680", 4000, 60000, 175},
    {4, "Arc406", 5000, 70000, 200},       {5, "T7Wall", 6000, 80000, 225},
    {6, "DoorWay26", 7000, 90000, 250},    {7, "ManyH34", 8000, 100000, 275},
    {8, "QRWA76", 9000, 110000, 300},      {9, "PowerProt", 10000, 120000, 325},
    {10, "Nispe46", 11000, 130000, 350},   {11, "Tur692", 12000, 140000, 375},
    {12, "Qts5XR7", 13000, 150000, 400},   {13, "FD90", 14000, 160000, 425},
    {14, "IronWill", 20000, 6000000, 1000},
};

constexpr EnergyCollector collectorRows[CATALOG_ROWS] = {
    {0, "NONE", 0, 0, 0},                      {1, "LiquidSteel", 100, 5000, 100},
    {2, "LiquidSilver", 150, 12000, 200},      {3, "LiquidGold", 200, 18000, 300},
    {4, "LiquidPlatinium", 250, 25000, 600},   {5, "PowerCell", 300, 32000, 1000},
    {6, "EnergyBolt", 350, 39000, 1200},       {7, "Lightning", 400, 46000, 1400},
    {8, "LPB1300", 450, 53000, 1600},          {9, "LS500", 500, 60000, 1800},
    {10, "LS510", 550, 67000, 2000},           {11, "LS520", 600, 74000, 2500},
    {12, "LS530", 650, 81000, 3000},           {13, "EnergyD589", 700, 89000, 5000},
    {14, "WonderBolt", 1000, 6000000, 10000},
};

// Not ordered by price: the dock lists them in row order all the same.
constexpr Weapon weaponRows[CATALOG_ROWS] = {
    {0, "NGunS100", 200, 6000, 50, 2},          {1, "NGunH100", 200, 5000, 100, 1},
    {2, "PlasmaGunS90", 300, 10000, 50, 4},     {3, "PlasmaGunH90", 300, 9000, 100, 2},
    {4, "PlasmaGunH89", 300, 10500, 400, 1},    {5, "Demolisher", 400, 24000, 500, 1},
    {6, "FastGun750", 200, 15000, 25, 6},       {7, "FastGun740", 200, 14000, 25, 5},
    {8, "FastGun730", 200, 13000, 25, 4},       {9, "HeavyBoomV1", 500, 30000, 250, 2},
    {10, "HeavyBoomV2", 650, 32000, 250, 2},    {11, "DestroyerV1", 500, 65000, 1000, 1},
    {12, "DestroyerV2", 500, 62000, 500, 2},    {13, "DeathStar", 1000, 150000, 2500, 1},
    {14, "G&PTrixie", 2000, 6000000, 10000, 5},
};

// A row's id must be its index: the save file and the dock rely on it.
template <typename Part>
constexpr bool idsMatchRows(const Part (&rows)[CATALOG_ROWS]) {
    for (int i = 0; i < CATALOG_ROWS; ++i)
        if (rows[i].getID() != i) return false;
    return true;
}
static_assert(idsMatchRows(engineRows) && idsMatchRows(tankRows) && idsMatchRows(shieldRows) &&
              idsMatchRows(bodyRows) && idsMatchRows(collectorRows) && idsMatchRows(weaponRows));

}  // namespace

#define CATALOG_ROW_POINTERS(rows)                                                                   \
    &rows[0], &rows[1], &rows[2], &rows[3], &rows[4], &rows[5], &rows[6], &rows[7], &rows[8], &rows[9], \
        &rows[10], &rows[11], &rows[12], &rows[13], &rows[14]

constinit const Engine* const engines[CATALOG_ROWS] = {CATALOG_ROW_POINTERS(engineRows)};
constinit const FuelTank* const tanks[CATALOG_ROWS] = {CATALOG_ROW_POINTERS(tankRows)};
constinit const ShieldGen* const shields[CATALOG_ROWS] = {CATALOG_ROW_POINTERS(shieldRows)};
constinit const Body* const bodies[CATALOG_ROWS] = {CATALOG_ROW_POINTERS(bodyRows)};
constinit const EnergyCollector* const enCol[CATALOG_ROWS] = {CATALOG_ROW_POINTERS(collectorRows)};
constinit const Weapon* const weapons[CATALOG_ROWS] = {CATALOG_ROW_POINTERS(weaponRows)};

#undef CATALOG_ROW_POINTERS

const ShipPart* catalogPart(int slot, int row) {
    if (row < 0 || row >= CATALOG_ROWS) return nullptr;
    switch (slot) {
        case SLOT_HULL: return bodies[row];
        case SLOT_TANK: return tanks[row];
        case SLOT_ENGINE: return engines[row];
        case SLOT_SHIELD: return shields[row];
        case SLOT_COLLECTOR: return enCol[row];
        case SLOT_WEAPON: return weapons[row];
        default: return nullptr;
    }
}
