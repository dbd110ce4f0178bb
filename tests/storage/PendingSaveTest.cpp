// A save is whole or absent whenever the process stops: the pending-save
// file beside the galaxy is completed or dropped at the next opening, and a
// save killed at any moment leaves its two records in agreement.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TestSupport.h"
#include "catalog/Random.h"
#include "storage/PendingSave.h"
#include "storage/GalaxyFile.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

constexpr const char* GALAXY = "Orion";
const int HOME = galaxy::sectorNumber(0, 0);
const int AWAY = galaxy::sectorNumber(2, 3);
constexpr short KIND = 4;

std::string galaxyFile() { return galaxy::fileName(GALAXY); }
std::string pendingFile() { return galaxy::pendingSaveFileName(galaxyFile()); }

template <typename Record>
Record readRecord(std::int64_t offset) {
    Record data;
    std::ifstream file(galaxyFile(), std::ios::binary);
    file.seekg(offset);
    file.read(reinterpret_cast<char*>(data.bytes.data()), static_cast<std::streamsize>(data.bytes.size()));
    return data;
}

template <typename Record>
void writeRecord(std::int64_t offset, const Record& data) {
    std::fstream file(galaxyFile(), std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(offset);
    file.write(reinterpret_cast<const char*>(data.bytes.data()), static_cast<std::streamsize>(data.bytes.size()));
}

void writeBytes(const std::string& path, const std::uint8_t* bytes, std::size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

saveSectorData sectorRecord(const Sector& sector) {
    saveSectorData data;
    sector.SaveToFile(&data);
    return data;
}

savePlayerData playerRecord(const Player& player) {
    savePlayerData data;
    player.SaveToFile(&data);
    return data;
}

// Two states of the galaxy: before a save (the ship at home, the ancient part
// still hidden away) and the save itself (the ship away, the part taken).
struct Galaxy {
    Sector home{0, 0, nullptr, GALAXY};
    Sector away{2, 3, nullptr, GALAXY};
    Player before;
    Player after;
    PendingSave save;

    Galaxy() {
        rng::srand(77);
        home.genSector(0, 0);
        away.genSector(2, 3);
        away.setaPart(KIND);
        after.addCredits(4321);
        after.changeWorldCoord(true, true, 2);
        after.changeWorldCoord(false, true, 3);
        after.setaParts(KIND, 1);
        save.sector = AWAY;
        Sector taken = away;
        taken.setPlayer(&after);
        taken.SaveToFile(&save.sectorData);  // the part is still in it: told apart below
        record::put16(save.sectorData.bytes.data() + sectorRec::aPartKind, Sector::NO_PART);
        save.hasPlayer = true;
        save.playerData = playerRecord(after);
    }

    // A full-length file holding the state before the save.
    void write() const {
        std::ofstream(galaxyFile(), std::ios::binary | std::ios::trunc);
        std::filesystem::resize_file(galaxyFile(), GALAXY_FILE_SIZE);
        writeRecord(sectorRecordOffset(HOME), sectorRecord(home));
        writeRecord(sectorRecordOffset(AWAY), sectorRecord(away));
        writeRecord(PLAYER_RECORD_OFFSET, playerRecord(before));
    }
};

// What the test finds in the galaxy file: the record of the away sector and
// the player record, each as before the save or as the save has it.
bool awayIsSaved(const Galaxy& g) {
    return readRecord<saveSectorData>(sectorRecordOffset(AWAY)).bytes == g.save.sectorData.bytes;
}

}  // namespace

// Every opening of the galaxy (a sector's load, the game's load, a save)
// completes a whole pending save, whatever sector it is for, and drops one
// that was not written whole, leaving the galaxy as it was. A read-only
// galaxy (the tutorial's) neither completes nor removes anything.
TEST(PendingSave, CompletedOrDroppedAtTheNextOpening) {
    enum class Pending { None, Whole, HalfWritten, Cut, Longer, Flipped, Resealed, WrongSlot, Unreadable };
    enum class Operation { LoadHome, LoadAway, LoadGame, SaveBuffered, SaveSynced };
    struct Case {
        const char* name;
        Pending pending;
        std::size_t at;  // Cut: bytes kept; Flipped: the byte changed
        Operation operation;
        Sector::Access access;
        bool completed;  // the galaxy holds the pending save afterwards
        bool succeeds;   // the load or save itself
        bool pendingLeft;
    };
    using enum Pending;
    using enum Operation;
    constexpr auto RW = Sector::Access::ReadWrite;
    constexpr auto RO = Sector::Access::ReadOnly;
    const Case cases[] = {
        {"nothing pending, save", None, 0, SaveBuffered, RW, false, true, false},
        {"whole, another sector loaded", Whole, 0, LoadHome, RW, true, true, false},
        {"killed between the records, that sector loaded", HalfWritten, 0, LoadAway, RW, true, true, false},
        {"killed between the records, game loaded", HalfWritten, 0, LoadGame, RW, true, true, false},
        {"killed between the records, then a quick save", HalfWritten, 0, SaveBuffered, RW, true, true, false},
        {"whole, then a lasting save", Whole, 0, SaveSynced, RW, true, true, false},
        {"killed after creating it", Cut, 0, LoadGame, RW, false, true, false},
        {"one byte short", Cut, PENDING_SAVE_SIZE - 1, SaveBuffered, RW, false, true, false},
        {"one byte too long", Longer, 0, LoadGame, RW, false, true, false},
        {"player record damaged", Flipped, pendingRec::playerData + 17, LoadGame, RW, false, true, false},
        {"checksum damaged", Flipped, pendingRec::checksum, LoadAway, RW, false, true, false},
        {"first byte damaged", Flipped, 0, LoadGame, RW, false, true, false},
        {"number of another sector than its record", WrongSlot, 0, LoadGame, RW, false, true, false},
        {"player flag neither 0 nor 1, checksum right", Resealed, pendingRec::hasPlayer, LoadAway, RW, false, true, false},
        {"read-only galaxy, load", Whole, 0, LoadGame, RO, false, true, true},
        {"read-only galaxy, save refused", Whole, 0, SaveSynced, RO, false, false, true},
        {"unreadable, load refused", Unreadable, 0, LoadGame, RW, false, false, true},
        {"unreadable, save refused", Unreadable, 0, SaveBuffered, RW, false, false, true},
    };
    const Galaxy g;
    const PendingSaveBytes whole = encodePendingSave(g.save);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedWorkDir dir;
        g.write();
        switch (c.pending) {
            case None: break;
            case HalfWritten: writeRecord(sectorRecordOffset(AWAY), g.save.sectorData); [[fallthrough]];
            case Whole: writeBytes(pendingFile(), whole.data(), whole.size()); break;
            case Cut: writeBytes(pendingFile(), whole.data(), c.at); break;
            case Longer: {
                std::vector<std::uint8_t> longer(whole.begin(), whole.end());
                longer.push_back(0);
                writeBytes(pendingFile(), longer.data(), longer.size());
                break;
            }
            case Flipped:
            case Resealed: {
                PendingSaveBytes damaged = whole;
                damaged[c.at] ^= 0x10;
                if (c.pending == Resealed)
                    record::put32(damaged.data() + pendingRec::checksum,
                                  static_cast<std::int32_t>(crc32(damaged.data(), pendingRec::checksum)));
                writeBytes(pendingFile(), damaged.data(), damaged.size());
                break;
            }
            case WrongSlot: {
                PendingSave elsewhere = g.save;
                elsewhere.sector = HOME;
                const PendingSaveBytes bytes = encodePendingSave(elsewhere);
                writeBytes(pendingFile(), bytes.data(), bytes.size());
                break;
            }
            case Unreadable: std::filesystem::create_directory(pendingFile()); break;
        }
        const saveSectorData awayBefore = readRecord<saveSectorData>(sectorRecordOffset(AWAY));

        HeadlessConsole console;
        console.screen->pushKey('X');  // for a failure's pause
        Player player;
        player.addCredits(55);  // tells a save's player from both others
        Sector sector(0, 0, &player, nullptr);
        sector.setwName(GALAXY, c.access);
        bool succeeded = false;
        switch (c.operation) {
            case LoadHome: succeeded = sector.loadSector(HOME) == LoadResult::Ok; break;
            case LoadAway: succeeded = sector.loadSector(AWAY) == LoadResult::Ok; break;
            case LoadGame: succeeded = sector.loadGame() == LoadResult::Ok; break;
            case SaveBuffered:
            case SaveSynced:
                sector = g.home;
                sector.setPlayer(&player);
                sector.setwName(GALAXY, c.access);
                succeeded = sector.save(&console.con, false,
                                        c.operation == SaveSynced ? Sector::Durability::Synced
                                                                  : Sector::Durability::Buffered);
                break;
        }
        EXPECT_EQ(succeeded, c.succeeds);
        EXPECT_EQ(std::filesystem::exists(pendingFile()), c.pendingLeft);
        EXPECT_EQ(std::filesystem::file_size(galaxyFile()), static_cast<std::uintmax_t>(GALAXY_FILE_SIZE));

        // Both records of the pending save, or neither (the galaxy as it was).
        const savePlayerData playerNow = readRecord<savePlayerData>(PLAYER_RECORD_OFFSET);
        if (c.completed) {
            EXPECT_TRUE(awayIsSaved(g));
        } else {
            EXPECT_EQ(readRecord<saveSectorData>(sectorRecordOffset(AWAY)).bytes, awayBefore.bytes);
        }
        const bool saved = succeeded && (c.operation == SaveBuffered || c.operation == SaveSynced);
        if (saved) {
            EXPECT_EQ(playerNow.bytes, playerRecord(player).bytes);
            EXPECT_EQ(readRecord<saveSectorData>(sectorRecordOffset(HOME)).bytes, sectorRecord(g.home).bytes);
        } else {
            EXPECT_EQ(playerNow.bytes, playerRecord(c.completed ? g.after : g.before).bytes);
            EXPECT_EQ(readRecord<saveSectorData>(sectorRecordOffset(HOME)).bytes, sectorRecord(g.home).bytes);
        }
        // What was loaded comes from the galaxy as the opening left it.
        if (c.operation == LoadGame && succeeded) {
            EXPECT_EQ(player.getCredits(), (c.completed ? g.after : g.before).getCredits());
            EXPECT_EQ(sector.getSecX(), c.completed ? 2 : 0);
            if (c.completed) {
                EXPECT_EQ(sector.getaPartKind(), Sector::NO_PART);
            }
        }
        if (c.operation == LoadAway && succeeded) {
            EXPECT_EQ(sector.getaPartKind(), c.completed ? Sector::NO_PART : KIND);
        }
    }
}

// POSIX only (README, "Tests on Windows"): a forked child killed by SIGKILL.
#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

// The real thing: a process that saves over and over, each save taking an
// ancient part and a unit of goods or giving them back, killed outright at
// random moments. The galaxy it leaves must always load with the part either
// hidden or held and the goods either on the planet or in the hold.
TEST(PendingSave, ASaveKilledAtAnyMomentIsWholeOrAbsent) {
    const unsigned seed = killSeed();
    SCOPED_TRACE("STARHOLLOW_KILL_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    ScopedWorkDir dir;
    rng::srand(5);
    Player player;
    Sector sector(0, 0, &player, GALAXY);
    do sector.genSector(0, 0);
    while (sector.getNumber() == 0);
    constexpr int GOOD = 3, STOCK = 500;
    sector.getPlanet(0)->setGood(GOOD, STOCK);
    Galaxy().write();  // any full-length galaxy

    // Taken or given back: the ancient part and one unit change hands together.
    const Sector without = sector;
    Sector with = sector;
    ASSERT_TRUE(with.setaPart(KIND));
    auto stage = [&](bool taken) {
        sector = taken ? without : with;
        player.setaParts(KIND, taken ? 1 : 0);
        sector.getPlanet(0)->setGood(GOOD, taken ? STOCK - 1 : STOCK);
        player.removeTrade(GOOD, player.getTrade(GOOD));
        player.addTrade(GOOD, taken ? 1 : 0);
    };
    stage(false);
    ASSERT_TRUE(sector.save(nullptr, false));

    struct Kind {
        Sector::Durability durability;
        int rounds;
        int maxDelayUs;  // about two saves' time
    };
    int hits = 0;
    const Kind kinds[] = {{Sector::Durability::Buffered, 200, 400}, {Sector::Durability::Synced, 12, 8000}};
    for (const Kind& kind : kinds) {
        for (int round = 0; round < kind.rounds; ++round) {
            int ready[2];
            ASSERT_EQ(pipe(ready), 0);
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                ::close(ready[0]);
                // Ready once both states are in the file.
                for (long i = 0;; ++i) {
                    stage(i % 2 == 1);
                    if (!sector.save(nullptr, false, kind.durability)) _exit(3);
                    if (i == 1 && ::write(ready[1], "r", 1) != 1) _exit(4);
                }
            }
            ::close(ready[1]);
            char byte = 0;
            const bool saving = ::read(ready[0], &byte, 1) == 1;
            ::close(ready[0]);
            if (saving)
                std::this_thread::sleep_for(
                    std::chrono::microseconds(std::uniform_int_distribution<int>(0, kind.maxDelayUs)(random)));
            ::kill(child, SIGKILL);
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            ASSERT_TRUE(saving && WIFSIGNALED(status)) << "the saving process failed on its own, round " << round;

            hits += std::filesystem::exists(pendingFile()) ? 1 : 0;
            Player loadedPlayer;
            Sector loaded(0, 0, &loadedPlayer, GALAXY);
            ASSERT_EQ(loaded.loadGame(), LoadResult::Ok) << "round " << round;
            const bool hidden = loaded.getaPartKind() == KIND;
            EXPECT_NE(hidden, loadedPlayer.getaParts(KIND) == 1) << "round " << round;
            EXPECT_EQ(loaded.getPlanet(0)->getGood(GOOD) + loadedPlayer.getTrade(GOOD), STOCK) << "round " << round;
            EXPECT_FALSE(std::filesystem::exists(pendingFile())) << "round " << round;
        }
    }
    // How many kills came in the middle of a save, for the test's XML report.
    RecordProperty("killsDuringASave", hits);
}
#endif
