// The board computer: its commands and their edge cases, cheat mode, what a
// jump leads to, the terminal's scrolling, and the money victory from the map.

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "ConsoleText.h"
#include "TestSupport.h"
#include "console/KeyDecoder.h"
#include "console/Random.h"
#include "galaxy/Encounters.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

constexpr const char* GALAXY = "Orion";
constexpr const char* UNKNOWN = "\n> unknown command\n";
constexpr short DIM_X = 700;
constexpr short DIM_Y = -900;

class RecordingEncounters : public Encounters {
public:
    void meteors(ConLib*, Player*, unsigned long) override {}
    void randomBattle(ConLib*, Player*) override {}
    bool bossFight(ConLib*, Player*) override { return false; }
    void anotherDimension(ConLib*, Player* p) override {
        ++visits;
        energyThere = p->getaEnergy();
    }
    int visits = 0;
    int energyThere = -1;
};

struct BoardComputerTest : ::testing::Test {
    ScopedWorkDir dir;
    HeadlessConsole console;
    Player player;
    Sector sector{0, 0, &player, GALAXY};
    std::string presented;  // every screen shown, one after the other

    BoardComputerTest() {
        rng::srand(5);
        sector.setNumber(0);
        player.setDimX(DIM_X);
        player.setDimY(DIM_Y);
        console.screen->onPresent = [this](const HeadlessBackend& s) { presented += s.dump(); };
    }
    bool wasPresented(const std::string& text) const { return presented.find(text) != std::string::npos; }

    // Runs the lines one after the other on a cleared terminal screen; false
    // as soon as one closes the console.
    bool run(const std::vector<const char*>& lines, bool& cheat) {
        console.con.Clear();
        const ScopedScrolling terminal(&console.con, true);
        for (const char* line : lines)
            if (!sector.proceedCommand(line, &console.con, &cheat, nullptr)) return false;
        return true;
    }
    std::string shown() const { return consoletext::shown(console.con); }

    // A galaxy file whose records are all blank (unreadable) but these
    // sectors, each empty or with one ordinary planet on the cell given.
    struct SectorSpec {
        int x, y;
        bool planet;
        COORD cell;
    };
    static void makeGalaxy(std::initializer_list<SectorSpec> sectors) {
        std::ofstream(galaxy::fileName(GALAXY), std::ios::binary);
        std::filesystem::resize_file(galaxy::fileName(GALAXY), GALAXY_FILE_SIZE);
        for (const SectorSpec& spec : sectors) {
            Sector made(spec.x, spec.y, nullptr, GALAXY);
            made.setNumber(spec.planet ? 1 : 0);
            if (spec.planet) {
                made.getPlanet(0)->setrX(spec.cell.X);
                made.getPlanet(0)->setrY(spec.cell.Y);
                made.getPlanet(0)->setRarity(false);
            }
            ASSERT_TRUE(made.save(nullptr, false));
        }
    }
    // Opens the console, types the lines, then presses the keys.
    void openConsole(const std::vector<const char*>& lines, const std::vector<unsigned>& keys = {}) {
        for (const char* line : lines) console.screen->pushText(std::string(line) + "\n");
        for (unsigned key : keys) console.screen->pushKey(key);
        sector.boardComputer(&console.con, nullptr);
    }
};

}  // namespace

TEST_F(BoardComputerTest, CommandsAndTheirEdgeCases) {
    struct Case {
        const char* name;
        bool cheat;
        std::vector<const char*> lines;
        std::string output;
        bool staysOpen;
        std::function<void(const Player&, bool cheat)> check;
    };
    const std::string exitHelp = "\n> exit\n\n> Quit board computer console and go back to galaxy view\n";
    const std::string notPrepared =
        "\n> Hyperspace jump not prepared!\n\n> First use function prepHyperJump;a1;a2;a3;a4 to prepare it!\n";
    const Case cases[] = {
        {"the first line does nothing", false, {"NULL"}, "", true, {}},
        {"exit closes", false, {"exit"}, "", false, {}},
        {"three jump arguments do nothing", false, {"prepHyperJump;1;2;3"}, "", true,
         [](const Player& p, bool) { EXPECT_FALSE(p.getHyperJump()); }},
        {"names are matched with their case", false, {"HELP", "Exit"}, std::string(UNKNOWN) + UNKNOWN, true, {}},
        {"a line of separators has no command", false, {";", ";;;"}, std::string(UNKNOWN) + UNKNOWN, true, {}},
        {"separators around the pieces count once", false, {";;help;;exit;"}, exitHelp, true, {}},
        {"help of a word that is no command", false, {"help;addFuel"}, UNKNOWN, true, {}},
        {"help with nothing after the separator", false, {"help;"},
         "\n> Commands:\n\n> clear\n\n> exit\n\n> hyperJump\n\n> hyperJumpInfo\n\n> prepHyperJump;a1;a2;a3;a4\n"
         "\n> Type help;commandName to more info\n",
         true, {}},
        {"jumping and its info without a preparation", false, {"hyperJump", "hyperJumpInfo"},
         notPrepared + "\n> Hyperspace jump not prepared!\n", true, {}},
        {"cheats are unknown before the code", false, {"addFuel;100", "dimensionCoord", "setPart;1;1"},
         std::string(UNKNOWN) + UNKNOWN + UNKNOWN, true,
         [](const Player& p, bool cheat) {
             EXPECT_FALSE(cheat);
             EXPECT_EQ(p.getaParts(1), 0);
         }},
        {"a wrong or missing code is silent", false,
         {"enableTurboAcceleration;61358025", "enableTurboAcceleration", "enableTurboAcceleration;613580240"}, "",
         true, [](const Player&, bool cheat) { EXPECT_FALSE(cheat); }},
        {"the code unlocks the cheats; n is shown whatever the tank took", false,
         {"enableTurboAcceleration;61358024", "addFuel;100"},
         "\n> Cheat mode enabled!\n\n> Player added 100l fuel!\n", true,
         [](const Player& p, bool cheat) {
             EXPECT_TRUE(cheat);
             EXPECT_EQ(p.getaFuel(), 1000);
         }},
        {"setPart outside the kinds", true, {"setPart;7;1", "setPart;-1;1"},
         "\n> Wrong part typed!\n\n> Wrong part typed!\n", true, {}},
        {"setPart beyond five is confirmed but not stored", true, {"setPart;2;9", "setPart;6;5"},
         "\n> Set player part 2 to 9\n\n> Set player part 6 to 5\n", true,
         [](const Player& p, bool) {
             EXPECT_EQ(p.getaParts(2), 0);
             EXPECT_EQ(p.getaParts(6), 5);
         }},
        {"a missing amount does nothing", true, {"setPart;2", "addCredits", "removeFuel;"}, "", true,
         [](const Player& p, bool) { EXPECT_EQ(p.getaFuel(), 1000); }},
        {"the other dimension's coordinates", true, {"dimensionCoord"},
         "\n> Another dimension for this galaxy coordinates are: \n\n> Sector X: 700 Sector Y: -900\n", true, {}},
        {"amounts at the 32-bit limits saturate", true,
         {"addCredits;2147483647", "removeHealth;-2147483648", "addAmmo;99999999999", "addAmmo;1"},
         "\n> Player added 2147483647C!\n\n> Player removed -2147483648pkt health!\n"
         "\n> Player added 2147483647 ammo!\n\n> Player added 1 ammo!\n",
         true,
         [](const Player& p, bool) {
             EXPECT_EQ(p.getCredits(), INT_MAX);
             EXPECT_EQ(p.getAmmo(), INT_MAX);
             EXPECT_EQ(p.getaWeight(), 0);  // far too heavy to count
         }},
        {"amounts below the 32-bit range", true, {"removeCredits;2147483647", "addCredits;-99999999999"},
         "\n> Player removed 2147483647C!\n\n> Player added -2147483648C!\n", true,
         [](const Player& p, bool) { EXPECT_EQ(p.getCredits(), 10000 + INT_MIN); }},
        {"weight and energy", true, {"setWeight;50", "addEnergy;5"},
         "\n> Player weight set to 50!\n\n> Player added 5W energy!\n", true,
         [](const Player& p, bool) { EXPECT_EQ(p.getaWeight(), 50); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        player.newPlayer(0);
        player.setDimX(DIM_X);
        player.setDimY(DIM_Y);
        bool cheat = c.cheat;
        EXPECT_EQ(run(c.lines, cheat), c.staysOpen);
        EXPECT_EQ(shown(), consoletext::asShown(c.output));
        if (c.check) c.check(player, cheat);
    }
}

TEST_F(BoardComputerTest, SymbolicArgumentsReadTheShipsSector) {
    sector.setSecX(7);
    sector.setSecY(-3);
    struct Case {
        const char* argument;
        int withPlanets;
        int withoutPlanets;
    };
    // The ship stands at (39, 12); the planet at (20, 9) is the nearer one.
    const Case cases[] = {{"@Px", 20, 0}, {"@Py", 9, 0}, {"@Sx", 7, 7}, {"@Sy", -3, -3},
                          {"@px", 0, 0},  {"Px", 0, 0},  {"", 0, 0},    {"@Px;", 0, 0}};
    for (const Case& c : cases) {
        sector.setNumber(0);
        EXPECT_EQ(sector.decodeArgument(c.argument), c.withoutPlanets) << c.argument;
        sector.setNumber(2);
        sector.getPlanet(0)->setrX(60);
        sector.getPlanet(0)->setrY(3);
        sector.getPlanet(1)->setrX(20);
        sector.getPlanet(1)->setrY(9);
        EXPECT_EQ(sector.decodeArgument(c.argument), c.withPlanets) << c.argument;
    }
    EXPECT_EQ(sector.decodeArgument(nullptr), 0);
}

TEST_F(BoardComputerTest, JumpArgumentsAreNumbersElseSymbols) {
    player.changeWorldCoord(true, true, 7);
    player.changeWorldCoord(false, false, 3);
    sector.setSecX(7);
    sector.setSecY(-3);
    struct Case {
        const char* line;
        bool prepared;
        int sectorX, sectorY;
    };
    const Case cases[] = {
        // Without planets the symbols give cell (0, 0): a collision.
        {"prepHyperJump;@Sx;@Sy;@Px;@Py", false, 0, 0},
        {"prepHyperJump;@Sx;@Sy;5;6", true, 7, -3},
        {"prepHyperJump;-5;+12;10abc;6", true, -5, 12},
        {"prepHyperJump;0;@Sy;0x9;1", false, 0, 0},  // "0x9" reads as 0, a symbol of nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        player.setHyperJump(false);
        bool cheat = false;
        EXPECT_TRUE(run({c.line}, cheat));
        EXPECT_EQ(player.getHyperJump(), c.prepared);
        if (c.prepared)
            EXPECT_EQ(player.getHyperJumpSectorCoord(),
                      (COORD{static_cast<short>(c.sectorX), static_cast<short>(c.sectorY)}));
        else
            EXPECT_NE(shown().find("colision detected!"), std::string::npos);
    }
}

TEST_F(BoardComputerTest, HyperJumpTwiceAfterOnePreparation) {
    bool cheat = false;
    // Too little energy: the first attempt uses up the preparation.
    ASSERT_TRUE(run({"prepHyperJump;1;0;39;12"}, cheat));
    EXPECT_TRUE(run({"hyperJump", "hyperJump"}, cheat));
    EXPECT_EQ(shown(), consoletext::asShown("\n> Too low energy level!\n\n> Hyperspace jump not prepared!\n\n"
                                            "> First use function prepHyperJump;a1;a2;a3;a4 to prepare it!\n"));
    // A jump that took place closes the console; the next opening has nothing prepared.
    makeGalaxy({{1, 0, false, {}}});
    player.fitPart(SLOT_COLLECTOR, 1);
    player.addEnergy(100);
    openConsole({"prepHyperJump;1;0;39;12", "hyperJump hyperJump"});
    EXPECT_EQ(player.getWorldX(), 1);
    EXPECT_EQ(player.getaEnergy(), 100 - 38);
    // The rest of the line was dropped with the closing command: what is
    // read next is typed anew.
    console.screen->pushText("fresh\n");
    EXPECT_EQ(console.con.readWord(), "fresh");
    openConsole({"hyperJump", "exit"});
    EXPECT_TRUE(wasPresented("> First use function prepHyperJump;a1;a2;a3;a4 to prepare it!"));
}

TEST_F(BoardComputerTest, WhatAJumpLeadsTo) {
    struct Case {
        const char* name;
        const char* target;
        std::vector<unsigned> keys;  // for the screens that open after the jump
        bool took;                             // the jump took place and the console closed
        int worldX;
        bool landed;  // the planet panel opened
    };
    const Case cases[] = {
        {"onto a planet: its panel opens, the ship leaves it", "prepHyperJump;1;0;40;12", {'E'}, true, 1, true},
        {"into empty space", "prepHyperJump;-1;0;40;12", {}, true, -1, false},
        {"into a sector that cannot be read", "prepHyperJump;2;0;40;12", {'X'}, false, 0, false},
    };
    bool panelScrolled = false;
    console.screen->onPresent = [&](const HeadlessBackend& s) {
        presented += s.dump();
        if (s.dump().find("OPTIONS") != std::string::npos) panelScrolled = panelScrolled || console.con.scrolling();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        makeGalaxy({{0, 0, true, {10, 10}}, {1, 0, true, {40, 12}}, {-1, 0, false, {}}});
        sector.load(galaxy::sectorNumber(0, 0));
        sector.getPlanet(0)->setrX(11);  // changed in memory only: the sector left is not saved
        player.newPlayer(0);
        player.fitPart(SLOT_COLLECTOR, 1);
        player.addEnergy(100);
        presented.clear();
        if (c.took)
            openConsole({c.target, "hyperJump"}, c.keys);
        else
            EXPECT_THROW(openConsole({c.target, "hyperJump"}, c.keys), ScriptExhausted);
        EXPECT_EQ(player.getWorldX(), c.worldX);
        EXPECT_EQ(sector.getSecX(), c.worldX);
        EXPECT_EQ(wasPresented("OPTIONS"), c.landed);
        EXPECT_FALSE(panelScrolled);
        EXPECT_FALSE(console.con.scrolling());
        if (c.landed) {
            EXPECT_EQ(std::abs(player.getrX() - 40) + std::abs(player.getrY() - 12), 1);
        }
        if (c.took) {
            EXPECT_FALSE(player.getHyperJump());
            EXPECT_EQ(console.con.grid().at(40, 12).bg, 4u);  // the map is back
            Sector left(0, 0, nullptr, GALAXY);
            ASSERT_TRUE(left.load(galaxy::sectorNumber(0, 0)));
            EXPECT_EQ(left.getPlanet(0)->getrX(), 10);
        } else {
            // Nothing happened: the preparation and the energy are kept.
            EXPECT_TRUE(wasPresented("Blad podczas odczytu pliku"));
            EXPECT_TRUE(player.getHyperJump());
            EXPECT_EQ(player.getaEnergy(), 100);
            EXPECT_EQ(player.getrPos(), (COORD{39, 12}));
        }
        std::filesystem::remove(galaxy::fileName(GALAXY));
    }
}

TEST_F(BoardComputerTest, JumpToTheOtherDimensionStartsItsEvent) {
    player.fitPart(SLOT_COLLECTOR, 14);
    player.addEnergy(10000);
    openConsole({"prepHyperJump;700;-900;1;1", "hyperJump"});  // without encounters: nothing more
    EXPECT_EQ(player.getaEnergy(), 0);
    RecordingEncounters encounters;
    sector.setEncounters(&encounters);
    player.addEnergy(10000);
    openConsole({"prepHyperJump;700;-900;99;-4", "hyperJump"});
    EXPECT_EQ(encounters.visits, 1);
    EXPECT_EQ(encounters.energyThere, 0);
    EXPECT_EQ(player.getaSectorNumber(), 5101);
    EXPECT_EQ(player.getrPos(), (COORD{39, 12}));
}

TEST_F(BoardComputerTest, OutputScrollsAndTheCommandStaysOnThePromptRow) {
    console.screen->pushText("help;prepHyperJump\n");
    EXPECT_THROW(sector.boardComputer(&console.con, nullptr), ScriptExhausted);
    const HeadlessBackend& screen = *console.screen;
    EXPECT_EQ(consoletext::trimRight(screen.row(20)),
              "> Warning: @Px and @Py return coord of nearest planet in actual sector");
    EXPECT_EQ(consoletext::trimRight(screen.row(22)), "> not in destination sector!");
    EXPECT_EQ(consoletext::trimRight(screen.row(23)), "");
    EXPECT_EQ(screen.row(24), "> " + std::string(78, ' '));
    EXPECT_EQ(screen.shownCursor(), (COORD{2, 24}));
    EXPECT_EQ(screen.fgAt(2, 22), 2u);
    EXPECT_EQ(screen.bgAt(70, 24), 0u);
    EXPECT_FALSE(console.con.scrolling());  // left with the console

    // A word longer than the row is cut at its end and read as typed.
    console.screen->pushText(std::string(100, 'x') + "\n");
    EXPECT_THROW(sector.boardComputer(&console.con, nullptr), ScriptExhausted);
    EXPECT_EQ(screen.row(2), "> " + std::string(78, 'x'));
    EXPECT_EQ(consoletext::trimRight(screen.row(4)), "> unknown command");
}

TEST_F(BoardComputerTest, MoneyVictoryFromAddCredits) {
    struct Case {
        const char* name;
        short goal;
        bool wonBefore;
        const char* line;
        bool announced;  // the victory window showed and the console closed
    };
    const Case cases[] = {
        {"one short of the goal", VICTORY_CASH, false, "addCredits;989999", false},
        {"just past the goal", VICTORY_CASH, false, "addCredits;990000", true},
        {"saturated at the 32-bit limit", VICTORY_CASH, false, "addCredits;99999999999", true},
        {"another goal", VICTORY_PIRATES, false, "addCredits;990000", false},
        {"already won", VICTORY_CASH, true, "addCredits;990000", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        player.newPlayer(c.goal);
        player.setIsWinner(c.wonBefore);
        HeadlessConsole local;
        std::string window;
        local.screen->onPresent = [&](const HeadlessBackend& s) { window += s.dump(); };
        local.screen->pushKey(keycode::Enter);  // closes the window, when one comes
        local.con.setScrolling(true);
        bool cheat = true;
        EXPECT_EQ(sector.proceedCommand(c.line, &local.con, &cheat, nullptr), !c.announced);
        EXPECT_EQ(local.screen->scriptEmpty(), c.announced);
        EXPECT_EQ(window.find("YOU WON THE GAME") != std::string::npos, c.announced);
        // The confirmation is printed first and stays beside the window.
        EXPECT_EQ(consoletext::trimRight(local.con.grid().row(1)).rfind("> Player added ", 0), 0u);
        EXPECT_EQ(player.getIsWinner(), c.announced || c.wonBefore);
    }
}

TEST_F(BoardComputerTest, MoneyGoalWonFromTheGalaxyView) {
    player.newPlayer(VICTORY_CASH);
    console.screen->pushText("`");
    console.screen->pushText("enableTurboAcceleration;61358024 addCredits;990000\n");
    console.screen->pushKey(keycode::Enter);  // the victory window
    console.screen->pushKeys({'J', 'X', keycode::Escape});
    sector.ShowMap(&console.con);
    EXPECT_TRUE(console.screen->scriptEmpty());
    EXPECT_TRUE(player.getIsWinner());
    EXPECT_EQ(player.getCredits(), 1000000);
    const std::size_t won = presented.find("YOU WON THE GAME");
    // The mission window is narrow: its text wraps after "haven't".
    const std::size_t mission = presented.find("You already won! You haven't");
    ASSERT_NE(won, std::string::npos);
    ASSERT_NE(mission, std::string::npos);
    EXPECT_LT(won, mission);
    EXPECT_EQ(console.screen->charAt(39, 12), 'H');
}
