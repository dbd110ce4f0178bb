// The laboratory: what a research does to the parts, the credits and the
// ship, the other dimension's coordinates, the screen's options and keys,
// and the money victory a research can bring.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ConsoleText.h"
#include "TestSupport.h"
#include "screen/KeyCodes.h"
#include "catalog/Random.h"
#include "planet/Planet.h"
#include "player/Player.h"

namespace {

struct LabTest : ::testing::Test {
    HeadlessConsole console;
    Player player;
    Planet planet{0, 0};
    std::string presented;  // every screen shown, frames and runs of blanks as one blank

    LabTest() {
        rng::srand(3);
        planet.setRarity(true);
        console.screen->onPresent = [this](const HeadlessBackend& s) {
            for (char ch : s.dump()) {
                const char c = (ch == '*' || ch == '\n') ? ' ' : ch;
                if (c != ' ' || (!presented.empty() && presented.back() != ' ')) presented.push_back(c);
            }
        };
    }
    std::size_t found(const char* text) const { return presented.find(text); }
    // One research; its message is closed with "E" after the keys given.
    void research(short kind, std::vector<unsigned> keys = {}) {
        presented.clear();
        keys.push_back('E');
        for (unsigned key : keys) console.screen->pushKey(key);
        Planet::resarch(&console.con, &player, kind);
        EXPECT_TRUE(console.screen->scriptEmpty());
    }
};

}  // namespace

TEST_F(LabTest, FifthPartOfAKindFitsItsSuperPart) {
    struct Case {
        short kind;
        int level;      // research level before
        int fittedRow;  // the part in the kind's slot before
        int credited;   // half the old part's value when the super-part is fitted
    };
    const Case cases[] = {
        {SLOT_HULL, 3, 0, 0},           {SLOT_HULL, 4, 0, 15000},      {SLOT_TANK, 4, 5, 15000},
        {SLOT_ENGINE, 4, 13, 37500},    {SLOT_SHIELD, 4, 13, 42500},   {SLOT_COLLECTOR, 4, 0, 0},
        {SLOT_WEAPON, 4, 13, 75000},    {SLOT_ENGINE, 5, 14, 3000000},  // built again over itself
        {ANCIENT_KIND_KNOWLEDGE, 4, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kind << " at level " << c.level);
        const bool constructs = c.level >= 4 && c.kind < PART_SLOT_COUNT;
        player.newPlayer(VICTORY_PIRATES);
        player.fitPart(c.kind, c.fittedRow);
        player.countMaxHealth();
        player.removeHealth(700);
        const int healthBefore = player.getaHealth();
        player.setaParts(c.kind, 2);
        player.setResarch(c.kind, c.level);
        research(c.kind);
        EXPECT_EQ(player.getaParts(c.kind), 1);
        EXPECT_EQ(player.getResarch(c.kind), std::min(c.level + 1, 5));
        EXPECT_EQ(player.getCredits(), 10000 + c.credited);
        EXPECT_EQ(found("we need more") != std::string::npos, c.level < 4);
        if (c.kind < PART_SLOT_COUNT) {
            EXPECT_EQ(player.getPartId(c.kind), constructs ? SUPER_PART_ROW : c.fittedRow);
        }
        const int superHealth = constructs ? catalogPart(c.kind, SUPER_PART_ROW)->getHealth() : 0;
        const int maxHealth = 1400 - (constructs ? catalogPart(c.kind, 0)->getHealth() : 0) + superHealth;
        if (constructs) {
            EXPECT_EQ(player.getMaxHealth(), maxHealth);
        }
        EXPECT_EQ(player.getaHealth(), std::min(healthBefore + superHealth, maxHealth));
        // The new generator and collector are filled at once.
        EXPECT_EQ(player.getaShield(), constructs && c.kind == SLOT_SHIELD ? 2000 : 0);
        EXPECT_EQ(player.getaEnergy(), constructs && c.kind == SLOT_COLLECTOR ? 10000 : 0);
    }
}

TEST_F(LabTest, ComputerPartsRevealTheDimensionWithSigns) {
    for (auto [x, y, text] : {std::tuple{32768, -5, "SectorX: -32768, SectorY: -5 Position X and Y"},
                              {32767, 0, "SectorX: 32767, SectorY: 0 Position X and Y"}}) {
        player.setDimX(x);
        player.setDimY(y);
        player.setaParts(ANCIENT_KIND_KNOWLEDGE, 1);
        player.setResarch(ANCIENT_KIND_KNOWLEDGE, 4);
        research(ANCIENT_KIND_KNOWLEDGE);
        EXPECT_NE(found(text), std::string::npos) << text;
        EXPECT_EQ(player.getResarch(ANCIENT_KIND_KNOWLEDGE), 5);
    }
    // Without a part nothing is researched.
    Planet::resarch(&console.con, &player, ANCIENT_KIND_KNOWLEDGE);
    Planet::resarch(&console.con, &player, 7);
    EXPECT_EQ(player.getaParts(ANCIENT_KIND_KNOWLEDGE), 0);
}

TEST_F(LabTest, ScreenOffersTheKindsHeldAndIgnoresTheOthers) {
    struct Case {
        std::vector<int> held;
        std::vector<const char*> rows;  // from row 2
    };
    const Case cases[] = {
        {{},
         {"Sciencist: \"You don't have anything that can interest us. Come back if you",
          "found something interesting to resarch\"", "", "E - Back"}},
        {{6},
         {"Sciencist: \"Do you want to do some resarch?\"", "",
          "7 - I have strange computer parts. Can you restore info from it?", "E - No this time, sorry."}},
        {{0, 5},
         {"Sciencist: \"Do you want to do some resarch?\"", "", "1 - Yes, i have some ancient hull parts.",
          "6 - I want to build great and powerful weapon!", "E - No this time, sorry."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows[2]);
        player.newPlayer(VICTORY_PIRATES);
        for (int kind : c.held) player.setaParts(kind, 1);
        console.screen->pushKeys({'L', '2', '3', '4', '5', '8', '0', 'Q'});
        EXPECT_THROW(planet.ShowPanel(&console.con, &player, nullptr), ScriptExhausted);
        EXPECT_EQ(console.screen->row(0).substr(35, 10), "LABORATORY");
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            const std::string row = console.screen->row(static_cast<int>(2 + i)).substr(2, 76);
            EXPECT_EQ(consoletext::trimRight(row), c.rows[i]) << i;
        }
        EXPECT_EQ(console.screen->fgAt(2, 2) * 10 + console.screen->bgAt(40, 12), 2u);  // black on green
        for (int kind = 0; kind < ANCIENT_KINDS; ++kind) EXPECT_EQ(player.getResarch(kind), 0);
    }
    // "E" leaves for the landing panel; on an ordinary planet "L" does nothing.
    console.screen->pushKeys({'L', 'E', 'E'});
    EXPECT_EQ(planet.ShowPanel(&console.con, &player, nullptr), 0);
    planet.setRarity(false);
    presented.clear();
    console.screen->pushKeys({'L', 'E'});
    EXPECT_EQ(planet.ShowPanel(&console.con, &player, nullptr), 0);
    EXPECT_EQ(found("LABORATORY"), std::string::npos);
}

TEST_F(LabTest, ResearchCreditCanWinTheMoneyGoal) {
    for (auto [creditsBefore, wins] : {std::pair{984999, false}, {985000, true}}) {  // the old hull brings 15000
        SCOPED_TRACE(creditsBefore);
        player.newPlayer(VICTORY_CASH);
        player.addCredits(creditsBefore - player.getCredits());
        player.setaParts(SLOT_HULL, 1);
        player.setResarch(SLOT_HULL, 4);
        research(SLOT_HULL, wins ? std::vector<unsigned>{keycode::Enter} : std::vector<unsigned>{});
        EXPECT_EQ(player.getIsWinner(), wins);
        // The victory window comes before the laboratory's message.
        const std::size_t message = found("After long resarch we constructed ancient ship hull!");
        ASSERT_NE(message, std::string::npos);
        EXPECT_EQ(found("YOU WON THE GAME") < message, wins);
    }
}
