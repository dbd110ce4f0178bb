// The landing panel and the hangar: layouts, the ticks on landing, the fuel
// check on departure, and the services' caps, prices and refusals.

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <tuple>

#include "TestSupport.h"
#include "catalog/Random.h"
#include "planet/Planet.h"
#include "player/Player.h"

namespace {

constexpr int WOOD = 12;

// A planet whose only facility mines Wood, so every tick adds 5 Wood.
Planet woodMine() {
    Planet planet(0, 0);
    savePlanetData data;
    planet.SaveToFile(&data);
    std::uint8_t* r = data.bytes.data();
    record::put16(r + planetRec::facilityCount, 1);
    record::put16(r + planetRec::inputCount, 2);
    record::put16(r + planetRec::facilityOutput, WOOD);
    record::put16(r + planetRec::facilityInputs, Planet::NO_INPUT);
    record::put16(r + planetRec::facilityInputs + 2, Planet::NO_INPUT);
    EXPECT_TRUE(planet.LoadFromFile(&data));
    planet.setName("EARTH");
    return planet;
}

struct PanelTest : ::testing::Test {
    HeadlessConsole console;
    Player player;
    Planet planet = woodMine();
    std::string shown;  // every screen since the last service, closed windows too

    PanelTest() { console.screen->onPresent = [this](const HeadlessBackend& b) { shown += b.dump(); }; }
    bool showed(const char* text) const { return shown.find(text) != std::string::npos; }
    std::string cells(int x, int y, std::size_t length) const { return console.screen->row(y).substr(x, length); }
    int land() { return planet.ShowPanel(&console.con, &player, nullptr); }
    // Types the amount, then presses the answer and whatever closes an error
    // box. Every key must be used.
    void service(void (Planet::*operation)(ConLib*, Player*), const char* typed,
                 std::initializer_list<unsigned> keys = {'Y'}) {
        shown.clear();
        console.screen->pushText(typed);
        console.screen->pushKeys(keys);
        (planet.*operation)(&console.con, &player);
        EXPECT_TRUE(console.screen->scriptEmpty()) << typed;
    }
};

}  // namespace

TEST_F(PanelTest, LayoutOfOrdinaryAndRarePlanets) {
    planet.setRarity(false);
    EXPECT_THROW(land(), ScriptExhausted);
    const std::string lines[] = {
        "Planet name: EARTH",
        "Coordinates: (" + std::to_string(planet.getgX()) + ", " + std::to_string(planet.getgY()) + ")",
        "Population: " + std::to_string(planet.getPopulation()) + " mld "};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(cells(2, 2 + i, lines[i].size()), lines[i]);
    EXPECT_EQ(cells(38, 0, 5), "EARTH");
    EXPECT_EQ(cells(56, 2, 21), std::string(7, '*') + "OPTIONS" + std::string(7, '*'));
    EXPECT_EQ(cells(58, 4, 10), "H - Hangar");
    EXPECT_EQ(cells(58, 7, 13), "E - Departure");
    EXPECT_EQ(cells(56, 9, 21), std::string(21, '*'));
    EXPECT_EQ(console.screen->fgAt(58, 4), 0u);
    EXPECT_EQ(console.screen->bgAt(40, 20), 2u);
    planet.setRarity(true);
    EXPECT_THROW(land(), ScriptExhausted);
    EXPECT_EQ(cells(58, 7, 14), "L - Laboratory");
    EXPECT_EQ(cells(58, 8, 13), "E - Departure");
    EXPECT_EQ(cells(56, 10, 21), std::string(21, '*'));
}

TEST_F(PanelTest, LandingRunsZeroToThreeTicks) {
    std::set<int> seen;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        rng::srand(seed);
        const int ticks = rng::rand() % 4;
        seen.insert(ticks);
        planet.setGood(WOOD, 500);
        rng::srand(seed);
        console.screen->pushKey('E');
        EXPECT_EQ(land(), 0);
        EXPECT_EQ(planet.getGood(WOOD), 500 + 5 * ticks) << seed;
    }
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3}));
}

TEST_F(PanelTest, DepartureNeedsFuelForOneStep) {
    player.fitPart(SLOT_ENGINE, 4);  // burns 3 litres a step
    player.removeFuel(player.getaFuel() - 3);
    console.screen->pushKey('E');
    EXPECT_EQ(land(), 0);
    player.removeFuel(1);
    console.screen->pushKey('E');
    EXPECT_THROW(land(), ScriptExhausted);
    EXPECT_EQ(cells(21, 10, 39), std::string(14, '*') + "INFORMATION" + std::string(14, '*'));
    EXPECT_EQ(cells(21, 12, 39), "* You don't have enought fuel!        *");
    EXPECT_EQ(console.screen->fgAt(23, 12), 1u);
    EXPECT_EQ(console.screen->bgAt(23, 12), 7u);
    // Any key closes it and the panel stands again; "L" does nothing on an ordinary planet.
    planet.setRarity(false);
    console.screen->pushKeys({'E', 'X', 'L'});
    EXPECT_THROW(land(), ScriptExhausted);
    EXPECT_EQ(cells(2, 2, 12), "Planet name:");
    EXPECT_EQ(cells(21, 12, 10), std::string(10, ' '));
}

TEST_F(PanelTest, KeysOpenHangarAndMarketAndComeBack) {
    console.screen->pushKeys({'T', 'E', 'H', 'E', 'Q'});
    EXPECT_THROW(land(), ScriptExhausted);
    EXPECT_TRUE(showed("TRADE") && showed("HANGAR"));
    EXPECT_EQ(cells(2, 2, 12), "Planet name:");
}

TEST_F(PanelTest, HangarScreenAndQuestionBox) {
    player.addAmmo(25);
    console.screen->pushKeys({'F'});
    console.screen->pushText("7");
    EXPECT_THROW(planet.HangarPanel(&console.con, &player, nullptr), ScriptExhausted);
    for (auto [x, y, text] : {std::tuple{37, 0, "HANGAR"}, {14, 2, "SHIP INFORMATION"},
                              {4, 4, "Health: 1400pkt / 1400pkt"}, {4, 5, "Fuel: 1000l / 1000l"},
                              {4, 6, "Capacity: 0 / 100"}, {4, 8, "Energy: 0W / 0W"}, {4, 9, "Ammo: 25"},
                              {4, 11, "Hull type: LSteel"}, {4, 16, "Weapon type: NGunS100"},
                              {51, 4, "A - Buy ammo"}, {51, 14, "Fuel: 1C/l"}, {49, 21, "Credits:"}, {49, 22, "10000"}})
        EXPECT_EQ(shown.substr(static_cast<std::size_t>(y) * 81 + x, std::strlen(text)), text) << x << "," << y;
    // The question box stands at (18, 8), red on white; the amount is typed at (20, 12).
    EXPECT_EQ(cells(18, 8, 45), std::string(18, '*') + "BUY FUEL" + std::string(19, '*'));
    EXPECT_EQ(cells(20, 10, 36), "How many fuel would you like to buy?");
    EXPECT_EQ(console.screen->charAt(20, 12), '7');
    EXPECT_EQ(console.screen->fgAt(20, 12), 1u);
    EXPECT_EQ(console.screen->bgAt(20, 12), 7u);
}

TEST_F(PanelTest, HangarAmountsAreCappedToWhatFits) {
    player.removeFuel(10);
    service(&Planet::BuyFuel, "50\n");
    EXPECT_TRUE(showed("Do you want to buy 10l fuel?") && showed("Price: 10 credits"));
    EXPECT_EQ(player.getaFuel(), 1000);
    service(&Planet::Repair, "100\n");
    EXPECT_TRUE(showed("Do you want to repair 0pkt health?") && showed("Price: 0 credits"));
    service(&Planet::ChargeEnergy, "100\n");  // collector "NONE" holds nothing
    EXPECT_TRUE(showed("Do you want to charge 0W energy?"));
    service(&Planet::BuyFuel, "lots\n", {'N'});  // not a number: an offer of nothing
    EXPECT_TRUE(showed("Do you want to buy 0l fuel?"));
    EXPECT_EQ(player.getaHealth(), 1400);
    EXPECT_EQ(player.getCredits(), 9990);
}

TEST_F(PanelTest, HangarCreditsAndHoldDecide) {
    player.addTrade(13, 100);
    player.countShipWeight();
    service(&Planet::BuyAmmo, "9\n");  // 9 / 10 weighs nothing
    EXPECT_EQ(player.getAmmo(), 9);
    service(&Planet::BuyAmmo, "10\n", {'Y', 'X'});
    EXPECT_TRUE(showed("You don't have enought free space!"));
    EXPECT_EQ(player.getAmmo(), 9);
    player.removeFuel(10);
    player.removeCredits(9982 - 9);
    service(&Planet::BuyFuel, "10\n", {'Y', 'X'});
    EXPECT_TRUE(showed("You don't have enought credits!"));
    EXPECT_EQ(player.getaFuel(), 990);
    player.addCredits(1);
    service(&Planet::BuyFuel, "10\n");  // exactly enough
    EXPECT_EQ(player.getaFuel(), 1000);
    EXPECT_EQ(player.getCredits(), 0);
}

TEST_F(PanelTest, HangarEnergyGoesOnIntoTheShieldWhateverTheAnswer) {
    player.fitPart(SLOT_SHIELD, 1);
    player.fitPart(SLOT_COLLECTOR, 1);
    player.addEnergy(60);
    service(&Planet::ChargeEnergy, "10\n", {'N'});
    EXPECT_EQ(player.getaShield(), 60);
    EXPECT_EQ(player.getaEnergy(), 0);
    service(&Planet::ChargeEnergy, "30\n");
    EXPECT_EQ(player.getaShield(), 90);
    EXPECT_EQ(player.getCredits(), 9940);

    // Refusals end the same way: the stored energy still goes into the shield.
    const struct {
        const char* typed;
        std::initializer_list<unsigned> keys;
        int credits;
    } refused[] = {
        {"-5\n", {'X'}, 10000},      // a negative amount
        {"10\n", {'Y', 'X'}, 0},     // not enough credits
        {"abc\n", {'N'}, 10000},     // not a number: an offer of nothing, declined
    };
    for (const auto& c : refused) {
        player = Player();
        player.fitPart(SLOT_SHIELD, 1);
        player.fitPart(SLOT_COLLECTOR, 1);
        player.removeCredits(player.getCredits() - c.credits);
        player.addEnergy(60);
        service(&Planet::ChargeEnergy, c.typed, c.keys);
        EXPECT_EQ(player.getaShield(), 60) << c.typed;
        EXPECT_EQ(player.getaEnergy(), 0) << c.typed;
        EXPECT_EQ(player.getCredits(), c.credits) << c.typed;
    }
}

TEST_F(PanelTest, HangarRefusesNegativeAndOverflowingAmounts) {
    player.removeFuel(500);
    service(&Planet::BuyFuel, "-1000\n", {'X'});
    EXPECT_TRUE(showed("You typed wrong amount!"));
    for (const char* typed : {"1073741824\n", "99999999999\n"}) {  // twice that is past 32 bits
        service(&Planet::BuyAmmo, typed, {'X'});
        EXPECT_TRUE(showed("You typed too big amount!"));
    }
    service(&Planet::BuyAmmo, "1073741823\n", {'Y', 'X'});
    EXPECT_TRUE(showed("Price: 2147483646 credits"));
    EXPECT_EQ(player.getaFuel(), 500);
    EXPECT_EQ(player.getAmmo(), 0);
    EXPECT_EQ(player.getCredits(), 10000);
    // The error box: centred, 5 high, red on white.
    console.screen->pushText("-1\n");
    EXPECT_THROW(planet.Repair(&console.con, &player), ScriptExhausted);
    EXPECT_EQ(cells(26, 10, 29), std::string(12, '*') + "ERROR" + std::string(12, '*'));
    EXPECT_EQ(cells(26, 12, 29), "* You typed wrong amount!   *");
    EXPECT_EQ(cells(26, 14, 29), std::string(29, '*'));
    EXPECT_EQ(console.screen->fgAt(28, 12), 1u);
    EXPECT_EQ(console.screen->bgAt(28, 12), 7u);
}
