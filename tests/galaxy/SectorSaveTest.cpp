// Sector records and the galaxy file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "screen/KeyCodes.h"
#include "catalog/Random.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

constexpr const char* GALAXY = "Orion";

// A galaxy file of full length whose records are all zero bytes.
void makeBlankGalaxy() {
    std::ofstream(galaxy::fileName(GALAXY), std::ios::binary);
    std::filesystem::resize_file(galaxy::fileName(GALAXY), GALAXY_FILE_SIZE);
}

template <typename Record>
Record readRecord(std::int64_t offset) {
    Record data;
    std::ifstream file(galaxy::fileName(GALAXY), std::ios::binary);
    file.seekg(offset);
    file.read(reinterpret_cast<char*>(data.bytes.data()), static_cast<std::streamsize>(data.bytes.size()));
    EXPECT_TRUE(file.good());
    return data;
}

template <typename Record>
void writeRecord(std::int64_t offset, const Record& data) {
    std::fstream file(galaxy::fileName(GALAXY), std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(offset);
    file.write(reinterpret_cast<const char*>(data.bytes.data()), static_cast<std::streamsize>(data.bytes.size()));
}

saveSectorData recordOf(const Sector& sector) {
    saveSectorData data;
    sector.SaveToFile(&data);
    return data;
}

// A sector of the given coordinates with a part and the pirates planet.
Sector sectorAt(int x, int y, Player* player) {
    Sector sector(0, 0, player, GALAXY);
    sector.genSector(x, y);
    sector.setaPart(3);
    sector.genEnemyPlanet();
    return sector;
}

class GalaxyFileTest : public ::testing::Test {
protected:
    void SetUp() override { rng::srand(42); }
    ScopedWorkDir dir;
    Player player;
};

}  // namespace

TEST(SectorRecord, FieldsAndSlotsLieAtTheirOffsets) {
    rng::srand(3);
    Sector sector = sectorAt(-50, 50, nullptr);
    sector.setNumber(3);
    saveSectorData data;
    data.bytes.fill(0xAB);
    sector.SaveToFile(&data);
    const std::uint8_t* r = data.bytes.data();
    EXPECT_EQ(record::get32(r + 0), 3);
    EXPECT_EQ(r[4], 0xCE);  // -50
    EXPECT_EQ(r[7], 0xFF);
    EXPECT_EQ(record::get32(r + 8), 50);
    EXPECT_EQ(record::get16(r + 12), sector.getaPartPos().X);
    EXPECT_EQ(record::get16(r + 14), sector.getaPartPos().Y);
    EXPECT_EQ(record::get16(r + 16), 3);
    EXPECT_EQ(record::get16(r + 18), sector.getEpPos().X);
    EXPECT_EQ(record::get16(r + 20), sector.getEpPos().Y);
    EXPECT_EQ(record::get16(r + 22), 0);
    for (int i = 0; i < 3; ++i) {
        savePlanetData planet;
        sector.getPlanet(i)->SaveToFile(&planet);
        EXPECT_TRUE(std::equal(planet.bytes.begin(), planet.bytes.end(), r + 24 + 116 * i)) << "slot " << i;
    }
    for (std::size_t at = 24 + 3 * 116; at < SECTOR_RECORD_SIZE; ++at) ASSERT_EQ(r[at], 0) << "byte " << at;

    EXPECT_EQ(sectorRecordOffset(galaxy::sectorNumber(0, 0)), 6038400);
    EXPECT_EQ(sectorRecordOffset(galaxy::sectorNumber(-50, -50)), 0);
    EXPECT_EQ(sectorRecordOffset(galaxy::sectorNumber(50, 50)) + std::int64_t{SECTOR_RECORD_SIZE}, PLAYER_RECORD_OFFSET);
}

TEST(SectorRecord, DamagedRecordsAreRefusedWithoutChange) {
    rng::srand(8);
    Sector sector = sectorAt(1, 2, nullptr);
    sector.setNumber(4);
    const saveSectorData sound = recordOf(sector);
    struct Damage {
        std::size_t offset;
        int value;
        bool wide;
    };
    const Damage damages[] = {
        {sectorRec::number, 11, true},    {sectorRec::number, -1, true},   {sectorRec::secX, 51, true},
        {sectorRec::secY, -51, true},     {sectorRec::aPartKind, 7, false}, {sectorRec::aPartKind, -2, false},
        {sectorRec::aPartX, 80, false},   {sectorRec::epY, 25, false},
        // A damaged planet in slot 3 (its facility count).
        {sectorRec::planets + 3 * PLANET_RECORD_SIZE + planetRec::facilityCount, 9, false},
    };
    for (const Damage& damage : damages) {
        saveSectorData data = sound;
        if (damage.wide)
            record::put32(data.bytes.data() + damage.offset, damage.value);
        else
            record::put16(data.bytes.data() + damage.offset, static_cast<std::int16_t>(damage.value));
        EXPECT_FALSE(sector.LoadFromFile(&data)) << "offset " << damage.offset;
        EXPECT_EQ(recordOf(sector).bytes, sound.bytes);
    }
    // A damaged slot past the planets in use is never read.
    saveSectorData data = sound;
    record::put16(data.bytes.data() + sectorRec::planets + 9 * PLANET_RECORD_SIZE + planetRec::rX, 500);
    EXPECT_TRUE(sector.LoadFromFile(&data));
}

TEST(NewGalaxyRecords, WritesEverySectorInNumberOrder) {
    rng::srand(1);
    std::ostringstream out;
    Sector working(0, 0, nullptr, nullptr);
    int calls = 0, last = 0;
    ASSERT_TRUE(writeNewGalaxyRecords(out, working, [&](int written) {
        ++calls;
        last = written;
    }));
    EXPECT_EQ(calls, SECTOR_COUNT);
    EXPECT_EQ(last, SECTOR_COUNT);
    const std::string bytes = out.str();
    ASSERT_EQ(bytes.size(), std::size_t{SECTOR_COUNT} * SECTOR_RECORD_SIZE);
    for (int n = 1; n <= SECTOR_COUNT; ++n) {
        saveSectorData data;
        std::copy_n(bytes.begin() + sectorRecordOffset(n), SECTOR_RECORD_SIZE, data.bytes.begin());
        ASSERT_TRUE(Sector::isSoundRecord(data));
        const int x = record::get32(data.bytes.data() + sectorRec::secX);
        const int y = record::get32(data.bytes.data() + sectorRec::secY);
        ASSERT_EQ(galaxy::sectorNumber(x, y), n);
        ASSERT_EQ(record::get16(data.bytes.data() + sectorRec::aPartKind), -1);
        ASSERT_EQ(record::get16(data.bytes.data() + sectorRec::epX), -1);
    }

    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_FALSE(writeNewGalaxyRecords(broken, working, [&](int) { ++calls; }));
    EXPECT_EQ(calls, SECTOR_COUNT);
}

TEST_F(GalaxyFileTest, NewGalaxyFileLoadsSectorZero) {
    {
        std::ofstream file(galaxy::fileName(GALAXY), std::ios::binary | std::ios::trunc);
        Sector working(0, 0, nullptr, nullptr);
        ASSERT_TRUE(writeNewGalaxyRecords(file, working));
        savePlayerData data;
        player.newPlayer(1);
        player.SaveToFile(&data);
        file.write(reinterpret_cast<const char*>(data.bytes.data()), PLAYER_RECORD_SIZE);
    }
    EXPECT_EQ(std::filesystem::file_size(galaxy::fileName(GALAXY)), static_cast<std::uintmax_t>(GALAXY_FILE_SIZE));
    Sector sector(0, 0, &player, GALAXY);
    ASSERT_TRUE(sector.load(5101));
    EXPECT_EQ(sector.getSecX(), 0);
    EXPECT_EQ(sector.getSecY(), 0);
    EXPECT_EQ(sector.loadGame(), LoadResult::Ok);
    EXPECT_EQ(player.getVicType(), 1);
}

TEST_F(GalaxyFileTest, SavedSectorAndPlayerComeBack) {
    makeBlankGalaxy();
    Sector sector = sectorAt(50, 50, &player);
    if (Planet* planet = sector.getPlanet(0)) planet->setGood(2, 999);
    player.addCredits(1234);
    ASSERT_TRUE(sector.save(nullptr, false));
    EXPECT_EQ(std::filesystem::file_size(galaxy::fileName(GALAXY)), static_cast<std::uintmax_t>(GALAXY_FILE_SIZE));

    savePlayerData expectedPlayer;
    player.SaveToFile(&expectedPlayer);
    EXPECT_EQ(readRecord<savePlayerData>(PLAYER_RECORD_OFFSET).bytes, expectedPlayer.bytes);
    EXPECT_EQ(readRecord<saveSectorData>(sectorRecordOffset(10201)).bytes, recordOf(sector).bytes);

    Sector loaded(0, 0, &player, GALAXY);
    ASSERT_EQ(loaded.loadSector(10201), LoadResult::Ok);
    EXPECT_EQ(recordOf(loaded).bytes, recordOf(sector).bytes);

    const int credits = player.getCredits();
    player.addCredits(500);
    player.changeWorldCoord(true, false, 1);  // the load must bring the ship back to (0, 0)
    Sector reloaded(0, 0, &player, GALAXY);
    // The player record says sector (0, 0), whose record in a blank file is sound.
    ASSERT_EQ(reloaded.loadGame(), LoadResult::Ok);
    EXPECT_EQ(player.getCredits(), credits);
    EXPECT_EQ(player.getaSectorNumber(), 5101);
}

TEST_F(GalaxyFileTest, SaveShowsItsWindowAndWaitsForAKey) {
    makeBlankGalaxy();
    HeadlessConsole console;
    Sector sector = sectorAt(-3, 4, &player);
    console.screen->pushKey('X');
    ASSERT_TRUE(sector.save(&console.con, true));
    EXPECT_EQ(console.screen->row(10).substr(26, 28), "*********INFORMATION********");
    EXPECT_EQ(console.screen->row(12).substr(26, 28), "* Game saved successfully! *");
    EXPECT_EQ(console.screen->fgAt(28, 12), 1u);
    EXPECT_EQ(console.screen->bgAt(28, 12), 7u);

    // Without a key the save still reached the file before the wait.
    sector.setaPart(0);
    EXPECT_THROW(sector.save(&console.con, true), ScriptExhausted);
    EXPECT_EQ(readRecord<saveSectorData>(sectorRecordOffset(galaxy::sectorNumber(-3, 4))).bytes,
              recordOf(sector).bytes);
}

TEST_F(GalaxyFileTest, FailedSaveIsReportedAndWritesNothing) {
    Sector sector = sectorAt(0, 0, &player);
    EXPECT_FALSE(sector.save(nullptr, false));
    EXPECT_FALSE(std::filesystem::exists(galaxy::fileName(GALAXY)));

    // A failure is never silent: with a console given, and without one
    // (the menu's save, the bonus placement) on the running game's console,
    // synced or not. Space is enough to go on.
    for (bool consoleGiven : {true, false}) {
        for (auto durability : {Sector::Durability::Synced, Sector::Durability::Buffered}) {
            HeadlessConsole console;
            console.screen->pushKey(keycode::Space);
            EXPECT_FALSE(sector.save(consoleGiven ? &console.con : nullptr, consoleGiven, durability));
            EXPECT_NE(console.screen->dump().find("Blad podczas zapisu pliku"), std::string::npos);
            EXPECT_NE(console.screen->dump().find("Press any key to continue"), std::string::npos);
            EXPECT_TRUE(console.screen->scriptEmpty());
            EXPECT_FALSE(std::filesystem::exists(galaxy::fileName(GALAXY)));
        }
    }

    // A sector outside the galaxy would land on another record.
    makeBlankGalaxy();
    sector.setSecX(51);
    HeadlessConsole console;
    console.screen->pushKey('Y');
    EXPECT_FALSE(sector.save(nullptr, false));
    EXPECT_NE(console.screen->dump().find("Blad podczas zapisu pliku"), std::string::npos);
    EXPECT_EQ(readRecord<savePlayerData>(PLAYER_RECORD_OFFSET).bytes, savePlayerData{}.bytes);
}

TEST_F(GalaxyFileTest, MissingShortAndDamagedFilesAreRefused) {
    Sector sector = sectorAt(7, 7, &player);
    const saveSectorData before = recordOf(sector);
    EXPECT_EQ(sector.loadSector(5101), LoadResult::NoFile);
    EXPECT_EQ(sector.loadGame(), LoadResult::NoFile);

    makeBlankGalaxy();
    EXPECT_EQ(sector.loadSector(0), LoadResult::NoSuchSector);
    EXPECT_EQ(sector.loadSector(10202), LoadResult::NoSuchSector);
    EXPECT_FALSE(sector.load(0));
    // A zero record says sector (0, 0): it does not belong in slot 1.
    EXPECT_EQ(sector.loadSector(1), LoadResult::Damaged);

    saveSectorData damaged = recordOf(sectorAt(-50, -50, nullptr));
    record::put32(damaged.bytes.data() + sectorRec::number, 11);
    writeRecord(sectorRecordOffset(1), damaged);
    EXPECT_EQ(sector.loadSector(1), LoadResult::Damaged);
    EXPECT_EQ(recordOf(sector).bytes, before.bytes);

    // The player's sector is damaged: neither the player nor the sector change.
    savePlayerData playerData;
    player.SaveToFile(&playerData);
    record::put32(playerData.bytes.data() + playerRec::worldX, -50);
    record::put32(playerData.bytes.data() + playerRec::worldY, -50);
    writeRecord(PLAYER_RECORD_OFFSET, playerData);
    const int credits = player.getCredits();
    player.addCredits(10);
    EXPECT_EQ(sector.loadGame(), LoadResult::Damaged);
    EXPECT_EQ(player.getCredits(), credits + 10);
    EXPECT_EQ(player.getWorldX(), 0);

    record::put32(playerData.bytes.data() + playerRec::worldX, 51);
    writeRecord(PLAYER_RECORD_OFFSET, playerData);
    EXPECT_EQ(sector.loadGame(), LoadResult::Damaged);

    // Cut inside the last sector record: both loads fall short.
    writeRecord(sectorRecordOffset(10201), recordOf(sectorAt(50, 50, nullptr)));
    std::filesystem::resize_file(galaxy::fileName(GALAXY), sectorRecordOffset(10201) + 100);
    EXPECT_EQ(sector.loadSector(10201), LoadResult::Damaged);
    EXPECT_EQ(sector.loadGame(), LoadResult::Damaged);
    EXPECT_EQ(recordOf(sector).bytes, before.bytes);

    Sector unnamed(0, 0, &player, nullptr);
    EXPECT_EQ(unnamed.loadSector(5101), LoadResult::NoFile);
}
