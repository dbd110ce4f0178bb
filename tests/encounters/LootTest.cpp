// Loot after a won fight: what a taking moves, and each refusal.

#include <gtest/gtest.h>

#include "EncounterSupport.h"
#include "screen/KeyCodes.h"

TEST(Loot, TakingMovesWholePositiveCountsThatFitTheHold) {
    struct Case {
        const char* product;
        const char* count;  // null: not asked
        unsigned answer;    // 0: no question
        int taken;          // units of the good moved
        const char* refusal;
    };
    // The hold: 40 of 100 taken. The enemy: 10 of product 1, 70 of product 5.
    const Case cases[] = {
        {"1", "10", 'Y', 10, nullptr},  // the whole stock
        {"5", "60", 'Y', 60, nullptr},  // fills the hold exactly
        {"5", "61", 'Y', 0, "You don't have enought free space!"},
        {"1", "11", 0, 0, "Not enought product on enemy ship!"},
        {"5", "10", 'N', 0, nullptr},
        {"5", "0", 0, 0, "You typed wrong amount!"},  // negative counts and text: the bad-input table
        {"0", nullptr, 0, 0, "You typed wrong product number!"},
        {"16", nullptr, 0, 0, "You typed wrong product number!"},
    };
    for (const Case& c : cases) {
        RecordingConsole console;
        Player player;
        player.addTrade(2, 40);
        player.countShipWeight();
        EnemyCargo cargo{};
        cargo[0] = 10;
        cargo[4] = 70;
        const EnemyCargo before = cargo;
        console.screen->pushKeys({keycode::Enter, 'T'});
        console.screen->pushText(std::string(c.product) + "\n");
        if (c.count != nullptr) console.screen->pushText(std::string(c.count) + "\n");
        if (c.answer != 0) console.screen->pushKey(c.answer);
        console.screen->pushKeys({'X', 'E'});
        Event().grabEnemyTrade(&console.con, &player, cargo);

        const int good = c.product[0] == '1' ? 0 : 4;
        EXPECT_EQ(player.getTrade(good), (good == 2 ? 40 : 0) + c.taken) << c.product << " " << c.count;
        EXPECT_EQ(cargo[good], before[good] - c.taken);
        EXPECT_EQ(player.getaWeight(), 40 + c.taken);
        if (c.refusal != nullptr) {
            EXPECT_TRUE(console.wasShown(c.refusal)) << c.refusal;
        }
        EXPECT_TRUE(console.screen->scriptEmpty());
        EXPECT_EQ(player.getCredits(), 10000);  // looting is free
    }
}
