#pragma once
// Ship-part models. The kind of a part follows from the table that holds it
// and the ship slot it is fitted in, so the classes carry no type tag and no
// virtual functions; every figure is a 32-bit signed number.

class ShipPart {
public:
    constexpr ShipPart(int id, const char* name, int health, int value)
        : id(id), health(health), value(value), name(name) {}

    constexpr int getID() const { return id; }
    constexpr int getHealth() const { return health; }
    constexpr int getValue() const { return value; }
    constexpr const char* getName() const { return name; }

    // Negative figures are ignored: a part never has negative health or price.
    void setHealth(int newHealth);
    void setValue(int newValue);

private:
    int id;
    int health;
    int value;
    const char* name;
};

class Engine : public ShipPart {
public:
    constexpr Engine(int id, const char* name, int health, int value, int speed, int fuelUse)
        : ShipPart(id, name, health, value), speed(speed), fuelUse(fuelUse) {}

    // The move delay: key presses the map lets pass after each step.
    constexpr int getSpeed() const { return speed; }
    constexpr int getFuelUse() const { return fuelUse; }

private:
    int speed;
    int fuelUse;
};

class FuelTank : public ShipPart {
public:
    constexpr FuelTank(int id, const char* name, int health, int value, int max)
        : ShipPart(id, name, health, value), max(max) {}

    constexpr int getMax() const { return max; }

private:
    int max;
};

class ShieldGen : public ShipPart {
public:
    constexpr ShieldGen(int id, const char* name, int health, int value, int shield)
        : ShipPart(id, name, health, value), shield(shield) {}

    constexpr int getShield() const { return shield; }

private:
    int shield;
};

class Body : public ShipPart {
public:
    constexpr Body(int id, const char* name, int health, int value, int wMax)
        : ShipPart(id, name, health, value), wMax(wMax) {}

    // Cargo capacity.
    constexpr int getwMax() const { return wMax; }

private:
    int wMax;
};

class EnergyCollector : public ShipPart {
public:
    constexpr EnergyCollector(int id, const char* name, int health, int value, int energy)
        : ShipPart(id, name, health, value), energy(energy) {}

    constexpr int getEnergy() const { return energy; }

private:
    int energy;
};

class Weapon : public ShipPart {
public:
    constexpr Weapon(int id, const char* name, int health, int value, int dmg, int shotSpeed)
        : ShipPart(id, name, health, value), dmg(dmg), shotSpeed(shotSpeed) {}

    constexpr int getDmg() const { return dmg; }
    // Shots per combat turn.
    constexpr int getShotSpeed() const { return shotSpeed; }

private:
    int dmg;
    int shotSpeed;
};
