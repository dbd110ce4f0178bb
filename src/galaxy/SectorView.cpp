// The galaxy view: the map of the current sector and the game's main loop,
// which turns arrow keys into steps of the ship, crosses into neighbouring
// sectors at the map's edges and opens the ship computer's screens.

#include <string>

#include "console/ConLib.h"
#include "console/KeyDecoder.h"
#include "console/Random.h"
#include "console/Window.h"
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

// One chance in 101 per ordinary step; of those, 30 in 101 are meteors.
constexpr int EVENT_DIE = 101;
constexpr int METEORS_UP_TO = 30;

enum class Heading { Up, Down, Left, Right };

bool isArrow(unsigned key) {
    return key == keycode::Up || key == keycode::Down || key == keycode::Left || key == keycode::Right;
}

Heading headingOf(unsigned key) {
    switch (key) {
        case keycode::Up: return Heading::Up;
        case keycode::Down: return Heading::Down;
        case keycode::Left: return Heading::Left;
        default: return Heading::Right;
    }
}

bool isHorizontal(Heading h) { return h == Heading::Left || h == Heading::Right; }
// Right and down raise the sector coordinate.
bool raisesCoordinate(Heading h) { return h == Heading::Right || h == Heading::Down; }

// The ship stands on the last cell the map has in that direction.
bool atMapEdge(const Player& player, Heading h) {
    switch (h) {
        case Heading::Up: return player.getrY() <= MAP_FIRST_ROW;
        case Heading::Down: return player.getrY() >= MAP_LAST_ROW;
        case Heading::Left: return player.getrX() <= MAP_FIRST_COLUMN;
        default: return player.getrX() >= MAP_LAST_COLUMN;
    }
}

// Where the ship enters the next sector: the opposite edge, same row or column.
COORD arrivalCell(const Player& player, Heading h) {
    COORD cell = player.getrPos();
    switch (h) {
        case Heading::Up: cell.Y = MAP_LAST_ROW; break;
        case Heading::Down: cell.Y = MAP_FIRST_ROW; break;
        case Heading::Left: cell.X = MAP_LAST_COLUMN; break;
        case Heading::Right: cell.X = MAP_FIRST_COLUMN; break;
    }
    return cell;
}

void moveShip(Player& player, ConLib* console, Heading h) {
    switch (h) {
        case Heading::Up: player.moveUp(console); break;
        case Heading::Down: player.moveDown(console); break;
        case Heading::Left: player.moveLeft(console); break;
        case Heading::Right: player.moveRight(console); break;
    }
}

// What one step gives the ship: energy from its collector, part of it
// straight into the shield.
void gainStepEnergy(Player& player) {
    player.addEnergy(player.getPartId(SLOT_COLLECTOR) * 5 + 10);
    player.chargeShield();
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

// The main loop's state: the move delay counter lives as long as one visit
// to the map.
class MapLoop {
public:
    MapLoop(Sector& sector, Player& player, ConLib* console)
        : sector_(sector), player_(player), console_(console), moveDelay_(player.getShipSpeed()) {}

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
        if (isArrow(key)) {
            step(headingOf(key));
            return;
        }
        switch (key) {
            case KEY_INVENTORY: sector_.showPlayerInventory(console_); break;
            case KEY_ANCIENT_PARTS: sector_.showAncientParts(console_); break;
            case KEY_GPS: sector_.showGPS(console_); break;
            case KEY_SHIP_INFO: sector_.showShipInfo(console_); break;
            case KEY_MISSION: sector_.showMissionInfo(console_); break;
            case KEY_SAVE:
                // A failed save leaves its message over the frame.
                if (!sector_.save(console_, true)) sector_.drawMap(console_);
                break;
            default: break;  // the board computer key (192) is not wired in yet
        }
    }

    void restartDelay() { moveDelay_ = player_.getShipSpeed(); }

    void step(Heading h) {
        // A slow engine lets several presses, in any direction, pass first.
        if (moveDelay_ > 0) {
            --moveDelay_;
            return;
        }
        if (atMapEdge(player_, h))
            leaveSector(h);
        else
            stepInSector(h);
    }

    void leaveSector(Heading h) {
        if (player_.getaFuel() < player_.getFuelUsage()) return;
        restartDelay();
        // A sector that cannot be entered leaves the ship exactly where it was.
        const Player before = player_;
        player_.removeFuel(player_.getFuelUsage());
        gainStepEnergy(player_);
        player_.setPos(arrivalCell(player_, h));
        if (!sector_.nextSector(isHorizontal(h), raisesCoordinate(h), console_)) player_ = before;
        sector_.drawMap(console_);
    }

    void stepInSector(Heading h) {
        // Without fuel the ship stays, but the step is still taken on its cell.
        moveShip(player_, console_, h);
        restartDelay();
        gainStepEnergy(player_);
        examineCell();
    }

    void examineCell() {
        const int x = player_.getrX();
        const int y = player_.getrY();
        if (Planet* planet = sector_.getPlanet(x, y)) {
            land(*planet);
        } else if (sector_.isOnPart(x, y)) {
            sector_.playerAddaPart(console_);
        } else if (sector_.isOnEP(x, y)) {
            // The pirates' planet is only drawn for now; its fight comes with
            // the encounters.
        } else if (player_.getaFuel() >= player_.getFuelUsage()) {
            sector_.genEvent(console_, 0);
        }
    }

    void land(Planet& planet) {
        planet.ShowPanel(console_, &player_, nullptr);
        // Taking off leaves the ship beside the planet.
        player_.moveRandom(console_);
        restartDelay();
        sector_.drawMap(console_);
    }

    Sector& sector_;
    Player& player_;
    ConLib* console_;
    int moveDelay_;
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
    DrawBorder(SCREEN_WIDTH, SCREEN_HEIGHT, COORD{0, 0}, nullptr, console);
    console->SetTextColor(PLANET_COLOUR);
    for (int i = 0; i < number; ++i) {
        console->SetPosition(COORD{static_cast<short>(planets[i].getrX()), static_cast<short>(planets[i].getrY())});
        console->OutputString("O");
    }
    drawBonuses(console);
    if (player != nullptr) player->draw(console);
    console->SetPosition(COORD{0, 0});
    console->SetTextColor(FRAME_COLOUR);
}

bool Sector::nextSector(bool xAxis, bool increase, ConLib* console) {
    if (player == nullptr) return false;
    player->changeWorldCoord(xAxis, increase, 1);
    const int n = player->getaSectorNumber();
    const bool saved = save(console, false);
    // Read into a copy first: a sector that fails to load must not replace
    // this one.
    Sector next = *this;
    if (next.loadSector(n) == LoadResult::Ok) {
        *this = next;
        return true;
    }
    // Back to this sector; the file must not send the ship to the sector it
    // could not read either.
    player->changeWorldCoord(xAxis, !increase, 1);
    if (saved) save(nullptr, false);
    if (console != nullptr) {
        console->err() << "Blad podczas odczytu pliku" << '\n';
        console->pause();
    }
    return false;
}

int Sector::genEvent(ConLib* /*console: the encounter screens draw on it*/, int mode) {
    switch (mode) {
        case 0:
            if (rng::rand() % EVENT_DIE + 1 != 1) return EVENT_NONE;
            return rng::rand() % EVENT_DIE + 1 <= METEORS_UP_TO ? EVENT_METEORS : EVENT_PIRATES;
        case EVENT_METEORS: return EVENT_METEORS;
        case EVENT_PIRATES: return EVENT_PIRATES;
        default: return EVENT_NONE;
    }
}

void Sector::playerAddaPart(ConLib* console) {
    const short kind = aPartKind;
    if (kind < 0 || kind >= PART_KINDS || player == nullptr) return;
    std::string message = "Congratulations! You found ancient ship part...\n";
    message += ancientPartLine(kind);
    message += "\n\nPress ENTER to continue...";

    // A sixth part of one kind is refused by the player.
    player->setaParts(kind, player->getaParts(kind) + 1);
    aPartPos = COORD{0, 0};
    aPartKind = NO_PART;

    showMessage(console, 60, 9, "INFORMATION", message.c_str(), CloseOn::Enter);
    drawMap(console);
}
