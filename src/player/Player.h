#pragma once
// The player: the player's ship together with its position on the map and in
// the galaxy, money, cargo, ancient parts, research and the victory goal.

#include <array>
#include <cstdint>

#include "catalog/Ship.h"
#include "screen/ScreenGrid.h"
#include "storage/SaveRecords.h"

class ConLib;

// Ancient-part kinds: the six part slots, then 6 for the computer parts.
constexpr int ANCIENT_KINDS = 7;
constexpr int ANCIENT_KIND_KNOWLEDGE = 6;
constexpr int ANCIENT_MAX_COUNT = 5;
// The cells of the sector map the ship can stand on.
constexpr int MAP_FIRST_COLUMN = 1;
constexpr int MAP_LAST_COLUMN = 78;
constexpr int MAP_FIRST_ROW = 1;
constexpr int MAP_LAST_ROW = 23;
// Victory goals.
constexpr short VICTORY_PIRATES = 0;
constexpr short VICTORY_CASH = 1;
constexpr short VICTORY_KNOWLEDGE = 2;
// The money goal is reached above this many credits.
constexpr int CASH_VICTORY_LIMIT = 999999;

class Player : public Ship {
public:
    Player();

    // A fresh player for a new galaxy, with a new other-dimension position.
    void newPlayer(short vicType);

    // The ship "H" on the map, in the map's current background.
    void draw(ConLib* console);
    // One cell in a direction; nothing happens at the map's last cell or
    // without fuel for the step.
    void moveUp(ConLib* console);
    void moveDown(ConLib* console);
    void moveLeft(ConLib* console);
    void moveRight(ConLib* console);
    void moveRandom(ConLib* console);
    // What every step gives the ship, moved or not: energy from its collector
    // (its row x 5 + 10), then the shield charged from energy.
    void gainStepEnergy();

    // Credits saturate at the 32-bit bound; a negative addition stops at 0.
    // A removal is refused whole when the credits do not cover it.
    void addCredits(int n);
    void removeCredits(int n);
    int getCredits() const { return credits; }
    // Goods by catalog row 0..14; other rows are ignored (getTrade gives 0).
    void addTrade(int good, int n);
    void removeTrade(int good, int n);
    int getTrade(int good) const;
    // Cargo weight: one per unit of goods, one per 10 ammunition. Left as it
    // was when the total does not fit the hull.
    void countShipWeight();
    // Every trade good gone, as pirates take them from a ship that flees.
    void loseAllTrade();

    // Counts and levels 0..5 for kinds 0..6; anything else is ignored.
    void setaParts(int kind, int n);
    int getaParts(int kind) const;
    void setResarch(int kind, int n);
    int getResarch(int kind) const;
    short getVicType() const { return vicType; }
    void setIsWinner(bool winner) { isWinner = winner; }
    bool getIsWinner() const { return isWinner; }
    // Declares the money victory and shows it until Enter is pressed.
    void winByCash(ConLib* console);
    // Announces the money victory when it has just been reached (goal 1, more
    // than 999999 credits, not won yet). True when it was announced.
    bool checkCashVictory(ConLib* console);

    int getrX() const { return rPos.X; }
    int getrY() const { return rPos.Y; }
    Coord getrPos() const { return rPos; }
    // Only cells of the 80 x 25 screen are stored.
    void setrX(int x);
    void setrY(int y);
    // Stores the cell without any test (restoring a saved position).
    void setPos(Coord position) { rPos = position; }
    int getWorldX() const { return worldX; }
    int getWorldY() const { return worldY; }
    // Moves n sectors along one axis; leaving the galaxy at one edge enters
    // it at the opposite edge.
    void changeWorldCoord(bool xAxis, bool increase, int n);
    // The sector's key in the galaxy file, 1 at (-50, -50) to 10201 at (50, 50).
    int getaSectorNumber() const;
    Coord getDim() const { return dim; }
    // Keep the low 16 bits.
    void setDimX(int x);
    void setDimY(int y);

    // The prepared hyperspace jump: target sector X, Y, target cell X, Y and
    // the energy cost. Storing it marks the jump prepared.
    void setHypData(int sectorX, int sectorY, int cellX, int cellY, int cost);
    void setHyperJump(bool prepared) { hyperJump = prepared; }
    bool getHyperJump() const { return hyperJump; }
    Coord getHyperJumpSectorCoord() const;
    // The jump's path calculation for target sector (a1, a2), cell (a3, a4),
    // printed on the console as it runs; stores the jump when the target is
    // sound (PlayerJump.cpp).
    void prepareJump(ConLib* console, int a1, int a2, int a3, int a4);
    // Executes the prepared jump; true when it took place.
    bool jump(ConLib* console);
    void jumpInfo(ConLib* console);

    void SaveToFile(savePlayerData* data) const;
    // Refuses (false, player unchanged) a null or damaged record. Leaves the
    // prepared jump as it was.
    bool LoadFromFile(const savePlayerData* data);
    static bool isValidRecord(const savePlayerData& data);

private:
    void drawDimension();
    // The common part of the four moves: erase the old cell, draw the new one
    // and burn the step's fuel.
    void stepTo(ConLib* console, Coord target);
    bool hasFuelForStep() const { return getaFuel() >= getFuelUsage(); }

    Coord rPos{39, 12};
    // Travels through the save record unread.
    std::int32_t reserved = 0;
    Coord dim{0, 0};
    int worldX = 0;
    int worldY = 0;
    int credits = 0;
    std::array<int, TRADE_GOOD_COUNT> trade{};
    std::array<int, 5> hypData{};
    bool hyperJump = false;
    std::array<short, ANCIENT_KINDS> aParts{};
    std::array<short, ANCIENT_KINDS> resarch{};
    short vicType = 0;
    bool isWinner = false;
};
