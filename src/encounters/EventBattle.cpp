// The fight with a pirate ship: the enemy built from the player's own parts,
// the battle screen, the player's actions, the enemy's turn and flight.

#include <algorithm>
#include <cstdint>
#include <string>

#include "catalog/Ship.h"
#include "screen/ConLib.h"
#include "screen/Interrupt.h"
#include "screen/HelpFuncLib.h"
#include "catalog/Random.h"
#include "screen/Window.h"
#include "encounters/Event.h"
#include "player/Player.h"

namespace {

constexpr unsigned short SCREEN_BACKGROUND = 0;
constexpr int PANEL_BACKGROUND = 3;
constexpr int PANEL_TEXT = 1;

constexpr const char* BATTLE_MENU =
    "\n1 - Laser shot\n2 - Ion canon shot\n3 - Rocket launcher shot\n4 - Beam weapon shot\n5 - Nanorobots "
    "repair\n6 - Do nothing\n7 - Flee";

// Enemy parts: up to two rows better than the player's, the shield generator
// never better, and never the ancient row.
constexpr int ENEMY_PART_LEAD = 2;
constexpr int ENEMY_BEST_ROW = 13;
constexpr int MIN_ENEMY_AMMO = 50;
constexpr int AMMO_PER_CAPACITY = 5;
constexpr int CARGO_BUDGET = 2000;
constexpr int CARGO_DRAWS = 15;

constexpr int REPAIR_ENERGY = 20;
constexpr int REPAIR_HEALTH = 10;
// An enemy without shield switches its repair on once this worn down.
constexpr int ENEMY_REPAIR_HEALTH = 500;
constexpr int ION_ENERGY = 10;
constexpr int ROCKET_AMMO = 10;
// The enemy fires a rocket at an unshielded player only with this much ammo.
constexpr int ENEMY_ROCKET_AMMO = 30;

constexpr int FLEE_WIDTH = 50;
constexpr int FLEE_HEIGHT = 8;

// What one unit of a good of that tier costs a pirate.
int pirateUnitPrice(int tier) {
    switch (tier) {
        case 1: return 60;
        case 2: return 125;
        case 3: return 250;
        case 4: return 400;
        default: return 800;
    }
}

int enemyPartRow(int slot, int playerRow) {
    const int bound = slot == SLOT_SHIELD ? playerRow + 1 : playerRow + 1 + ENEMY_PART_LEAD;
    return std::min(rng::rand() % bound, ENEMY_BEST_ROW);
}

// The enemy's choice of shot against a shielded or an unshielded player.
int enemyShotType(const Ship& enemy, const Player& player) {
    const int c = Event::roll();
    if (player.getaShield() >= 1) {
        if (enemy.getaEnergy() >= ION_ENERGY && c <= 40) return SHOT_ION_CANON;
        if (enemy.getaEnergy() < ION_ENERGY && c >= 41 && c <= 80) return SHOT_LASER;
        return SHOT_BEAM;
    }
    if (enemy.getAmmo() >= ENEMY_ROCKET_AMMO && c <= 40) return SHOT_ROCKET;
    if (c >= 81 && c <= 100) return SHOT_BEAM;
    return SHOT_LASER;
}

Window panel(ConLib* console, int x, int y, int width, int height) {
    return windowAt(console, x, y, width, height, PANEL_BACKGROUND, PANEL_TEXT);
}

}  // namespace

std::string Event::battleFigures(const Ship& ship) {
    using std::to_string;
    return "Health: " + to_string(ship.getaHealth()) + "/" + to_string(ship.getMaxHealth()) + " pkt\nShield: " +
           to_string(ship.getaShield()) + "/" + to_string(ship.getMaxShield()) + " \nEnergy: " +
           to_string(ship.getaEnergy()) + "/" + to_string(ship.getMaxEnergy()) + " W\nAmmo: " +
           to_string(ship.getAmmo()) + "\nShots per turn: " + to_string(ship.getWeapon()->getShotSpeed()) +
           "\nDodge chance: " + to_string(50 - ship.getEngine()->getSpeed()) + "%\n";
}

void Event::drawPlayerPanel(ConLib* console, const Player* player) {
    const std::string text = battleFigures(*player) + BATTLE_MENU;
    panel(console, 0, 0, 41, 25).Show("PLAYER", text.c_str());
}

void Event::drawBattleInfo(ConLib* console, const char* message) {
    panel(console, 0, 20, 80, 5).Show("BATTLE INFO", message);
    console->SetPosition(Coord{0, 0});
}

void Event::redrawBattle(ConLib* console, const Ship* enemy, const Player* player, const char* message) {
    console->SetBackgroundColor(SCREEN_BACKGROUND);
    console->Clear();
    drawBattleWindows(console, enemy, player, message);
}

void Event::drawBattleWindows(ConLib* console, const Ship* enemy, const Player* player, const char* message) {
    drawPlayerPanel(console, player);
    const std::string enemyText = battleFigures(*enemy);
    panel(console, 40, 0, 40, 25).Show("ENEMY", enemyText.c_str());
    drawBattleInfo(console, message);
}

const char* Event::playerRepair(Player& player, bool& repairOn) {
    if (!repairOn) return nullptr;
    if (player.getaEnergy() < REPAIR_ENERGY) {
        repairOn = false;
        return "You don't have enought energy to use nanorobots! Nanorobots disabled!";
    }
    if (player.getaHealth() < player.getMaxHealth()) {
        player.addHealth(REPAIR_HEALTH);
        player.removeEnergy(REPAIR_ENERGY);
        return "Nanorobots repaired 10 pkt health!";
    }
    repairOn = false;
    return "You have max health! Nanorobots disabled!";
}

const char* Event::switchRepair(bool& repairOn) {
    repairOn = !repairOn;
    return repairOn ? "Nanorobots repair enabled!" : "Nanorobots repair disabled!";
}

void Event::genRandomEnemy(Ship* enemy, EnemyCargo& cargo, Player* player) {
    for (int slot : {SLOT_HULL, SLOT_TANK, SLOT_ENGINE, SLOT_SHIELD, SLOT_COLLECTOR, SLOT_WEAPON})
        enemy->fitPart(slot, enemyPartRow(slot, player->getPartId(slot)));
    enemy->countMaxHealth();
    enemy->addHealth(enemy->getMaxHealth());
    enemy->addShield(enemy->getMaxShield());
    enemy->addEnergy(enemy->getMaxEnergy());
    cargo.fill(0);

    // A hold too small to draw 50 could never end the draw: it gets none.
    const int ammoBound = AMMO_PER_CAPACITY * enemy->getMaxWeight();
    if (ammoBound > MIN_ENEMY_AMMO) {
        int ammo = 0;
        do ammo = rng::rand() % ammoBound;
        while (ammo < MIN_ENEMY_AMMO);
        enemy->addAmmo(ammo);
    }
    countEnemyWeight(enemy, cargo);
    fillEnemyCargo(enemy, cargo);
}

void Event::fillEnemyCargo(Ship* enemy, EnemyCargo& cargo) {
    int budget = CARGO_BUDGET;
    for (int draw = 0; draw < CARGO_DRAWS; ++draw) {
        if (budget <= 0) continue;
        const int good = rng::rand() % TRADE_GOOD_COUNT;
        int& units = cargo[static_cast<std::size_t>(good)];
        const int price = pirateUnitPrice(tradeGoods[good]->getTier());
        const int freeSpace = enemy->getMaxWeight() - enemy->getaWeight();
        if (freeSpace >= budget / price) {
            units += (rng::rand() % budget) / price;
            // The whole count of the good is charged, not only what was just added.
            budget -= units * price;
        } else if (freeSpace > 0) {
            units += rng::rand() % freeSpace;
        }
        // A full hold gets nothing more.
        countEnemyWeight(enemy, cargo);
    }
}

void Event::countEnemyWeight(Ship* enemy, const EnemyCargo& cargo) {
    std::int64_t weight = enemy->getAmmo() / 10;
    for (int units : cargo) weight += units;
    // setWeight leaves the weight as it is for a total that does not fit.
    if (weight >= 0 && weight <= enemy->getMaxWeight()) enemy->setWeight(static_cast<int>(weight));
}

void Event::enemyTurn(ConLib* console, Ship* enemy, Player* player, EnemyCargo* cargo, bool* enemyRepair) {
    auto say = [&](const char* message) {
        redrawBattle(console, enemy, player, message);
        console->sleep(MESSAGE_PAUSE_MS);
    };
    if (*enemyRepair) {
        if (enemy->getaEnergy() < REPAIR_ENERGY) {
            *enemyRepair = false;
            say("Enemy don't have enought energy to use nanorobots! Nanorobots disabled!");
        } else if (enemy->getaHealth() < enemy->getMaxHealth()) {
            enemy->addHealth(REPAIR_HEALTH);
            enemy->removeEnergy(REPAIR_ENERGY);
            say("Nanorobots repaired 10 pkt enemy health!");
        } else {
            *enemyRepair = false;
            say("Enemy have max health! Nanorobots disabled!");
        }
    }
    const int shots = enemy->getWeapon()->getShotSpeed();
    for (int i = 0; i < shots; ++i) {
        if (enemy->getAmmo() <= 0) {
            say("Enemy passed turn...");
            break;
        }
        enemyShot(console, enemy, 0, player, cargo, enemyShotType(*enemy, *player));
        console->sleep(MESSAGE_PAUSE_MS);
    }
    if (enemy->getMaxShield() == 0 && enemy->getaEnergy() >= REPAIR_ENERGY &&
        enemy->getaHealth() <= ENEMY_REPAIR_HEALTH && !*enemyRepair) {
        *enemyRepair = true;
        say("Enemy enabled nanorobots repair!");
    }
}

void Event::playerFlee(ConLib* console, Player* player) {
    player->loseAllTrade();
    showMessage(console, FLEE_WIDTH, FLEE_HEIGHT, "INFORMATION",
                "You fleed away from battle, but enemy steal all your trade goods!\n\nPress ENTER to continue...",
                CloseOn::Enter);
}

// The keys of the player's actions, shared with the fight at the pirates planet.
Event::Action Event::readAction(ConLib* console) {
    switch (console->GetKey()) {
        case '1': return Action::Laser;
        case '2': return Action::IonCanon;
        case '3': return Action::Rocket;
        case '4': return Action::Beam;
        case '5': return Action::Repair;
        case '6': return Action::Pass;
        case '7': return Action::Flee;
        default: return Action::None;
    }
}

const char* Event::shotRefusal(const Player& player, int type) {
    switch (type) {
        case SHOT_ION_CANON: return player.getaEnergy() >= ION_ENERGY ? nullptr : "You don't have enought energy!";
        case SHOT_ROCKET: return player.getAmmo() >= ROCKET_AMMO ? nullptr : "You don't have enought ammo!";
        default: return player.getAmmo() >= 1 ? nullptr : "You don't have enought ammo!";
    }
}

void Event::randomBattle(ConLib* console, Player* player) {
    if (console == nullptr || player == nullptr) return;
    Ship enemy;
    EnemyCargo cargo{};
    const int shots = player->getWeapon()->getShotSpeed();
    genRandomEnemy(&enemy, cargo, player);
    // The three windows cover the whole screen: no clearing the first time.
    drawBattleWindows(console, &enemy, player, "");

    bool repairOn = false;
    bool enemyRepairOn = false;
    const Opponent pirate{
        [&] { return enemy.getaHealth() <= 0; },
        [&](int type) { playerShot(console, &enemy, nullptr, player, type); },
        [&] { enemyTurn(console, &enemy, player, &cargo, &enemyRepairOn); },
        [&](const char* message) {
            redrawBattle(console, &enemy, player, message);
            console->sleep(MESSAGE_PAUSE_MS);
        },
    };
    const auto fight = [&] {
        while (player->getaHealth() > 0 && enemy.getaHealth() > 0) {
            if (playerTurn(console, player, shots, repairOn, pirate) != TurnEnd::FightGoesOn) return false;
            if (enemy.getaHealth() > 0) enemyTurn(console, &enemy, player, &cargo, &enemyRepairOn);
        }
        return enemy.getaHealth() <= 0;
    };
    if (settleOnStop(fight, [player] { loseCargoToStop(*player); })) grabEnemyTrade(console, player, cargo);
}

void Event::loseCargoToStop(Player& player) {
    // Stopping the game is no escape that keeps the hold: it costs what
    // fleeing costs, and a destroyed ship keeps its hold as it would then.
    if (player.getaHealth() > 0) player.loseAllTrade();
}

Event::TurnEnd Event::playerTurn(ConLib* console, Player* player, int shots, bool& repairOn,
                                 const Opponent& opponent) {
    if (const char* repair = playerRepair(*player, repairOn)) opponent.say(repair);
    int action = 0;
    while (action < shots) {
        if (player->getaHealth() <= 0) return TurnEnd::PlayerDestroyed;
        // A kill with any action ends the fight at once, before the enemy's turn.
        if (opponent.destroyed()) break;
        const Action chosen = readAction(console);
        switch (chosen) {
            case Action::Laser:
            case Action::IonCanon:
            case Action::Rocket:
            case Action::Beam: {
                const int type = shotTypeOf(chosen);
                const char* refusal = chosen == Action::IonCanon && opponent.ionCanonRefusal != nullptr
                                          ? opponent.ionCanonRefusal
                                          : shotRefusal(*player, type);
                if (refusal != nullptr) {
                    opponent.say(refusal);  // a refused shot uses no action
                    break;
                }
                opponent.takeShot(type);
                console->sleep(MESSAGE_PAUSE_MS);
                ++action;
                break;
            }
            case Action::Repair: opponent.say(switchRepair(repairOn)); break;
            case Action::Pass:
                opponent.say("You passed your turn...");
                action = shots;
                break;
            case Action::Flee:
                opponent.say("You try to flee away!");
                opponent.lastTurn();
                // A ship destroyed while fleeing keeps its hold: nobody took it.
                if (player->getaHealth() > 0) playerFlee(console, player);
                return TurnEnd::Fled;
            case Action::None: break;
        }
    }
    return TurnEnd::FightGoesOn;
}

int Event::shotTypeOf(Action action) {
    switch (action) {
        case Action::IonCanon: return SHOT_ION_CANON;
        case Action::Rocket: return SHOT_ROCKET;
        case Action::Beam: return SHOT_BEAM;
        default: return SHOT_LASER;
    }
}
