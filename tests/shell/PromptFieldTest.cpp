// Every typed prompt of the game keeps its typing inside its box.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "GalaxyFixture.h"
#include "TestSupport.h"
#include "encounters/Event.h"
#include "planet/Planet.h"
#include "player/Player.h"

// A field takes exactly the cells from its input position to the box's right
// frame: a long answer fills it to the frame and never reaches or passes it.
TEST(PromptFields, TypingFillsTheFieldUpToTheFrameAndNoFurther) {
    ScopedWorkDir dir;  // a name that is taken would make a galaxy
    struct Scene {
        HeadlessGame g;
        Planet planet{0, 0};
        EnemyCargo cargo{};
        ConLib* con() { return g.con(); }
        Player* player() { return &g.game.getPlayer(); }
    };
    const std::string flood(300, '9');
    const struct {
        const char* prompt;
        std::function<void(Scene&)> open;
        std::string typedBefore;  // answers of the prompts before this one
        std::initializer_list<unsigned> keysAfter;
        int column, row, rightFrame;
    } cases[] = {
        {"galaxy name", [](Scene& s) { s.g.game.newGame(s.con()); }, "", {' '}, 20, 13, 62},  // refused: too long
        {"load name", [](Scene& s) { s.g.game.load(s.con()); }, "", {}, 20, 12, 62},
        {"hangar amount", [](Scene& s) { s.planet.BuyFuel(s.con(), s.player()); }, "", {'N'}, 20, 12, 62},
        {"market product", [](Scene& s) { s.planet.Buy(s.con(), s.player()); }, "", {'X'}, 20, 12, 62},
        {"market count to buy", [](Scene& s) { s.planet.Buy(s.con(), s.player()); }, "1\n", {'X'}, 39, 12, 62},
        {"market count to sell", [](Scene& s) { s.planet.Sell(s.con(), s.player()); }, "1\n", {'X'}, 40, 12, 62},
        {"dock part kind", [](Scene& s) { Planet::ChangeShipPart(s.con(), s.player(), 0); }, "", {'X'}, 27, 16, 55},
        {"dock model number", [](Scene& s) { Planet::ChangeShipPart(s.con(), s.player(), 0); }, "1\n", {'X'}, 17, 12,
         64},
        {"loot product", [](Scene& s) { Event().takeGood(s.con(), s.player(), s.cargo); }, "", {'X'}, 20, 13, 62},
        {"loot count", [](Scene& s) { Event().takeGood(s.con(), s.player(), s.cargo); }, "1\n", {'X'}, 40, 13, 62},
    };
    for (const auto& c : cases) {
        Scene scene;
        scene.cargo[0] = 10;
        std::size_t longest = 0;
        bool frameIntact = true;
        scene.g.screen->onPresent = [&](const HeadlessBackend& b) {
            const Coord cursor = b.shownCursor();
            if (!b.cursorShown() || cursor.Y != c.row || cursor.X < c.column) return;
            const std::string row = b.row(c.row);
            longest = std::max(longest, row.find_first_not_of('9', static_cast<std::size_t>(c.column)) -
                                            static_cast<std::size_t>(c.column));
            frameIntact = frameIntact && row[static_cast<std::size_t>(c.rightFrame)] == '*' &&
                          row.find('9', static_cast<std::size_t>(c.rightFrame)) == std::string::npos;
        };
        scene.g.screen->pushText(c.typedBefore + flood + "\n");
        scene.g.screen->pushKeys(c.keysAfter);
        c.open(scene);
        EXPECT_TRUE(scene.g.screen->scriptEmpty()) << c.prompt;
        EXPECT_TRUE(frameIntact) << c.prompt;
        EXPECT_EQ(longest, static_cast<std::size_t>(c.rightFrame - c.column)) << c.prompt;
    }
}
