#include "catalog/Ship.h"

#include <algorithm>
#include <cstdint>

#include "catalog/Amounts.h"

namespace {

// The clamping rule of every resource: a change that adds stops at the
// capacity, one that takes away stops at 0, whatever sign the amount came
// with (a cheat's "removeFuel;-999999" adds, and stops at the tank's size).
int changeClamped(int amount, std::int64_t change, int capacity) {
    const std::int64_t result = std::int64_t{amount} + change;
    if (change > 0 && result > capacity) return capacity;
    if (change < 0 && result < 0) return 0;
    return clampToInt32(result);
}

int addClamped(int amount, int n, int capacity) { return changeClamped(amount, n, capacity); }
int removeClamped(int amount, int n, int capacity) { return changeClamped(amount, -std::int64_t{n}, capacity); }

}  // namespace

Ship::Ship() {
    for (int slot = 0; slot < PART_SLOT_COUNT; ++slot) fitPart(slot, 0);
    aFuel = getMaxFuel();
    countMaxHealth();
    aHealth = maxHealth;
}

void Ship::newShip() { *this = Ship(); }

void Ship::fitPart(int slot, int row) {
    const ShipPart* part = catalogPart(slot, row);
    if (part != nullptr) parts[static_cast<std::size_t>(slot)] = part;
}

int Ship::getPartId(int slot) const {
    if (slot < 0 || slot >= PART_SLOT_COUNT) return -1;
    return parts[static_cast<std::size_t>(slot)]->getID();
}

// fitPart only ever stores rows of the slot's own table, so these casts
// always name the object's real class.
const Body* Ship::getBody() const { return static_cast<const Body*>(parts[SLOT_HULL]); }
const FuelTank* Ship::getTank() const { return static_cast<const FuelTank*>(parts[SLOT_TANK]); }
const Engine* Ship::getEngine() const { return static_cast<const Engine*>(parts[SLOT_ENGINE]); }
const ShieldGen* Ship::getShieldGen() const { return static_cast<const ShieldGen*>(parts[SLOT_SHIELD]); }
const EnergyCollector* Ship::getEnergyCollector() const {
    return static_cast<const EnergyCollector*>(parts[SLOT_COLLECTOR]);
}
const Weapon* Ship::getWeapon() const { return static_cast<const Weapon*>(parts[SLOT_WEAPON]); }

void Ship::countMaxHealth() {
    int sum = 0;
    for (const ShipPart* part : parts) sum += part->getHealth();
    maxHealth = sum;
    if (aHealth > maxHealth) aHealth = maxHealth;
}

void Ship::chargeShield() {
    const int capacity = getMaxShield();
    if (aShield >= capacity) return;
    const std::int64_t deficit = std::int64_t{capacity} - aShield;
    if (aEnergy >= deficit) {
        // Fill the shield and keep the rest of the energy.
        removeEnergy(static_cast<int>(deficit));
        addShield(static_cast<int>(deficit));
    } else if (aEnergy > 0) {
        // Not enough to fill it: all the energy goes into the shield.
        const int energy = aEnergy;
        addShield(energy);
        removeEnergy(energy);
    }
}

void Ship::addFuel(int n) { aFuel = addClamped(aFuel, n, getMaxFuel()); }
void Ship::removeFuel(int n) { aFuel = removeClamped(aFuel, n, getMaxFuel()); }
void Ship::addShield(int n) { aShield = addClamped(aShield, n, getMaxShield()); }
void Ship::removeShield(int n) { aShield = removeClamped(aShield, n, getMaxShield()); }
void Ship::addHealth(int n) { aHealth = addClamped(aHealth, n, maxHealth); }
void Ship::removeHealth(int n) { aHealth = removeClamped(aHealth, n, maxHealth); }
void Ship::addEnergy(int n) { aEnergy = addClamped(aEnergy, n, getMaxEnergy()); }
void Ship::removeEnergy(int n) { aEnergy = removeClamped(aEnergy, n, getMaxEnergy()); }

void Ship::addAmmo(int n) {
    // No ceiling, but a negative amount never takes the count below 0.
    ammo = n >= 0 ? saturatedAdd(ammo, n) : std::max(0, saturatedAdd(ammo, n));
}

void Ship::removeAmmo(int n) {
    // A removal larger than the count is refused whole; a negative one adds.
    const std::int64_t left = std::int64_t{ammo} - n;
    if (left >= 0) ammo = clampToInt32(left);
}

void Ship::setWeight(int w) {
    if (w < 0 || w > getMaxWeight()) return;
    aWeight = w;
}

int Ship::getMaxShield() const { return getShieldGen()->getShield(); }
int Ship::getMaxFuel() const { return getTank()->getMax(); }
int Ship::getShipSpeed() const { return getEngine()->getSpeed(); }
int Ship::getFuelUsage() const { return getEngine()->getFuelUse(); }
int Ship::getMaxWeight() const { return getBody()->getwMax(); }
int Ship::getMaxEnergy() const { return getEnergyCollector()->getEnergy(); }

std::string Ship::figuresText() const {
    using std::to_string;
    return "Health: " + to_string(aHealth) + "pkt / " + to_string(maxHealth) + "pkt\nFuel: " + to_string(aFuel) +
           "l / " + to_string(getMaxFuel()) + "l\nCapacity: " + to_string(aWeight) + " / " +
           to_string(getMaxWeight()) + "\nShield: " + to_string(aShield) + " / " + to_string(getMaxShield()) +
           "\nEnergy: " + to_string(aEnergy) + "W / " + to_string(getMaxEnergy()) + "W\nAmmo: " + to_string(ammo);
}

const char* Ship::getName(int slot) const {
    if (slot < 0 || slot >= PART_SLOT_COUNT) return nullptr;
    return parts[static_cast<std::size_t>(slot)]->getName();
}
