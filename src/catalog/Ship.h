#pragma once
// A fitted spaceship: six catalog parts and the current amounts of its
// resources. Every change of an amount goes through the clamping operations
// below; the player's ship and every enemy are Ships.

#include <array>
#include <string>

#include "catalog/Catalog.h"

struct saveShipData;

class Ship {
public:
    // Row 0 of every table, a full tank and full health.
    Ship();

    // Back to exactly the state of a newly built ship.
    void newShip();

    // Fits catalog row `row` of the slot's table. Ignores a slot or row out of
    // range. Does not recount the maximum health: callers do that when they
    // want it (the save loader keeps the stored figure).
    void fitPart(int slot, int row);
    // The catalog row fitted in a slot, -1 for a slot out of range.
    int getPartId(int slot) const;

    const Body* getBody() const;
    const FuelTank* getTank() const;
    const Engine* getEngine() const;
    const ShieldGen* getShieldGen() const;
    const EnergyCollector* getEnergyCollector() const;
    const Weapon* getWeapon() const;

    // Maximum health = the parts' health; cuts the current health down to it.
    void countMaxHealth();
    // Turns stored energy into shield, one point for one point.
    void chargeShield();

    // Every amount stays between 0 and its capacity: a change that adds
    // stops at the capacity, one that takes away at 0, whatever the sign of n.
    void addFuel(int n);
    void removeFuel(int n);
    void addShield(int n);
    void removeShield(int n);
    void addHealth(int n);
    void removeHealth(int n);
    void addEnergy(int n);
    void removeEnergy(int n);
    // Ammunition has no upper limit and never goes below 0; a removal larger
    // than the count is refused whole.
    void addAmmo(int n);
    void removeAmmo(int n);
    // Ignored when w is negative or above the hull's capacity.
    void setWeight(int w);

    int getaHealth() const { return aHealth; }
    int getMaxHealth() const { return maxHealth; }
    int getaShield() const { return aShield; }
    int getMaxShield() const;
    int getaFuel() const { return aFuel; }
    int getMaxFuel() const;
    int getShipSpeed() const;
    int getFuelUsage() const;
    int getaWeight() const { return aWeight; }
    int getMaxWeight() const;
    int getaEnergy() const { return aEnergy; }
    int getMaxEnergy() const;
    int getAmmo() const { return ammo; }
    // Name of the part in a slot; null for a slot out of range.
    const char* getName(int slot) const;

    void SaveToFile(saveShipData* data) const;
    // Refuses (false, ship unchanged) a null record or one whose part rows are
    // not catalog rows: only a damaged file holds such a record.
    bool LoadFromFile(const saveShipData* data);
    static bool isValidRecord(const saveShipData& data);

    // The six lines of figures that the ship computer and the hangar show,
    // from "Health: " to "Ammo: ".
    std::string figuresText() const;

private:
    std::array<const ShipPart*, PART_SLOT_COUNT> parts{};
    int maxHealth = 0;
    int aHealth = 0;
    int aShield = 0;
    int aFuel = 0;
    int aEnergy = 0;
    int aWeight = 0;
    int ammo = 0;
};
