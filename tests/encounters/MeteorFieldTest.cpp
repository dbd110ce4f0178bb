// The meteor field: moves, hits, its end by time or by a lost hull, and the
// ship's cell on the map afterwards.

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "EncounterSupport.h"
#include "screen/KeyCodes.h"

namespace {

using namespace keycode;
constexpr Coord MAP_CELL{12, 7};

class MeteorField : public ::testing::Test {
protected:
    void SetUp() override {
        rng::srand(5);
        player.fitPart(SLOT_HULL, 13);  // 14000 hull: the field never ends by a hit here
        player.fitPart(SLOT_ENGINE, 14);  // speed 0, fuel use 1
        player.countMaxHealth();
        player.addHealth(player.getMaxHealth());
        player.setPos(MAP_CELL);
        console.screen->onPresent = [this](const HeadlessBackend& s) {
            const auto column = s.row(23).find('H');
            if (column != std::string::npos) shipColumn = static_cast<int>(column);
            infoShown = infoShown || s.dump().find("SHIP INFORMATION") != std::string::npos;
        };
    }
    // The keys at the start, then one key after `lastKeyAfter` ms that lets
    // the field see its time is up.
    void run(std::vector<unsigned> keys, unsigned long durationMs, unsigned lastKeyAfter) {
        for (unsigned key : keys) console.screen->pushKey(key);
        console.screen->pushDelay(lastKeyAfter);
        console.screen->pushKey('X');
        Event().meteors(&console.con, &player, durationMs);
    }

    HeadlessConsole console;
    Player player;
    int shipColumn = -1;
    bool infoShown = false;
};

// A seed whose fresh field has a meteor in the ship's column, two steps above it.
unsigned seedWithMeteorAboveShip() {
    for (unsigned seed = 1;; ++seed) {
        rng::srand(seed);
        MeteorGrid grid{};
        Event::genMeteors(grid);
        if (grid[20][39]) return seed;
    }
}

}  // namespace

TEST_F(MeteorField, BothArrowsShareOneMoveCounter) {
    struct Case {
        int engineRow, fuel;
        std::vector<unsigned> keys;
        int column;
        int fuelUsed;
    };
    const Case cases[] = {
        {14, 1000, {Right, Right, Left}, 41, 3},   // speed 0: every press moves
        {13, 1000, {Right, Right, Right}, 41, 7},  // speed 2: the third press moves
        {13, 1000, {Left, Right, Right}, 41, 7},   // presses of the other arrow count too
        {13, 1000, {Right, Left, Left, Right, Right, Left}, 38, 14},
        {13, 1000, {Right, Right}, 40, 0},
        {14, 0, {Right, Right}, 40, 0},  // without fuel the ship stays
    };
    for (const Case& c : cases) {
        player.fitPart(SLOT_ENGINE, c.engineRow);
        player.removeFuel(player.getaFuel());
        player.addFuel(c.fuel);
        const int fuel = player.getaFuel();
        run(c.keys, 1000, 1500);
        EXPECT_EQ(shipColumn, c.column) << c.keys.size() << " keys, engine " << c.engineRow << ", fuel " << c.fuel;
        EXPECT_EQ(fuel - player.getaFuel(), c.fuelUsed);
        EXPECT_EQ(player.getrPos(), MAP_CELL);
    }
}

TEST_F(MeteorField, HitTakesTheShieldFirstAndUsesTheMeteorUp) {
    struct Case {
        int shield, energy;
        int shieldAfter, hullLost, energyAfter;
        std::vector<unsigned> flashes;  // backgrounds of the flashes, in order
    };
    const Case cases[] = {
        {100, 0, 0, 0, 0, {6}},          // exactly 100: all on the shield
        {150, 0, 50, 0, 0, {6}},
        {99, 0, 0, 1, 0, {6, 1}},
        {30, 0, 0, 70, 0, {6, 1}},
        {30, 500, 200, 70, 300, {6, 1}},  // refilled from energy at once
        {0, 500, 0, 100, 500, {1}},       // no shield hit, no recharge
    };
    player.fitPart(SLOT_SHIELD, 2);     // 200 shield
    player.fitPart(SLOT_COLLECTOR, 4);  // 600 energy
    for (const Case& c : cases) {
        player.removeShield(1000);
        player.addShield(c.shield);
        player.removeEnergy(1000);
        player.addEnergy(c.energy);
        player.setPos(Coord{40, 23});
        const int hull = player.getaHealth();
        std::vector<unsigned> flashes;
        console.screen->onPresent = [&](const HeadlessBackend& s) { flashes.push_back(s.bgAt(40, 12)); };
        MeteorGrid grid{};
        grid[22][39] = true;
        EXPECT_TRUE(Event().meteorHit(&console.con, &player, grid));
        EXPECT_EQ(player.getaShield(), c.shieldAfter) << c.shield << "/" << c.energy;
        EXPECT_EQ(hull - player.getaHealth(), c.hullLost);
        EXPECT_EQ(player.getaEnergy(), c.energyAfter);
        EXPECT_EQ(flashes, c.flashes);
        EXPECT_FALSE(grid[22][39]);
        EXPECT_FALSE(Event().meteorHit(&console.con, &player, grid));  // used up
        EXPECT_EQ(console.con.grid().at(40, 23).ch, 'H');  // the field is back after the flash
    }
}

// A hull emptied by a hit ends the field at once; the ship is back on its map
// cell however the field ends, even when a key read throws.
TEST_F(MeteorField, EmptiedHullEndsTheFieldAndTheShipReturnsToItsCell) {
    player.removeHealth(player.getaHealth() - 100);
    rng::srand(seedWithMeteorAboveShip());
    console.screen->pushDelay(60000);
    console.screen->pushKey('X');
    Event().meteors(&console.con, &player, 30000);
    EXPECT_EQ(player.getaHealth(), 0);
    EXPECT_EQ(player.getrPos(), MAP_CELL);
    EXPECT_FALSE(console.screen->scriptEmpty());  // no key was read after the hit
    EXPECT_LT(console.con.nowMs(), 2000u);        // the meteor of row 20 came two steps later

    console.screen->takeInput();
    player.addHealth(player.getMaxHealth());
    console.screen->pushKey('I');  // the information window then waits for a key that never comes
    EXPECT_THROW(Event().meteors(&console.con, &player, 30000), ScriptExhausted);
    EXPECT_EQ(player.getrPos(), MAP_CELL);
}

// Time is looked at only after a key, so without keys the meteors go on
// falling; the information window's time is given back to the field.
TEST_F(MeteorField, TimeIsOnlyLookedAtAfterKeysAndTheInformationWindowGivesItBack) {
    struct Case {
        std::vector<std::pair<unsigned, unsigned>> script;  // delay before each key, and the key
        unsigned long fieldMs;
        bool infoShown, endsAtTheLastKey;
    };
    // 'M' at 5800 ms is within 1000 + 5000 of window time; 'Z' at 6400 is not.
    const Case cases[] = {
        {{{100, 'I'}, {5000, 'X'}, {700, 'M'}, {600, 'Z'}}, 1000, true, true},
        {{{100, 'Q'}, {5000, 'X'}, {700, 'M'}, {600, 'Z'}}, 1000, false, false},
        {{{40000, 'X'}}, 30000, false, true},
    };
    const auto wallStart = std::chrono::steady_clock::now();
    for (const Case& c : cases) {
        infoShown = false;
        for (auto [delay, key] : c.script) {
            console.screen->pushDelay(delay);
            console.screen->pushKey(key);
        }
        Event().meteors(&console.con, &player, c.fieldMs);
        EXPECT_EQ(infoShown, c.infoShown) << c.script.front().second;
        EXPECT_EQ(console.screen->scriptEmpty(), c.endsAtTheLastKey) << c.script.front().second;
        while (!console.screen->scriptEmpty()) console.screen->takeInput();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - wallStart, std::chrono::seconds(1));
}
