// The ship on the sector map, and the money victory announcement.

#include "screen/ConLib.h"
#include "screen/KeyCodes.h"
#include "catalog/Random.h"
#include "screen/Window.h"
#include "player/Player.h"

namespace {

constexpr unsigned short SHIP_COLOUR = 0;
constexpr unsigned short NEUTRAL_TEXT = 7;

constexpr const char* CASH_VICTORY_TITLE = "YOU WON THE GAME";
constexpr const char* CASH_VICTORY_TEXT =
    "Congratulations you earn one milion credits! You are now reach and you don't need to care about "
    "money!\n\nYou won the game. Now you can end game or play it anyway. If you had lost, galaxy "
    "WOULDN'T be\ndeleted!\n\nPress ENTER to continue...";

}  // namespace

void Player::draw(ConLib* console) {
    console->SetTextColor(SHIP_COLOUR);
    console->SetPosition(rPos);
    console->OutputString("H");
    console->SetTextColor(NEUTRAL_TEXT);
    console->SetPosition(Coord{0, 0});
}

void Player::stepTo(ConLib* console, Coord target) {
    console->SetTextColor(SHIP_COLOUR);
    console->SetPosition(rPos);
    console->OutputString(" ");
    rPos = target;
    draw(console);
    removeFuel(getFuelUsage());
}

// A ship already beyond the last cell (placed there by setrX/setrY) does not
// move further out either.
void Player::moveUp(ConLib* console) {
    if (!hasFuelForStep() || rPos.Y <= MAP_FIRST_ROW) return;
    stepTo(console, Coord{rPos.X, static_cast<short>(rPos.Y - 1)});
}

void Player::moveDown(ConLib* console) {
    if (!hasFuelForStep() || rPos.Y >= MAP_LAST_ROW) return;
    stepTo(console, Coord{rPos.X, static_cast<short>(rPos.Y + 1)});
}

void Player::moveLeft(ConLib* console) {
    if (!hasFuelForStep() || rPos.X <= MAP_FIRST_COLUMN) return;
    stepTo(console, Coord{static_cast<short>(rPos.X - 1), rPos.Y});
}

void Player::moveRight(ConLib* console) {
    if (!hasFuelForStep() || rPos.X >= MAP_LAST_COLUMN) return;
    stepTo(console, Coord{static_cast<short>(rPos.X + 1), rPos.Y});
}

void Player::moveRandom(ConLib* console) {
    switch (rng::rand() % 4 + 1) {
        case 1: moveUp(console); break;
        case 2: moveDown(console); break;
        case 3: moveLeft(console); break;
        default: moveRight(console); break;
    }
}

void Player::gainStepEnergy() {
    addEnergy(getPartId(SLOT_COLLECTOR) * 5 + 10);
    chargeShield();
}

void Player::winByCash(ConLib* console) {
    isWinner = true;
    showMessage(console, 52, 13, CASH_VICTORY_TITLE, CASH_VICTORY_TEXT, CloseOn::Enter);
}

bool Player::checkCashVictory(ConLib* console) {
    if (vicType != VICTORY_CASH || isWinner || credits <= CASH_VICTORY_LIMIT) return false;
    winByCash(console);
    return true;
}
