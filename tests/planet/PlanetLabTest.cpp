// The laboratory: what each research does to the parts, the credits and the
// ship, the coordinates of the other dimension, the screen's options and
// keys, and the money victory a research can bring.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "console/KeyDecoder.h"
#include "console/Random.h"
#include "planet/Planet.h"
#include "player/Player.h"

namespace {

struct LabTest : ::testing::Test {
    HeadlessConsole console;
    Player player;
    Planet planet{0, 0};
    std::string presented;  // every screen shown, one after the other

    LabTest() {
        rng::srand(3);
        planet.setRarity(true);
        console.screen->onPresent = [this](const HeadlessBackend& s) { presented += words(s.dump()); };
    }
    // The text of a screen with frames and runs of blanks reduced to single
    // blanks, so wrapped window lines read as one text.
    static std::string words(const std::string& screen) {
        std::string text;
        for (char ch : screen) {
            const char c = (ch == '*' || ch == '\n') ? ' ' : ch;
            if (c == ' ' && (text.empty() || text.back() == ' ')) continue;
            text.push_back(c);
        }
        return text;
    }
    bool wasPresented(const std::string& text) const { return presented.find(text) != std::string::npos; }
    // One research, its message closed with "E".
    void research(short kind, std::vector<unsigned> keysBefore = {}) {
        presented.clear();
        for (unsigned key : keysBefore) console.screen->pushKey(key);
        console.screen->pushKey('E');
        Planet::resarch(&console.con, &player, kind);
        EXPECT_TRUE(console.screen->scriptEmpty());
    }
};

}  // namespace

TEST_F(LabTest, FifthPartOfAKindFitsItsSuperPart) {
    struct Case {
        const char* name;
        short kind;
        int level;      // research level before
        int held;       // parts of the kind held before
        int fittedRow;  // the part in the kind's slot before
        bool constructs;
        int credited;
    };
    const Case cases[] = {
        {"the fourth hull part is only researched", SLOT_HULL, 3, 2, 0, false, 0},
        {"the fifth hull part: half of LSteel's 30000", SLOT_HULL, 4, 1, 0, true, 15000},
        {"the fifth tank part", SLOT_TANK, 4, 3, 5, true, 15000},
        {"the fifth engine part", SLOT_ENGINE, 4, 1, 13, true, 37500},
        {"the fifth shield part", SLOT_SHIELD, 4, 1, 13, true, 42500},
        {"the fifth collector part, over a part worth nothing", SLOT_COLLECTOR, 4, 1, 0, true, 0},
        {"the fifth weapon part", SLOT_WEAPON, 4, 5, 13, true, 75000},
        {"a later part builds it again for half the super-part", SLOT_ENGINE, 5, 1, 14, true, 3000000},
        {"computer parts fit nothing", ANCIENT_KIND_KNOWLEDGE, 4, 1, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        player.newPlayer(VICTORY_PIRATES);
        if (c.kind < PART_SLOT_COUNT) player.fitPart(c.kind, c.fittedRow);
        player.countMaxHealth();
        player.removeHealth(700);
        const int healthBefore = player.getaHealth();
        player.setaParts(c.kind, c.held);
        player.setResarch(c.kind, c.level);

        research(c.kind);
        EXPECT_EQ(player.getaParts(c.kind), c.held - 1);
        EXPECT_EQ(player.getResarch(c.kind), std::min(c.level + 1, 5));
        EXPECT_EQ(player.getCredits(), 10000 + c.credited);
        if (c.kind < PART_SLOT_COUNT) {
            EXPECT_EQ(player.getPartId(c.kind), c.constructs ? SUPER_PART_ROW : c.fittedRow);
        }
        if (c.constructs) {
            const ShipPart* super = catalogPart(c.kind, SUPER_PART_ROW);
            const int maxHealth = 1400 - catalogPart(c.kind, 0)->getHealth() + super->getHealth();
            EXPECT_EQ(player.getMaxHealth(), maxHealth);
            EXPECT_EQ(player.getaHealth(), std::min(healthBefore + super->getHealth(), maxHealth));
            EXPECT_TRUE(wasPresented("Sciencist: \"After long resarch we constructed"));
        } else {
            EXPECT_EQ(player.getaHealth(), healthBefore);
        }
        EXPECT_EQ(player.getaShield(), c.kind == SLOT_SHIELD && c.constructs ? 2000 : 0);
        EXPECT_EQ(player.getaEnergy(), c.kind == SLOT_COLLECTOR && c.constructs ? 10000 : 0);
        EXPECT_EQ(wasPresented("we need more"), c.level < 4);
    }
}

TEST_F(LabTest, ComputerPartsRevealTheDimensionWithSigns) {
    struct Case {
        int dimX, dimY;
        const char* shown;
    };
    const Case cases[] = {
        {32768, -5, "SectorX: -32768, SectorY: -5 Position X and Y"},
        {32767, 0, "SectorX: 32767, SectorY: 0 Position X and Y"},
        {50, -1, "SectorX: 50, SectorY: -1 Position X and Y"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        player.setDimX(c.dimX);
        player.setDimY(c.dimY);
        player.setaParts(ANCIENT_KIND_KNOWLEDGE, 2);
        player.setResarch(ANCIENT_KIND_KNOWLEDGE, 4);
        research(ANCIENT_KIND_KNOWLEDGE);
        EXPECT_TRUE(wasPresented(c.shown));
        EXPECT_TRUE(wasPresented("It have following coordinates:"));
        EXPECT_EQ(player.getResarch(ANCIENT_KIND_KNOWLEDGE), 5);
        EXPECT_EQ(player.getaParts(ANCIENT_KIND_KNOWLEDGE), 1);
    }
    // With no part left nothing is researched.
    player.setaParts(ANCIENT_KIND_KNOWLEDGE, 0);
    player.setResarch(ANCIENT_KIND_KNOWLEDGE, 2);
    Planet::resarch(&console.con, &player, ANCIENT_KIND_KNOWLEDGE);
    Planet::resarch(&console.con, &player, 7);
    EXPECT_EQ(player.getResarch(ANCIENT_KIND_KNOWLEDGE), 2);
}

TEST_F(LabTest, ScreenOffersTheKindsHeldAndIgnoresTheOthers) {
    struct Case {
        const char* name;
        std::vector<int> held;
        std::vector<const char*> rows;  // from row 2
    };
    const Case cases[] = {
        {"nothing held", {},
         {"Sciencist: \"You don't have anything that can interest us. Come back if you",
          "found something interesting to resarch\"", "", "E - Back"}},
        {"only computer parts", {6},
         {"Sciencist: \"Do you want to do some resarch?\"", "",
          "7 - I have strange computer parts. Can you restore info from it?", "E - No this time, sorry."}},
        {"hull and weapon parts", {0, 5},
         {"Sciencist: \"Do you want to do some resarch?\"", "", "1 - Yes, i have some ancient hull parts.",
          "6 - I want to build great and powerful weapon!", "E - No this time, sorry."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        player.newPlayer(VICTORY_PIRATES);
        for (int kind : c.held) player.setaParts(kind, 1);
        // Keys of kinds not held, and others, change nothing; "E" goes back to the panel.
        console.screen->pushKeys({'2', '3', '4', '5', '8', '0', 'Q'});
        EXPECT_THROW(planet.Lab(&console.con, &player, nullptr), ScriptExhausted);
        EXPECT_EQ(console.screen->row(0).substr(35, 10), "LABORATORY");
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            const std::string row = console.screen->row(static_cast<int>(2 + i)).substr(2, 76);
            EXPECT_EQ(row.substr(0, row.find_last_not_of(' ') + 1), c.rows[i]) << i;
        }
        EXPECT_EQ(console.screen->bgAt(40, 12), 2u);
        EXPECT_EQ(console.screen->fgAt(2, 2), 0u);
        for (int kind = 0; kind < ANCIENT_KINDS; ++kind) EXPECT_EQ(player.getResarch(kind), 0);
        console.screen->pushKey('E');
        planet.Lab(&console.con, &player, nullptr);
        EXPECT_EQ(gridText(console.con, 2, 2, 12), "Planet name:");
    }
}

TEST_F(LabTest, PanelOpensTheLaboratoryOnRarePlanetsOnly) {
    // The message waits for "E"; then the laboratory, and after "E" the panel, come back.
    console.screen->pushKeys({'L', '1', 'Q', 'E', 'E', 'E'});
    player.setaParts(SLOT_HULL, 1);
    EXPECT_EQ(planet.ShowPanel(&console.con, &player, nullptr), 0);
    EXPECT_TRUE(console.screen->scriptEmpty());
    EXPECT_TRUE(wasPresented("LABORATORY"));
    EXPECT_TRUE(wasPresented("we need more of it to construct whole ancient hull"));
    EXPECT_EQ(player.getResarch(SLOT_HULL), 1);
    EXPECT_EQ(player.getaParts(SLOT_HULL), 0);

    planet.setRarity(false);
    presented.clear();
    console.screen->pushKeys({'L', 'E'});
    EXPECT_EQ(planet.ShowPanel(&console.con, &player, nullptr), 0);
    EXPECT_FALSE(wasPresented("LABORATORY"));
}

TEST_F(LabTest, ResearchCreditCanWinTheMoneyGoal) {
    struct Case {
        int creditsBefore;
        bool wins;
    };
    // The old hull, LSteel, brings 15000.
    for (const Case& c : {Case{984999, false}, Case{985000, true}}) {
        SCOPED_TRACE(c.creditsBefore);
        player.newPlayer(VICTORY_CASH);
        player.addCredits(c.creditsBefore - player.getCredits());
        player.setaParts(SLOT_HULL, 1);
        player.setResarch(SLOT_HULL, 4);
        research(SLOT_HULL, c.wins ? std::vector<unsigned>{keycode::Enter} : std::vector<unsigned>{});
        EXPECT_EQ(player.getIsWinner(), c.wins);
        const std::size_t window = presented.find("YOU WON THE GAME");
        const std::size_t message = presented.find("After long resarch we constructed ancient ship hull!");
        ASSERT_NE(message, std::string::npos);
        if (c.wins) {
            ASSERT_NE(window, std::string::npos);
            EXPECT_LT(window, message);
        } else {
            EXPECT_EQ(window, std::string::npos);
        }
    }
}
