// The landing panel: a few production ticks on arrival, the planet's page,
// the way to the hangar, the dock and the market, and departure. Also the
// small window helpers that every planet screen uses.

#include <string>
#include <string_view>

#include "screen/ConLib.h"
#include "screen/HelpFuncLib.h"
#include "catalog/Random.h"
#include "screen/Window.h"
#include "planet/Planet.h"
#include "planet/TutorialProgress.h"
#include "player/Player.h"

namespace {

// The facilities work 0 to 3 steps while the ship is landing.
constexpr int LANDING_TICK_CHOICES = 4;
constexpr int NOTICE_HEIGHT = 5;
constexpr int NO_FUEL_WIDTH = 39;

constexpr int OPTIONS_COLUMN = 56;
constexpr int OPTIONS_ROW = 2;
constexpr int OPTIONS_WIDTH = 21;
constexpr int OPTIONS_HEIGHT = 8;
constexpr int RARE_OPTIONS_HEIGHT = 9;
constexpr const char* OPTIONS_TEXT = "H - Hangar\nD - Dock\nT - Trade\nE - Departure";
constexpr const char* RARE_OPTIONS_TEXT = "H - Hangar\nD - Dock\nT - Trade\nL - Laboratory\nE - Departure";

// The convention at the end of every drawing: cursor home, text colour 7.
void parkCursor(ConLib* console) {
    console->SetTextColor(7);
    console->SetPosition(Coord{0, 0});
}

// What the tutorial asks of the player on planets.
constexpr int ORE = 14;
constexpr int ORE_TO_BUY = 10;
constexpr int AMMO_FOR_THE_FIGHT = 100;
constexpr int COLLECTOR_FOR_THE_JUMP = 1;  // "LiquidSteel"; no other model counts
constexpr int PREPARATION_STAGES = 3;      // all completed on one departure

bool tutorialAt(const TutorialProgress* tutorial, int stage) {
    return tutorial != nullptr && tutorial->isCurrent(stage);
}

// A screen the tutorial keeps closed until the stage before it is done.
bool lockedInTutorial(const TutorialProgress* tutorial, int stageDone) {
    return tutorial != nullptr && !tutorial->isCompleted(stageDone);
}

bool readyForTheFight(const Player& player) {
    return player.getAmmo() >= AMMO_FOR_THE_FIGHT && player.getPartId(SLOT_COLLECTOR) == COLLECTOR_FOR_THE_JUMP;
}

// The landing's tutorial moments. True when the panel is not to be shown:
// the course has ended on the home planet.
bool arriveInTutorial(const Planet& planet, ConLib* console, TutorialProgress* tutorial) {
    if (tutorialAt(tutorial, tutorialStage::JUMP)) tutorial->completeStage(console);
    if (!tutorialAt(tutorial, tutorialStage::BACK_HOME) || std::string_view(planet.getName()) != HOME_PLANET)
        return false;
    tutorial->completeStage(console);
    return true;
}

// After the hangar, the dock or the market: the stage they stand for is
// done when `done` holds, and the panel comes back.
void completeAfterScreen(Planet& planet, ConLib* console, TutorialProgress* tutorial, int stage, bool done) {
    if (!done || !tutorialAt(tutorial, stage)) return;
    tutorial->completeStage(console);
    planet.RedrawPanel(console);
}

// True when the ship has fuel for the step off the planet.
bool depart(Planet& planet, ConLib* console, const Player& player, TutorialProgress* tutorial) {
    const bool enoughFuel = player.getaFuel() >= player.getFuelUsage();
    if (!enoughFuel) {
        Planet::showNotice(console, "INFORMATION", "You don't have enought fuel!", NO_FUEL_WIDTH);
        planet.RedrawPanel(console);
    }
    // Readiness for the fight counts even when the ship cannot leave yet.
    if (tutorialAt(tutorial, tutorialStage::PREPARE) && readyForTheFight(player)) {
        for (int i = 0; i < PREPARATION_STAGES; ++i) tutorial->completeStage(console);
        if (!enoughFuel) planet.RedrawPanel(console);
    }
    return enoughFuel;
}

std::string planetDescription(const Planet& planet) {
    return std::string("Planet name: ") + planet.getName() + "\nCoordinates: (" + std::to_string(planet.getgX()) +
           ", " + std::to_string(planet.getgY()) + ")\nPopulation: " + std::to_string(planet.getPopulation()) +
           " mld";
}

}  // namespace

void Planet::showScreenWindow(ConLib* console, int column, int row, int width, int height, const char* title,
                              const char* text) {
    windowAt(console, column, row, width, height, SCREEN_BACKGROUND, SCREEN_TEXT).Show(title, text);
}

Window Planet::showPromptBox(ConLib* console, int width, int height, const char* title, const char* text) {
    Window box = messageWindow(console, width, height);
    box.Show(title, text);
    return box;
}

bool Planet::askYesNo(ConLib* console, int width, int height, const char* title, const char* text) {
    return messageWindow(console, width, height).ShowDialog(title, text, 'Y', 'N');
}

void Planet::showNotice(ConLib* console, const char* title, const char* text, int width) {
    showMessage(console, width, NOTICE_HEIGHT, title, text, CloseOn::AnyKey);
}

void Planet::showRefusal(ConLib* console, const Refusal& refusal) {
    showNotice(console, "ERROR", refusal.text, refusal.width);
}

int Planet::readAmount(ConLib* console, const Window& prompt, int column, int row) {
    console->SetPosition(Coord{static_cast<short>(column), static_cast<short>(row)});
    console->SetBackgroundColor(BOX_BACKGROUND);
    console->SetTextColor(BOX_TEXT);
    return console->readNumber(prompt.inputWidth(column));
}

void Planet::RedrawPanel(ConLib* console) {
    console->SetBackgroundColor(SCREEN_BACKGROUND);
    console->SetTextColor(SCREEN_TEXT);
    console->Clear();
    const std::string description = planetDescription(*this);
    showScreenWindow(console, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, getName(), description.c_str());
    if (rarity)
        showScreenWindow(console, OPTIONS_COLUMN, OPTIONS_ROW, OPTIONS_WIDTH, RARE_OPTIONS_HEIGHT, "OPTIONS",
                         RARE_OPTIONS_TEXT);
    else
        showScreenWindow(console, OPTIONS_COLUMN, OPTIONS_ROW, OPTIONS_WIDTH, OPTIONS_HEIGHT, "OPTIONS",
                         OPTIONS_TEXT);
    parkCursor(console);
}

int Planet::ShowPanel(ConLib* console, Player* player, TutorialProgress* tutorial) {
    const int ticks = rng::rand() % LANDING_TICK_CHOICES;
    for (int i = 0; i < ticks; ++i) tick();
    // Back on the home planet at the end of the course: nothing more to see.
    if (arriveInTutorial(*this, console, tutorial)) return 0;
    RedrawPanel(console);
    for (;;) {
        switch (console->GetKey()) {
            case 'H':
                HangarPanel(console, player, tutorial);
                completeAfterScreen(*this, console, tutorial, tutorialStage::HANGAR, true);
                break;
            case 'D':
                if (lockedInTutorial(tutorial, tutorialStage::HANGAR)) break;
                DockPanel(console, player, tutorial);
                completeAfterScreen(*this, console, tutorial, tutorialStage::DOCK, true);
                break;
            case 'T':
                if (lockedInTutorial(tutorial, tutorialStage::DOCK)) break;
                TradePanel(console, player, tutorial);
                completeAfterScreen(*this, console, tutorial, tutorialStage::BUY_ORE,
                                    player->getTrade(ORE) >= ORE_TO_BUY);
                break;
            case 'L':
                if (rarity) Lab(console, player, tutorial);
                break;
            case 'E':
                if (depart(*this, console, *player, tutorial)) return 0;
                break;
            default:
                break;
        }
    }
}
