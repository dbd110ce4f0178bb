#pragma once
// The one sector of the galaxy that is in memory: its planets, the ancient
// part hidden in it and the space-pirates planet. The other sectors live in
// the galaxy file and are read and written one record at a time.

#include <array>
#include <functional>
#include <iosfwd>
#include <string>

#include "screen/ScreenGrid.h"
#include "storage/SaveRecords.h"
#include "planet/Planet.h"

class ConLib;
class Encounters;
class Player;
class TutorialProgress;

namespace galaxy {
// The galaxy's file: its name followed by ".glx".
std::string fileName(const char* galaxyName);
}  // namespace galaxy

// Why a load did not happen.
enum class LoadResult {
    Ok,
    NoFile,        // the galaxy file cannot be opened
    Damaged,       // a record is short or holds values the game cannot use
    NoSuchSector,  // the sector number lies outside 1..10201
};

class Sector {
public:
    static constexpr int MAX_PLANETS = 10;
    static constexpr short NO_PART = -1;
    static constexpr int PART_KINDS = 7;

    // ---- Model and generation (SectorModel.cpp) -----------------------------

    Sector(int x, int y, Player* player, const char* wName);

    // Regenerates the planets for sector (x, y) and removes the pirates
    // planet; the ancient part stays as it is.
    void genSector(int x, int y);
    void genPlanets(int x, int y);

    void setNumber(int n);
    int getNumber() const { return number; }
    void setSecX(int x) { secX = x; }
    void setSecY(int y) { secY = y; }
    int getSecX() const { return secX; }
    int getSecY() const { return secY; }
    // Whether the galaxy file may be written: the tutorial's is only read,
    // and nothing is ever written beside it either.
    enum class Access { ReadWrite, ReadOnly };
    // The sector keeps the pointer, not a copy; null is ignored.
    void setwName(const char* name, Access galaxyAccess = Access::ReadWrite);
    const char* getwName() const { return wName; }
    Access getAccess() const { return access; }
    void setPlayer(Player* p);
    Player* getPlayer() const { return player; }

    // The first planet on cell (x, y), or null.
    Planet* getPlanet(int x, int y);
    // Slot i of the planets in use, or null.
    Planet* getPlanet(int i);
    // The planet closest to the ship (lowest slot on ties), or null.
    Planet* getNearestPlanet();
    bool planetExist(int i) const;
    bool planetIsNear(int i) const;

    // Hides an ancient part of that kind (0..6) on a free cell; false when
    // the sector already holds one.
    bool setaPart(short kind);
    bool isOnPart(int x, int y) const;
    short getaPartKind() const { return aPartKind; }
    Coord getaPartPos() const { return aPartPos; }

    void genEnemyPlanet();
    // The pirates planet is destroyed: the sector no longer holds it.
    void removeEnemyPlanet() { epPos = Coord{-1, -1}; }
    bool isOnEP(int x, int y) const;
    Coord getEpPos() const { return epPos; }

    // The ancient part "*" and the pirates planet "O", in red.
    void drawBonuses(ConLib* console) const;

    // ---- Galaxy file (SectorSave.cpp) -----------------------------------------

    void SaveToFile(saveSectorData* data) const;
    // Refuses a damaged record (false, sector unchanged).
    bool LoadFromFile(const saveSectorData* data);
    static bool isSoundRecord(const saveSectorData& data);

    // Whether a save must have reached the disk when it returns, or may stay
    // with the operating system for a moment: the player's own saves and the
    // save on leaving the map must survive a power cut, while a sector
    // crossing must be quick.
    enum class Durability { Synced, Buffered };

    // Writes this sector's record and the player's, both or neither whenever
    // the process stops; with `show`, confirms it on the console. A failure
    // always says so: the error line and a pause go to the console given or,
    // without one, to the running console. A read-only galaxy is refused.
    bool save(ConLib* console, bool show, Durability durability = Durability::Synced);
    // Reads sector record n into this sector. Like loadGame and save, it
    // first completes a save that a stopped process left half done (Damaged
    // when that is impossible).
    LoadResult loadSector(int n);
    // Reads the player record into the player, then the player's sector.
    LoadResult loadGame();
    bool load(int n) { return loadSector(n) == LoadResult::Ok; }
    bool load() { return loadGame() == LoadResult::Ok; }

    // ---- Galaxy view (SectorView.cpp) -----------------------------------------

    // The encounters flight can run into; without them flight is safe.
    void setEncounters(Encounters* e) { encounters = e; }
    Encounters* getEncounters() const { return encounters; }

    // Random events after an ordinary step.
    static constexpr int EVENT_NONE = 0;
    static constexpr int EVENT_METEORS = 1;
    static constexpr int EVENT_PIRATES = 2;

    // The game's main loop on the map; returns on Esc or when the ship's
    // health is gone.
    void ShowMap(ConLib* console);
    // The whole map of this sector; every screen opened from the map calls it
    // when it closes.
    void drawMap(ConLib* console) const;
    // Takes the player one sector along an axis (wrapping at the galaxy's
    // edge): saves the sector left with the player, then loads the next one.
    // Failures are shown on the console. When the next sector cannot be
    // loaded the ship stays in this sector and the result is false: the
    // player becomes `stayAs` when one is given (the ship as it was before
    // the step), else only its sector goes back, and the file is written
    // again to hold that player.
    bool nextSector(bool xAxis, bool increase, ConLib* console, const Player* stayAs = nullptr);
    // The same without saving anything: the tutorial's galaxy is only read.
    bool nextSector_noSave(bool xAxis, bool increase, TutorialProgress* tutorial, ConLib* console);
    // Mode 0 draws the event of an ordinary step, 1 and 2 force meteors or
    // pirates; returns the event chosen.
    int genEvent(ConLib* console, int mode);
    // Announces and runs a meteor field of a random size.
    void meteorsEvent(ConLib* console);
    // Announces and runs a fight with a pirate ship.
    void battleEvent(ConLib* console);
    // Hands this sector's ancient part to the player and announces it.
    void playerAddaPart(ConLib* console);

    // ---- Ship computer screens (SectorInfo.cpp) -------------------------------
    // Read-only windows over the map; any key closes them and redraws it.

    void showShipInfo(ConLib* console) const;
    void showPlayerInventory(ConLib* console) const;
    void showAncientParts(ConLib* console) const;
    void showMissionInfo(ConLib* console) const;
    void showGPS(ConLib* console) const;

    // ---- Board computer (SectorBoardComputer.cpp) -----------------------------

    // The command console opened from the map; redraws the map when it closes.
    void boardComputer(ConLib* console, TutorialProgress* tutorial);
    // Runs one typed line; false closes the console.
    bool proceedCommand(const char* line, ConLib* console, bool* cheat, TutorialProgress* tutorial);
    // The value of a symbolic jump argument ("@Px", "@Py", "@Sx", "@Sy"), else 0.
    int decodeArgument(const char* arg);

    // ---- Tutorial run (tutorial/) ----------------------------------------------

    // The guided tutorial on the galaxy already loaded; saves nothing.
    void StartTutorial(ConLib* console);

private:
    bool enterNextSector(bool xAxis, bool increase, ConLib* console, bool saveLeft, const Player* stayAs);
    bool hasEnemyPlanet() const { return epPos.X != -1 && epPos.Y != -1; }
    bool reportSaveFailure(ConLib* console) const;
    // False when a save left half done in `file` cannot be completed.
    bool completePendingSave(const std::string& file) const;
    void confirmSave(ConLib* console) const;

    int number = 0;
    int secX = 0;
    int secY = 0;
    const char* wName = nullptr;
    Access access = Access::ReadWrite;
    Coord aPartPos{0, 0};
    short aPartKind = NO_PART;
    std::array<Planet, MAX_PLANETS> planets;
    Player* player = nullptr;
    Coord epPos{-1, -1};
    Encounters* encounters = nullptr;
};

// Called after each sector record written, with the count so far (1..10201).
using GalaxyProgress = std::function<void(int sectorsWritten)>;

// Generates every sector of a new galaxy into `working`, one after the
// other in sector-number order, and writes their records to `out` from its
// current position. False when a write fails.
bool writeNewGalaxyRecords(std::ostream& out, Sector& working, const GalaxyProgress& progress = {});
