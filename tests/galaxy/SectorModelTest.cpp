// Sector generation, the planet queries and the hidden bonuses.

#include <gtest/gtest.h>

#include <cstdlib>

#include "TestSupport.h"
#include "catalog/Random.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

void placePlanet(Sector& sector, int slot, int x, int y) {
    Planet* planet = sector.getPlanet(slot);
    ASSERT_NE(planet, nullptr);
    planet->setrX(x);
    planet->setrY(y);
}

// The pirates planet can only be removed through the sector's own code or a record.
void removeEnemyPlanet(Sector& sector) {
    saveSectorData data;
    sector.SaveToFile(&data);
    record::put16(data.bytes.data() + sectorRec::epX, -1);
    record::put16(data.bytes.data() + sectorRec::epY, -1);
    ASSERT_TRUE(sector.LoadFromFile(&data));
}

}  // namespace

TEST(SectorGeneration, PlanetsStandApartInEverySector) {
    rng::srand(2024);
    Sector sector(0, 0, nullptr, nullptr);
    int seen[11] = {};
    for (int n = 0; n < 1500; ++n) {
        const int x = n % 101 - 50, y = (n * 7) % 101 - 50;
        sector.genSector(x, y);
        ASSERT_EQ(sector.getSecX(), x);
        ASSERT_EQ(sector.getSecY(), y);
        ASSERT_FALSE(sector.isOnEP(sector.getEpPos().X, sector.getEpPos().Y));
        ASSERT_EQ(sector.getEpPos(), (Coord{-1, -1}));
        const int count = sector.getNumber();
        ASSERT_GE(count, 0);
        ASSERT_LE(count, 10);
        ++seen[count];
        for (int i = 0; i < count; ++i) {
            const Planet* a = sector.getPlanet(i);
            ASSERT_EQ(a->getgX(), x * 80 + a->getrX());
            ASSERT_EQ(a->getgY(), y * 25 + a->getrY());
            for (int j = 0; j < i; ++j) {
                const Planet* b = sector.getPlanet(j);
                ASSERT_FALSE(a->getrX() == b->getrX() && a->getrY() == b->getrY());
                ASSERT_NE(std::abs(a->getrX() - b->getrX()), 1);
                ASSERT_NE(std::abs(a->getrY() - b->getrY()), 1);
            }
        }
    }
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[10], 0);
}

TEST(SectorGeneration, ConstructorAndGenSectorKeepTheirFields) {
    Player player;
    const char* name = "Andromeda";
    Sector sector(4, -7, &player, name);
    EXPECT_EQ(sector.getSecX(), 4);
    EXPECT_EQ(sector.getSecY(), -7);
    EXPECT_EQ(sector.getPlayer(), &player);
    EXPECT_EQ(sector.getwName(), name);
    EXPECT_EQ(sector.getaPartKind(), -1);

    sector.setNumber(0);
    ASSERT_TRUE(sector.setaPart(6));
    const Coord part = sector.getaPartPos();
    sector.genSector(1, 1);
    EXPECT_EQ(sector.getaPartKind(), 6);
    EXPECT_EQ(sector.getaPartPos(), part);

    sector.setwName(nullptr);
    sector.setPlayer(nullptr);
    EXPECT_EQ(sector.getwName(), name);
    EXPECT_EQ(sector.getPlayer(), &player);
}

TEST(SectorQueries, PlanetLookupsStayInsideTheSlotsInUse) {
    Sector sector(0, 0, nullptr, nullptr);
    sector.setNumber(2);
    sector.setNumber(11);
    sector.setNumber(-1);
    ASSERT_EQ(sector.getNumber(), 2);
    placePlanet(sector, 0, 10, 5);
    placePlanet(sector, 1, 10, 5);
    EXPECT_EQ(sector.getPlanet(10, 5), sector.getPlanet(0));
    EXPECT_EQ(sector.getPlanet(-1), nullptr);
    EXPECT_EQ(sector.getPlanet(2), nullptr);
    EXPECT_TRUE(sector.planetExist(1));
    EXPECT_FALSE(sector.planetExist(0));
    EXPECT_FALSE(sector.planetExist(10));

    // Neighbouring column or row counts as near whatever the other coordinate.
    placePlanet(sector, 1, 11, 20);
    EXPECT_TRUE(sector.planetIsNear(1));
    placePlanet(sector, 1, 50, 6);
    EXPECT_TRUE(sector.planetIsNear(1));
    placePlanet(sector, 1, 10, 7);
    EXPECT_FALSE(sector.planetIsNear(1));
    EXPECT_FALSE(sector.planetIsNear(0));
}

TEST(SectorQueries, EmptySectorHasNoPlanetAndTakesThePartAtOnce) {
    Player player;
    Sector sector(0, 0, &player, nullptr);
    sector.setNumber(0);
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) ASSERT_EQ(sector.getPlanet(x, y), nullptr);
    EXPECT_EQ(sector.getNearestPlanet(), nullptr);

    rng::srand(77);
    const int column = rng::rand() % 78 + 1, row = rng::rand() % 23 + 1;
    rng::srand(77);
    ASSERT_TRUE(sector.setaPart(4));
    EXPECT_EQ(sector.getaPartPos(), (Coord{static_cast<short>(column), static_cast<short>(row)}));
    EXPECT_TRUE(sector.isOnPart(column, row));
}

TEST(SectorQueries, NearestPlanetComparesWholeDistances) {
    Player player;
    player.setPos(Coord{10, 10});
    Sector sector(0, 0, &player, nullptr);
    sector.setNumber(3);
    placePlanet(sector, 0, 12, 12);  // 2.83
    placePlanet(sector, 1, 12, 11);  // 2.24: the same whole distance, a later slot
    placePlanet(sector, 2, 40, 20);
    EXPECT_EQ(sector.getNearestPlanet(), sector.getPlanet(0));
    placePlanet(sector, 0, 13, 13);  // 4.24
    EXPECT_EQ(sector.getNearestPlanet(), sector.getPlanet(1));

    Sector withoutPlayer(0, 0, nullptr, nullptr);
    EXPECT_EQ(withoutPlayer.getNearestPlanet(), nullptr);
}

TEST(SectorBonuses, PartAndPiratesPlanetAvoidPlanetsAndEachOther) {
    rng::srand(31337);
    Sector sector(0, 0, nullptr, nullptr);
    for (int n = 0; n < 500; ++n) {
        Sector fresh(n % 101 - 50, 0, nullptr, nullptr);
        ASSERT_TRUE(fresh.setaPart(static_cast<short>(n % 7)));
        const Coord part = fresh.getaPartPos();
        ASSERT_TRUE(part.X >= 1 && part.X <= 78 && part.Y >= 1 && part.Y <= 23);
        ASSERT_EQ(fresh.getPlanet(part.X, part.Y), nullptr);

        // A second part is refused and the first stays where it was.
        ASSERT_FALSE(fresh.setaPart(2));
        ASSERT_EQ(fresh.getaPartKind(), n % 7);
        ASSERT_EQ(fresh.getaPartPos(), part);

        fresh.genEnemyPlanet();
        const Coord ep = fresh.getEpPos();
        ASSERT_TRUE(ep.X >= 2 && ep.X <= 77 && ep.Y >= 2 && ep.Y <= 22);
        ASSERT_EQ(fresh.getPlanet(ep.X, ep.Y), nullptr);
        ASSERT_FALSE(fresh.isOnPart(ep.X, ep.Y));
        ASSERT_TRUE(fresh.isOnEP(ep.X, ep.Y));
    }
    EXPECT_FALSE(sector.setaPart(7));
    EXPECT_FALSE(sector.setaPart(-1));
    EXPECT_EQ(sector.getaPartKind(), -1);
}

TEST(SectorBonuses, DrawnInRedAndGoneOnceRemoved) {
    HeadlessConsole console;
    console.con.SetBackgroundColor(4);
    console.con.Clear();
    Sector sector(0, 0, nullptr, nullptr);
    sector.setNumber(0);
    ASSERT_TRUE(sector.setaPart(1));
    sector.genEnemyPlanet();
    const Coord part = sector.getaPartPos(), ep = sector.getEpPos();
    sector.drawBonuses(&console.con);
    const Cell partCell = console.con.grid().at(part.X, part.Y);
    const Cell epCell = console.con.grid().at(ep.X, ep.Y);
    EXPECT_EQ(partCell.ch, '*');
    EXPECT_EQ(partCell.fg, 1);
    EXPECT_EQ(partCell.bg, 4);
    EXPECT_EQ(epCell.ch, 'O');
    EXPECT_EQ(epCell.fg, 1);
    EXPECT_EQ(console.con.textColor(), 1);

    removeEnemyPlanet(sector);
    console.con.Clear();
    sector.drawBonuses(&console.con);
    EXPECT_EQ(console.con.grid().at(ep.X, ep.Y).ch, ' ');
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) ASSERT_FALSE(sector.isOnEP(x, y));
    EXPECT_EQ(console.con.grid().at(part.X, part.Y).ch, '*');
}
