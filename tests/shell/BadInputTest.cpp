// Every typed prompt of the game fed the same hostile lines: nothing
// crashes, the prompt refuses or takes the line exactly as its screen says,
// and no credits or goods come out of nothing.
//
// To cover a new prompt, add a Prompt to promptsToFeed(): how to reach it
// and run it, the text that shows it took the line, the invariant of what
// it may change, and one expected outcome per line of HOSTILE_LINES.

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "GalaxyFixture.h"
#include "TestSupport.h"
#include "catalog/Amounts.h"
#include "screen/HelpFuncLib.h"
#include "encounters/Event.h"
#include "galaxy/Sector.h"
#include "planet/Planet.h"
#include "player/Player.h"
#include "shell/Game.h"

namespace {

// Each line is typed and ended with Enter; then Y answers whatever question
// follows (the riskiest answer), and the run ends when the keys run out.
const std::vector<std::string> HOSTILE_LINES = {
    "",                    // 0 empty
    "   ",                 // 1 blanks
    "abc",                 // 2 letters
    "-1",                  // 3
    "0",                   // 4
    "2147483647",          // 5 the largest 32-bit number
    "2147483648",          // 6 one more
    "99999999999",         // 7
    std::string(300, '9'), // 8 300 characters
    "../x",                // 9 a path
    "\x02\x1b\x01" "4",    // 10 control characters around a 4: only the 4 is typed
    "nul",                 // 11 device names of Windows, in any case
    "COM1",                // 12
};

// A: the line was taken (the next step shows); R: refused; W: the prompt is
// still waiting for a word (an empty line is no answer).
enum class Outcome { Accepted = 'A', Refused = 'R', Waiting = 'W' };

// The game's state that a prompt could create from nothing.
struct Wealth {
    int credits = 0;
    int fuel = 0, energy = 0, health = 0, ammo = 0, shield = 0;
    int cargo = 0, stock = 0;  // of the traded good
    std::array<int, 6> parts{};
    bool operator==(const Wealth&) const = default;

    static Wealth of(const Player& p, const Planet* planet, int good) {
        Wealth w{p.getCredits(), p.getaFuel(), p.getaEnergy(), p.getaHealth(), p.getAmmo(), p.getaShield(),
                 p.getTrade(good), planet != nullptr ? planet->getGood(good) : 0, {}};
        for (int slot = 0; slot < 6; ++slot) w.parts[static_cast<std::size_t>(slot)] = p.getPartId(slot);
        return w;
    }
};

// One run of one prompt with one line.
struct Run {
    HeadlessConsole console;
    std::vector<std::string> screens;
    Run() {
        console.screen->onPresent = [this](const HeadlessBackend& s) { screens.push_back(s.dump()); };
    }
    ConLib* con() { return &console.con; }
    // Keys before the prompt, the hostile line, then Y.
    void script(const std::string& before, const std::string& line) {
        console.screen->pushText(before);
        console.screen->pushText(line + "\n");
        console.screen->pushText("Y");
    }
    template <typename F>
    void runUntilKeysRunOut(F&& screen) {
        try {
            screen();
        } catch (const ScriptExhausted&) {
        }
    }
    bool said(const char* text) const {
        for (const std::string& screen : screens)
            if (screen.find(text) != std::string::npos) return true;
        return false;
    }
    // What the screens said after the prompt `asked` first showed.
    Outcome outcome(const char* asked, const char* taken, std::vector<const char*> refusals = {"ERROR"}) const {
        bool promptShown = false;
        bool refused = false;
        for (const std::string& screen : screens) {
            promptShown = promptShown || screen.find(asked) != std::string::npos;
            if (!promptShown) continue;
            if (screen.find(taken) != std::string::npos) return Outcome::Accepted;
            for (const char* refusal : refusals) refused = refused || screen.find(refusal) != std::string::npos;
        }
        return refused ? Outcome::Refused : Outcome::Waiting;
    }
};

struct Prompt {
    const char* name;
    const char* expected;  // one letter of Outcome per hostile line
    // Runs the prompt with the line, checks its invariants, tells the outcome.
    std::function<Outcome(const std::string& line)> feed;
};

// ---- The market, the hangar and the dock run on one planet of sector (0, 0).

constexpr int TRADED = 13;  // Cristals (product 14), plentiful everywhere
constexpr int HELD = 10;    // units of it in the hold before a sale

struct Planetside {
    Player player;
    Planet planet{0, 0};
    Planetside() {
        planet.setGood(TRADED, 500);
        player.removeFuel(100);
        player.removeEnergy(player.getaEnergy() / 2);
        player.removeHealth(50);
        player.addTrade(TRADED, HELD);
        player.countShipWeight();
    }
};

void expectHangarPaidFor(const Wealth& before, const Wealth& after, int Wealth::*resource, int unitPrice,
                         int maximum) {
    const int bought = after.*resource - before.*resource;
    EXPECT_GE(bought, 0);
    EXPECT_LE(after.*resource, maximum);
    EXPECT_EQ(before.credits - after.credits, bought * unitPrice);
    EXPECT_GE(after.credits, 0);
}

Prompt hangarPrompt(const char* name, const char* expected, void (Planet::*service)(ConLib*, Player*),
                    const char* question, int Wealth::*resource, int unitPrice,
                    std::function<int(const Player&)> maximum) {
    return {name, expected, [=](const std::string& line) {
                Planetside side;
                Run run;
                run.script("", line);
                const Wealth before = Wealth::of(side.player, &side.planet, TRADED);
                run.runUntilKeysRunOut([&] { (side.planet.*service)(run.con(), &side.player); });
                const Wealth after = Wealth::of(side.player, &side.planet, TRADED);
                expectHangarPaidFor(before, after, resource, unitPrice, maximum(side.player));
                return run.outcome(question, "Y - Yes / N - No");
            }};
}

int noLimit() { return std::numeric_limits<int>::max(); }

// A purchase or sale: goods move between hold and planet, never appear, and
// credits move only with them and the right way.
void expectTradeBalanced(const Wealth& before, const Wealth& after, bool buying) {
    const int moved = after.cargo - before.cargo;
    EXPECT_EQ(after.stock - before.stock, -moved);
    const int paid = before.credits - after.credits;
    if (moved == 0) {
        EXPECT_EQ(paid, 0);
    }
    if (buying) {
        EXPECT_GE(moved, 0);
        EXPECT_GE(paid, 2 * moved);  // no good is cheaper than 2 credits
    } else {
        EXPECT_LE(moved, 0);
        EXPECT_LE(paid, 0);
    }
    EXPECT_GE(after.credits, 0);
}

Prompt marketPrompt(const char* name, const char* expected, bool buying, bool countPrompt) {
    return {name, expected, [=](const std::string& line) {
                Planetside side;
                Run run;
                run.script(countPrompt ? std::to_string(TRADED + 1) + "\n" : "", line);
                const Wealth before = Wealth::of(side.player, &side.planet, TRADED);
                run.runUntilKeysRunOut([&] {
                    buying ? side.planet.Buy(run.con(), &side.player) : side.planet.Sell(run.con(), &side.player);
                });
                expectTradeBalanced(before, Wealth::of(side.player, &side.planet, TRADED), buying);
                const char* count = buying ? "Type count to buy" : "Type count to sell";
                if (!countPrompt) return run.outcome("Type product number", count);
                return run.outcome(count, buying ? "Y - Buy N - Cancel" : "Y - Sell N - Cancel");
            }};
}

// The dock: a part changes only when it is paid for.
Prompt dockPrompt(const char* name, const char* expected, bool partPrompt) {
    return {name, expected, [=](const std::string& line) {
                Planetside side;
                Run run;
                run.script(partPrompt ? "1\n" : "", line);
                const Wealth before = Wealth::of(side.player, &side.planet, TRADED);
                run.runUntilKeysRunOut([&] { Planet::ChangeShipPart(run.con(), &side.player, 0); });
                const Wealth after = Wealth::of(side.player, &side.planet, TRADED);
                if (after.parts == before.parts) {
                    EXPECT_EQ(after.credits, before.credits);
                }
                EXPECT_GE(after.credits, 0);
                if (!partPrompt) return run.outcome("Select ship part", "Type number of part to buy");
                return run.outcome("Type number of part to buy", "Do you want to buy");
            }};
}

// ---- The loot of a won fight: goods only move from the enemy's hold to the
// player's, and credits stay.

constexpr int ENEMY_UNITS = 20;  // of every good

Prompt lootPrompt(const char* name, const char* expected, bool countPrompt) {
    return {name, expected, [=](const std::string& line) {
                Planetside side;
                EnemyCargo cargo;
                cargo.fill(ENEMY_UNITS);
                Run run;
                run.script(countPrompt ? std::to_string(TRADED + 1) + "\n" : "", line);
                const Wealth before = Wealth::of(side.player, nullptr, TRADED);
                std::array<int, TRADE_GOOD_COUNT> held{};
                for (int good = 0; good < TRADE_GOOD_COUNT; ++good) held[good] = side.player.getTrade(good);
                run.runUntilKeysRunOut([&] { Event().takeGood(run.con(), &side.player, cargo); });
                for (int good = 0; good < TRADE_GOOD_COUNT; ++good) {
                    EXPECT_EQ(side.player.getTrade(good) + cargo[good], held[good] + ENEMY_UNITS) << good;
                    EXPECT_GE(cargo[good], 0) << good;
                }
                EXPECT_EQ(side.player.getCredits(), before.credits);
                EXPECT_LE(side.player.getaWeight(), side.player.getMaxWeight());
                if (!countPrompt) return run.outcome("Type product number", "You selected");
                return run.outcome("Type count to take", "Y - Take N - Cancel");
            }};
}

// ---- The board computer: each typed line is a command. Only addCredits,
// after the access code, changes credits, and by exactly the amount it
// confirms; a jump is prepared only when the console says so.

struct BoardComputerLine {
    std::string before, after;  // typed around the hostile line
    const char* taken;
    std::vector<const char*> refusals;
};

// The amount of the last "Player added" confirmation, 0 without one.
long long confirmedCredits(const std::vector<std::string>& screens) {
    constexpr std::string_view ADDED = "> Player added ";
    for (auto screen = screens.rbegin(); screen != screens.rend(); ++screen)
        if (const std::size_t at = screen->rfind(ADDED); at != std::string::npos)
            return std::strtoll(screen->c_str() + at + ADDED.size(), nullptr, 10);
    return 0;
}

Prompt boardComputerPrompt(const char* name, const char* expected, BoardComputerLine typed) {
    return {name, expected, [=](const std::string& line) {
                Player player;
                Sector sector{0, 0, &player, "Orion"};
                sector.setNumber(0);
                Run run;
                run.console.screen->pushText(typed.before + line + typed.after + "\n");
                run.console.screen->pushText("Y");
                const Wealth before = Wealth::of(player, nullptr, TRADED);
                run.runUntilKeysRunOut([&] { sector.boardComputer(run.con(), nullptr); });
                Wealth after = Wealth::of(player, nullptr, TRADED);
                const Outcome outcome = run.outcome("Board computer console", typed.taken, typed.refusals);
                const int confirmed = static_cast<int>(confirmedCredits(run.screens));
                EXPECT_EQ(after.credits, saturatedAdd(before.credits, confirmed));
                after.credits = before.credits;
                EXPECT_TRUE(after == before) << "more than credits changed";
                EXPECT_EQ(player.getHyperJump(), run.said("Hyperspace jump prepared"));
                return outcome;
            }};
}

// ---- The galaxy names: only a plain name in this folder is ever used.

std::vector<std::string> filesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

Prompt newGalaxyNamePrompt() {
    return {"galaxy name", "WWAAAAAARRARR", [](const std::string& line) {
                ScopedWorkDir dir;
                std::filesystem::create_directory("inner");
                std::filesystem::current_path("inner");
                HeadlessGame g;
                g.screen->pushText(line + "\nY");  // Y: no goal, nothing is created
                Outcome outcome = Outcome::Waiting;
                try {
                    if (!g.game.newGame(g.con())) outcome = Outcome::Refused;
                } catch (const ScriptExhausted&) {
                    if (g.showed("want become great hero")) outcome = Outcome::Accepted;
                }
                EXPECT_TRUE(filesIn(".").empty());
                EXPECT_EQ(filesIn(".."), std::vector<std::string>{"inner"}) << "a file written outside its folder";
                return outcome;
            }};
}

Prompt loadNamePrompt() {
    return {"load name", "WWARRRRRRRRRR", [](const std::string& line) {
                ScopedWorkDir dir;
                installGalaxy(dir.path(), "abc", Coord{39, 12});
                const std::vector<std::string> before = filesIn(".");
                HeadlessGame g;
                g.screen->pushText(line + "\n");
                const int creditsBefore = g.game.getPlayer().getCredits();
                Outcome outcome = Outcome::Waiting;
                try {
                    outcome = g.game.load(g.con()) ? Outcome::Accepted : Outcome::Refused;
                } catch (const ScriptExhausted&) {
                }
                if (outcome != Outcome::Accepted) {
                    EXPECT_EQ(g.game.getPlayer().getCredits(), creditsBefore);
                }
                EXPECT_EQ(filesIn("."), before);
                return outcome;
            }};
}

std::vector<Prompt> promptsToFeed() {
    return {
        newGalaxyNamePrompt(),
        loadNamePrompt(),
        hangarPrompt("hangar fuel", "WWARAAAAAAAAA", &Planet::BuyFuel, "How many fuel", &Wealth::fuel, 1,
                     &Player::getMaxFuel),
        hangarPrompt("hangar ammo", "WWARARRRRAAAA", &Planet::BuyAmmo, "How many ammo", &Wealth::ammo, 2,
                     [](const Player&) { return noLimit(); }),
        hangarPrompt("hangar energy", "WWARAAAAAAAAA", &Planet::ChargeEnergy, "How many energy", &Wealth::energy, 2,
                     &Player::getMaxEnergy),
        hangarPrompt("hangar repair", "WWARAAAAAAAAA", &Planet::Repair, "How many points", &Wealth::health, 1,
                     &Player::getMaxHealth),
        marketPrompt("market buy product", "WWRRRRRRRRARR", true, false),
        marketPrompt("market buy count", "WWRRRRRRRRARR", true, true),
        marketPrompt("market sell product", "WWRRRRRRRRARR", false, false),
        marketPrompt("market sell count", "WWRRRRRRRRARR", false, true),
        dockPrompt("dock kind", "WWRRRRRRRRARR", false),
        dockPrompt("dock part", "WWRRRRRRRRARR", true),
        lootPrompt("loot product", "WWRRRRRRRRARR", false),
        lootPrompt("loot count", "WWRRRRRRRRARR", true),
        boardComputerPrompt("board computer jump", "WRAAARRRWAAAA",
                            {"prepHyperJump;", ";1;1;1", "Hyperspace jump prepared",
                             {"colision detected", "unknown command"}}),
        boardComputerPrompt("board computer credits", "WWAAAAAAAAAAA",
                            {"enableTurboAcceleration;61358024\naddCredits;", "", "> Player added", {"unknown command"}}),
        boardComputerPrompt("board computer command", "WWRRRRRRRRRRR", {"", "", "Cheat mode enabled", {"unknown command"}}),
    };
}

}  // namespace

TEST(BadInput, EveryPromptRefusesOrTakesEachLineAsItsScreenSays) {
    for (const Prompt& prompt : promptsToFeed()) {
        ASSERT_EQ(std::string(prompt.expected).size(), HOSTILE_LINES.size()) << prompt.name;
        for (std::size_t i = 0; i < HOSTILE_LINES.size(); ++i) {
            SCOPED_TRACE(std::string(prompt.name) + ", line " + std::to_string(i));
            const Outcome outcome = prompt.feed(HOSTILE_LINES[i]);
            EXPECT_EQ(static_cast<char>(outcome), prompt.expected[i]);
        }
    }
}
