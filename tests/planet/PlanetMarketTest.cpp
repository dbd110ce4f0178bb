// Market prices, purchases and sales, and their refusals.

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <tuple>

#include "TestSupport.h"
#include "planet/Planet.h"
#include "player/Player.h"

namespace {

constexpr int ORE = 14, CRISTALS = 13;

struct MarketTest : ::testing::Test {
    HeadlessConsole console;
    Player player;
    Planet planet{0, 0};
    std::string shown;  // every screen of the last trade, closed windows too

    MarketTest() {
        planet.setName("MARS");
        setStocks(500);
        console.screen->onPresent = [this](const HeadlessBackend& b) { shown += b.dump(); };
    }
    void setStocks(int stock) {
        for (int good = 0; good < Planet::GOOD_COUNT; ++good) planet.setGood(good, stock);
    }
    bool showed(const char* text) const { return shown.find(text) != std::string::npos; }
    // Types product and count, then presses the answer and whatever closes an
    // error box. Every key must be used.
    void trade(void (Planet::*operation)(ConLib*, Player*), const char* typed,
               std::initializer_list<unsigned> keys) {
        shown.clear();
        console.screen->pushText(typed);
        console.screen->pushKeys(keys);
        (planet.*operation)(&console.con, &player);
        EXPECT_TRUE(console.screen->scriptEmpty()) << typed;
    }
    void buy(const char* typed, std::initializer_list<unsigned> keys = {'Y'}) { trade(&Planet::Buy, typed, keys); }
    void sell(const char* typed, std::initializer_list<unsigned> keys = {'Y'}) { trade(&Planet::Sell, typed, keys); }
};

}  // namespace

TEST_F(MarketTest, PricesFollowTheStocks) {
    const int atHalf[] = {422, 519, 520, 322, 317, 323, 178, 166, 168, 80, 76, 56, 2, 50, 10};
    const int atZero[] = {3125, 3230, 3245, 1455, 1375, 1470, 625, 530, 545, 220, 205, 125, 5, 100, 20};
    for (int good = 0; good < Planet::GOOD_COUNT; ++good) {
        EXPECT_EQ(planet.getGoodPrice(good, 500), atHalf[good]) << good;
        EXPECT_EQ(planet.getGoodPrice(good, 1000), 2) << good;
    }
    EXPECT_EQ(planet.getGoodPrice(12, 400), 3);
    EXPECT_EQ(planet.getGoodPrice(12, 401), 2);
    EXPECT_EQ(planet.getGoodPrice(ORE, 300), 13);  // single-precision factor
    EXPECT_EQ(planet.getGoodPrice(ORE, 1), 19);
    setStocks(0);
    for (int good = 0; good < Planet::GOOD_COUNT; ++good) EXPECT_EQ(planet.getGoodPrice(good, 0), atZero[good]) << good;
}

TEST_F(MarketTest, EachUnitIsPricedAtTheStockItLeavesOrJoins) {
    buy("15\n10\n");
    EXPECT_TRUE(showed("Price: 100 credits"));
    EXPECT_EQ(player.getCredits(), 9900);
    EXPECT_EQ(player.getTrade(ORE), 10);
    EXPECT_EQ(planet.getGood(ORE), 490);
    EXPECT_EQ(player.getaWeight(), 10);
    planet.setGood(ORE, 500);
    sell("15\n10\n", {'N'});
    EXPECT_EQ(player.getCredits(), 9900);
    sell("15\n10\n");  // the first unit, priced 10, counts 5
    EXPECT_EQ(player.getCredits(), 9986);
    EXPECT_EQ(planet.getGood(ORE), 510);
    EXPECT_EQ(player.getaWeight(), 0);
}

TEST_F(MarketTest, StocksLimitBothWays) {
    planet.setGood(ORE, 20);
    buy("15\n21\n", {'X'});
    EXPECT_TRUE(showed("Not enought product on this planet!"));
    buy("15\n20\n");
    EXPECT_EQ(planet.getGood(ORE), 0);
    player.addTrade(ORE, 11);
    planet.setGood(ORE, 970);
    sell("15\n31\n", {'X'});
    EXPECT_TRUE(showed("Not enought free space on planet!"));
    EXPECT_EQ(player.getTrade(ORE), 31);
    sell("15\n30\n");
    EXPECT_EQ(planet.getGood(ORE), 1000);
}

TEST_F(MarketTest, RefusalsChangeNothing) {
    player.removeCredits(9900);
    buy("15\n11\n", {'Y', 'X'});
    EXPECT_TRUE(showed("You don't have enought credits!"));
    const std::pair<const char*, const char*> refused[] = {
        {"16\n", "You typed wrong product number!"}, {"0\n", "You typed wrong product number!"},
        {"15\n0\n", "You typed wrong amount!"},      {"15\n-5\n", "You typed wrong amount!"},
        {"15\nten\n", "You typed wrong amount!"},    {"15\n99999999999\n", "Not enought product on this planet!"}};
    for (auto [typed, text] : refused) {
        buy(typed, {'X'});
        EXPECT_TRUE(showed(text)) << typed;
    }
    sell("15\n1\n", {'X'});
    EXPECT_TRUE(showed("You don't have enought product!"));
    EXPECT_EQ(player.getCredits(), 100);
    EXPECT_EQ(planet.getGood(ORE), 500);

    player.addCredits(9900);
    player.addTrade(CRISTALS, 100);
    player.countShipWeight();
    buy("15\n1\n", {'Y', 'X'});
    EXPECT_TRUE(showed("You don't have enought free space!"));
    // Credits that cannot grow further keep the goods where they are.
    player.addCredits(std::numeric_limits<int>::max() - 10000 - 5);
    sell("14\n1\n", {'Y', 'X'});
    EXPECT_TRUE(showed("You can't carry so many credits!"));
    EXPECT_EQ(player.getTrade(CRISTALS), 100);
    EXPECT_EQ(player.getTrade(ORE), 0);
}

// Credits hold at most 2147483647: a sale that lands exactly there is paid,
// one that would pass it by a single credit is refused and changes nothing.
TEST_F(MarketTest, SalesReachTheCreditsCeilingButNotBeyond) {
    constexpr int CEILING = std::numeric_limits<int>::max();
    const int price = planet.getGoodPrice(ORE, 300);  // one unit of Ore joining a stock of 300
    ASSERT_NE(price, 10);                             // a unit priced 10 would fetch only 5
    const struct {
        int roomBefore;  // credits still missing to the ceiling
        bool paid;
    } cases[] = {{price + 1, true}, {price, true}, {price - 1, false}, {0, false}};
    for (const auto& c : cases) {
        player.removeCredits(player.getCredits());
        player.addCredits(CEILING - c.roomBefore);
        player.removeTrade(ORE, player.getTrade(ORE));
        player.addTrade(ORE, 1);
        planet.setGood(ORE, 300);
        sell("15\n1\n", c.paid ? std::initializer_list<unsigned>{'Y'} : std::initializer_list<unsigned>{'Y', 'X'});
        EXPECT_EQ(showed("You can't carry so many credits!"), !c.paid) << c.roomBefore;
        EXPECT_EQ(player.getCredits(), CEILING - c.roomBefore + (c.paid ? price : 0)) << c.roomBefore;
        EXPECT_EQ(player.getTrade(ORE), c.paid ? 0 : 1) << c.roomBefore;
        EXPECT_EQ(planet.getGood(ORE), c.paid ? 301 : 300) << c.roomBefore;
    }
}

TEST_F(MarketTest, SaleReachingOneMillionWinsOnce) {
    player.newPlayer(VICTORY_CASH);
    player.addCredits(999999 - 10000 - 86);
    player.addTrade(ORE, 30);
    sell("15\n10\n");
    EXPECT_FALSE(player.getIsWinner());  // 999999
    player.removeCredits(85);
    planet.setGood(ORE, 500);
    sell("15\n10\n", {'Y', 'X', 13});
    EXPECT_EQ(player.getCredits(), 1000000);
    EXPECT_TRUE(player.getIsWinner());
    EXPECT_TRUE(showed("YOU WON THE GAME"));
    sell("15\n1\n");  // without Enter scripted, a second announcement would run out of keys
}

TEST_F(MarketTest, ScreenListsBothSidesAndLeavesToThePanel) {
    player.addTrade(3, 7);
    player.countShipWeight();
    console.screen->pushKey('E');
    planet.TradePanel(&console.con, &player, nullptr);
    for (auto [x, y, text] : {std::tuple{38, 0, "TRADE"}, {17, 2, "MARS"}, {48, 2, "PLAYER"},
                              {4, 4, "Nr Count  Name          Price"}, {4, 6, "1  500    Nano-Tech     422"},
                              {4, 20, "15 500    Ore           10"}, {40, 9, "4  7      Nano-parts"},
                              {65, 10, "Credits: "}, {65, 11, "10000"}, {65, 13, "Capacity:"}, {65, 14, "7 / 100"},
                              {67, 4, "B - Buy"}})
        EXPECT_EQ(shown.substr(static_cast<std::size_t>(y) * 81 + x, std::strlen(text)), text) << x << "," << y;
    EXPECT_EQ(console.screen->fgAt(28, 6), 0u);
    EXPECT_EQ(console.screen->bgAt(28, 6), 2u);
    EXPECT_EQ(gridText(console.con, 2, 2, 12), "Planet name:");  // the landing panel stands again
}
