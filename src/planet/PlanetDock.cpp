// The dock: the ship-part shop of every planet, and the exchange of a part.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/Amounts.h"
#include "catalog/Catalog.h"
#include "screen/ConLib.h"
#include "screen/KeyCodes.h"
#include "screen/Window.h"
#include "planet/Planet.h"
#include "player/Player.h"

namespace {

constexpr unsigned short DOCK_BACKGROUND = 2;
constexpr unsigned short DOCK_TEXT = 0;

constexpr int TAB_COUNT = PART_SLOT_COUNT;
constexpr int LAST_TAB = TAB_COUNT - 1;
// The models on sale: rows 0..13, shown as 1..14. Row 14 comes only from research.
constexpr int MODELS_ON_SALE = SUPER_PART_ROW;

constexpr short HEADING_ROW = 4;
constexpr short FIRST_MODEL_ROW = 6;
constexpr short NUMBER_COLUMN = 4;
constexpr short NAME_COLUMN = 7;

constexpr const char* EXCHANGE_TITLE = "CHANGE SHIP PART";
constexpr Refusal WRONG_PART{"You typed wrong ship part!", 30};

// One figure column of a tab: its heading, its screen column and how to read
// the figure from a catalog row of the tab's table.
struct DockColumn {
    const char* heading;
    short column;
    int (*figure)(int row);
};

// One tab: the part slot it sells and its figure columns after "Nr" and
// "Part name:" (unused columns have no heading).
struct DockTab {
    const char* title;
    int slot;
    std::array<DockColumn, 4> columns;
};

template <int Slot>
int healthOf(int row) {
    return catalogPart(Slot, row)->getHealth();
}
template <int Slot>
int valueOf(int row) {
    return catalogPart(Slot, row)->getValue();
}

const std::array<DockTab, TAB_COUNT> DOCK_TABS{{
    {"HULLS", SLOT_HULL,
     {{{"Health:", 23, healthOf<SLOT_HULL>},
       {"Capacity:", 33, [](int row) { return bodies[row]->getwMax(); }},
       {"Price:", 47, valueOf<SLOT_HULL>},
       {}}}},
    {"FUEL TANKS", SLOT_TANK,
     {{{"Health:", 23, healthOf<SLOT_TANK>},
       {"Capacity:", 33, [](int row) { return tanks[row]->getMax(); }},
       {"Price:", 47, valueOf<SLOT_TANK>},
       {}}}},
    {"ENGINES", SLOT_ENGINE,
     {{{"Health:", 20, healthOf<SLOT_ENGINE>},
       {"Speed:", 30, [](int row) { return engines[row]->getSpeed(); }},
       {"Fuel use:", 38, [](int row) { return engines[row]->getFuelUse(); }},
       {"Price:", 48, valueOf<SLOT_ENGINE>}}}},
    {"SHIELD GENERATORS", SLOT_SHIELD,
     {{{"Health:", 23, healthOf<SLOT_SHIELD>},
       {"Shield:", 33, [](int row) { return shields[row]->getShield(); }},
       {"Price:", 43, valueOf<SLOT_SHIELD>},
       {}}}},
    {"ENERGY COLLECTORS", SLOT_COLLECTOR,
     {{{"Health:", 23, healthOf<SLOT_COLLECTOR>},
       {"Energy:", 33, [](int row) { return enCol[row]->getEnergy(); }},
       {"Price:", 43, valueOf<SLOT_COLLECTOR>},
       {}}}},
    {"WEAPONS", SLOT_WEAPON,
     {{{"Health:", 22, healthOf<SLOT_WEAPON>},
       {"Damage:", 32, [](int row) { return weapons[row]->getDmg(); }},
       {"Speed:", 40, [](int row) { return weapons[row]->getShotSpeed(); }},
       {"Price:", 48, valueOf<SLOT_WEAPON>}}}},
}};

bool isTab(int tab) { return tab >= 0 && tab < TAB_COUNT; }

void drawHeadings(ConLib* console, const DockTab& tab) {
    writeAt(console, NUMBER_COLUMN, HEADING_ROW, "Nr");
    writeAt(console, NAME_COLUMN, HEADING_ROW, "Part name:");
    for (const DockColumn& column : tab.columns)
        if (column.heading != nullptr) writeAt(console, column.column, HEADING_ROW, column.heading);
}

void drawModel(ConLib* console, const DockTab& tab, int row) {
    const short screenRow = static_cast<short>(FIRST_MODEL_ROW + row);
    writeAt(console, NUMBER_COLUMN, screenRow, std::to_string(row + 1));
    writeAt(console, NAME_COLUMN, screenRow, catalogPart(tab.slot, row)->getName());
    for (const DockColumn& column : tab.columns)
        if (column.heading != nullptr) writeAt(console, column.column, screenRow, std::to_string(column.figure(row)));
}

void drawCredits(ConLib* console, const Player* player) {
    writeAt(console, 57, 11, "Credits:");
    writeAt(console, 57, 12, std::to_string(player->getCredits()));
}

// Writes the window and leaves the dock's colours set again (a window resets them).
void showDockWindow(ConLib* console, Coord position, int width, int height, const char* title, const char* text) {
    Planet::showScreenWindow(console, position.X, position.Y, width, height, title, text);
    console->SetBackgroundColor(DOCK_BACKGROUND);
    console->SetTextColor(DOCK_TEXT);
}

// Kinds 1..6 stand for slots 0..5, whatever tab is on show.
int askPartKind(ConLib* console) {
    const Window prompt = Planet::showPromptBox(
        console, 31, 14, EXCHANGE_TITLE,
        "Select ship part to change:\n\n1 - Hull\n2 - Fuel tank\n3 - Engines\n4 - Shield Generator\n"
        "5 - Energy Collector\n6 - Weapon");
    return Planet::readAmount(console, prompt, 27, 16);
}

int askModelNumber(ConLib* console) {
    const Window prompt = Planet::showPromptBox(console, 50, 8, EXCHANGE_TITLE, "Type number of part to buy:");
    return Planet::readAmount(console, prompt, 17, 12);
}

bool isPartKind(int kind) { return kind >= 1 && kind <= PART_SLOT_COUNT; }
bool isModelOnSale(int number) { return number >= 1 && number <= MODELS_ON_SALE; }

// The new part's value less the truncated half of the fitted one's; negative
// when the player earns by the exchange. 64 bits: no sum of catalog values can wrap.
std::int64_t exchangePrice(const Player* player, int slot, int newRow) {
    const std::int64_t newValue = catalogPart(slot, newRow)->getValue();
    const std::int64_t oldValue = catalogPart(slot, player->getPartId(slot))->getValue();
    return newValue - oldValue / 2;
}

bool confirmExchange(ConLib* console, const char* name, std::int64_t price) {
    std::string text = "Do you want to buy ";
    text += name;
    text += price >= 0 ? "?\nPrice: " + std::to_string(price) : "?\nYou'll earn: " + std::to_string(-price);
    text += " credits\n\nY - Yes / N - No";
    return messageWindow(console, 50, 8).ShowDialog(EXCHANGE_TITLE, text.c_str(), 'Y', 'N');
}

// Fuel that no longer fits a smaller tank cannot be kept aboard.
void cutFuelToTank(Player* player) {
    if (player->getaFuel() > player->getMaxFuel()) player->removeFuel(player->getaFuel() - player->getMaxFuel());
}

// What fitting a part of that slot changes besides the health.
void applySlotExtras(Player* player, int slot, int row) {
    switch (slot) {
        case SLOT_HULL: player->countShipWeight(); break;
        case SLOT_TANK: cutFuelToTank(player); break;
        case SLOT_SHIELD: player->addShield(shields[row]->getShield()); break;
        case SLOT_COLLECTOR: player->addEnergy(enCol[row]->getEnergy()); break;
        default: break;
    }
}

// Pays (or is paid) and fits the part. A gain beyond the 32-bit range
// saturates the credits at their maximum.
void fitBoughtPart(Player* player, int slot, int row, std::int64_t price) {
    player->removeCredits(clampToInt32(price));
    player->fitPart(slot, row);
    player->countMaxHealth();
    player->addHealth(catalogPart(slot, row)->getHealth());
    applySlotExtras(player, slot, row);
}

void finishExchange(ConLib* console, Player* player, int tab) {
    player->countMaxHealth();
    Planet::RedrawDockPanel(console, player, tab);
    console->discardLine();
}

}  // namespace

void Planet::RedrawDockPanel(ConLib* console, Player* player, int tab) {
    if (console == nullptr || player == nullptr || !isTab(tab)) return;
    const DockTab& shown = DOCK_TABS[static_cast<std::size_t>(tab)];
    console->SetBackgroundColor(DOCK_BACKGROUND);
    console->SetTextColor(DOCK_TEXT);
    console->Clear();
    showDockWindow(console, Coord{0, 0}, SCREEN_WIDTH, SCREEN_HEIGHT, "DOCK", "");
    showDockWindow(console, Coord{2, 2}, 54, 21, shown.title, "");
    drawHeadings(console, shown);
    for (int row = 0; row < MODELS_ON_SALE; ++row) drawModel(console, shown, row);
    showDockWindow(console, Coord{57, 2}, 21, 8, "OPTIONS", "> - Next tab\n< - Previous tab\nC - Change part\nE - Back");
    drawCredits(console, player);
    console->SetTextColor(7);
    console->SetPosition(Coord{0, 0});
}

void Planet::ChangeShipPart(ConLib* console, Player* player, int tab) {
    if (console == nullptr || player == nullptr) return;
    const int kind = askPartKind(console);
    if (!isPartKind(kind)) {
        RedrawDockPanel(console, player, tab);
        Planet::showRefusal(console, WRONG_PART);
        finishExchange(console, player, tab);
        return;
    }
    const int slot = kind - 1;

    RedrawDockPanel(console, player, tab);
    const int number = askModelNumber(console);
    RedrawDockPanel(console, player, tab);
    if (!isModelOnSale(number)) {
        // The rest of the typed line stays for the next prompt.
        Planet::showRefusal(console, WRONG_PART);
        RedrawDockPanel(console, player, tab);
        return;
    }
    const int row = number - 1;

    const std::int64_t price = exchangePrice(player, slot, row);
    if (confirmExchange(console, catalogPart(slot, row)->getName(), price)) {
        if (player->getCredits() < price) {
            RedrawDockPanel(console, player, tab);
            Planet::showRefusal(console, refusals::NO_CREDITS);
        } else {
            fitBoughtPart(player, slot, row, price);
        }
    }
    finishExchange(console, player, tab);
}

void Planet::DockPanel(ConLib* console, Player* player, TutorialProgress* /*tutorial*/) {
    if (console == nullptr || player == nullptr) return;
    int tab = 0;
    RedrawDockPanel(console, player, tab);
    for (;;) {
        switch (console->GetKey()) {
            case keycode::Period:
                if (tab < LAST_TAB) RedrawDockPanel(console, player, ++tab);
                break;
            case keycode::Comma:
                if (tab > 0) RedrawDockPanel(console, player, --tab);
                break;
            case 'C': ChangeShipPart(console, player, tab); break;
            case 'E':
                RedrawPanel(console);
                return;
            default: break;
        }
    }
}
