// Every prompt of the planet screens keeps its typing inside its box.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "TestSupport.h"
#include "planet/Planet.h"
#include "player/Player.h"

// A field takes exactly the cells from its input position to the box's right
// frame: a long answer fills it to the frame and never reaches or passes it.
TEST(PlanetPrompts, TypingFillsTheFieldUpToTheFrameAndNoFurther) {
    const std::string flood(300, '9');
    const struct {
        const char* prompt;
        std::function<void(Planet&, ConLib*, Player*)> open;
        std::string typedBefore;  // answers of the prompts before this one
        std::initializer_list<unsigned> keysAfter;
        int column, row, rightFrame;
    } cases[] = {
        {"hangar amount", [](Planet& p, ConLib* c, Player* pl) { p.BuyFuel(c, pl); }, "", {'N'}, 20, 12, 62},
        {"market product", [](Planet& p, ConLib* c, Player* pl) { p.Buy(c, pl); }, "", {'X'}, 20, 12, 62},
        {"market count to buy", [](Planet& p, ConLib* c, Player* pl) { p.Buy(c, pl); }, "1\n", {'X'}, 39, 12, 62},
        {"market count to sell", [](Planet& p, ConLib* c, Player* pl) { p.Sell(c, pl); }, "1\n", {'X'}, 40, 12, 62},
        {"dock part kind", [](Planet&, ConLib* c, Player* pl) { Planet::ChangeShipPart(c, pl, 0); }, "", {'X'}, 27, 16,
         55},
        {"dock model number", [](Planet&, ConLib* c, Player* pl) { Planet::ChangeShipPart(c, pl, 0); }, "1\n", {'X'},
         17, 12, 64},
    };
    for (const auto& c : cases) {
        HeadlessConsole console;
        Player player;
        Planet planet(0, 0);
        std::size_t longest = 0;
        bool frameIntact = true;
        console.screen->onPresent = [&](const HeadlessBackend& b) {
            const COORD cursor = b.shownCursor();
            if (!b.cursorShown() || cursor.Y != c.row || cursor.X < c.column) return;
            const std::string row = b.row(c.row);
            longest = std::max(longest, row.find_first_not_of('9', static_cast<std::size_t>(c.column)) -
                                            static_cast<std::size_t>(c.column));
            frameIntact = frameIntact && row[static_cast<std::size_t>(c.rightFrame)] == '*' &&
                          row.find('9', static_cast<std::size_t>(c.rightFrame)) == std::string::npos;
        };
        console.screen->pushText(c.typedBefore + flood + "\n");
        console.screen->pushKeys(c.keysAfter);
        c.open(planet, &console.con, &player);
        EXPECT_TRUE(console.screen->scriptEmpty()) << c.prompt;
        EXPECT_TRUE(frameIntact) << c.prompt;
        EXPECT_EQ(longest, static_cast<std::size_t>(c.rightFrame - c.column)) << c.prompt;
    }
}
