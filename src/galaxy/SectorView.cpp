// The galaxy view: the map of the current sector and the game's main loop,
// which turns arrow keys into steps of the ship, crosses into neighbouring
// sectors at the map's edges and opens the ship computer's screens.

#include <string>

#include "screen/ConLib.h"
#include "screen/Interrupt.h"
#include "screen/KeyCodes.h"
#include "catalog/Random.h"
#include "screen/Window.h"
#include "galaxy/Encounters.h"
#include "galaxy/Flight.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

constexpr unsigned short MAP_BACKGROUND = 4;
constexpr unsigned short FRAME_COLOUR = 7;
constexpr unsigned short PLANET_COLOUR = 2;

// Keys of the map that are not arrows.
constexpr unsigned KEY_INVENTORY = '1';
constexpr unsigned KEY_ANCIENT_PARTS = '2';
constexpr unsigned KEY_GPS = 'G';
constexpr unsigned KEY_SHIP_INFO = 'I';
constexpr unsigned KEY_MISSION = 'J';
constexpr unsigned KEY_SAVE = 'S';
constexpr unsigned KEY_BOARD_COMPUTER = keycode::Tilde;  // the key left of 1

// One chance in 101 per ordinary step; of those, 30 in 101 are meteors.
constexpr int EVENT_DIE = 101;
constexpr int METEORS_UP_TO = 30;

// The announcement and outcome windows of an encounter.
constexpr int EVENT_WINDOW_WIDTH = 42;
constexpr int EVENT_WINDOW_HEIGHT = 9;
// A meteor field lasts 30 seconds per size, small to giant.
constexpr int METEOR_FIELD_SIZES = 4;
constexpr unsigned long METEOR_FIELD_MS_PER_SIZE = 30000;

const char* meteorFieldName(int size) {
    static const char* const names[METEOR_FIELD_SIZES] = {"small", "medium", "large", "giant"};
    return names[size - 1];
}

const char* ancientPartLine(int kind) {
    static const char* const lines[Sector::PART_KINDS] = {
        "It looks like ancient hull.",
        "It looks like ancient fuel tank.",
        "It looks like ancient engine.",
        "It looks like ancient shield generator.",
        "It looks like ancient energy collector.",
        "It looks like great and powerful ancient weapon.",
        "It looks like ancient computer.\nIt can store important informations.",
    };
    return lines[kind];
}

// The galaxy view's loop: keys of the map, and what each arrival leads to.
class MapLoop {
public:
    MapLoop(Sector& sector, Player& player, ConLib* console)
        : sector_(sector), player_(player), console_(console), flight_(sector, player, console) {}

    void run() {
        sector_.drawMap(console_);
        for (;;) {
            const unsigned key = console_->GetKey();
            if (key == keycode::Escape) return;
            handleKey(key);
            if (player_.getaHealth() <= 0) return;
        }
    }

private:
    void handleKey(unsigned key) {
        if (isArrowKey(key)) {
            arrive(flight_.step(key, Flight::Crossing::Save));
            return;
        }
        switch (key) {
            case KEY_INVENTORY: sector_.showPlayerInventory(console_); break;
            case KEY_ANCIENT_PARTS: sector_.showAncientParts(console_); break;
            case KEY_GPS: sector_.showGPS(console_); break;
            case KEY_SHIP_INFO: sector_.showShipInfo(console_); break;
            case KEY_MISSION: sector_.showMissionInfo(console_); break;
            case KEY_BOARD_COMPUTER: sector_.boardComputer(console_, nullptr); break;
            case KEY_SAVE:
                // A failed save leaves its message over the frame.
                if (!sector_.save(console_, true)) sector_.drawMap(console_);
                break;
            default: break;
        }
    }

    void arrive(Flight::Arrival arrival) {
        switch (arrival) {
            case Flight::Arrival::Planet:
                flight_.planetHere()->ShowPanel(console_, &player_, nullptr);
                flight_.takeOff();
                break;
            case Flight::Arrival::AncientPart: sector_.playerAddaPart(console_); break;
            case Flight::Arrival::PiratesPlanet:
                flight_.fightPiratesPlanet();
                break;
            case Flight::Arrival::EmptyCell:
                // With less fuel than one more step needs, nothing comes.
                if (player_.getaFuel() >= player_.getFuelUsage()) sector_.genEvent(console_, 0);
                break;
            case Flight::Arrival::Nowhere:
            case Flight::Arrival::NextSector: break;
        }
    }

    Sector& sector_;
    Player& player_;
    ConLib* console_;
    Flight flight_;
};

}  // namespace

void Sector::ShowMap(ConLib* console) {
    if (console == nullptr || player == nullptr) return;
    MapLoop(*this, *player, console).run();
}

void Sector::drawMap(ConLib* console) const {
    console->SetBackgroundColor(MAP_BACKGROUND);
    console->SetTextColor(FRAME_COLOUR);
    console->Clear();
    DrawBorder(SCREEN_WIDTH, SCREEN_HEIGHT, Coord{0, 0}, nullptr, console);
    console->SetTextColor(PLANET_COLOUR);
    for (int i = 0; i < number; ++i) {
        console->SetPosition(Coord{static_cast<short>(planets[i].getrX()), static_cast<short>(planets[i].getrY())});
        console->OutputString("O");
    }
    drawBonuses(console);
    if (player != nullptr) player->draw(console);
    console->SetPosition(Coord{0, 0});
    console->SetTextColor(FRAME_COLOUR);
}

bool Sector::nextSector(bool xAxis, bool increase, ConLib* console, const Player* stayAs) {
    return enterNextSector(xAxis, increase, console, true, stayAs);
}

bool Sector::nextSector_noSave(bool xAxis, bool increase, TutorialProgress* /*tutorial*/, ConLib* console) {
    return enterNextSector(xAxis, increase, console, false, nullptr);
}

bool Sector::enterNextSector(bool xAxis, bool increase, ConLib* console, bool saveLeft, const Player* stayAs) {
    if (player == nullptr) return false;
    player->changeWorldCoord(xAxis, increase, 1);
    const int n = player->getaSectorNumber();
    // A crossing happens at every edge: it is written quickly, not synced.
    const bool saved = saveLeft && save(console, false, Durability::Buffered);
    // Read into a copy first: a sector that fails to load must not replace
    // this one.
    Sector next = *this;
    if (next.loadSector(n) == LoadResult::Ok) {
        *this = next;
        return true;
    }
    // Back to this sector; the file must not send the ship to the sector it
    // could not read either, and holds the player as memory does again.
    if (stayAs != nullptr)
        *player = *stayAs;
    else
        player->changeWorldCoord(xAxis, !increase, 1);
    if (saved) save(console, false, Durability::Buffered);
    if (console != nullptr) {
        console->err() << "Blad podczas odczytu pliku" << '\n';
        console->pause();
    }
    return false;
}

int Sector::genEvent(ConLib* console, int mode) {
    int event = EVENT_NONE;
    switch (mode) {
        case 0:
            if (rng::rand() % EVENT_DIE + 1 != 1) break;
            event = rng::rand() % EVENT_DIE + 1 <= METEORS_UP_TO ? EVENT_METEORS : EVENT_PIRATES;
            break;
        case EVENT_METEORS:
        case EVENT_PIRATES: event = mode; break;
        default: break;
    }
    if (event == EVENT_METEORS) meteorsEvent(console);
    if (event == EVENT_PIRATES) battleEvent(console);
    return event;
}

// A sector without encounters (a working sector, a screen under test) starts none.
void Sector::meteorsEvent(ConLib* console) {
    if (encounters == nullptr || console == nullptr || player == nullptr) return;
    const int size = rng::rand() % METEOR_FIELD_SIZES + 1;
    std::string message = "Crew member: \"Captain! We're entering\n";
    message += meteorFieldName(size);
    message += " meteors field! You must save the ship!\"\n\nPress ENTER to continue...";
    showMessage(console, EVENT_WINDOW_WIDTH, EVENT_WINDOW_HEIGHT, "INFORMATION", message.c_str(), CloseOn::Enter);
    encounters->meteors(console, player, static_cast<unsigned long>(size) * METEOR_FIELD_MS_PER_SIZE);
    if (player->getaHealth() > 0)
        showMessage(console, EVENT_WINDOW_WIDTH, EVENT_WINDOW_HEIGHT, "INFORMATION",
                    "Crew member: \"Yeah! Captain you done it! You saved our ship!\"\n\nPress ENTER to continue...",
                    CloseOn::Enter);
    drawMap(console);
}

void Sector::battleEvent(ConLib* console) {
    if (encounters == nullptr || console == nullptr || player == nullptr) return;
    // Once the pirates are announced, stopping the game costs the hold as fleeing would.
    settleOnStop(
        [&] {
            showMessage(console, EVENT_WINDOW_WIDTH, EVENT_WINDOW_HEIGHT, "INFORMATION",
                        "Crew member: \"Captain! Space pirates ship approaching! We must fight!\"\n\nPress ENTER "
                        "to continue...",
                        CloseOn::Enter);
        },
        [this] { player->loseAllTrade(); });
    // The ship's health tells the outcome; the map loop ends for a destroyed ship.
    encounters->randomBattle(console, player);
    drawMap(console);
}

void Sector::playerAddaPart(ConLib* console) {
    const short kind = aPartKind;
    if (kind < 0 || kind >= PART_KINDS || player == nullptr) return;
    std::string message = "Congratulations! You found ancient ship part...\n";
    message += ancientPartLine(kind);
    message += "\n\nPress ENTER to continue...";

    // A sixth part of one kind is refused by the player.
    player->setaParts(kind, player->getaParts(kind) + 1);
    aPartPos = Coord{0, 0};
    aPartKind = NO_PART;

    showMessage(console, 60, 9, "INFORMATION", message.c_str(), CloseOn::Enter);
    drawMap(console);
}
