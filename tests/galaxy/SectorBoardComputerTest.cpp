// The board computer: its commands and their edge cases, cheat mode, what a
// jump leads to, the terminal's scrolling, and the money victory.

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ConsoleText.h"
#include "TestSupport.h"
#include "screen/KeyCodes.h"
#include "catalog/Random.h"
#include "galaxy/Encounters.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

constexpr const char* GALAXY = "Orion";
constexpr const char* UNKNOWN = "\n> unknown command\n";

class DimensionEncounters : public Encounters {
public:
    void meteors(ConLib*, Player*, unsigned long) override {}
    void randomBattle(ConLib*, Player*) override {}
    bool bossFight(ConLib*, Player*) override { return false; }
    void bossVictory(ConLib*, Player*) override {}
    void anotherDimension(ConLib*, Player*) override { ++visits; }
    int visits = 0;
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
        newPlayer(VICTORY_PIRATES);
        console.screen->onPresent = [this](const HeadlessBackend& s) { presented += s.dump(); };
    }
    void newPlayer(short goal) {
        player.newPlayer(goal);
        player.setDimX(700);
        player.setDimY(-900);
    }
    bool wasPresented(const std::string& text) const { return presented.find(text) != std::string::npos; }
    // Runs the lines on a cleared terminal screen; false once one closes the console.
    bool run(const std::vector<const char*>& lines, bool& cheat) {
        console.con.Clear();
        const ScopedScrolling terminal(&console.con, true);
        for (const char* line : lines)
            if (!sector.proceedCommand(line, &console.con, &cheat, nullptr)) return false;
        return true;
    }
    // Opens the console, types the lines, then presses the keys.
    void openConsole(const std::vector<const char*>& lines, const std::vector<unsigned>& keys = {}) {
        for (const char* line : lines) console.screen->pushText(std::string(line) + "\n");
        for (unsigned key : keys) console.screen->pushKey(key);
        sector.boardComputer(&console.con, nullptr);
    }
    // A galaxy file of unreadable blank records except sector (0, 0) with a
    // planet at (10, 10), (1, 0) with one at (40, 12), and an empty (-1, 0).
    static void makeGalaxy() {
        std::ofstream(galaxy::fileName(GALAXY), std::ios::binary);
        std::filesystem::resize_file(galaxy::fileName(GALAXY), GALAXY_FILE_SIZE);
        for (auto [x, y, planets, cell] : {std::tuple{0, 0, 1, Coord{10, 10}}, {1, 0, 1, Coord{40, 12}}, {-1, 0, 0, Coord{}}}) {
            Sector made(x, y, nullptr, GALAXY);
            made.setNumber(planets);
            if (Planet* planet = made.getPlanet(0)) {
                planet->setrX(cell.X);
                planet->setrY(cell.Y);
                planet->setRarity(false);
            }
            ASSERT_TRUE(made.save(nullptr, false));
        }
    }
};

}  // namespace

TEST_F(BoardComputerTest, CommandsAndTheirEdgeCases) {
    struct Case {
        bool cheat;
        std::vector<const char*> lines;
        std::string output;
        bool staysOpen = true;
        std::function<void(const Player&, bool cheat)> check = {};
    };
    const std::string refused = "\n> Preparing for hyperspace jump\n\n> Calculating path\n\n"
                                "> Error while clculating path, colision detected!\n\n> Hyperspace jump not prepared!\n";
    const Case cases[] = {
        {false, {"NULL"}, ""},
        {false, {"exit"}, "", false},
        {false, {"prepHyperJump;1;2;3"}, "", true, [](const Player& p, bool) { EXPECT_FALSE(p.getHyperJump()); }},
        // Without planets the symbols name cell (0, 0) of the ship's sector: a collision.
        {false, {"prepHyperJump;@Sx;@Sy;@Px;@Py"}, refused},
        {false, {"HELP", ";", ";;;", "help;addFuel"}, std::string(UNKNOWN) + UNKNOWN + UNKNOWN + UNKNOWN},
        {false, {";;help;;exit;"}, "\n> exit\n\n> Quit board computer console and go back to galaxy view\n"},
        {false, {"hyperJump", "hyperJumpInfo"},
         "\n> Hyperspace jump not prepared!\n\n> First use function prepHyperJump;a1;a2;a3;a4 to prepare it!\n"
         "\n> Hyperspace jump not prepared!\n"},
        {false, {"addFuel;100", "dimensionCoord", "enableTurboAcceleration;61358025", "enableTurboAcceleration",
                 "setPart;1;1"},
         std::string(UNKNOWN) + UNKNOWN + UNKNOWN, true, [](const Player&, bool cheat) { EXPECT_FALSE(cheat); }},
        // n is shown as typed, whatever the full tank took.
        {false, {"enableTurboAcceleration;61358024", "addFuel;100"},
         "\n> Cheat mode enabled!\n\n> Player added 100l fuel!\n", true,
         [](const Player& p, bool cheat) { EXPECT_TRUE(cheat && p.getaFuel() == 1000); }},
        {true, {"setPart;7;1", "setPart;-1;1", "setPart;2;9", "setPart;6;5", "setPart;2", "addFuel"},
         "\n> Wrong part typed!\n\n> Wrong part typed!\n\n> Set player part 2 to 9\n\n> Set player part 6 to 5\n",
         true, [](const Player& p, bool) { EXPECT_TRUE(p.getaParts(2) == 0 && p.getaParts(6) == 5); }},
        {true, {"dimensionCoord"},
         "\n> Another dimension for this galaxy coordinates are: \n\n> Sector X: 700 Sector Y: -900\n"},
        // Amounts at and beyond the 32-bit limits saturate.
        {true, {"addCredits;2147483647", "addAmmo;99999999999", "addAmmo;1", "removeHealth;-2147483648"},
         "\n> Player added 2147483647C!\n\n> Player added 2147483647 ammo!\n\n> Player added 1 ammo!\n"
         "\n> Player removed -2147483648pkt health!\n",
         true,
         [](const Player& p, bool) { EXPECT_TRUE(p.getCredits() == INT_MAX && p.getAmmo() == INT_MAX && p.getaWeight() == 0); }},
        // Negative amounts never take a resource outside its limits.
        {true, {"removeFuel;-999999", "removeShield;-100", "addAmmo;-7", "removeEnergy;-50", "addHealth;-5000"},
         "\n> Player removed -999999l fuel!\n\n> Player removed -100 shield!\n\n> Player added -7 ammo!\n"
         "\n> Player removed -50W energy!\n\n> Player added -5000pkt health!\n",
         true, [](const Player& p, bool) {
             EXPECT_TRUE(p.getaFuel() == 1000 && p.getaShield() == 0 && p.getAmmo() == 0 && p.getaEnergy() == 0);
             EXPECT_EQ(p.getaHealth(), 0);
         }},
        {true, {"removeCredits;2147483647", "addCredits;-99999999999", "setWeight;50"},
         "\n> Player removed 2147483647C!\n\n> Player added -2147483648C!\n\n> Player weight set to 50!\n", true,
         [](const Player& p, bool) { EXPECT_TRUE(p.getCredits() == 0 && p.getaWeight() == 50); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.front());
        newPlayer(VICTORY_PIRATES);
        bool cheat = c.cheat;
        EXPECT_EQ(run(c.lines, cheat), c.staysOpen);
        EXPECT_EQ(consoletext::shown(console.con), consoletext::asShown(c.output));
        if (c.check) c.check(player, cheat);
    }
}

TEST_F(BoardComputerTest, JumpArgumentsAreNumbersElseSymbolsOfTheShipsSector) {
    sector.setSecX(7);
    sector.setSecY(-3);
    sector.setNumber(2);  // the ship at (39, 12) is nearer to the second planet
    for (auto [i, x, y] : {std::tuple{0, 60, 3}, {1, 20, 9}}) {
        sector.getPlanet(i)->setrX(x);
        sector.getPlanet(i)->setrY(y);
    }
    for (auto [symbol, value] : {std::pair{"@Px", 20}, {"@Py", 9}, {"@Sx", 7}, {"@Sy", -3}, {"@px", 0}, {"", 0}})
        EXPECT_EQ(sector.decodeArgument(symbol), value) << symbol;
    struct Case {
        const char* line;
        Coord target;
    };
    for (const Case& c : {Case{"prepHyperJump;@Sx;@Sy;@Px;@Py", {7, -3}}, {"prepHyperJump;-5;+12;10abc;@Py", {-5, 12}},
                          {"prepHyperJump;0;@Sy;3;1", {0, -3}}}) {
        SCOPED_TRACE(c.line);
        player.setHyperJump(false);
        bool cheat = false;
        run({c.line}, cheat);
        EXPECT_TRUE(player.getHyperJump());
        EXPECT_EQ(player.getHyperJumpSectorCoord(), c.target);
    }
}

TEST_F(BoardComputerTest, WhatAJumpLeadsTo) {
    struct Case {
        const char* target;
        std::vector<unsigned> keys;  // for the screens after the jump
        bool took;                   // the jump took place and the console closed
        int worldX;
        bool landed;  // the planet panel opened
        bool withEncounters;
        bool leftWritten;  // the sector left was written back (the other dimension leaves none)
    };
    const Case cases[] = {
        {"prepHyperJump;1;0;40;12", {'E'}, true, 1, true, false, true},     // onto a planet
        {"prepHyperJump;-1;0;40;12", {}, true, -1, false, false, true},     // into empty space
        {"prepHyperJump;2;0;40;12", {'X'}, false, 0, false, false, true},   // into a sector that cannot be read
        {"prepHyperJump;700;-900;99;-4", {}, true, 0, false, true, false},  // the other dimension
        {"prepHyperJump;700;-900;1;1", {}, true, 0, false, false, false},
    };
    bool panelScrolled = false;
    console.screen->onPresent = [&](const HeadlessBackend& s) {
        presented += s.dump();
        panelScrolled = panelScrolled || (console.con.scrolling() && s.dump().find("OPTIONS") != std::string::npos);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        makeGalaxy();
        sector.load(galaxy::sectorNumber(0, 0));
        sector.getPlanet(0)->setrX(11);  // in memory only, until the sector is left
        DimensionEncounters encounters;
        sector.setEncounters(c.withEncounters ? &encounters : nullptr);
        newPlayer(VICTORY_KNOWLEDGE);
        player.fitPart(SLOT_COLLECTOR, 14);
        player.addEnergy(10000);
        presented.clear();
        if (c.took)
            openConsole({c.target, "hyperJump hyperJump"}, c.keys);  // the rest of the line is dropped
        else
            EXPECT_THROW(openConsole({c.target, "hyperJump"}, c.keys), ScriptExhausted);
        EXPECT_EQ(player.getWorldX(), c.worldX);
        EXPECT_EQ(sector.getSecX(), c.worldX);
        EXPECT_EQ(wasPresented("OPTIONS"), c.landed);
        EXPECT_EQ(encounters.visits, c.withEncounters ? 1 : 0);
        EXPECT_FALSE(panelScrolled || console.con.scrolling());
        if (c.landed) {
            EXPECT_EQ(std::abs(player.getrX() - 40) + std::abs(player.getrY() - 12), 1);
        }
        Sector left(0, 0, nullptr, GALAXY);
        ASSERT_TRUE(left.load(galaxy::sectorNumber(0, 0)));
        EXPECT_EQ(left.getPlanet(0)->getrX(), c.leftWritten ? 11 : 10);
        if (c.took) {
            EXPECT_FALSE(player.getHyperJump());
            EXPECT_EQ(console.con.grid().at(40, 12).bg, 4u);  // the map is back
            console.screen->pushText("fresh\n");
            EXPECT_EQ(console.con.readWord(), "fresh");
        } else {  // nothing happened: the preparation and the energy are kept
            EXPECT_TRUE(wasPresented("Blad podczas odczytu pliku"));
            EXPECT_TRUE(player.getHyperJump());
            EXPECT_EQ(player.getaEnergy(), 10000);
            EXPECT_EQ(player.getrPos(), (Coord{39, 12}));
            Player stored;
            Sector probe(0, 0, &stored, GALAXY);
            ASSERT_EQ(probe.loadGame(), LoadResult::Ok);  // the file does not name the unreadable sector
            EXPECT_EQ(stored.getWorldX(), 0);
        }
        sector.setEncounters(nullptr);
    }
}

TEST_F(BoardComputerTest, OutputScrollsAndTheCommandStaysOnThePromptRow) {
    console.screen->pushText("help;prepHyperJump\n");
    EXPECT_THROW(sector.boardComputer(&console.con, nullptr), ScriptExhausted);
    const HeadlessBackend& screen = *console.screen;
    EXPECT_EQ(consoletext::trimRight(screen.row(20)),
              "> Warning: @Px and @Py return coord of nearest planet in actual sector");
    EXPECT_EQ(consoletext::trimRight(screen.row(22)), "> not in destination sector!");
    EXPECT_EQ(consoletext::trimRight(screen.row(23)), "");
    EXPECT_EQ(consoletext::trimRight(screen.row(24)), ">");
    EXPECT_EQ(screen.shownCursor(), (Coord{2, 24}));
    EXPECT_EQ(screen.fgAt(2, 22) * 10 + screen.bgAt(70, 24), 20u);  // green on black
    EXPECT_FALSE(console.con.scrolling());  // left with the console, even by an exception

    // A word longer than the row is cut at the row's end.
    console.screen->pushText(std::string(100, 'x') + "\n");
    EXPECT_THROW(sector.boardComputer(&console.con, nullptr), ScriptExhausted);
    EXPECT_EQ(screen.row(2), "> " + std::string(78, 'x'));
    EXPECT_EQ(consoletext::trimRight(screen.row(4)), "> unknown command");
}

TEST_F(BoardComputerTest, MoneyVictoryFromAddCredits) {
    struct Case {
        short goal;
        bool wonBefore;
        const char* line;
        bool announced;  // the victory window showed and the console closed
    };
    const Case cases[] = {
        {VICTORY_CASH, false, "addCredits;989999", false},
        {VICTORY_CASH, false, "addCredits;99999999999", true},
        {VICTORY_PIRATES, false, "addCredits;990000", false},
        {VICTORY_CASH, true, "addCredits;990000", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        newPlayer(c.goal);
        player.setIsWinner(c.wonBefore);
        HeadlessConsole local;
        std::string window;
        local.screen->onPresent = [&](const HeadlessBackend& s) { window += s.dump(); };
        local.screen->pushKey(keycode::Enter);  // closes the window, when one comes
        bool cheat = true;
        EXPECT_EQ(sector.proceedCommand(c.line, &local.con, &cheat, nullptr), !c.announced);
        EXPECT_EQ(window.find("YOU WON THE GAME") != std::string::npos, c.announced);
        EXPECT_EQ(player.getIsWinner(), c.announced || c.wonBefore);
        // The confirmation comes first and stays beside the window.
        EXPECT_EQ(gridText(local.con, 0, 1, 15), "> Player added ");
    }
}

TEST_F(BoardComputerTest, MoneyGoalWonFromTheGalaxyView) {
    newPlayer(VICTORY_CASH);
    console.screen->pushText("`");
    console.screen->pushText("enableTurboAcceleration;61358024 addCredits;990000\n");
    console.screen->pushKey(keycode::Enter);  // the victory window
    console.screen->pushKeys({'J', 'X', keycode::Escape});
    sector.ShowMap(&console.con);
    EXPECT_TRUE(console.screen->scriptEmpty());
    EXPECT_TRUE(player.getIsWinner());
    const std::size_t won = presented.find("YOU WON THE GAME");
    // The mission window is narrow: its text wraps after "haven't".
    const std::size_t mission = presented.find("You already won! You haven't");
    ASSERT_NE(won, std::string::npos);
    ASSERT_NE(mission, std::string::npos);
    EXPECT_LT(won, mission);
    EXPECT_EQ(console.screen->charAt(39, 12), 'H');
}
