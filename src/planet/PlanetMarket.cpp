// The market: prices that follow the planet's stocks, and the purchase and
// sale of goods. Prices are never stored; every screen computes them afresh.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "catalog/TradeGood.h"
#include "screen/ConLib.h"
#include "planet/Planet.h"
#include "planet/TutorialProgress.h"
#include "player/Player.h"

namespace {

constexpr int NANO_TECH = 0;
constexpr int ORE = 14;
constexpr int MIN_PRICE = 2;
// A unit that would sell for exactly 10 fetches only 5.
constexpr int CHEAP_SALE_PRICE = 10;
constexpr int CHEAP_SALE_PAID = 5;

constexpr int PROMPT_WIDTH = 45;
constexpr int PROMPT_HEIGHT = 8;
constexpr int CONFIRM_HEIGHT = 9;
constexpr int NUMBER_COLUMN = 20;
constexpr int INPUT_ROW = 12;
// Right behind "Type count to buy: " and "Type count to sell: ".
constexpr int BUY_COUNT_COLUMN = 39;
constexpr int SELL_COUNT_COLUMN = 40;

constexpr int TABLE_HEADING_ROW = 4;
constexpr int TABLE_FIRST_ROW = 6;
constexpr int SIDE_COLUMN = 65;

using refusals::NO_CREDITS;
using refusals::NO_SPACE;
constexpr Refusal WRONG_PRODUCT{"You typed wrong product number!", 37};
constexpr Refusal SHORT_ON_PLANET{"Not enought product on this planet!", 39};
constexpr Refusal SHORT_IN_HOLD{"You don't have enought product!", 39};
constexpr Refusal PLANET_FULL{"Not enought free space on planet!", 39};
constexpr Refusal WRONG_COUNT = refusals::WRONG_AMOUNT;
constexpr Refusal CREDITS_OVERFLOW{"You can't carry so many credits!", 38};

// What a processed good adds to the prices of the two goods it is made of.
int processingMarkup(int good) {
    if (good == NANO_TECH) return 200;
    switch (tradeGoods[good]->getTier()) {
        case 2:
            return 100;
        case 3:
            return 200;
        case 4:
            return 300;
        default:
            return 400;
    }
}

// One trade as the player typed it.
struct Deal {
    int good = 0;
    int count = 0;
    std::int64_t total = 0;
};

void refuse(Planet& planet, ConLib* console, Player* player, const Refusal& refusal) {
    planet.RedrawTrade(console, player);
    Planet::showRefusal(console, refusal);
    planet.RedrawTrade(console, player);
}

// Asks for the product number; false (after the refusal) for one that names no good.
bool askProduct(Planet& planet, ConLib* console, Player* player, const char* title, int& good) {
    const Window prompt = Planet::showPromptBox(console, PROMPT_WIDTH, PROMPT_HEIGHT, title, "Type product number:");
    const int product = Planet::readAmount(console, prompt, NUMBER_COLUMN, INPUT_ROW);
    if (product < 1 || product > Planet::GOOD_COUNT) {
        refuse(planet, console, player, WRONG_PRODUCT);
        return false;
    }
    good = product - 1;
    return true;
}

// Asks for the count; false (after the refusal) for none or fewer.
bool askCount(Planet& planet, ConLib* console, Player* player, const char* title, const char* prompt, int column,
              Deal& deal) {
    const std::string text = std::string("You selected: ") + tradeGoods[deal.good]->getName() + "\n\n" + prompt;
    const Window box = Planet::showPromptBox(console, PROMPT_WIDTH, PROMPT_HEIGHT, title, text.c_str());
    deal.count = Planet::readAmount(console, box, column, INPUT_ROW);
    if (deal.count <= 0) {
        refuse(planet, console, player, WRONG_COUNT);
        return false;
    }
    return true;
}

bool confirmDeal(ConLib* console, const char* title, const Deal& deal, const char* answers) {
    const std::string text = std::string("Product: ") + tradeGoods[deal.good]->getName() +
                             "\nCount: " + std::to_string(deal.count) + "\nPrice: " + std::to_string(deal.total) +
                             " credits\n\n" + answers;
    return Planet::askYesNo(console, PROMPT_WIDTH, CONFIRM_HEIGHT, title, text.c_str());
}

// Each unit costs the price at the stock it is taken from.
std::int64_t purchaseTotal(const Planet& planet, int good, int stock, int count) {
    std::int64_t total = 0;
    for (int j = 0; j < count; ++j) total += planet.getGoodPrice(good, stock - j);
    return total;
}

// Each unit fetches the price at the stock it joins.
std::int64_t saleTotal(const Planet& planet, int good, int stock, int count) {
    std::int64_t total = 0;
    for (int j = 0; j < count; ++j) {
        const int price = planet.getGoodPrice(good, stock + j);
        total += price == CHEAP_SALE_PRICE ? CHEAP_SALE_PAID : price;
    }
    return total;
}

const Refusal* completePurchase(Planet& planet, Player& player, const Deal& deal) {
    if (player.getCredits() < deal.total) return &NO_CREDITS;
    if (std::int64_t{player.getaWeight()} + deal.count > player.getMaxWeight()) return &NO_SPACE;
    player.removeCredits(static_cast<int>(deal.total));
    player.addTrade(deal.good, deal.count);
    planet.setGood(deal.good, planet.getGood(deal.good) - deal.count);
    player.countShipWeight();
    return nullptr;
}

const Refusal* completeSale(Planet& planet, Player& player, const Deal& deal) {
    if (player.getCredits() + deal.total > std::numeric_limits<std::int32_t>::max()) return &CREDITS_OVERFLOW;
    player.addCredits(static_cast<int>(deal.total));
    player.removeTrade(deal.good, deal.count);
    planet.setGood(deal.good, planet.getGood(deal.good) + deal.count);
    player.countShipWeight();
    return nullptr;
}

void drawPlanetTable(const Planet& planet, ConLib* console) {
    writeAt(console, 4, TABLE_HEADING_ROW, "Nr");
    writeAt(console, 7, TABLE_HEADING_ROW, "Count");
    writeAt(console, 14, TABLE_HEADING_ROW, "Name");
    writeAt(console, 28, TABLE_HEADING_ROW, "Price");
    for (int good = 0; good < Planet::GOOD_COUNT; ++good) {
        const int row = TABLE_FIRST_ROW + good;
        const int stock = planet.getGood(good);
        writeAt(console, 4, row, std::to_string(good + 1));
        writeAt(console, 7, row, std::to_string(stock));
        writeAt(console, 14, row, tradeGoods[good]->getName());
        writeAt(console, 28, row, std::to_string(planet.getGoodPrice(good, stock)));
    }
}

void drawPlayerTable(const Player& player, ConLib* console) {
    writeAt(console, 40, TABLE_HEADING_ROW, "Nr");
    writeAt(console, 43, TABLE_HEADING_ROW, "Count");
    writeAt(console, 50, TABLE_HEADING_ROW, "Name");
    for (int good = 0; good < Planet::GOOD_COUNT; ++good) {
        const int row = TABLE_FIRST_ROW + good;
        writeAt(console, 40, row, std::to_string(good + 1));
        writeAt(console, 43, row, std::to_string(player.getTrade(good)));
        writeAt(console, 50, row, tradeGoods[good]->getName());
    }
}

}  // namespace

int Planet::getGoodPrice(int good, int count) const {
    if (!isGood(good)) return 0;
    // Stocks live in 0..1000; anything else is priced as the nearer end.
    const int stock = std::clamp(count, 0, STOCK_CAPACITY);
    // The factor is single precision on purpose: 0.7f lies just below 0.7,
    // which makes Ore cost 13, not 14, at a stock of 300.
    const float factor = static_cast<float>(STOCK_CAPACITY - stock) / static_cast<float>(STOCK_CAPACITY);
    int base = tradeGoods[good]->getValue();
    const Recipe recipe = recipeOf(good);
    if (isGood(recipe.first) && isGood(recipe.second))
        base = getGoodPrice(recipe.first, goods[recipe.first]) + getGoodPrice(recipe.second, goods[recipe.second]) +
               processingMarkup(good);
    const int price = static_cast<int>(static_cast<double>(base) * static_cast<double>(factor));
    return std::max(price, MIN_PRICE);
}

void Planet::RedrawTrade(ConLib* console, Player* player) {
    console->SetBackgroundColor(SCREEN_BACKGROUND);
    console->SetTextColor(SCREEN_TEXT);
    console->Clear();
    showScreenWindow(console, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, "TRADE", "");
    showScreenWindow(console, 2, 2, 35, 21, getName(), "");
    showScreenWindow(console, 38, 2, 26, 21, "PLAYER", "");
    showScreenWindow(console, SIDE_COLUMN, 2, 13, 7, "OPTIONS", "B - Buy\nS - Sell\nE - Back");
    console->SetBackgroundColor(SCREEN_BACKGROUND);
    console->SetTextColor(SCREEN_TEXT);
    writeAt(console, SIDE_COLUMN, 10, "Credits: ");
    writeAt(console, SIDE_COLUMN, 11, std::to_string(player->getCredits()));
    writeAt(console, SIDE_COLUMN, 13, "Capacity:");
    writeAt(console, SIDE_COLUMN, 14,
            std::to_string(player->getaWeight()) + " / " + std::to_string(player->getMaxWeight()));
    drawPlanetTable(*this, console);
    drawPlayerTable(*player, console);
    console->SetTextColor(7);
    console->SetPosition(Coord{0, 0});
}

void Planet::TradePanel(ConLib* console, Player* player, TutorialProgress* tutorial) {
    RedrawTrade(console, player);
    for (;;) {
        switch (console->GetKey()) {
            case 'B':
                Buy(console, player);
                break;
            case 'S':
                Sell(console, player);
                // The ore bought on the home planet has to be sold elsewhere.
                if (tutorial != nullptr && tutorial->isCurrent(tutorialStage::SELL_ORE) &&
                    player->getTrade(ORE) == 0 && std::string_view(getName()) != HOME_PLANET) {
                    tutorial->completeStage(console);
                    RedrawTrade(console, player);
                }
                break;
            case 'E':
                RedrawPanel(console);
                return;
            default:
                break;
        }
    }
}

// Refusals before the confirmation leave the rest of the typed line for the
// next prompt; after it the line is always dropped.
void Planet::Buy(ConLib* console, Player* player) {
    Deal deal;
    if (!askProduct(*this, console, player, "BUY", deal.good)) return;
    if (!askCount(*this, console, player, "BUY", "Type count to buy: ", BUY_COUNT_COLUMN, deal)) return;
    const int stock = goods[deal.good];
    if (stock < deal.count) {
        refuse(*this, console, player, SHORT_ON_PLANET);
        return;
    }
    deal.total = purchaseTotal(*this, deal.good, stock, deal.count);
    if (confirmDeal(console, "BUY", deal, "Y - Buy N - Cancel")) {
        if (const Refusal* refusal = completePurchase(*this, *player, deal)) refuse(*this, console, player, *refusal);
    }
    RedrawTrade(console, player);
    console->discardLine();
}

void Planet::Sell(ConLib* console, Player* player) {
    Deal deal;
    if (!askProduct(*this, console, player, "SELL", deal.good)) return;
    if (!askCount(*this, console, player, "SELL", "Type count to sell: ", SELL_COUNT_COLUMN, deal)) return;
    const int stock = goods[deal.good];
    if (player->getTrade(deal.good) < deal.count) {
        refuse(*this, console, player, SHORT_IN_HOLD);
        return;
    }
    if (std::int64_t{stock} + deal.count > STOCK_CAPACITY) {
        refuse(*this, console, player, PLANET_FULL);
        return;
    }
    deal.total = saleTotal(*this, deal.good, stock, deal.count);
    if (confirmDeal(console, "SELL", deal, "Y - Sell N - Cancel")) {
        if (const Refusal* refusal = completeSale(*this, *player, deal))
            refuse(*this, console, player, *refusal);
        else
            player->checkCashVictory(console);
    }
    RedrawTrade(console, player);
    console->discardLine();
}
