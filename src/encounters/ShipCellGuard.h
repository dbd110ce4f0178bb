#pragma once
// Puts the ship back on its map cell when an encounter that moved it ends,
// however it ends: a key read may throw (a test's script running out, the
// terminal hanging up), and the map must never find the ship elsewhere.

#include "screen/ScreenGrid.h"
#include "player/Player.h"

class ShipCellGuard {
public:
    explicit ShipCellGuard(Player& player) : player_(player), saved_(player.getrPos()) {}
    ~ShipCellGuard() { player_.setPos(saved_); }
    ShipCellGuard(const ShipCellGuard&) = delete;
    ShipCellGuard& operator=(const ShipCellGuard&) = delete;

    Coord saved() const { return saved_; }

private:
    Player& player_;
    Coord saved_;
};
