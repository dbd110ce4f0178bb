// The step rules of the sector map, shared by the galaxy view and the tutorial.

#include "screen/ConLib.h"
#include "screen/KeyCodes.h"
#include "galaxy/Encounters.h"
#include "galaxy/Flight.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

bool isArrowKey(unsigned key) {
    return key == keycode::Up || key == keycode::Down || key == keycode::Left || key == keycode::Right;
}

Flight::Flight(Sector& sector, Player& player, ConLib* console)
    : sector_(sector), player_(player), console_(console), moveDelay_(player.getShipSpeed()) {}

Flight::Heading Flight::headingOf(unsigned key) {
    switch (key) {
        case keycode::Up: return Heading::Up;
        case keycode::Down: return Heading::Down;
        case keycode::Left: return Heading::Left;
        default: return Heading::Right;
    }
}

void Flight::restartDelay() { moveDelay_ = player_.getShipSpeed(); }

Flight::Arrival Flight::step(unsigned arrowKey, Crossing crossing) {
    // A slow engine lets several presses, in any direction, pass first.
    if (moveDelay_ > 0) {
        --moveDelay_;
        return Arrival::Nowhere;
    }
    const Heading h = headingOf(arrowKey);
    const bool atEdge = h == Heading::Up     ? player_.getrY() <= MAP_FIRST_ROW
                        : h == Heading::Down ? player_.getrY() >= MAP_LAST_ROW
                        : h == Heading::Left ? player_.getrX() <= MAP_FIRST_COLUMN
                                             : player_.getrX() >= MAP_LAST_COLUMN;
    return atEdge ? leaveSector(h, crossing) : stepInSector(h);
}

Flight::Arrival Flight::leaveSector(Heading h, Crossing crossing) {
    if (player_.getaFuel() < player_.getFuelUsage()) return Arrival::Nowhere;
    restartDelay();
    // A sector that cannot be entered leaves the ship exactly where it was,
    // also when a signal unwinds the game from the failure's message.
    const Player before = player_;
    bool entered = false;
    struct KeepUnlessEntered {
        Player& player;
        const Player& before;
        const bool& entered;
        ~KeepUnlessEntered() {
            if (!entered) player = before;
        }
    } guard{player_, before, entered};
    player_.removeFuel(player_.getFuelUsage());
    player_.gainStepEnergy();
    // The ship enters the next sector at the opposite edge, same row or column.
    Coord arrival = player_.getrPos();
    switch (h) {
        case Heading::Up: arrival.Y = MAP_LAST_ROW; break;
        case Heading::Down: arrival.Y = MAP_FIRST_ROW; break;
        case Heading::Left: arrival.X = MAP_LAST_COLUMN; break;
        case Heading::Right: arrival.X = MAP_FIRST_COLUMN; break;
    }
    player_.setPos(arrival);
    const bool xAxis = h == Heading::Left || h == Heading::Right;
    const bool increase = h == Heading::Right || h == Heading::Down;  // right and down raise the coordinate
    entered = crossing == Crossing::Save ? sector_.nextSector(xAxis, increase, console_, &before)
                                         : sector_.nextSector_noSave(xAxis, increase, nullptr, console_);
    if (!entered) player_ = before;
    sector_.drawMap(console_);
    return entered ? Arrival::NextSector : Arrival::Nowhere;
}

Flight::Arrival Flight::stepInSector(Heading h) {
    // Without fuel the ship stays, but the step is still taken on its cell.
    switch (h) {
        case Heading::Up: player_.moveUp(console_); break;
        case Heading::Down: player_.moveDown(console_); break;
        case Heading::Left: player_.moveLeft(console_); break;
        case Heading::Right: player_.moveRight(console_); break;
    }
    restartDelay();
    player_.gainStepEnergy();
    return cellArrival();
}

Planet* Flight::planetHere() const { return sector_.getPlanet(player_.getrX(), player_.getrY()); }

Flight::Arrival Flight::cellArrival() const {
    const int x = player_.getrX();
    const int y = player_.getrY();
    if (planetHere() != nullptr) return Arrival::Planet;
    if (sector_.isOnPart(x, y)) return Arrival::AncientPart;
    if (sector_.isOnEP(x, y)) return Arrival::PiratesPlanet;
    return Arrival::EmptyCell;
}

void Flight::fightPiratesPlanet() {
    Encounters* encounters = sector_.getEncounters();
    if (encounters != nullptr && encounters->bossFight(console_, &player_)) {
        // Gone before the win is declared: a stop in the victory window then
        // saves the two together.
        sector_.removeEnemyPlanet();
        encounters->bossVictory(console_, &player_);
    }
    takeOff();
}

void Flight::takeOff() {
    player_.moveRandom(console_);
    restartDelay();
    sector_.drawMap(console_);
}
