#include "catalog/Ship.h"

#include <cstdint>

#include "catalog/Amounts.h"

namespace {

// Clamping rules shared by every resource.
int addClampedAtTop(int amount, int n, int capacity) {
    const std::int64_t sum = std::int64_t{amount} + n;
    return sum > capacity ? capacity : clampToInt32(sum);
}

int removeClampedAtZero(int amount, int n) {
    const std::int64_t difference = std::int64_t{amount} - n;
    return difference < 0 ? 0 : clampToInt32(difference);
}

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

void Ship::addFuel(int n) { aFuel = addClampedAtTop(aFuel, n, getMaxFuel()); }
void Ship::removeFuel(int n) { aFuel = removeClampedAtZero(aFuel, n); }
void Ship::addShield(int n) { aShield = addClampedAtTop(aShield, n, getMaxShield()); }
void Ship::removeShield(int n) { aShield = removeClampedAtZero(aShield, n); }
void Ship::addHealth(int n) { aHealth = addClampedAtTop(aHealth, n, maxHealth); }
void Ship::removeHealth(int n) { aHealth = removeClampedAtZero(aHealth, n); }
void Ship::addEnergy(int n) { aEnergy = addClampedAtTop(aEnergy, n, getMaxEnergy()); }
void Ship::removeEnergy(int n) { aEnergy = removeClampedAtZero(aEnergy, n); }
void Ship::addAmmo(int n) { ammo = saturatedAdd(ammo, n); }

void Ship::removeAmmo(int n) {
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
