// The real program killed outright (SIGKILL: no handler runs) at random
// moments of a galaxy's creation, of S saves and of sector crossings, and
// right after it took an ancient part or bought goods: afterwards every
// galaxy in the folder loads and is whole, or is not there, and nothing
// changed hands by half.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <random>

#include "GalaxyCheck.h"
#include "GalaxyFixture.h"
#include "TerminalSession.h"
#include "TestSupport.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

constexpr short TOP_ROW = 1;  // the first row the ship can be on
const int HOME = galaxy::sectorNumber(0, 0);
constexpr int TRADED_GOOD = 0;  // product 1
constexpr int TRADED_STOCK = 500;

using Clock = std::chrono::steady_clock;

void expectEveryGalaxyWhole(const ScopedWorkDir& dir, const std::string& after) {
    for (const auto& [name, report] : checkGalaxyFolder(dir.path())) {
        EXPECT_TRUE(report.sound()) << name << " after " << after << ": " << report.describe();
        // Nobody fought the pirates here: the planet is still there.
        EXPECT_EQ(report.piratesPlanets, 1) << name << " after " << after;
    }
}

// Kills the program once `ms` milliseconds have passed, sending `next()`'s
// keys meanwhile so that it is busy when the kill comes.
// With `until`, the kill comes as soon as that holds, or at the deadline.
void killAfter(TerminalSession& game, int ms, const std::function<void()>& next,
               const std::function<bool()>& until = {}) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < deadline && !(until && until())) {
        if (next) next();
        if (!until) game.pump(next ? 0 : 1);
    }
    game.signal(SIGKILL);
    const std::optional<int> status = game.waitExit();
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGKILL);
}

}  // namespace

TEST(KillTest, NoKillLeavesADamagedGalaxy) {
    const unsigned seed = killSeed();  // printed with any failure
    SCOPED_TRACE("STARHOLLOW_KILL_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    ScopedWorkDir dir;

    // Creation: killed before, during or after the whole file is written.
    std::uniform_int_distribution<int> creationMoment(0, 1800);
    for (int round = 0; round < 3; ++round) {
        TerminalSession game(TerminalSession::in(dir.path()));
        ASSERT_TRUE(game.menuShown());
        game.type("N");
        ASSERT_TRUE(game.typeWhenShown("Type new galaxy name", "Doomed" + std::to_string(round) + "\n"));
        ASSERT_TRUE(game.typeWhenShown("4 - I'm not looking", "1"));
        killAfter(game, creationMoment(random), nullptr);
        expectEveryGalaxyWhole(dir, "a creation killed");
    }

    // S saves and crossings, back and forth over the top edge of sector
    // (0, 0): no step inside a sector, so no encounter comes in between.
    installGalaxy(dir.path(), "Runner", Coord{39, TOP_ROW});
    std::uniform_int_distribution<int> flightMoment(50, 900);
    for (int round = 0; round < 5; ++round) {
        TerminalSession game(TerminalSession::in(dir.path()));
        const auto ship = game.loadOntoMap("Runner");
        ASSERT_TRUE(ship) << "round " << round << "\n" << game.dump();
        bool up = ship->second == TOP_ROW;
        int sent = 0;
        killAfter(game, flightMoment(random), [&] {
            if (sent++ % 2 == 0) {
                game.keys(up ? VTERM_KEY_UP : VTERM_KEY_DOWN, PRESSES_PER_STEP);
                up = !up;
            } else {
                game.type("SX");  // save, and close its message
            }
        });
        expectEveryGalaxyWhole(dir, "a flight killed");
    }
    // The kills came while the ship was crossing: each crossing burns fuel
    // and saves it.
    const GalaxyReport runner = checkGalaxyFile(dir.path() / "Runner.glx");
    EXPECT_LT(runner.player.getaFuel(), Player().getaFuel());
}

namespace {

// Changes galaxy `stem` while no game runs, through the game's own records:
// the player and sector (0, 0), with the ship brought back there.
void restage(const std::string& stem, const std::function<void(Sector&, Player&)>& change) {
    Player player;
    Sector home(0, 0, &player, stem.c_str());
    ASSERT_EQ(home.loadGame(), LoadResult::Ok);
    ASSERT_EQ(home.loadSector(HOME), LoadResult::Ok);
    player.changeWorldCoord(true, player.getWorldX() < 0, std::abs(player.getWorldX()));
    player.changeWorldCoord(false, player.getWorldY() < 0, std::abs(player.getWorldY()));
    change(home, player);
    ASSERT_TRUE(home.save(nullptr, false));
}

void placePart(Sector& sector, short kind, Coord cell) {
    saveSectorData data;
    sector.SaveToFile(&data);
    record::put16(data.bytes.data() + sectorRec::aPartKind, kind);
    record::put16(data.bytes.data() + sectorRec::aPartX, cell.X);
    record::put16(data.bytes.data() + sectorRec::aPartY, cell.Y);
    ASSERT_TRUE(sector.LoadFromFile(&data));
}

// An ancient part on `cell` of sector (0, 0), the count of each kind kept:
// the one already there moved, else one the player holds, else one hidden
// in another sector.
void hidePartAtHome(const std::string& stem, Coord cell) {
    short kind = Sector::NO_PART;
    restage(stem, [&](Sector& home, Player& player) {
        kind = home.getaPartKind();
        for (short k = 0; k < Sector::PART_KINDS && kind == Sector::NO_PART; ++k)
            if (player.getaParts(k) > 0) {
                player.setaParts(k, player.getaParts(k) - 1);
                kind = k;
            }
    });
    if (kind == Sector::NO_PART) {
        Player player;
        Sector away(0, 0, &player, stem.c_str());
        ASSERT_EQ(away.loadGame(), LoadResult::Ok);
        for (int n = 1; n <= SECTOR_COUNT && kind == Sector::NO_PART; ++n) {
            if (n == HOME) continue;
            ASSERT_EQ(away.loadSector(n), LoadResult::Ok);
            kind = away.getaPartKind();
        }
        ASSERT_NE(kind, Sector::NO_PART);
        placePart(away, Sector::NO_PART, Coord{0, 0});
        ASSERT_TRUE(away.save(nullptr, false));
    }
    restage(stem, [&](Sector& home, Player&) { placePart(home, kind, cell); });
}

// A column where the top row and the row below it are free: the part lies
// on top, the ship below it.
short freeColumn(Sector& home) {
    for (short x = 39; x < 79; ++x)
        if (home.getPlanet(x, TOP_ROW) == nullptr && home.getPlanet(x, TOP_ROW + 1) == nullptr &&
            !home.isOnEP(x, TOP_ROW) && !home.isOnEP(x, TOP_ROW + 1))
            return x;
    return 0;
}

// What the purchases so far must have cost: each unit the price at the stock
// it was taken from.
long long spentOnPurchases(const Planet& planet, int stockNow) {
    long long spent = 0;
    for (int stock = stockNow + 1; stock <= TRADED_STOCK; ++stock) spent += planet.getGoodPrice(TRADED_GOOD, stock);
    return spent;
}

}  // namespace

// Each round stages the galaxy, lets the real game take an ancient part (and
// leave the sector with it) or buy a unit of goods, then saves with S, Esc or
// the crossing and is killed at a random moment of it. The part is then
// hidden or held, never both or neither; the goods on the planet or in the
// hold; and the credits paid exactly for the units in the hold.
TEST(KillTest, NothingChangesHandsByHalf) {
    const unsigned seed = killSeed();  // printed with any failure
    SCOPED_TRACE("STARHOLLOW_KILL_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    ScopedWorkDir dir;
    const std::string stem = (dir.path() / "Trader").string();
    const PlanetSpot spot = planetSpot();
    installGalaxy(dir.path(), "Trader", spot.beside);

    // The market planet makes and uses nothing, so only trades move its goods.
    short column = 0;
    int credits = 0;
    restage(stem, [&](Sector& home, Player& player) {
        Planet* planet = home.getPlanet(spot.planet.X, spot.planet.Y);
        ASSERT_NE(planet, nullptr);
        savePlanetData data;
        planet->SaveToFile(&data);
        record::put16(data.bytes.data() + planetRec::facilityCount, 0);
        record::put16(data.bytes.data() + planetRec::inputCount, 0);
        ASSERT_TRUE(planet->LoadFromFile(&data));
        planet->setGood(TRADED_GOOD, TRADED_STOCK);
        column = freeColumn(home);
        credits = player.getCredits();
    });
    ASSERT_NE(column, 0);
    const GalaxyReport installed = checkGalaxyFile(dir.path() / "Trader.glx");
    ASSERT_TRUE(installed.sound()) << installed.describe();
    const long long goodsTotal =
        installed.goodsOnPlanets[TRADED_GOOD] + installed.player.getTrade(TRADED_GOOD);

    enum class Save { Key, Menu, Crossing };
    // Esc reaches the game only once the terminal's escape delay has passed.
    auto killMoment = [&](Save trigger) {
        return trigger == Save::Menu ? std::uniform_int_distribution<int>(20, 60)(random)
                                     : std::uniform_int_distribution<int>(0, 30)(random);
    };
    // Or the moment the save is under way: its pending-save file is there.
    const std::filesystem::path pending = dir.path() / ".Trader.glx.pending";
    const std::function<bool()> saveUnderWay = [&] { return std::filesystem::exists(pending); };
    int killedMidSave = 0;
    for (int round = 0; round < 8; ++round) {
        const bool trade = round % 2 == 1;
        const Save trigger = static_cast<Save>(std::uniform_int_distribution<int>(0, trade ? 1 : 2)(random));
        SCOPED_TRACE("round " + std::to_string(round) + (trade ? ", trade" : ", ancient part") + ", save " +
                     std::to_string(static_cast<int>(trigger)));
        const Coord shipCell = trade ? spot.beside : Coord{column, static_cast<short>(TOP_ROW + 1)};
        if (!trade) hidePartAtHome(stem, Coord{column, TOP_ROW});
        restage(stem, [&](Sector&, Player& player) { player.setPos(shipCell); });

        TerminalSession game(TerminalSession::in(dir.path()));
        const auto ship = game.loadOntoMap("Trader");
        ASSERT_TRUE(ship) << game.dump();
        ASSERT_EQ(*ship, std::make_pair(int{shipCell.X}, int{shipCell.Y})) << game.dump();
        if (trade) {
            game.keys(VTERM_KEY_RIGHT, PRESSES_PER_STEP);
            ASSERT_TRUE(game.typeWhenShown("T - Trade", "T"));
            ASSERT_TRUE(game.typeWhenShown("B - Buy", "B"));
            ASSERT_TRUE(game.typeWhenShown("Type product number:", "1\n"));
            ASSERT_TRUE(game.typeWhenShown("Type count to buy", "1\n"));
            ASSERT_TRUE(game.typeWhenShown("Y - Buy N - Cancel", "YE"));  // bought; the market left
            ASSERT_TRUE(game.typeWhenShown("E - Departure", "E"));
        } else {
            game.keys(VTERM_KEY_UP, PRESSES_PER_STEP);
            ASSERT_TRUE(game.typeWhenShown("Congratulations!", "\n"));
        }
        ASSERT_TRUE(game.waitFor([&] {
            return !game.screenHas("Congratulations!") && !game.screenHas("Departure") && game.find('H', MAP_BLUE);
        })) << game.dump();

        switch (trigger) {
            case Save::Key: game.type("S"); break;
            case Save::Menu: game.key(VTERM_KEY_ESCAPE); break;
            case Save::Crossing: game.keys(VTERM_KEY_UP, PRESSES_PER_STEP); break;
        }
        const bool midSave = std::uniform_int_distribution<int>(0, 1)(random) == 1;
        killAfter(game, midSave ? 500 : killMoment(trigger), nullptr, midSave ? saveUnderWay : std::function<bool()>{});
        killedMidSave += saveUnderWay() ? 1 : 0;

        const GalaxyReport report = checkGalaxyFile(dir.path() / "Trader.glx");
        ASSERT_TRUE(report.sound()) << report.describe();
        EXPECT_EQ(report.goodsOnPlanets[TRADED_GOOD] + report.player.getTrade(TRADED_GOOD), goodsTotal);
        Sector home(0, 0, nullptr, stem.c_str());
        ASSERT_EQ(home.loadSector(HOME), LoadResult::Ok);
        const Planet* market = home.getPlanet(spot.planet.X, spot.planet.Y);
        ASSERT_NE(market, nullptr);
        const int stock = market->getGood(TRADED_GOOD);
        EXPECT_EQ(report.player.getTrade(TRADED_GOOD), TRADED_STOCK - stock);
        EXPECT_EQ(report.player.getCredits(), credits - spentOnPurchases(*market, stock));
    }
    RecordProperty("killedMidSave", killedMidSave);
}

// ---- One galaxy, one game: a second game is refused while the first plays,
// and loads at once after the first is killed outright.

class OneGame : public ::testing::TestWithParam<std::pair<bool, bool>> {};  // each on Windows?

TEST_P(OneGame, ASecondGameIsRefusedUntilTheFirstIsKilled) {
    ScopedWorkDir dir;
    installGalaxy(dir.path(), "Shared", Coord{39, 12});
    auto gameIn = [&]([[maybe_unused]] bool windows) {
#ifdef STARHOLLOW_WINDOWS_EXE
        if (windows) return TerminalSession::windowsIn(dir.path());
#endif
        return TerminalSession::in(dir.path());
    };
    TerminalSession first(gameIn(GetParam().first)), second(gameIn(GetParam().second));
    ASSERT_TRUE(first.loadOntoMap("Shared")) << first.dump();
    ASSERT_TRUE(second.typeWhenShown("N - New Game", "L"));
    ASSERT_TRUE(second.typeWhenShown("LOAD GAME", "Shared\n"));
    ASSERT_TRUE(second.typeWhenShown("Galaxy Shared is open in another game!", "X")) << second.dump();
    first.type("S");  // the first plays on and saves as ever
    ASSERT_TRUE(first.waitFor([&] { return first.screenHas("Game saved successfully!"); })) << first.dump();
    first.signal(SIGKILL);
    ASSERT_TRUE(first.waitExit());
    ASSERT_TRUE(second.loadOntoMap("Shared")) << second.dump();
    second.key(VTERM_KEY_ESCAPE);
    EXPECT_TRUE(second.quitsCleanly()) << second.dump();
}

INSTANTIATE_TEST_SUITE_P(Linux, OneGame, ::testing::Values(std::pair{false, false}));
#ifdef STARHOLLOW_WINDOWS_EXE
// Wine makes the Windows game's lock a POSIX one: a Linux game sees it too.
INSTANTIATE_TEST_SUITE_P(Wine, OneGame, ::testing::Values(std::pair{true, true}, std::pair{false, true}));
#endif
