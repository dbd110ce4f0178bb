// The hangar: the ship's state, and fuel, ammunition, energy and repairs at
// fixed prices. The four services share one routine: ask for an amount, cap
// it to what fits, confirm, then pay and apply.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "screen/ConLib.h"
#include "planet/Planet.h"
#include "player/Player.h"

namespace {

constexpr int QUESTION_WIDTH = 45;
constexpr int QUESTION_HEIGHT = 8;
// Two columns into the question box and four rows down.
constexpr int AMOUNT_COLUMN = 20;
constexpr int AMOUNT_ROW = 12;
constexpr int AMMO_PER_WEIGHT_UNIT = 10;

using refusals::NO_CREDITS;
using refusals::NO_SPACE;
using refusals::WRONG_AMOUNT;
constexpr Refusal TOO_BIG_AMOUNT{"You typed too big amount!", 31};

struct HangarService {
    const char* title;
    const char* question;
    // The confirmation reads offer + amount + unit.
    const char* offer;
    const char* unit;
    int unitPrice;
    // How much more the ship can take; null where nothing limits the amount.
    std::int64_t (*room)(const Player&);
    void (Ship::*add)(int);
    // Ammunition also weighs in the hold.
    bool weighsInHold;
    // Energy bought (or not) goes on into the shield.
    bool chargesShield;
};

const HangarService FUEL{"BUY FUEL", "How many fuel would you like to buy?", "Do you want to buy ", "l fuel?", 1,
                         [](const Player& p) { return std::int64_t{p.getMaxFuel()} - p.getaFuel(); },
                         &Ship::addFuel, false, false};
const HangarService ENERGY{"CHARGE ENERGY", "How many energy would you like to charge?", "Do you want to charge ",
                           "W energy?", 2,
                           [](const Player& p) { return std::int64_t{p.getMaxEnergy()} - p.getaEnergy(); },
                           &Ship::addEnergy, false, true};
const HangarService REPAIR{"REPAIR", "How many points would you like to repair?", "Do you want to repair ",
                           "pkt health?", 1,
                           [](const Player& p) { return std::int64_t{p.getMaxHealth()} - p.getaHealth(); },
                           &Ship::addHealth, false, false};
const HangarService AMMO{"BUY AMMO", "How many ammo would you like to buy?", "Do you want to buy ", " ammo?", 2,
                         nullptr, &Ship::addAmmo, true, false};

bool fitsInHold(const Player& player, int ammo) {
    return std::int64_t{player.getaWeight()} + ammo / AMMO_PER_WEIGHT_UNIT <= player.getMaxWeight();
}

// Pays for a confirmed purchase and applies it, or names why it cannot be made.
const Refusal* completePurchase(Player& player, const HangarService& service, int amount, int price) {
    if (player.getCredits() < price) return &NO_CREDITS;
    if (service.weighsInHold && !fitsInHold(player, amount)) return &NO_SPACE;
    player.removeCredits(price);
    (player.*service.add)(amount);
    if (service.weighsInHold) player.countShipWeight();
    return nullptr;
}

std::string confirmation(const HangarService& service, int amount, int price) {
    return service.offer + std::to_string(amount) + service.unit + "\nPrice: " + std::to_string(price) +
           " credits\n\nY - Yes / N - No";
}

void refuse(Planet& planet, ConLib* console, Player* player, const Refusal& refusal) {
    planet.RedrawHangarPanel(console, player);
    Planet::showRefusal(console, refusal);
}

// The amount the service will offer for what was typed, or the refusal of it.
// Negative amounts would pay the player; the caps only limit from above.
const Refusal* settleAmount(const Player& player, const HangarService& service, int& amount) {
    if (amount < 0) return &WRONG_AMOUNT;
    if (service.room != nullptr) amount = static_cast<int>(std::clamp<std::int64_t>(service.room(player), 0, amount));
    if (std::int64_t{amount} * service.unitPrice > std::numeric_limits<std::int32_t>::max()) return &TOO_BIG_AMOUNT;
    return nullptr;
}

void runService(Planet& planet, ConLib* console, Player* player, const HangarService& service) {
    const Window prompt =
        Planet::showPromptBox(console, QUESTION_WIDTH, QUESTION_HEIGHT, service.title, service.question);
    int amount = Planet::readAmount(console, prompt, AMOUNT_COLUMN, AMOUNT_ROW);
    if (const Refusal* refusal = settleAmount(*player, service, amount)) {
        refuse(planet, console, player, *refusal);
    } else {
        const int price = amount * service.unitPrice;
        planet.RedrawHangarPanel(console, player);
        const std::string text = confirmation(service, amount, price);
        if (Planet::askYesNo(console, QUESTION_WIDTH, QUESTION_HEIGHT, service.title, text.c_str())) {
            if (const Refusal* refusal = completePurchase(*player, service, amount, price))
                refuse(planet, console, player, *refusal);
        }
    }
    // After the question, whatever its answer and even for a refused amount.
    if (service.chargesShield) player->chargeShield();
    planet.RedrawHangarPanel(console, player);
    console->discardLine();
}

std::string shipInformation(const Player& p) {
    return p.figuresText() + "\n\nHull type: " + p.getName(SLOT_HULL) +
           "\nFuel tank type: " + p.getName(SLOT_TANK) + "\nEngines type: " + p.getName(SLOT_ENGINE) +
           "\nShield generator type: " + p.getName(SLOT_SHIELD) +
           "\nEnergy collector type: " + p.getName(SLOT_COLLECTOR) + "\nWeapon type: " + p.getName(SLOT_WEAPON);
}

}  // namespace

void Planet::RedrawHangarPanel(ConLib* console, Player* player) {
    showScreenWindow(console, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, "HANGAR", "");
    const std::string information = shipInformation(*player);
    showScreenWindow(console, 2, 2, 40, 21, "SHIP INFORMATION", information.c_str());
    showScreenWindow(console, 49, 2, 23, 9, "OPTIONS", "A - Buy ammo\nC - Charge energy\nF - Buy fuel\nR - Repair\nE - Back");
    showScreenWindow(console, 49, 12, 23, 8, "PRICES", "Fuel: 1C/l\nEnergy: 2C/W\nAmmo: 2C/u\nRepair: 1C/pkt");
    console->SetBackgroundColor(SCREEN_BACKGROUND);
    console->SetTextColor(SCREEN_TEXT);
    console->SetPosition(Coord{49, 21});
    console->OutputString("Credits:");
    console->SetPosition(Coord{49, 22});
    console->out() << player->getCredits();
    console->SetTextColor(7);
    console->SetPosition(Coord{0, 0});
}

void Planet::HangarPanel(ConLib* console, Player* player, TutorialProgress* /*tutorial*/) {
    RedrawHangarPanel(console, player);
    for (;;) {
        switch (console->GetKey()) {
            case 'A':
                BuyAmmo(console, player);
                break;
            case 'C':
                ChargeEnergy(console, player);
                break;
            case 'F':
                BuyFuel(console, player);
                break;
            case 'R':
                Repair(console, player);
                break;
            case 'E':
                RedrawPanel(console);
                return;
            default:
                break;
        }
    }
}

void Planet::BuyFuel(ConLib* console, Player* player) { runService(*this, console, player, FUEL); }
void Planet::BuyAmmo(ConLib* console, Player* player) { runService(*this, console, player, AMMO); }
void Planet::ChargeEnergy(ConLib* console, Player* player) { runService(*this, console, player, ENERGY); }
void Planet::Repair(ConLib* console, Player* player) { runService(*this, console, player, REPAIR); }
