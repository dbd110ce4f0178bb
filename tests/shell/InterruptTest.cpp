// Ctrl+C, termination and hangup: the game unwinds between two key reads,
// saves an open galaxy as Esc would, and leaves nothing half done.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "GalaxyCheck.h"
#include "GalaxyFixture.h"
#include "TestSupport.h"
#include "screen/KeyCodes.h"
#include "encounters/EncounterSupport.h"
#include "catalog/Random.h"
#include "storage/GalaxyFile.h"
#ifdef _WIN32
#include "platform/windows/Interrupts.h"
#endif

namespace {

constexpr unsigned SEED = 99;
constexpr int BOUGHT = 5;
const std::string GALAXY = "Trader";

// What a purchase moves: credits, the good in the hold and on the planet.
struct Trade {
    int credits = 0;
    int cargo = 0;
    int stock = 0;
    Coord ship{0, 0};
    bool operator==(const Trade&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Trade& t) {
    return out << "{credits " << t.credits << ", cargo " << t.cargo << ", stock " << t.stock << ", ship ("
               << t.ship.X << ", " << t.ship.Y << ")}";
}

Trade tradeIn(const Player& player, Sector& sector, int good, Coord planet) {
    return Trade{player.getCredits(), player.getTrade(good), sector.getPlanet(planet.X, planet.Y)->getGood(good),
                 player.getrPos()};
}

Trade savedTrade(int good, Coord planet) {
    const GalaxyReport report = checkGalaxyFile(GALAXY + ".glx");
    EXPECT_TRUE(report.sound()) << report.describe();
    Player player;
    Sector home(0, 0, &player, GALAXY.c_str());
    EXPECT_EQ(home.loadGame(), LoadResult::Ok);
    EXPECT_TRUE(home.load(galaxy::sectorNumber(0, 0)));
    return tradeIn(report.player, home, good, planet);
}

// The good with the largest stock on the planet, so that a few ticks of
// production cannot empty it before the purchase.
int plentifulGood(Coord planet) {
    Player player;
    Sector home(0, 0, &player, GALAXY.c_str());
    home.load(galaxy::sectorNumber(0, 0));
    int best = 0;
    for (int good = 1; good < Planet::GOOD_COUNT; ++good)
        if (home.getPlanet(planet.X, planet.Y)->getGood(good) > home.getPlanet(planet.X, planet.Y)->getGood(best))
            best = good;
    return best;
}

using Step = std::function<void(HeadlessBackend&)>;
Step typed(std::string text) {
    return [text](HeadlessBackend& k) { k.pushText(text); };
}
Step pressed(unsigned key, int times = 1) {
    return [=](HeadlessBackend& k) {
        for (int i = 0; i < times; ++i) k.pushKey(key);
    };
}

// Load the galaxy, land on the planet, buy a few units of `good`, leave the
// market and the planet, and go back to the menu.
std::vector<Step> purchaseScript(int good) {
    return {typed("L"), typed(GALAXY + "\n"), pressed(keycode::Right, 16), typed("T"),  typed("B"),
            typed(std::to_string(good + 1)), typed("\n"), typed(std::to_string(BOUGHT) + "\n"), typed("Y"),
            typed("E"), typed("E"), pressed(keycode::Escape)};
}

// Runs the script, with `signal` arriving just before step `at` (none when
// `at` is past the end); returns the signal the game unwound with, or 0.
int play(const std::vector<Step>& script, std::size_t at, int signal, Trade* inMemory = nullptr, int good = 0,
         Coord planet = {}) {
    rng::srand(SEED);
    HeadlessGame g;
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (i == at) g.screen->pushSignal(signal);
        script[i](*g.screen);
    }
    if (at == script.size()) g.screen->pushSignal(signal);
    int unwoundWith = 0;
    try {
        unwoundWith = signalThatEnded([&] { g.game.run(); });
    } catch (const ScriptExhausted&) {
    }
    if (inMemory != nullptr) *inMemory = tradeIn(g.game.getPlayer(), g.game.getSector(), good, planet);
    return unwoundWith;
}

class StoppedGame : public ::testing::Test {
protected:
    void SetUp() override {
        spot = planetSpot();
        installGalaxy(dir.path(), GALAXY, spot.beside);
        pristine = fileContents(GALAXY + ".glx");
        good = plentifulGood(spot.planet);
        script = purchaseScript(good);
    }
    void reinstall() { installGalaxy(dir.path(), GALAXY, spot.beside); }

    ScopedWorkDir dir;
    PlanetSpot spot;
    std::string pristine;
    int good = 0;
    std::vector<Step> script;
};

}  // namespace

// A signal at any key read of a purchase: the galaxy is saved with the
// purchase either not made or made, never half of it; before the galaxy is
// opened nothing is written at all.
TEST_F(StoppedGame, APurchaseIsSavedWholeOrNotAtAll) {
    // The state just before the confirmation and at the end, without signals.
    const std::vector<Step> untilConfirmation(script.begin(), script.begin() + 8);
    Trade before;
    play(untilConfirmation, untilConfirmation.size() + 1, 0, &before, good, spot.planet);
    reinstall();
    const std::vector<Step> untilMap(script.begin(), script.end() - 1);
    Trade after;
    play(untilMap, untilMap.size() + 1, 0, &after, good, spot.planet);
    ASSERT_EQ(after.cargo, before.cargo + BOUGHT);
    ASSERT_LT(after.credits, before.credits);
    ASSERT_EQ(after.stock, before.stock - BOUGHT);
    const Trade landed{before.credits, before.cargo, before.stock, spot.planet};

    enum class Saved { Nothing, BeforeLanding, BeforePurchase, AfterPurchaseOnPlanet, AfterPurchaseOnMap };
    const struct {
        std::size_t at;
        int signal;
        Saved saved;
    } cases[] = {
        {1, SIGTERM, Saved::Nothing},                 // typing the galaxy's name
        {2, SIGHUP, Saved::BeforeLanding},            // the map
        {3, SIGINT, Saved::BeforePurchase},           // the planet's panel
        {6, SIGHUP, Saved::BeforePurchase},           // half typed
        {8, SIGINT, Saved::BeforePurchase},           // the confirmation question
        {9, SIGTERM, Saved::AfterPurchaseOnPlanet},   // the market again, bought
        {11, SIGHUP, Saved::AfterPurchaseOnMap},      // the map after take-off
        {12, SIGINT, Saved::AfterPurchaseOnMap},      // the menu after Esc saved it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("signal " + std::to_string(c.signal) + " before step " + std::to_string(c.at));
        reinstall();
        EXPECT_EQ(play(script, c.at, c.signal), c.signal);
        if (c.saved == Saved::Nothing) {
            EXPECT_TRUE(fileContents(GALAXY + ".glx") == pristine) << "written outside the galaxy";
            continue;
        }
        const Trade saved = savedTrade(good, spot.planet);
        switch (c.saved) {
            case Saved::BeforeLanding:
                EXPECT_EQ(saved.credits, before.credits);
                EXPECT_EQ(saved.cargo, before.cargo);
                EXPECT_EQ(saved.ship, spot.beside);
                break;
            case Saved::BeforePurchase: EXPECT_EQ(saved, landed); break;
            case Saved::AfterPurchaseOnPlanet:
                EXPECT_EQ(saved, (Trade{after.credits, after.cargo, after.stock, spot.planet}));
                break;
            case Saved::AfterPurchaseOnMap: EXPECT_EQ(saved, after); break;
            case Saved::Nothing: break;
        }
    }
}

// A stop during timed work or an encounter ends it at once (no time passes
// after the signal) and saves as between two key reads: the jump's cut
// calculation prepares nothing, pirates take the hold as from a ship that
// flees, a meteor field keeps its damage, the other dimension and its fake
// crash leave the ship in the sector it jumped from, and the pirates planet
// destroyed is saved gone with the win.
TEST_F(StoppedGame, TimedWorkAndEncountersEndAtOnceAndSave) {
    Player installed;
    {
        Sector home(0, 0, &installed, GALAXY.c_str());
        ASSERT_EQ(home.loadGame(), LoadResult::Ok);
        installed.fitPart(SLOT_COLLECTOR, 14);
        installed.addEnergy(10000);
        installed.addTrade(0, 7);
        installed.countShipWeight();
        ASSERT_TRUE(home.save(nullptr, false));
    }
    const std::string toDimension = "prepHyperJump;" + std::to_string(installed.getDim().X) + ";" +
                                    std::to_string(installed.getDim().Y) + ";1;1\nhyperJump\n";
    using Keys = std::function<void(HeadlessBackend&)>;
    const Keys step = [](HeadlessBackend& k) { pressed(keycode::Left, 16)(k); };
    const Keys computer = [](HeadlessBackend& k) { k.pushKey(keycode::Tilde); };
    const auto atHome = [&](const Player& saved, const Player&) {
        EXPECT_TRUE(saved.getaSectorNumber() == installed.getaSectorNumber() && saved.getrPos() == spot.beside);
        EXPECT_EQ(saved.getaEnergy(), 0);  // what the jump cost
    };
    const struct {
        const char* name;
        int event;  // what the first step on the map starts
        std::vector<Keys> keys;
        unsigned delay;  // from the last key to the signal
        int signal;
        std::function<void(const Player& saved, const Player& live)> check;
        std::function<void(Sector& home, Player& ship)> prepare = {};  // the galaxy of this case alone
    } cases[] = {
        {"path calculation", Sector::EVENT_NONE,
         {computer, typed("enableTurboAcceleration;61358024\nremoveFuel;5\nprepHyperJump;40;40;1;1\n")}, 5000,
         SIGINT,
         [&](const Player& saved, const Player& live) {
             EXPECT_EQ(saved.getaFuel(), installed.getaFuel() - 5);
             EXPECT_FALSE(live.getHyperJump());
         }},
        {"pirates announced", Sector::EVENT_PIRATES, {step}, 100, SIGTERM,
         [](const Player& saved, const Player&) { EXPECT_EQ(saved.getTrade(0), 0); }},
        {"combat pause", Sector::EVENT_PIRATES, {step, typed("\n6")}, 1000, SIGHUP,
         [](const Player& saved, const Player&) { EXPECT_EQ(saved.getTrade(0), 0); }},
        {"meteor field", Sector::EVENT_METEORS, {step, typed("\n")}, 20000, SIGINT,
         [&](const Player& saved, const Player& live) {
             EXPECT_LT(live.getaHealth(), installed.getaHealth());
             EXPECT_EQ(saved.getaHealth(), live.getaHealth());
             EXPECT_TRUE(saved.getrPos() == live.getrPos() && saved.getTrade(0) == 7);
         }},
        {"other dimension", Sector::EVENT_NONE, {computer, typed(toDimension)}, 3000, SIGTERM, atHome},
        {"fake crash", Sector::EVENT_NONE, {computer, typed(toDimension), computer}, 500, SIGHUP, atHome},
        // In the victory window: the planet is gone from the galaxy with the win.
        // (Its event only picks a seed that wins the fight: a step onto the planet draws none.)
        {"pirates planet won", Sector::EVENT_METEORS, {pressed(keycode::Left), typed("\n" + std::string(40, '3'))},
         1000, SIGTERM,
         [](const Player& saved, const Player& live) {
             ASSERT_TRUE(live.getIsWinner()) << "the fight was not won";
             Player reloaded;
             Sector home(0, 0, &reloaded, GALAXY.c_str());
             ASSERT_EQ(home.loadGame(), LoadResult::Ok);
             EXPECT_TRUE(saved.getIsWinner() && home.getEpPos() == (Coord{-1, -1}));
         },
         [](Sector& home, Player& ship) {
             fitAll(ship, 14);
             ship.addEnergy(ship.getMaxEnergy());
             ship.chargeShield();
             ship.addAmmo(10000);
             home.genEnemyPlanet();
             ship.setPos(Coord{static_cast<short>(home.getEpPos().X + 1), home.getEpPos().Y});
         }},
    };
    const std::string prepared = fileContents(GALAXY + ".glx");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(GALAXY + ".glx", std::ios::binary) << prepared;
        if (c.prepare) {
            Player ship;
            Sector home(0, 0, &ship, GALAXY.c_str());
            ASSERT_EQ(home.loadGame(), LoadResult::Ok);
            c.prepare(home, ship);
            ASSERT_TRUE(home.save(nullptr, false));
        }
        HeadlessGame g;
        g.screen->pushText("L" + GALAXY + "\n");
        for (const Keys& keys : c.keys) keys(*g.screen);
        g.screen->pushDelay(c.delay);
        g.screen->pushSignal(c.signal);
        rng::srand(seedStarting(c.event));
        EXPECT_EQ(signalThatEnded([&] { g.game.run(); }), c.signal);
        EXPECT_LE(g.screen->nowMs(), g.screen->signalledAt() + 100);
        Player saved;
        Sector home(0, 0, &saved, GALAXY.c_str());
        ASSERT_EQ(home.loadGame(), LoadResult::Ok);
        c.check(saved, g.game.getPlayer());
    }
}

// A creation stopped by a signal leaves neither the galaxy nor its working
// file behind, and the game unwinds with that signal.
TEST(StoppedCreation, LeavesNoFileBehind) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE("signal " + std::to_string(signal));
        ScopedWorkDir dir;
        rng::srand(SEED);
        HeadlessGame g;
        g.screen->pushText("NHalted\n");
        g.screen->pushKey('2');
        g.screen->pushSignal(signal);  // noticed by the creation's progress
        EXPECT_EQ(signalThatEnded([&] { g.game.run(); }), signal);
        EXPECT_TRUE(std::filesystem::is_empty(dir.path()))
            << std::filesystem::directory_iterator(dir.path())->path();
    }
}

// A crossing into a sector that cannot be read leaves the ship where it
// was, also when a signal comes while the failure is on screen.
TEST(StoppedCrossing, AFailedCrossingIsSavedAsNeverMade) {
    ScopedWorkDir dir;
    const Coord top{39, 1};
    installGalaxy(dir.path(), GALAXY, top);
    {
        // Sector (0, -1), north of the ship, is damaged.
        std::fstream file(GALAXY + ".glx", std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(sectorRecordOffset(galaxy::sectorNumber(0, -1)) + static_cast<std::int64_t>(sectorRec::number));
        file.write("\x7f\x7f\x7f\x7f", 4);
    }
    const GalaxyReport before = checkGalaxyFile(GALAXY + ".glx");
    HeadlessGame g;
    g.screen->pushText("L" + GALAXY + "\n");
    for (int i = 0; i < 16; ++i) g.screen->pushKey(keycode::Up);
    g.screen->pushSignal(SIGTERM);  // at the pause after "Blad podczas odczytu pliku"
    ASSERT_EQ(signalThatEnded([&] { g.game.run(); }), SIGTERM);
    ASSERT_NE(g.screen->dump().find("Blad podczas odczytu pliku"), std::string::npos) << g.screen->dump();
    Player saved;
    Sector home(0, 0, &saved, GALAXY.c_str());
    ASSERT_EQ(home.loadGame(), LoadResult::Ok);
    EXPECT_EQ(saved.getrPos(), top);
    EXPECT_EQ(saved.getWorldY(), 0);
    EXPECT_EQ(saved.getaFuel(), before.player.getaFuel());
}

// The system's own stops during a run of S saves, each between two steps: a
// signal on POSIX; on Windows a console event, which Windows hands to the
// handler on a thread of its own. The game finishes the save, unwinds at its
// next key read and saves the ship where it is; the handler of a closing
// window or a shut-down holds the process until then.
TEST(StoppedFromOutside, DuringSavesTheGalaxyIsSavedWholeFirst) {
    const struct {
        int signal;
        unsigned long windowsEvent;  // CTRL_C_EVENT, CTRL_CLOSE_EVENT, CTRL_SHUTDOWN_EVENT
        bool handlerWaits;
    } cases[] = {{SIGINT, 0, false}, {SIGHUP, 2, true}, {SIGTERM, 6, true}};
    interrupt::install();
    for (const auto& c : cases) {
        SCOPED_TRACE("signal " + std::to_string(c.signal));
        ScopedWorkDir dir;
        installGalaxy(dir.path(), GALAXY, planetSpot().beside);  // no planet in its column
        HeadlessGame g;
        g.game.getSector().setEncounters(nullptr);
        g.screen->pushText("L" + GALAXY + "\n");
        for (int round = 0; round < 200; ++round) {
            for (int press = 0; press < 16; ++press) g.screen->pushKey(round % 2 == 0 ? keycode::Up : keycode::Down);
            g.screen->pushText("S ");
        }
        std::atomic<bool> handlerReturned = false;
        std::thread outside([&] {
            const std::string pending = galaxy::pendingSaveFileName(GALAXY + ".glx");
            for (int wait = 0; wait < 20000 && !std::filesystem::exists(pending); ++wait)
                std::this_thread::sleep_for(std::chrono::microseconds(50));
#ifdef _WIN32
            interrupt::onConsoleControl(c.windowsEvent);
#else
            std::raise(c.signal);
#endif
            handlerReturned = true;
        });
        EXPECT_EQ(signalThatEnded([&] { g.game.run(); }), c.signal);
#ifdef _WIN32
        // Windows ends the process as soon as such a handler returns.
        if (c.handlerWaits) {
            EXPECT_FALSE(handlerReturned) << "the process could have ended before the save";
        }
#endif
        interrupt::reset();
        outside.join();
        const GalaxyReport saved = checkGalaxyFile(GALAXY + ".glx");
        EXPECT_TRUE(saved.sound()) << saved.describe();
        EXPECT_EQ(saved.player.getrPos(), g.game.getPlayer().getrPos());
    }
}
