// The meteor field: the ship on the bottom row dodges rows of meteors that
// fall one row every half second, until the field's time is up or the hull
// is gone.

#include <algorithm>
#include <climits>

#include "screen/ConLib.h"
#include "screen/HelpFuncLib.h"
#include "screen/KeyCodes.h"
#include "catalog/Random.h"
#include "screen/Window.h"
#include "encounters/Event.h"
#include "encounters/ShipCellGuard.h"
#include "player/Player.h"

namespace {

constexpr unsigned short FIELD_BACKGROUND = 4;
constexpr unsigned short FRAME_COLOUR = 7;
constexpr unsigned short METEOR_COLOUR = 3;
constexpr unsigned short HULL_FLASH = 1;
constexpr unsigned short SHIELD_FLASH = 6;

// The ship waits in the middle of the bottom row.
constexpr int FIELD_SHIP_COLUMN = 40;
constexpr int FIELD_SHIP_ROW = 23;
// Rows of meteors of a fresh field; later, one new row every fourth step.
constexpr int FIRST_ROW_GAP = 4;
constexpr int STEPS_PER_NEW_ROW = 4;
constexpr unsigned long STEP_MS = 500;
constexpr unsigned POLL_MS = 500;
constexpr int METEOR_DAMAGE = 100;
constexpr unsigned KEY_SHIP_INFO = 'I';

constexpr int INFO_WIDTH = 36;
constexpr int INFO_HEIGHT = 10;

bool coinFlip() { return (rng::rand() & 1) != 0; }

void drawFrame(ConLib* console) {
    console->SetBackgroundColor(FIELD_BACKGROUND);
    console->SetTextColor(FRAME_COLOUR);
    DrawBorder(SCREEN_WIDTH, SCREEN_HEIGHT, Coord{0, 0}, nullptr, console);
}

// Waits for input at most until the next step falls due, so that a row falls
// every half second whatever the clock's granularity.
bool waitForKeyOrStep(const Timer& stepTimer) {
    const unsigned long elapsed = stepTimer.getElapsedTime();
    const unsigned long untilStep = elapsed <= STEP_MS ? STEP_MS + 1 - elapsed : 0;
    return isKeyPressed(static_cast<unsigned>(std::min<unsigned long>(POLL_MS, untilStep)));
}

}  // namespace

void Event::clearMeteors(MeteorGrid& grid) {
    for (MeteorRow& row : grid) row.fill(false);
}

void Event::genMeteors(MeteorGrid& grid) {
    clearMeteors(grid);
    for (int r = 0; r < METEOR_ROWS; r += FIRST_ROW_GAP)
        for (bool& cell : grid[static_cast<std::size_t>(r)]) cell = coinFlip();
}

void Event::drawMeteors(ConLib* console, const MeteorGrid& grid) {
    console->SetBackgroundColor(FIELD_BACKGROUND);
    console->SetTextColor(METEOR_COLOUR);
    for (int r = 0; r < METEOR_ROWS; ++r) {
        for (int c = 0; c < METEOR_COLUMNS; ++c) {
            console->SetPosition(Coord{static_cast<short>(c + 1), static_cast<short>(r + 1)});
            console->OutputString(grid[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] ? "*" : " ");
        }
    }
    console->SetPosition(Coord{0, 0});
}

void Event::moveMeteors(MeteorGrid& grid, bool newRow) {
    for (std::size_t r = METEOR_ROWS - 1; r >= 1; --r) grid[r] = grid[r - 1];
    if (newRow)
        for (bool& cell : grid[0]) cell = coinFlip();
    else
        grid[0].fill(false);
}

bool Event::playerCollided(const MeteorGrid& grid, const Player* player) {
    const int r = player->getrY() - 1;
    const int c = player->getrX() - 1;
    if (r < 0 || r >= METEOR_ROWS || c < 0 || c >= METEOR_COLUMNS) return false;
    return grid[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
}

bool Event::meteorHit(ConLib* console, Player* player, MeteorGrid& grid) {
    if (!playerCollided(grid, player)) return false;
    const int shield = player->getaShield();
    if (shield >= METEOR_DAMAGE) {
        playerHitShield(console, player, &grid, METEOR_DAMAGE, 0);
    } else if (shield >= 1) {
        playerHitShield(console, player, &grid, shield, 0);
        playerHitHealth(console, player, &grid, METEOR_DAMAGE - shield, 0);
    } else {
        playerHitHealth(console, player, &grid, METEOR_DAMAGE, 0);
    }
    // The meteor is used up; the ship's "H" already covers its cell.
    grid[static_cast<std::size_t>(player->getrY() - 1)][static_cast<std::size_t>(player->getrX() - 1)] = false;
    return true;
}

void Event::redrawField(ConLib* console, Player* player, const MeteorGrid* grid, int noRedraw) {
    if (noRedraw != 0 || grid == nullptr) return;
    drawFrame(console);
    drawMeteors(console, *grid);
    player->draw(console);
    console->SetPosition(Coord{0, 0});
}

void Event::playerHitHealth(ConLib* console, Player* player, const MeteorGrid* grid, int damage, int noRedraw) {
    console->SetBackgroundColor(HULL_FLASH);
    console->Clear();
    player->removeHealth(damage);
    console->sleep(FLASH_PAUSE_MS);
    redrawField(console, player, grid, noRedraw);
}

void Event::playerHitShield(ConLib* console, Player* player, const MeteorGrid* grid, int damage, int noRedraw) {
    console->SetBackgroundColor(SHIELD_FLASH);
    console->Clear();
    player->removeShield(damage);
    // While there is energy, a hit on the shield costs energy rather than shield.
    player->chargeShield();
    console->sleep(FLASH_PAUSE_MS);
    redrawField(console, player, grid, noRedraw);
}

int Event::shipInfo(ConLib* console, Player* player, const MeteorGrid* grid, int noRedraw) {
    Timer open;
    open.start();
    const std::string text = player->figuresText();
    messageWindow(console, INFO_WIDTH, INFO_HEIGHT).Show("SHIP INFORMATION", text.c_str());
    console->SetPosition(Coord{0, 0});
    while (console->GetKey() == 0) {
    }
    if (noRedraw == 0 && grid != nullptr) {
        console->SetBackgroundColor(FIELD_BACKGROUND);
        console->Clear();
        redrawField(console, player, grid, noRedraw);
    }
    return static_cast<int>(std::min<unsigned long>(open.getElapsedTime(), INT_MAX));
}

void Event::meteorStep(ConLib* console, Player* player, MeteorGrid& grid, int& stepCounter) {
    ++stepCounter;
    const bool newRow = stepCounter == STEPS_PER_NEW_ROW;
    if (newRow) stepCounter = 0;
    moveMeteors(grid, newRow);
    drawMeteors(console, grid);
    stepTimer.start();
    player->draw(console);
}

void Event::meteors(ConLib* console, Player* player, unsigned long durationMs) {
    if (console == nullptr || player == nullptr) return;
    Timer field;
    int moveCounter = player->getShipSpeed();
    // However the field ends, even by an exception from a key read, the ship
    // goes back to its cell on the map.
    const ShipCellGuard shipCell(*player);
    player->setrX(FIELD_SHIP_COLUMN);
    player->setrY(FIELD_SHIP_ROW);
    int stepCounter = 0;
    MeteorGrid grid{};
    genMeteors(grid);

    console->SetBackgroundColor(FIELD_BACKGROUND);
    console->SetTextColor(FRAME_COLOUR);
    console->Clear();
    drawFrame(console);
    field.start();
    stepTimer.start();
    drawMeteors(console, grid);
    player->draw(console);

    unsigned long remaining = durationMs;
    // Time is only looked at after a key: without keys the meteors keep falling.
    while (field.getElapsedTime() <= remaining) {
        while (!waitForKeyOrStep(stepTimer)) {
            if (stepTimer.getElapsedTime() <= STEP_MS) continue;
            meteorStep(console, player, grid, stepCounter);
            meteorHit(console, player, grid);
            if (player->getaHealth() <= 0) break;
        }
        if (stepTimer.getElapsedTime() > STEP_MS) meteorStep(console, player, grid, stepCounter);
        if (player->getaHealth() <= 0) break;
        const unsigned key = console->GetKey();
        switch (key) {
            case keycode::Right:
            case keycode::Left:
                // Both arrows share one counter: a slow engine swallows presses
                // whatever their direction.
                if (moveCounter != 0) {
                    --moveCounter;
                    break;
                }
                if (key == keycode::Right)
                    player->moveRight(console);
                else
                    player->moveLeft(console);
                // A move refused at the edge or for want of fuel counts all the same.
                moveCounter = player->getShipSpeed();
                break;
            case KEY_SHIP_INFO: remaining += static_cast<unsigned long>(shipInfo(console, player, &grid, 0)); break;
            default: player->draw(console); break;
        }
        meteorHit(console, player, grid);
    }
}
