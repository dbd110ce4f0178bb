// Loot after a won fight: the destroyed ship's goods beside the player's own,
// taken by product number and count as far as the hold allows.

#include <cstdint>
#include <string>

#include "catalog/TradeGood.h"
#include "screen/ConLib.h"
#include "screen/HelpFuncLib.h"
#include "screen/Window.h"
#include "encounters/Event.h"
#include "planet/Planet.h"
#include "planet/Refusal.h"
#include "player/Player.h"

namespace {

constexpr int PANEL_BACKGROUND = 3;
constexpr int PANEL_TEXT = 1;

constexpr unsigned KEY_TAKE = 'T';
constexpr unsigned KEY_EXIT = 'E';

constexpr int TABLE_HEADING_ROW = 4;
constexpr int TABLE_FIRST_ROW = 6;
constexpr int ENEMY_TABLE_COLUMN = 4;
constexpr int PLAYER_TABLE_COLUMN = 35;
// Count and name columns, from the table's number column.
constexpr int COUNT_OFFSET = 3;
constexpr int NAME_OFFSET = 13;
constexpr int SIDE_COLUMN = 65;

constexpr int PROMPT_WIDTH = 45;
constexpr int PROMPT_HEIGHT = 7;
constexpr int QUESTION_HEIGHT = 8;
// Where the typed answers go inside the prompt: under "Type product number:"
// and right behind "Type count to take: ".
constexpr int NUMBER_OFFSET_X = 2;
constexpr int COUNT_OFFSET_X = 22;
constexpr int INPUT_OFFSET_Y = 4;

constexpr Refusal WRONG_PRODUCT{"You typed wrong product number!", 37};
constexpr Refusal SHORT_ON_ENEMY{"Not enought product on enemy ship!", 39};

Window lootWindow(ConLib* console, int x, int y, int width, int height) {
    return windowAt(console, x, y, width, height, PANEL_BACKGROUND, PANEL_TEXT);
}

void drawGoodsTable(ConLib* console, int column, const int* counts) {
    using std::to_string;
    writeAt(console, column, TABLE_HEADING_ROW, "Nr");
    writeAt(console, column + COUNT_OFFSET, TABLE_HEADING_ROW, "Count");
    writeAt(console, column + NAME_OFFSET, TABLE_HEADING_ROW, "Name");
    for (int i = 0; i < TRADE_GOOD_COUNT; ++i) {
        const int row = TABLE_FIRST_ROW + i;
        writeAt(console, column, row, to_string(i + 1));
        writeAt(console, column + COUNT_OFFSET, row, to_string(counts[i]));
        writeAt(console, column + NAME_OFFSET, row, tradeGoods[i]->getName());
    }
}

// The prompt box of a taking, where the typed answers go.
struct Prompt {
    Coord at{static_cast<short>(foundMiddle(SCREEN_WIDTH, PROMPT_WIDTH)),
             static_cast<short>(foundMiddle(SCREEN_HEIGHT, PROMPT_HEIGHT))};

    // Reads a number at that offset, echoed no further than the box's frame.
    int readNumber(ConLib* console, int offsetX) const {
        const int column = at.X + offsetX;
        console->SetTextColor(MESSAGE_TEXT);
        console->SetBackgroundColor(MESSAGE_BACKGROUND);
        console->SetPosition(Coord{static_cast<short>(column), static_cast<short>(at.Y + INPUT_OFFSET_Y)});
        const int frameColumn = at.X + PROMPT_WIDTH - 1;
        return console->readNumber(frameColumn - column);
    }
};

}  // namespace

void Event::redrawGrabTrade(ConLib* console, const Player* player, const EnemyCargo& cargo) {
    using std::to_string;
    lootWindow(console, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT).Show("STEAL ENEMY GOODS", "");
    lootWindow(console, 2, 2, 30, 21).Show("ENEMY", "");
    lootWindow(console, 33, 2, 30, 21).Show("PLAYER", "");
    lootWindow(console, SIDE_COLUMN, 2, 13, 6).Show("OPTIONS", "T - Take\nE - Exit");

    console->SetTextColor(PANEL_TEXT);
    console->SetBackgroundColor(PANEL_BACKGROUND);
    writeAt(console, SIDE_COLUMN, 10, "Credits: ");
    writeAt(console, SIDE_COLUMN, 11, to_string(player->getCredits()));
    writeAt(console, SIDE_COLUMN, 13, "Capacity:");
    writeAt(console, SIDE_COLUMN, 14, to_string(player->getaWeight()) + " / " + to_string(player->getMaxWeight()));

    drawGoodsTable(console, ENEMY_TABLE_COLUMN, cargo.data());
    std::array<int, TRADE_GOOD_COUNT> own{};
    for (int i = 0; i < TRADE_GOOD_COUNT; ++i) own[static_cast<std::size_t>(i)] = player->getTrade(i);
    drawGoodsTable(console, PLAYER_TABLE_COLUMN, own.data());
    console->SetPosition(Coord{0, 0});
}

void Event::grabEnemyTrade(ConLib* console, Player* player, EnemyCargo& cargo) {
    showMessage(console, 40, 8, "YOU WON",
                "You defeated enemy ship and can take all goods he have!\n\nPress ENTER to continue...",
                CloseOn::Enter);
    redrawGrabTrade(console, player, cargo);
    for (;;) {
        const unsigned key = console->GetKey();
        if (key == KEY_TAKE) takeGood(console, player, cargo);
        if (key == KEY_EXIT) return;
    }
}

void Event::takeGood(ConLib* console, Player* player, EnemyCargo& cargo) {
    const Prompt prompt;
    auto refuse = [&](const Refusal& refusal) {
        redrawGrabTrade(console, player, cargo);
        Planet::showRefusal(console, refusal);
        redrawGrabTrade(console, player, cargo);
    };
    Window box = messageWindow(console, PROMPT_WIDTH, PROMPT_HEIGHT);
    box.Show("TAKE GOOD", "Type product number:");
    const int product = prompt.readNumber(console, NUMBER_OFFSET_X);
    if (product < 1 || product > TRADE_GOOD_COUNT) {
        refuse(WRONG_PRODUCT);
        return;
    }
    const int good = product - 1;
    const char* name = tradeGoods[good]->getName();

    const std::string selected = std::string("You selected: ") + name + "\n\nType count to take: ";
    box.Show("TAKE GOOD", selected.c_str());
    const int count = prompt.readNumber(console, COUNT_OFFSET_X);
    // Only whole, positive counts move goods.
    if (count < 1) {
        refuse(refusals::WRONG_AMOUNT);
        return;
    }
    int& enemyUnits = cargo[static_cast<std::size_t>(good)];
    if (enemyUnits < count) {
        refuse(SHORT_ON_ENEMY);
        return;
    }

    Window question = box;
    question.height = QUESTION_HEIGHT;
    const std::string text =
        std::string("Product: ") + name + "\nCount: " + std::to_string(count) + "\n\nY - Take N - Cancel";
    const bool take = question.ShowDialog("TAKE GOOD", text.c_str(), 'Y', 'N');
    console->discardLine();
    // On N the question stays until something is drawn over it.
    if (!take) return;
    if (std::int64_t{player->getaWeight()} + count > player->getMaxWeight()) {
        refuse(refusals::NO_SPACE);
        return;
    }
    player->addTrade(good, count);
    enemyUnits -= count;
    player->countShipWeight();
    redrawGrabTrade(console, player, cargo);
}
