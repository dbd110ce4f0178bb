// The fight at the space-pirates planet: a base of 650000 health that fires
// seven shots a turn, fought like a pirate ship but without loot.

#include <string>

#include "catalog/Ship.h"
#include "screen/ConLib.h"
#include "screen/Interrupt.h"
#include "screen/KeyCodes.h"
#include "screen/Window.h"
#include "encounters/Event.h"
#include "player/Player.h"

namespace {

constexpr int PANEL_BACKGROUND = 3;
constexpr int PANEL_TEXT = 1;

// The first drawing of the fight shows the title with its letters swapped.
constexpr const char* FIRST_PLANET_TITLE = "SAPCE PIRATES PLANET";
constexpr const char* PLANET_TITLE = "SPACE PIRATES PLANET";

constexpr const char* WRONG_WEAPON = "You can't use this weapon against planet!";

// The planet's choice of shot against a shielded or an unshielded player.
int planetShotType(const Player& player) {
    const int c = Event::roll();
    if (player.getaShield() >= 1) {
        if (c <= 40) return SHOT_ION_CANON;
        if (c <= 80) return SHOT_LASER;
        return SHOT_BEAM;
    }
    if (c <= 40) return SHOT_ROCKET;
    if (c <= 80) return SHOT_LASER;
    if (c <= 100) return SHOT_BEAM;
    return SHOT_LASER;
}

}  // namespace

void Event::drawBossWindows(ConLib* console, const Player* player, int planetHealth, const char* message,
                            const char* planetTitle) {
    drawPlayerPanel(console, player);
    Window planet = windowAt(console, 40, 0, 40, SCREEN_HEIGHT, PANEL_BACKGROUND, PANEL_TEXT);
    const std::string text =
        "Health: " + std::to_string(planetHealth) + "/650000 pkt\nShots per turn: " + std::to_string(PLANET_SHOTS) +
        "\n";
    planet.Show(planetTitle, text.c_str());
    drawBattleInfo(console, message);
}

void Event::redrawBossFight(ConLib* console, const Player* player, int planetHealth, const char* message) {
    drawBossWindows(console, player, planetHealth, message, PLANET_TITLE);
}

void Event::enemyBossTurn(ConLib* console, int planetHealth, Player* player) {
    // All seven shots come, even after the first ones destroyed the ship.
    for (int i = 0; i < PLANET_SHOTS; ++i) {
        enemyShot(console, nullptr, planetHealth, player, nullptr, planetShotType(*player));
        console->sleep(MESSAGE_PAUSE_MS);
    }
}

void Event::winBossFight(ConLib* console, Player* player) {
    const char* title = "CONGRATULATIONS";
    const char* text =
        "You destroyed space pirates planet and saved galaxy! You are now great hero!\n\nNow galaxy is safe and "
        "nobody needs to be afraid of space pirates because you destroyed they last base.\n\nPress ENTER to "
        "continue...";
    if (player->getVicType() == VICTORY_PIRATES) {
        player->setIsWinner(true);
        title = "YOU WON THE GAME";
        text =
            "Congratulations you destroyed space pirates planet and saved galaxy! You are now great hero!\n\nYou won "
            "the game. Now you can end game or play it anyway. If you had lost, galaxy WOULDN'T be\ndeleted!\n\nPress "
            "ENTER to continue...";
    }
    showMessage(console, 52, 12, title, text, CloseOn::Enter);
}

bool Event::bossFight(ConLib* console, Player* player) {
    if (console == nullptr || player == nullptr) return false;
    return settleOnStop([&] { return fightPlanet(console, player); }, [player] { loseCargoToStop(*player); });
}

bool Event::fightPlanet(ConLib* console, Player* player) {
    showMessage(console, 44, 8, "INFORMATION",
                "Crew member: \"Captain it's trap! It's space pirates base! We must fight!\"\n\nPress ENTER to "
                "continue...",
                CloseOn::Enter);
    const int shots = player->getWeapon()->getShotSpeed();
    int planetHealth = PLANET_HEALTH;
    bool repairOn = false;
    drawBossWindows(console, player, planetHealth, "", FIRST_PLANET_TITLE);

    const Opponent base{
        [&] { return planetHealth < 1; },
        [&](int type) { playerShot(console, nullptr, &planetHealth, player, type); },
        [&] { enemyBossTurn(console, planetHealth, player); },
        [&](const char* message) {
            redrawBossFight(console, player, planetHealth, message);
            console->sleep(MESSAGE_PAUSE_MS);
        },
        WRONG_WEAPON,
    };
    while (player->getaHealth() > 0 && planetHealth >= 1) {
        if (playerTurn(console, player, shots, repairOn, base) != TurnEnd::FightGoesOn) return false;
        if (planetHealth > 0) enemyBossTurn(console, planetHealth, player);
    }
    return planetHealth < 1;
}
