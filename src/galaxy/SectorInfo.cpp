// The ship computer's read-only screens, opened from the map: ship state,
// cargo, ancient parts, mission and position. Each is one window over the
// map; any key closes it and the map comes back.

#include <string>

#include "catalog/Catalog.h"
#include "screen/ConLib.h"
#include "screen/HelpFuncLib.h"
#include "screen/Window.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

// The other dimension's X once the ancient planet there has been found.
constexpr short DIMENSION_VISITED = 500;
// Research level from which the computer parts reveal the other dimension.
constexpr int DIMENSION_REVEALED_AT = 5;

std::string decimal(int value) { return std::to_string(value); }

std::string shipInfoText(const Player& p) { return p.figuresText() + "\nCredits: " + decimal(p.getCredits()); }

std::string heldAndLevel(const Player& p, int kind) {
    return decimal(p.getaParts(kind)) + "/" + decimal(p.getResarch(kind));
}

std::string knowledgeLine(const Player& p) {
    if (p.getResarch(ANCIENT_KIND_KNOWLEDGE) < DIMENSION_REVEALED_AT)
        return "\nAncient computers: " + heldAndLevel(p, ANCIENT_KIND_KNOWLEDGE);
    const Coord dim = p.getDim();
    if (dim.X == DIMENSION_VISITED) return "\nYou visited another dimension!";
    return "\nDimension sector (X,Y): " + decimal(dim.X) + "," + decimal(dim.Y);
}

std::string ancientPartsText(const Player& p) {
    static const char* const labels[] = {
        "\nHull parts: ",
        "\nFuel tank parts: ",
        "\nEngine parts: ",
        "\nShield generator parts: ",
        "\nEnergy collector parts: ",
        "\nWeapon parts: ",
    };
    std::string text = "Ancient ship parts:";
    for (int kind = 0; kind < ANCIENT_KIND_KNOWLEDGE; ++kind) text += labels[kind] + heldAndLevel(p, kind);
    return text + knowledgeLine(p);
}

const char* missionText(const Player& p) {
    if (p.getIsWinner()) return "You already won! You haven't mission!";
    switch (p.getVicType()) {
        case VICTORY_PIRATES: return "Find space pirates planet and destroy it to win the game!";
        case VICTORY_CASH: return "Collect one milion credits to win the game!";
        case VICTORY_KNOWLEDGE: return "Find ancient knowledge about galaxy to win the game!";
        default: return "";
    }
}

std::string gpsText(const Player& p) {
    return "Sx: " + decimal(p.getWorldX()) + " Sy: " + decimal(p.getWorldY()) + "\n\nX: " + decimal(p.getrX()) +
           " Y: " + decimal(p.getrY());
}

// Every screen ends alike: any key but the release code closes it.
void closeOnAnyKey(ConLib* console, const Sector& sector) {
    console->SetPosition(Coord{0, 0});
    while (console->GetKey() == 0) {
    }
    sector.drawMap(console);
}

}  // namespace

void Sector::showShipInfo(ConLib* console) const {
    if (player == nullptr) return;
    messageWindow(console, 36, 11).Show("SHIP INFORMATION", shipInfoText(*player).c_str());
    closeOnAnyKey(console, *this);
}

void Sector::showPlayerInventory(ConLib* console) const {
    if (player == nullptr) return;
    constexpr int width = 24;
    messageWindow(console, width, 21).Show("INVENTORY", "");
    console->SetBackgroundColor(7);
    console->SetTextColor(1);
    const int countColumn = foundMiddle(SCREEN_WIDTH, width) + 2;
    const int nameColumn = countColumn + 8;
    writeAt(console, countColumn, 4, "Count");
    writeAt(console, nameColumn, 4, "Name");
    for (int good = 0; good < TRADE_GOOD_COUNT; ++good) {
        writeAt(console, countColumn, 6 + good, decimal(player->getTrade(good)));
        writeAt(console, nameColumn, 6 + good, tradeGoods[good]->getName());
    }
    closeOnAnyKey(console, *this);
}

void Sector::showAncientParts(ConLib* console) const {
    if (player == nullptr) return;
    messageWindow(console, 40, 12).Show("INVENTORY", ancientPartsText(*player).c_str());
    closeOnAnyKey(console, *this);
}

void Sector::showMissionInfo(ConLib* console) const {
    if (player == nullptr) return;
    messageWindow(console, 40, 6).Show("MISSION INFO", missionText(*player));
    closeOnAnyKey(console, *this);
}

void Sector::showGPS(ConLib* console) const {
    if (player == nullptr) return;
    messageWindow(console, 19, 7).Show("GPS", gpsText(*player).c_str());
    closeOnAnyKey(console, *this);
}
