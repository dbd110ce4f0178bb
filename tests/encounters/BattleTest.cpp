// Ship combat: the generated enemy, the shots of both sides, the player's
// actions, flight and the end of a won fight.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "EncounterSupport.h"
#include "catalog/Ship.h"
#include "screen/KeyCodes.h"

namespace {

constexpr int PRICE_BY_TIER[] = {0, 60, 125, 250, 400, 800};

class Battle : public ::testing::Test {
protected:
    void SetUp() override { rng::srand(3); }
    RecordingConsole console;
    Player player;
    Event event;
};

}  // namespace

// The enemy: at most two rows better than the player, its shield never
// better, no ancient row; full, armed, and carrying at most 2000 credits of goods.
TEST_F(Battle, EnemyIsAtMostTwoRowsBetterWithShieldNeverBetterAndNoAncientRow) {
    for (int playerRow : {0, 12, 14}) {
        fitAll(player, playerRow);
        std::array<int, PART_SLOT_COUNT> best{};
        for (unsigned seed = 1; seed <= 300; ++seed) {
            rng::srand(seed);
            Ship enemy;
            EnemyCargo cargo{};
            event.genRandomEnemy(&enemy, cargo, &player);
            for (int slot = 0; slot < PART_SLOT_COUNT; ++slot) {
                best[slot] = std::max(best[slot], enemy.getPartId(slot));
                ASSERT_LE(enemy.getPartId(slot), 13);
            }
            ASSERT_EQ(enemy.getaHealth(), enemy.getMaxHealth());
            ASSERT_EQ(enemy.getaShield(), enemy.getMaxShield());
            ASSERT_EQ(enemy.getaEnergy(), enemy.getMaxEnergy());
            ASSERT_GE(enemy.getAmmo(), 50);
            ASSERT_LT(enemy.getAmmo(), 5 * enemy.getMaxWeight());
            int units = 0;
            int value = 0;
            for (int g = 0; g < TRADE_GOOD_COUNT; ++g) {
                units += cargo[g];
                value += cargo[g] * PRICE_BY_TIER[tradeGoods[g]->getTier()];
            }
            ASSERT_EQ(enemy.getaWeight(), units + enemy.getAmmo() / 10);
            ASSERT_LE(enemy.getaWeight(), enemy.getMaxWeight());
            ASSERT_LE(value, 2000) << "seed " << seed;
        }
        for (int slot = 0; slot < PART_SLOT_COUNT; ++slot) {
            const int lead = slot == SLOT_SHIELD ? 0 : 2;
            EXPECT_EQ(best[slot], std::min(playerRow + lead, 13)) << "slot " << slot << ", row " << playerRow;
        }
    }
}

TEST_F(Battle, AFullEnemyHoldGetsNoMoreCargo) {
    for (int freeSpace : {0, 1}) {
        Ship enemy;  // capacity 100, no ammunition
        EnemyCargo cargo{};
        cargo[0] = 100 - freeSpace;
        event.countEnemyWeight(&enemy, cargo);
        const EnemyCargo before = cargo;
        event.fillEnemyCargo(&enemy, cargo);
        EXPECT_EQ(cargo, before);
        EXPECT_EQ(enemy.getaWeight(), 100 - freeSpace);
    }
}

TEST_F(Battle, ShotsMissUpToTheTargetsDodgeFigure) {
    struct Case {
        bool playerFires;
        int engineRow;  // of the target
        int type, roll;
        bool hit;
    };
    const Case cases[] = {
        {true, 0, SHOT_LASER, 35, false},     {true, 0, SHOT_LASER, 36, true},
        {true, 13, SHOT_ROCKET, 48, false},   {true, 13, SHOT_ROCKET, 49, true},
        {true, 14, SHOT_ION_CANON, 50, false}, {true, 14, SHOT_BEAM, 1, true},
        {false, 0, SHOT_LASER, 35, false},    {false, 0, SHOT_LASER, 36, true},
        {false, 14, SHOT_ROCKET, 50, false},  {false, 14, SHOT_BEAM, 1, true},
    };
    for (const Case& c : cases) {
        Ship enemy;
        enemy.addAmmo(100);
        enemy.fitPart(SLOT_COLLECTOR, 1);
        enemy.addEnergy(100);
        player.addAmmo(100);
        player.addEnergy(100);
        (c.playerFires ? enemy : static_cast<Ship&>(player)).fitPart(SLOT_ENGINE, c.engineRow);
        rng::srand(seedForRoll(c.roll));
        if (c.playerFires)
            event.playerShot(&console.con, &enemy, nullptr, &player, c.type);
        else
            EXPECT_EQ(event.enemyShot(&console.con, &enemy, 0, &player, nullptr, c.type), c.hit ? 1 : 0);
        const std::string said = battleInfo(console.con);
        EXPECT_EQ(said.find("missed") == std::string::npos, c.hit) << said << " at roll " << c.roll;
    }
}

TEST_F(Battle, PlayerShotsDamageByTypeShieldFirst) {
    struct Case {
        int type, weaponRow, shield, energy, health;
        int shieldAfter, healthLost;
        const char* message;
    };
    const Case cases[] = {
        {SHOT_LASER, 0, 50, 0, 1400, 0, 0, "You hit enemy for 50 shield with laser !"},
        {SHOT_LASER, 0, 30, 0, 1400, 0, 20, "You hit enemy for 30 shield and 20 health with laser!"},
        {SHOT_LASER, 0, 30, 500, 1400, 200, 20, "You hit enemy for 30 shield and 20 health with laser!"},
        {SHOT_LASER, 0, 0, 0, 10, 0, 10, "You hit enemy for 10 health with laser!"},
        {SHOT_ROCKET, 0, 80, 0, 1400, 30, 0, "You hit enemy for 50 shield with rocket!"},
        {SHOT_ROCKET, 0, 30, 0, 1400, 0, 40, "You hit enemy for 30 shield and 40 health with rocket!"},
        {SHOT_ROCKET, 0, 0, 0, 1400, 0, 100, "You hit enemy for 100 health with rocket!"},
        {SHOT_BEAM, 6, 0, 0, 1400, 0, 12, "You hit enemy for 12 health with beam weapon!"},
        {SHOT_BEAM, 0, 100, 0, 1400, 75, 0, "You hit enemy for 25 shield with beam weapon!"},
        {SHOT_ION_CANON, 0, 80, 0, 1400, 0, 0, "You hit enemy for 80 shield with ion canon!"},
        {SHOT_ION_CANON, 0, 150, 0, 1400, 50, 0, "You hit enemy for 100 shield with ion canon!"},
        {SHOT_ION_CANON, 0, 0, 0, 1400, 0, 0,
         "You tried to hit enemy with ion canon, but enemy don't have shield!"},
    };
    player.fitPart(SLOT_COLLECTOR, 1);  // 100 energy for the ion canon
    for (const Case& c : cases) {
        Ship enemy;
        enemy.fitPart(SLOT_SHIELD, 2);     // 200 shield
        enemy.fitPart(SLOT_COLLECTOR, 4);  // 600 energy
        enemy.addShield(c.shield);
        enemy.addEnergy(c.energy);
        enemy.removeHealth(enemy.getaHealth() - c.health);
        player.fitPart(SLOT_WEAPON, c.weaponRow);
        player.addAmmo(100 - player.getAmmo());
        player.addEnergy(100);
        const int energy = player.getaEnergy();
        rng::srand(seedForRoll(101));
        event.playerShot(&console.con, &enemy, nullptr, &player, c.type);
        EXPECT_EQ(battleInfo(console.con), c.message);
        EXPECT_EQ(enemy.getaShield(), c.shieldAfter) << c.message;
        EXPECT_EQ(c.health - enemy.getaHealth(), c.healthLost) << c.message;
        const int ammoCost = c.type == SHOT_ROCKET ? 10 : c.type == SHOT_ION_CANON ? 0 : 1;
        EXPECT_EQ(player.getAmmo(), 100 - ammoCost);
        EXPECT_EQ(energy - player.getaEnergy(), c.type == SHOT_ION_CANON ? 10 : 0);
    }
}

TEST_F(Battle, ShotsAtThePlayerFromShipAndPlanet) {
    struct Case {
        bool fromPlanet;
        int type, weaponRow, shield, ammo;
        int shieldLost, healthLost, result;
        const char* message;
    };
    const Case cases[] = {
        {false, SHOT_LASER, 1, 30, 5, 30, 70, 1, "Enemy hit you for 30 shield and 70 health with laser!"},
        {false, SHOT_ROCKET, 1, 0, 20, 0, 200, 1, "Enemy hit you for 200 health with rocket!"},
        {false, SHOT_ION_CANON, 1, 0, 5, 0, 0, 1, "Enemy tried to hit you with ion canon, but you don't have shield!"},
        {false, SHOT_LASER, 1, 30, 0, 0, 0, 0, ""},  // a hit it cannot pay for does nothing
        {true, SHOT_LASER, 0, 0, 0, 0, 1500, 1, "Enemy hit you for 1500 health with laser!"},
        {true, SHOT_ROCKET, 0, 1000, 0, 1000, 1000, 1, "Enemy hit you for 1000 shield and 1000 health with rocket!"},
        {true, SHOT_ION_CANON, 0, 1000, 0, 1000, 0, 1, "Enemy hit you for 1000 shield with ion canon!"},
        {true, SHOT_BEAM, 0, 1000, 0, 750, 0, 1, "Enemy hit you for 750 shield with beam weapon!"},
    };
    fitAll(player, 13);  // 1600 shield, no energy to recharge it
    for (const Case& c : cases) {
        player.addHealth(player.getMaxHealth());
        player.removeShield(player.getaShield());
        player.addShield(c.shield);
        Ship enemy;
        enemy.fitPart(SLOT_WEAPON, c.weaponRow);  // row 1: 100 damage
        enemy.fitPart(SLOT_COLLECTOR, 1);
        enemy.addEnergy(100);
        enemy.addAmmo(c.ammo);
        console.con.SetBackgroundColor(0);
        console.con.Clear();
        rng::srand(seedForRoll(101));
        EXPECT_EQ(event.enemyShot(&console.con, c.fromPlanet ? nullptr : &enemy, 650000, &player, nullptr, c.type),
                  c.result);
        EXPECT_EQ(battleInfo(console.con), c.message);
        EXPECT_EQ(c.shield - player.getaShield(), c.shieldLost) << c.message;
        EXPECT_EQ(player.getMaxHealth() - player.getaHealth(), c.healthLost) << c.message;
        const int ammoCost = c.result == 0 ? 0 : c.type == SHOT_ROCKET ? 10 : c.type == SHOT_ION_CANON ? 0 : 1;
        EXPECT_EQ(enemy.getAmmo(), c.ammo - (c.fromPlanet ? 0 : ammoCost));
    }
}

TEST_F(Battle, RefusedShotsAndTheRepairSwitchUseNoAction) {
    fitAll(player, 0);
    player.fitPart(SLOT_HULL, 13);  // 14000 hull: the enemy cannot end this fight
    player.fitPart(SLOT_WEAPON, 1);  // one shot per turn; no ammunition, no energy
    player.countMaxHealth();
    player.addHealth(player.getMaxHealth());
    console.screen->pushKeys({'1', '2', '3', '5', 'X', '4', '5', '6', '7', keycode::Enter});
    event.randomBattle(&console.con, &player);
    const std::vector<std::string> before = {
        "You don't have enought ammo!", "You don't have enought energy!", "You don't have enought ammo!",
        "Nanorobots repair enabled!",   "You don't have enought ammo!",   "Nanorobots repair disabled!",
        "You passed your turn..."};
    ASSERT_GT(console.messages.size(), before.size());
    EXPECT_EQ(std::vector<std::string>(console.messages.begin(), console.messages.begin() + 7), before);
    EXPECT_EQ(console.firstIndexStartingWith("Enemy"), 7);  // its turn came only after the pass
    EXPECT_TRUE(console.wasShown("You fleed away from battle"));
}

TEST_F(Battle, FleeingCostsTheGoodsUnlessTheEnemysLastTurnDestroysTheShip) {
    int destroyed = 0;
    int fled = 0;
    for (unsigned seed = 1; seed <= 30; ++seed) {
        RecordingConsole run;
        Player weak;
        weak.addTrade(4, 7);
        weak.countShipWeight();
        weak.removeHealth(weak.getaHealth() - 1);
        rng::srand(seed);
        run.screen->pushKeys({'7', keycode::Enter});
        event.randomBattle(&run.con, &weak);
        const bool alive = weak.getaHealth() > 0;
        (alive ? fled : destroyed) += 1;
        EXPECT_EQ(weak.getTrade(4), alive ? 0 : 7) << "seed " << seed;
        EXPECT_EQ(weak.getaWeight(), alive ? 0 : 7);
        EXPECT_EQ(run.wasShown("You fleed away"), alive);
        EXPECT_EQ(run.messages.front(), "You try to flee away!");
    }
    EXPECT_GT(destroyed, 0);
    EXPECT_GT(fled, 0);
}

TEST_F(Battle, KillWithTheLastActionOpensTheLootBeforeAnyEnemyTurn) {
    // Enemies of row-0 ships have at most 4550 health and no shield.
    struct Case {
        int weaponRow;  // 13: one shot per turn; 14: five
        unsigned key;
    };
    for (const Case& c : {Case{13, '3'}, Case{14, '4'}}) {
        int kills = 0;
        for (unsigned seed = 1; seed <= 20; ++seed) {
            RecordingConsole run;
            Player hunter;
            hunter.fitPart(SLOT_WEAPON, c.weaponRow);
            hunter.addAmmo(200);
            rng::srand(seed);
            for (int i = 0; i < 10; ++i) run.screen->pushKey(c.key);
            run.screen->pushKeys({keycode::Enter, 'E'});
            event.randomBattle(&run.con, &hunter);
            if (run.messages.empty() || run.messages.front().rfind("You hit enemy", 0) != 0) continue;
            ++kills;  // the first shot hit, and nothing survives it
            EXPECT_EQ(run.firstIndexStartingWith("Enemy"), -1) << "seed " << seed;
            EXPECT_TRUE(run.wasShown("You defeated enemy ship"));
            EXPECT_TRUE(run.wasShown("STEAL ENEMY GOODS"));
        }
        EXPECT_GT(kills, 0);
    }
}

// The enemy's choice of shot at the bounds of the roll, and both repairs:
// when they switch, what they cost and what they give.
TEST_F(Battle, EnemyChoosesItsShotByTheRollAndBothSidesRepair) {
    const struct {
        int playerShield, enemyEnergy, enemyAmmo, roll;
        const char* weapon;
    } choices[] = {
        {100, 10, 50, 40, "ion canon"},   {100, 10, 50, 41, "beam weapon"}, {100, 9, 50, 41, "laser"},
        {100, 9, 50, 81, "beam weapon"},  {0, 0, 30, 40, "rocket"},         {0, 0, 29, 40, "laser"},
        {0, 0, 30, 81, "beam weapon"},    {0, 0, 30, 101, "laser"},
    };
    for (const auto& c : choices) {
        RecordingConsole run;
        Player target;
        target.fitPart(SLOT_SHIELD, 1);
        target.addShield(c.playerShield);
        Ship enemy;
        enemy.fitPart(SLOT_WEAPON, 1);  // one shot a turn
        enemy.fitPart(SLOT_COLLECTOR, 1);
        enemy.addEnergy(c.enemyEnergy);
        enemy.addAmmo(c.enemyAmmo);
        bool repair = false;
        rng::srand(seedForRoll(c.roll));
        event.enemyTurn(&run.con, &enemy, &target, nullptr, &repair);
        ASSERT_FALSE(run.messages.empty());
        EXPECT_NE(run.messages.front().find(c.weapon), std::string::npos) << c.roll << ": " << run.messages.front();
    }
    // The enemy without a shield generator or ammunition: its repair.
    const struct {
        int energy, health;
        bool on;
        const char* said;
        int energyAfter, healthAfter;
        bool onAfter;
    } repairs[] = {
        {19, 1000, true, "Enemy don't have enought energy to use nanorobots! Nanorobots disabled!", 19, 1000, false},
        {20, 1000, true, "Nanorobots repaired 10 pkt enemy health!", 0, 1010, true},
        {20, 1400, true, "Enemy have max health! Nanorobots disabled!", 20, 1400, false},
        {20, 500, false, "Enemy enabled nanorobots repair!", 20, 500, true},
        {20, 501, false, nullptr, 20, 501, false},
    };
    for (const auto& r : repairs) {
        RecordingConsole run;
        Ship enemy;
        enemy.fitPart(SLOT_COLLECTOR, 1);
        enemy.addEnergy(r.energy);
        enemy.removeHealth(enemy.getaHealth() - r.health);
        bool repair = r.on;
        event.enemyTurn(&run.con, &enemy, &player, nullptr, &repair);
        EXPECT_EQ(r.said != nullptr, run.wasShown(r.said != nullptr ? r.said : "nanorobots")) << r.health;
        EXPECT_TRUE(enemy.getaEnergy() == r.energyAfter && enemy.getaHealth() == r.healthAfter) << r.health;
        EXPECT_EQ(repair, r.onAfter) << r.health;
    }
    // The player's: 10 health for 20 energy at the start of each cycle.
    for (const int energy : {19, 20}) {
        RecordingConsole run;
        Player ship;
        fitAll(ship, 0);
        ship.fitPart(SLOT_HULL, 13);
        ship.fitPart(SLOT_COLLECTOR, 1);
        ship.countMaxHealth();
        ship.removeHealth(50);
        ship.addEnergy(energy);
        run.screen->pushKeys({'5', '6', '7', keycode::Enter});
        event.randomBattle(&run.con, &ship);
        EXPECT_EQ(run.wasShown(energy < 20 ? "You don't have enought energy to use nanorobots! Nanorobots disabled!"
                                           : "Nanorobots repaired 10 pkt health!"),
                  true);
        EXPECT_EQ(ship.getaEnergy(), energy < 20 ? energy : 0);
    }
}
