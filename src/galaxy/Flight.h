#pragma once
// Flying on the sector map: the move delay counter of one visit to the map
// and the rules of a step (delay, fuel, energy, crossing into the next
// sector). The galaxy view and the tutorial run share them and differ only
// in what they do with the cell the ship arrives on.

class ConLib;
class Planet;
class Player;
class Sector;

bool isArrowKey(unsigned key);

class Flight {
public:
    // Where a step left the ship.
    enum class Arrival {
        Nowhere,        // the move delay swallowed the press, or an edge could not be crossed
        NextSector,     // the ship crossed into the neighbouring sector (the map is redrawn)
        Planet,         // on a planet's cell
        AncientPart,    // on the sector's ancient part
        PiratesPlanet,  // on the space-pirates planet
        EmptyCell,      // anywhere else, moved or not
    };

    // How a crossing treats the sector left.
    enum class Crossing { Save, NoSave };

    // The move delay starts at the engine's speed.
    Flight(Sector& sector, Player& player, ConLib* console);

    // One arrow key.
    Arrival step(unsigned arrowKey, Crossing crossing);
    // After a planet or the pirates planet: pushed one cell away, delay
    // restarted, map redrawn.
    void takeOff();
    // The fight at the pirates planet, through the sector's encounters: the
    // planet is gone when beaten, and the ship pushed off in every case.
    void fightPiratesPlanet();
    void restartDelay();

    // The planet under the ship, or null.
    Planet* planetHere() const;

private:
    enum class Heading { Up, Down, Left, Right };
    static Heading headingOf(unsigned key);

    Arrival leaveSector(Heading h, Crossing crossing);
    Arrival stepInSector(Heading h);
    Arrival cellArrival() const;

    Sector& sector_;
    Player& player_;
    ConLib* console_;
    int moveDelay_;
};
