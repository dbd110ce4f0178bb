#pragma once
// The encounters that flight runs into: meteor fields, pirate ships, the
// space-pirates planet and the other dimension. They live above the galaxy;
// the galaxy view reaches them only through this interface, which the
// encounters module implements and the game hands to its sector. A sector
// without encounters simply has none.

class ConLib;
class Player;

class Encounters {
public:
    // A meteor field of that many milliseconds; the ship's health tells the outcome.
    virtual void meteors(ConLib* console, Player* player, unsigned long durationMs) = 0;
    // A fight with a pirate ship, loot or flight included.
    virtual void randomBattle(ConLib* console, Player* player) = 0;
    // The fight at the space-pirates planet; true when the planet was destroyed.
    virtual bool bossFight(ConLib* console, Player* player) = 0;
    // After a destroyed pirates planet is gone from its sector: the win (for
    // that goal) and its window.
    virtual void bossVictory(ConLib* console, Player* player) = 0;
    // The other dimension, until its ancient planet is reached.
    virtual void anotherDimension(ConLib* console, Player* player) = 0;

protected:
    ~Encounters() = default;
};
