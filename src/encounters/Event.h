#pragma once
// The encounters of flight: the meteor field, the fight with a pirate ship and
// its loot, the fight at the space-pirates planet and the other dimension.
// A caller builds a short-lived Event, runs one encounter on it and drops it.

#include <array>
#include <functional>
#include <string>

#include "catalog/TradeGood.h"
#include "screen/ScreenGrid.h"
#include "screen/Timer.h"

class ConLib;
class Player;
class Ship;

// The inside of the 80 x 25 frame: grid row r, column c is screen cell
// (c + 1, r + 1); true is a meteor.
constexpr int METEOR_ROWS = 23;
constexpr int METEOR_COLUMNS = 78;
using MeteorRow = std::array<bool, METEOR_COLUMNS>;
using MeteorGrid = std::array<MeteorRow, METEOR_ROWS>;

// A pirate ship's goods, one count per catalog row.
using EnemyCargo = std::array<int, TRADE_GOOD_COUNT>;

// The four shots every weapon can fire.
enum ShotType : int {
    SHOT_LASER = 0,
    SHOT_ION_CANON = 1,
    SHOT_ROCKET = 2,
    SHOT_BEAM = 3,
};

class Event {
public:
    // Pauses of the encounters.
    static constexpr unsigned MESSAGE_PAUSE_MS = 2000;
    static constexpr unsigned FLASH_PAUSE_MS = 250;
    static constexpr unsigned CRASH_LINE_PAUSE_MS = 1000;
    // Rolls run from 1 to ROLL_SIDES: every shot's hit and every choice of shot.
    static constexpr int ROLL_SIDES = 101;
    static int roll();
    static constexpr int PLANET_HEALTH = 650000;
    static constexpr int PLANET_SHOTS = 7;
    // The planet's weapon: the damage its shots are measured by.
    static constexpr int PLANET_DAMAGE = 1500;

    // ---- Meteor field (EventMeteors.cpp) ------------------------------------

    // Runs a field of that many milliseconds. The ship's cell is the same
    // afterwards; the hull tells whether it survived.
    void meteors(ConLib* console, Player* player, unsigned long durationMs);
    static void clearMeteors(MeteorGrid& grid);
    // A fresh field: every fourth row from the top half full of meteors.
    static void genMeteors(MeteorGrid& grid);
    static void drawMeteors(ConLib* console, const MeteorGrid& grid);
    // Every row falls by one; a new row of meteors enters when `newRow`.
    static void moveMeteors(MeteorGrid& grid, bool newRow);
    static bool playerCollided(const MeteorGrid& grid, const Player* player);
    // A meteor under the ship costs 100 points, shield first, and is used up.
    // True when there was one.
    bool meteorHit(ConLib* console, Player* player, MeteorGrid& grid);
    // The red and the cyan flash of a hit on the hull or the shield. With
    // `noRedraw` 0 and a grid, the field is drawn again afterwards.
    void playerHitHealth(ConLib* console, Player* player, const MeteorGrid* grid, int damage, int noRedraw);
    void playerHitShield(ConLib* console, Player* player, const MeteorGrid* grid, int damage, int noRedraw);
    // The ship's figures until a key; returns the milliseconds it stood open.
    int shipInfo(ConLib* console, Player* player, const MeteorGrid* grid, int noRedraw);

    // ---- Ship combat (EventBattle.cpp, EventShots.cpp) ---------------------

    // The whole fight with a pirate ship, loot or flight included; the
    // player's hull tells whether the ship survived.
    void randomBattle(ConLib* console, Player* player);
    // An enemy about as strong as the player, with ammunition and goods.
    void genRandomEnemy(Ship* enemy, EnemyCargo& cargo, Player* player);
    // The goods a pirate ship carries, bought from a budget as far as its
    // hold allows.
    void fillEnemyCargo(Ship* enemy, EnemyCargo& cargo);
    void countEnemyWeight(Ship* enemy, const EnemyCargo& cargo);
    void redrawBattle(ConLib* console, const Ship* enemy, const Player* player, const char* message);
    // One shot of the player at the enemy ship, or, without a ship, at the
    // pirates planet whose health is given.
    void playerShot(ConLib* console, Ship* enemy, int* planetHealth, Player* player, int type);
    void enemyTurn(ConLib* console, Ship* enemy, Player* player, EnemyCargo* cargo, bool* enemyRepair);
    // One shot at the player from the enemy ship, or, without a ship, from
    // the pirates planet. 1 for a hit, 0 for a miss or a shot not fired.
    int enemyShot(ConLib* console, Ship* enemy, int planetHealth, Player* player, EnemyCargo* cargo, int type);
    // Fleeing costs every trade good on board.
    void playerFlee(ConLib* console, Player* player);
    // A stop (Ctrl+C, a hangup) during a fight counts as fleeing.
    static void loseCargoToStop(Player& player);

    // ---- Loot (EventLoot.cpp) ------------------------------------------------

    void grabEnemyTrade(ConLib* console, Player* player, EnemyCargo& cargo);
    void redrawGrabTrade(ConLib* console, const Player* player, const EnemyCargo& cargo);
    void takeGood(ConLib* console, Player* player, EnemyCargo& cargo);

    // ---- Space-pirates planet (EventBossFight.cpp) ---------------------------

    // True when the planet was destroyed; the victory is winBossFight's.
    bool bossFight(ConLib* console, Player* player);
    // The fight itself, from the crew's warning; true when the planet fell.
    bool fightPlanet(ConLib* console, Player* player);
    void redrawBossFight(ConLib* console, const Player* player, int planetHealth, const char* message);
    void enemyBossTurn(ConLib* console, int planetHealth, Player* player);
    void winBossFight(ConLib* console, Player* player);

    // ---- The other dimension (EventDimension.cpp) ----------------------------

    // Returns once the ancient planet is reached, the ship on its old cell.
    void anotherDimension(ConLib* console, Player* player);
    // A fake crash of the board computer.
    void errorConsole(ConLib* console);
    static bool isOnPos(Coord a, Coord b);
    void winByKnowledge(ConLib* console, Player* player);

private:
    // What a key of the battle screens asks for.
    enum class Action { None, Laser, IonCanon, Rocket, Beam, Repair, Pass, Flee };
    static Action readAction(ConLib* console);
    static int shotTypeOf(Action action);
    // Why the player cannot fire that shot now; null when the shot is paid for.
    static const char* shotRefusal(const Player& player, int type);

    // The figures of a ship on the battle screens.
    static std::string battleFigures(const Ship& ship);
    void drawPlayerPanel(ConLib* console, const Player* player);
    void drawBattleInfo(ConLib* console, const char* message);
    void drawBattleWindows(ConLib* console, const Ship* enemy, const Player* player, const char* message);
    void drawBossWindows(ConLib* console, const Player* player, int planetHealth, const char* message,
                         const char* planetTitle);
    // What the nanorobots do at the start of the player's turn; null when
    // they are off.
    static const char* playerRepair(Player& player, bool& repairOn);
    static const char* switchRepair(bool& repairOn);

    // What the player's turn needs of the other side: a pirate ship or the
    // pirates planet.
    struct Opponent {
        std::function<bool()> destroyed;
        std::function<void(int type)> takeShot;  // the player's shot at it
        std::function<void()> lastTurn;          // its turn while the player flees
        std::function<void(const char*)> say;    // a message on this fight's screen, and the pause
        const char* ionCanonRefusal = nullptr;   // why the ion canon cannot be used, if it cannot
    };
    enum class TurnEnd { FightGoesOn, PlayerDestroyed, Fled };
    // The repair and the player's actions of one cycle, both fights alike.
    TurnEnd playerTurn(ConLib* console, Player* player, int shots, bool& repairOn, const Opponent& opponent);

    void meteorStep(ConLib* console, Player* player, MeteorGrid& grid, int& stepCounter);
    void redrawField(ConLib* console, Player* player, const MeteorGrid* grid, int noRedraw);

    Timer stepTimer;
};
