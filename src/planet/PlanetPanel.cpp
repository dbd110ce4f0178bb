// The landing panel: a few production ticks on arrival, the planet's page,
// the way to the hangar, the dock and the market, and departure. Also the
// small window helpers that every planet screen uses.

#include <string>

#include "console/ConLib.h"
#include "console/HelpFuncLib.h"
#include "console/Random.h"
#include "console/Window.h"
#include "planet/Planet.h"
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
    console->SetPosition(COORD{0, 0});
}

std::string planetDescription(const Planet& planet) {
    return std::string("Planet name: ") + planet.getName() + "\nCoordinates: (" + std::to_string(planet.getgX()) +
           ", " + std::to_string(planet.getgY()) + ")\nPopulation: " + std::to_string(planet.getPopulation()) +
           " mld";
}

}  // namespace

void Planet::showScreenWindow(ConLib* console, int column, int row, int width, int height, const char* title,
                              const char* text) {
    Window window;
    window.console = console;
    window.backgroundColor = SCREEN_BACKGROUND;
    window.textColor = SCREEN_TEXT;
    window.position = COORD{static_cast<short>(column), static_cast<short>(row)};
    window.width = width;
    window.height = height;
    window.Show(title, text);
}

void Planet::showPromptBox(ConLib* console, int width, int height, const char* title, const char* text) {
    messageWindow(console, width, height).Show(title, text);
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

int Planet::readAmount(ConLib* console, int column, int row) {
    console->SetPosition(COORD{static_cast<short>(column), static_cast<short>(row)});
    console->SetBackgroundColor(BOX_BACKGROUND);
    console->SetTextColor(BOX_TEXT);
    return console->readNumber();
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
    RedrawPanel(console);
    for (;;) {
        switch (console->GetKey()) {
            case 'H':
                HangarPanel(console, player, tutorial);
                break;
            case 'D':
                DockPanel(console, player, tutorial);
                break;
            case 'T':
                TradePanel(console, player, tutorial);
                break;
            case 'L':
                if (rarity) Lab(console, player, tutorial);
                break;
            case 'E':
                if (player->getaFuel() >= player->getFuelUsage()) return 0;
                showNotice(console, "INFORMATION", "You don't have enought fuel!", NO_FUEL_WIDTH);
                RedrawPanel(console);
                break;
            default:
                break;
        }
    }
}
