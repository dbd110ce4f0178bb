#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>
#include <csignal>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "TestSupport.h"
#include "screen/HelpFuncLib.h"
#include "screen/KeyCodes.h"
#include "catalog/Random.h"
#include "storage/PendingSave.h"
#include "platform/Process.h"
#include "shell/Game.h"

namespace {

struct HeadlessGame {
    std::unique_ptr<HeadlessBackend> owned = std::make_unique<HeadlessBackend>();
    HeadlessBackend* screen = owned.get();
    Game game{std::move(owned)};
    ConLib* con() { return &game.getConsole(); }
};

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> filesHere() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        names.push_back(entry.path().filename().string());
    return names;
}

// Creates galaxy `name` with goal key `goalKey` and returns whether it worked.
bool create(HeadlessGame& g, const std::string& name, unsigned goalKey) {
    g.screen->pushText(name + "\n");
    g.screen->pushKey(goalKey);
    g.screen->pushKey('X');  // the pause after the creation messages
    return g.game.newGame(g.con());
}

// Limits the size of files this process may write, so that a write past the
// limit fails as on a full disk; the limit is lifted again on destruction.
// POSIX only (README, "Tests on Windows"): Windows has no such limit, and the
// case that needs it is left out there.
#ifdef _WIN32
struct FileSizeLimit {
    void set(long) {}
    void restore() {}
};
#else
class FileSizeLimit {
public:
    void set(rlim_t bytes) {
        if (active_) return;
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not the end of the tests
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    void restore() {
        if (!active_) return;
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
        active_ = false;
    }
    ~FileSizeLimit() { restore(); }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
    bool active_ = false;
};
#endif

// The generation order written out again from the rules, draw by draw, to
// know what a seed must give without asking the code under test.
struct ExpectedPlanet {
    int rX = 0, rY = 0, gX = 0, gY = 0, population = 0;
    bool rare = false;
    std::string name;
    std::array<int, 15> goods{};
    int facilities = 0;
    std::array<int, 5> outputs{};
};

ExpectedPlanet drawPlanet(int sectorX, int sectorY) {
    ExpectedPlanet p;
    p.rX = rng::rand() % 76 + 2;
    p.rY = rng::rand() % 21 + 2;
    p.gX = sectorX * 80 + p.rX;
    p.gY = sectorY * 25 + p.rY;
    p.population = rng::rand() % 98 + 3;
    p.rare = rng::rand() % 100 + 1 > 94;
    const int length = rng::rand() % 5 + 1;
    for (int i = 0; i < length; ++i) p.name.push_back(static_cast<char>('A' + rng::rand() % 26));
    for (int& stock : p.goods) stock = rng::rand() % 251 + 250;
    p.facilities = rng::rand() % 6;
    for (int k = 0; k < p.facilities; ++k) p.outputs[static_cast<std::size_t>(k)] = rng::rand() % 16;
    return p;
}

// A sector's planets; `regenerated` counts the planets drawn again whole.
std::vector<ExpectedPlanet> drawSector(int sectorX, int sectorY, int& regenerated) {
    const std::size_t count = static_cast<std::size_t>(rng::rand() % 11);
    std::vector<ExpectedPlanet> planets;
    while (planets.size() < count) {
        const ExpectedPlanet p = drawPlanet(sectorX, sectorY);
        const bool clear = std::none_of(planets.begin(), planets.end(), [&](const ExpectedPlanet& q) {
            return (q.rX == p.rX && q.rY == p.rY) || std::abs(q.rX - p.rX) == 1 || std::abs(q.rY - p.rY) == 1;
        });
        if (clear) planets.push_back(p);
        else ++regenerated;
    }
    return planets;
}

void expectSectorRecord(const std::vector<std::uint8_t>& file, int n, int x, int y,
                        const std::vector<ExpectedPlanet>& planets) {
    const std::uint8_t* r = file.data() + sectorRecordOffset(n);
    ASSERT_EQ(record::get32(r + sectorRec::number), static_cast<int>(planets.size())) << "sector " << n;
    EXPECT_EQ(record::get32(r + sectorRec::secX), x);
    EXPECT_EQ(record::get32(r + sectorRec::secY), y);
    for (std::size_t i = 0; i < planets.size(); ++i) {
        const ExpectedPlanet& p = planets[i];
        const std::uint8_t* slot = r + sectorRec::planets + i * PLANET_RECORD_SIZE;
        SCOPED_TRACE("sector " + std::to_string(n) + " planet " + std::to_string(i));
        EXPECT_EQ(record::get16(slot + planetRec::rX), p.rX);
        EXPECT_EQ(record::get16(slot + planetRec::rY), p.rY);
        EXPECT_EQ(record::get16(slot + planetRec::gX), p.gX);
        EXPECT_EQ(record::get16(slot + planetRec::gY), p.gY);
        EXPECT_EQ(record::get32(slot + planetRec::population), p.population);
        EXPECT_EQ(record::get8(slot + planetRec::rarity), p.rare ? 1 : 0);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(slot + planetRec::name)), p.name);
        for (std::size_t g = 0; g < p.goods.size(); ++g)
            EXPECT_EQ(record::get32(slot + planetRec::goods + 4 * g), p.goods[g]) << "good " << g;
        EXPECT_EQ(record::get16(slot + planetRec::facilityCount), p.facilities);
        EXPECT_EQ(record::get16(slot + planetRec::inputCount), 2 * p.facilities);
        for (std::size_t k = 0; k < p.outputs.size(); ++k)
            EXPECT_EQ(record::get16(slot + planetRec::facilityOutput + 2 * k), p.outputs[k]) << "facility " << k;
    }
}

}  // namespace

// A seed decides the galaxy: the working sector of the creation is built
// first (ten planets of sector (0, 0), then its own planets), then the
// sectors follow in number order, and a planet that does not stand clear is
// drawn again with all its draws.
TEST(NewGalaxy, SeedGivesTheGalaxyOfTheGenerationOrder) {
    ScopedWorkDir dir;
    HeadlessGame g;
    constexpr unsigned SEED = 20240607;
    rng::srand(SEED);
    int regenerated = 0;
    for (int slot = 0; slot < 10; ++slot) drawPlanet(0, 0);
    drawSector(0, 0, regenerated);
    regenerated = 0;
    const std::vector<ExpectedPlanet> first = drawSector(-50, -50, regenerated);
    const std::vector<ExpectedPlanet> second = drawSector(-49, -50, regenerated);
    // The seed is chosen so that both sectors have planets and one was drawn again.
    ASSERT_GT(first.size() + second.size(), 3u);
    ASSERT_GT(regenerated, 0);

    rng::srand(SEED);
    ASSERT_TRUE(create(g, "Seeded", '1'));
    const std::vector<std::uint8_t> file = readFile("Seeded.glx");
    ASSERT_EQ(file.size(), 12078152u);
    expectSectorRecord(file, 1, -50, -50, first);
    expectSectorRecord(file, 2, -49, -50, second);
}

TEST(NewGalaxy, CreatesTheWholeFileWithBonusesAndPlayerAtHome) {
    ScopedWorkDir dir;
    rng::srand(7);
    HeadlessGame g;
    std::vector<std::string> shown;
    g.screen->onPresent = [&](const HeadlessBackend& s) { shown.push_back(s.dump()); };
    ASSERT_TRUE(create(g, "Andromeda", '2'));

    const std::vector<std::uint8_t> file = readFile("Andromeda.glx");
    ASSERT_EQ(file.size(), 12078152u);
    int parts[7] = {};
    int pirates = 0;
    for (int n = 1; n <= SECTOR_COUNT; ++n) {
        saveSectorData record;
        std::copy_n(file.begin() + sectorRecordOffset(n), SECTOR_RECORD_SIZE, record.bytes.begin());
        Sector sector(0, 0, nullptr, nullptr);
        ASSERT_TRUE(sector.LoadFromFile(&record)) << "sector " << n;
        ASSERT_EQ(galaxy::sectorNumber(sector.getSecX(), sector.getSecY()), n);
        if (sector.getaPartKind() >= 0) ++parts[sector.getaPartKind()];
        if (sector.getEpPos().X != -1) ++pirates;
    }
    for (int kind = 0; kind < 7; ++kind) EXPECT_EQ(parts[kind], 5) << "kind " << kind;
    EXPECT_EQ(pirates, 1);

    Player& player = g.game.getPlayer();
    EXPECT_EQ(player.getaSectorNumber(), 5101);
    EXPECT_EQ(player.getVicType(), 1);
    EXPECT_EQ(player.getCredits(), 10000);
    EXPECT_EQ(g.game.getSector().getSecX(), 0);
    EXPECT_EQ(g.game.getSector().getSecY(), 0);
    EXPECT_STREQ(g.game.getWorldName(), "Andromeda");

    // The messages stand on screen while the game waits at the pause.
    const std::string last = shown.back();
    EXPECT_NE(last.find("Galaxy creation started!"), std::string::npos);
    EXPECT_NE(last.find("Player placed in galaxy!"), std::string::npos);
    // The progress rewrote itself on the second row, from 0% to 100%.
    std::vector<std::string> progress;
    for (const std::string& frame : shown) progress.push_back(frame.substr(81, 5));
    EXPECT_NE(std::find(progress.begin(), progress.end(), "0%   "), progress.end());
    EXPECT_NE(std::find(progress.begin(), progress.end(), "50%  "), progress.end());
    EXPECT_NE(std::find(progress.begin(), progress.end(), "100% "), progress.end());
    EXPECT_NE(last.find("Galaxy Andromeda created successfull!"), std::string::npos);
    EXPECT_NE(last.find("Press any key to continue . . ."), std::string::npos);
    // Nothing but the galaxy is left behind.
    EXPECT_EQ(filesHere(), std::vector<std::string>{"Andromeda.glx"});

    // A second game is refused while the first holds it, untouched, and
    // loads it once the first has left it: the same player.
    HeadlessGame other;
    other.screen->pushText("Andromeda\n");
    other.screen->pushKey('X');
    EXPECT_FALSE(other.game.load(other.con()));
    EXPECT_NE(other.screen->dump().find("Galaxy Andromeda is open in another game!"), std::string::npos);
    EXPECT_EQ(filesHere(), std::vector<std::string>{"Andromeda.glx"});
    g.game.leaveGalaxy();
    other.screen->pushText("Andromeda\n");
    ASSERT_TRUE(other.game.load(other.con()));
    EXPECT_EQ(other.game.getPlayer().getVicType(), 1);
    EXPECT_EQ(other.game.getPlayer().getDim(), player.getDim());
}

TEST(NewGalaxy, ProgressCountsWholePercents) {
    EXPECT_EQ(Game::creationPercent(1), 0);
    EXPECT_EQ(Game::creationPercent(102), 0);
    EXPECT_EQ(Game::creationPercent(103), 1);
    EXPECT_EQ(Game::creationPercent(5101), 50);
    EXPECT_EQ(Game::creationPercent(10200), 99);
    EXPECT_EQ(Game::creationPercent(10201), 100);
}

TEST(NewGalaxy, BadNamesAreRefusedAndCreateNothing) {
    ScopedWorkDir dir;
    for (const std::string name : {"a/b", "..", "x.glx", "twenty-characters-xx", "Tutorial", "Com1"}) {
        HeadlessGame g;
        g.screen->pushText(name + "\n");
        g.screen->pushKey('Q');  // closes the error window
        EXPECT_FALSE(g.game.newGame(g.con())) << name;
        const std::string screen = g.screen->dump();
        EXPECT_NE(screen.find("ERROR"), std::string::npos) << name;
        EXPECT_TRUE(filesHere().empty()) << name;
    }
    HeadlessGame g;
    g.screen->pushText("a/b\n");
    g.screen->pushKey('Q');
    g.game.newGame(g.con());
    EXPECT_NE(g.screen->dump().find("Use 1-19 letters, digits, _ or - only!"), std::string::npos);
    EXPECT_TRUE(Game::isValidGalaxyName("Milky_Way-2"));
    EXPECT_TRUE(Game::isValidGalaxyName(std::string(19, 'a')));
    EXPECT_FALSE(Game::isValidGalaxyName(""));
    EXPECT_FALSE(Game::isValidGalaxyName("tab\tname"));
    for (const std::string name : {"CON", "aux", "Prn", "com0", "LPT9"}) EXPECT_TRUE(Game::isDeviceName(name)) << name;
    for (const std::string name : {"CONS", "NUL1", "COM", "COM10", "LPT", "COMA", "Xcon"})
        EXPECT_FALSE(Game::isDeviceName(name)) << name;
}

TEST(NewGalaxy, ExistingGalaxyIsNeverTouched) {
    ScopedWorkDir dir;
    const std::string content(1000, 'k');
    std::ofstream("Vega.glx", std::ios::binary) << content;
    HeadlessGame g;
    g.screen->pushText("Vega\n");
    g.screen->pushKey('1');
    g.screen->pushKey('X');
    EXPECT_FALSE(g.game.newGame(g.con()));
    EXPECT_NE(g.screen->dump().find("Galaxy already exist, try another name!"), std::string::npos);
    const std::vector<std::uint8_t> after = readFile("Vega.glx");
    EXPECT_EQ(std::string(after.begin(), after.end()), content);
    EXPECT_EQ(filesHere().size(), 1u);
}

TEST(NewGalaxy, GoalQuestionTakesOnlyOneToFour) {
    ScopedWorkDir dir;
    HeadlessGame g;
    g.screen->pushText("Orion\n");
    g.screen->pushKeys({'5', 27, 'A', '0', '4'});
    EXPECT_FALSE(g.game.newGame(g.con()));
    EXPECT_TRUE(g.screen->scriptEmpty());
    EXPECT_TRUE(filesHere().empty());
    EXPECT_STREQ(g.game.getWorldName(), "Orion");  // a cancelled galaxy keeps the typed name
}

TEST(NewGalaxy, LeftoversOfAKilledCreationNeitherBlockNorLoad) {
    ScopedWorkDir dir;
    // A working file of a process that no longer runs (pid far above any real one).
    std::ofstream(".Lyra.creating.999999999.glx") << "half";
    // A whole save left pending by an earlier galaxy Lyra whose file is gone.
    PendingSave stale;
    stale.sector = galaxy::sectorNumber(0, 0);
    Sector(0, 0, nullptr, nullptr).SaveToFile(&stale.sectorData);
    Player rich;
    rich.addCredits(90000);
    stale.hasPlayer = true;
    rich.SaveToFile(&stale.playerData);
    const PendingSaveBytes bytes = encodePendingSave(stale);
    std::ofstream(".Lyra.glx.pending", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    HeadlessGame g;
    g.screen->pushText(".Lyra.creating.999999999\n");
    EXPECT_FALSE(g.game.load(g.con()));
    rng::srand(3);
    ASSERT_TRUE(create(g, "Lyra", '3'));
    EXPECT_EQ(filesHere(), std::vector<std::string>{"Lyra.glx"});
    EXPECT_EQ(g.game.getPlayer().getCredits(), Player().getCredits());
    EXPECT_EQ(g.game.getSector().loadGame(), LoadResult::Ok);
    EXPECT_EQ(g.game.getPlayer().getCredits(), Player().getCredits());
}

// Working files of creations whose process is gone are cleared when the game
// starts, whatever galaxy they were for; nothing else is touched.
TEST(NewGalaxy, GameStartClearsLeftoversOfDeadCreationsOnly) {
    ScopedWorkDir dir;
    const std::string alive = std::to_string(platform::currentProcessId());
    const struct {
        std::string name;
        bool kept;
    } files[] = {
        {".Lyra.creating.999999999.glx", false},
        {".Milky_Way-2.creating.999999998.glx", false},
        {".Lyra.creating." + alive + ".glx", true},  // a creation still running
        {".Lyra.creating.12a.glx", true},
        {".a.b.creating.999999999.glx", true},  // no galaxy can have that name
        {".Lyra.creating.999999999.txt", true},
        {"Lyra.glx", true},
        // Pending saves: of a dead creation's working file, cleared; of a
        // running creation or of a real galaxy, never.
        {"..Lyra.creating.999999999.glx.pending", false},
        {"..Lyra.creating." + alive + ".glx.pending", true},
        {".Lyra.glx.pending", true},
        {".Lyra.creating.999999999.glx.pending", true},
        {"..Lyra.creating.999999999.glx.pendin", true},
    };
    for (const auto& f : files) std::ofstream(f.name) << "x";
    std::filesystem::create_directory(".Dir.creating.999999997.glx");
    HeadlessGame g;
    g.screen->pushKeys({'E', 'Y'});
    g.game.run();
    for (const auto& f : files) EXPECT_EQ(std::filesystem::exists(f.name), f.kept) << f.name;
    EXPECT_TRUE(std::filesystem::is_directory(".Dir.creating.999999997.glx"));
}

// A refused name or a creation that cannot be finished leaves the game in
// memory as it was (player, credits, sector), no galaxy under the name and no
// working file; a taken name is refused before anything is written. Bonus
// placement that cannot save or read fails the whole creation.
TEST(NewGalaxy, RefusedOrFailedCreationChangesNothing) {
    enum class Trouble { NameTaken, FileCannotBeCreated, PlacementCannotSave, PlacementCannotRead };
    const struct {
        Trouble trouble;
        std::vector<const char*> messages;
        int pauses;
    } cases[] = {
        {Trouble::NameTaken, {"Galaxy already exist, try another name!"}, 1},
        {Trouble::FileCannotBeCreated, {"Galaxy creation started!", "Creating file failed!"}, 1},
#ifndef _WIN32
        {Trouble::PlacementCannotSave, {"Blad podczas zapisu pliku", "Creating file failed!"}, 2},
#endif
        {Trouble::PlacementCannotRead, {"Player placed in galaxy!", "Creating file failed!"}, 1},
    };
    ScopedWorkDir dir;
    rng::srand(31);
    HeadlessGame g;
    ASSERT_TRUE(create(g, "Home", '2'));
    g.game.getPlayer().addCredits(777);
    const std::string working = ".Vega.creating." + std::to_string(platform::currentProcessId()) + ".glx";
    auto memory = [&g] {
        savePlayerData player;
        saveSectorData sector;
        g.game.getPlayer().SaveToFile(&player);
        g.game.getSector().SaveToFile(&sector);
        return std::pair{player.bytes, sector.bytes};
    };
    const auto before = memory();

    for (const auto& c : cases) {
        SCOPED_TRACE(c.messages.back());
        std::vector<std::string> files{"Home.glx"};
        if (c.trouble == Trouble::NameTaken) {
            std::ofstream("Vega.glx") << "kept";
            files.push_back("Vega.glx");
        }
        if (c.trouble == Trouble::FileCannotBeCreated) std::filesystem::create_directory(working);
        // The placement's trouble begins once the file is written.
        FileSizeLimit limit;
        std::string shown;
        g.screen->onPresent = [&](const HeadlessBackend& b) {
            const bool placing = b.dump().find("Player placed in galaxy!") != std::string::npos;
            if (placing && shown.find("Player placed in galaxy!") == std::string::npos) {
                if (c.trouble == Trouble::PlacementCannotSave) limit.set(1);
                if (c.trouble == Trouble::PlacementCannotRead) {
                    std::filesystem::remove(working);
                    std::filesystem::create_directory(working);
                }
            }
            shown += b.dump();
        };
        g.con()->Clear();  // as the menu would, over the last creation's messages
        constexpr unsigned SEED = 77;
        rng::srand(SEED);
        g.screen->pushText("Vega\n");
        g.screen->pushKey('1');
        for (int i = 0; i < c.pauses; ++i) g.screen->pushKey(keycode::Space);
        EXPECT_FALSE(g.game.newGame(g.con()));
        limit.restore();
        g.screen->onPresent = nullptr;

        EXPECT_TRUE(g.screen->scriptEmpty());
        for (const char* message : c.messages) EXPECT_NE(shown.find(message), std::string::npos) << message;
        EXPECT_TRUE(memory() == before);
        EXPECT_EQ(g.game.getPlayer().getCredits(), 10777);
        std::vector<std::string> left = filesHere();
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, files);
        EXPECT_STREQ(g.game.getWorldName(), "Vega");  // the typed name stays, as for a cancelled one
        if (c.trouble == Trouble::NameTaken) {
            EXPECT_EQ(shown.find("Galaxy creation started!"), std::string::npos);
            EXPECT_EQ(readFile("Vega.glx"), (std::vector<std::uint8_t>{'k', 'e', 'p', 't'}));
            // Only the working sector drew its numbers: ten planets of (0, 0), then its own.
            rng::srand(SEED);
            int regenerated = 0;
            for (int slot = 0; slot < 10; ++slot) drawPlanet(0, 0);
            drawSector(0, 0, regenerated);
            const int expected = rng::rand();
            std::filesystem::remove("Vega.glx");
            rng::srand(SEED);
            Sector(0, 0, nullptr, nullptr);
            EXPECT_EQ(rng::rand(), expected);
        }
    }
}

TEST(LoadGalaxy, TutorialUnknownAndDamagedFilesReturnToTheMenu) {
    ScopedWorkDir dir;
    rng::srand(11);
    HeadlessGame maker;
    ASSERT_TRUE(create(maker, "Cygnus", '1'));
    const std::vector<std::uint8_t> good = readFile("Cygnus.glx");

    HeadlessGame g;
    g.screen->pushText("Tutorial\n");
    EXPECT_FALSE(g.game.load(g.con()));
    g.screen->pushText("Nobody\n");
    EXPECT_FALSE(g.game.load(g.con()));
    EXPECT_TRUE(g.screen->scriptEmpty());  // neither waits for anything

    // The player's sector claims 11 planets.
    std::vector<std::uint8_t> damaged = good;
    damaged[static_cast<std::size_t>(sectorRecordOffset(5101))] = 11;
    std::ofstream("Broken.glx", std::ios::binary)
        .write(reinterpret_cast<const char*>(damaged.data()), static_cast<std::streamsize>(damaged.size()));
    // A file cut short before the player record.
    std::ofstream("Short.glx", std::ios::binary)
        .write(reinterpret_cast<const char*>(good.data()), 6000000);
    const int creditsBefore = g.game.getPlayer().getCredits();
    for (const char* name : {"Broken", "Short"}) {
        g.screen->pushText(std::string(name) + "\n");
        g.screen->pushKey('X');  // the pause after the message
        EXPECT_FALSE(g.game.load(g.con())) << name;
        EXPECT_NE(g.screen->dump().find("is damaged and cannot be loaded!"), std::string::npos) << name;
        EXPECT_TRUE(g.screen->scriptEmpty());
        EXPECT_EQ(g.game.getPlayer().getCredits(), creditsBefore);
        EXPECT_STREQ(g.game.getWorldName(), "");
    }
}

TEST(GameOver, LostGalaxyIsDeletedAndWonGalaxyKept) {
    ScopedWorkDir dir;
    rng::srand(5);
    HeadlessGame g;
    ASSERT_TRUE(create(g, "Lost", '1'));
    g.game.getPlayer().removeHealth(100000);
    g.screen->pushKeys({'X', 13});
    // Whatever a save left pending goes with the galaxy.
    std::ofstream(".Lost.glx.pending") << "x";
    g.game.gameOver(g.con());
    EXPECT_FALSE(fileExist("Lost.glx"));
    EXPECT_FALSE(fileExist(".Lost.glx.pending"));
    EXPECT_EQ(g.game.getPlayer().getaHealth(), 1);
    EXPECT_NE(g.screen->dump().find("Galaxy was deleted. If you want to start"), std::string::npos);
    EXPECT_EQ(g.screen->row(7).substr(17, 47), "*******************GAME OVER*******************");

    HeadlessGame w;
    ASSERT_TRUE(create(w, "Won", '1'));
    w.game.getPlayer().setIsWinner(true);
    w.game.getPlayer().removeHealth(100000);
    w.screen->pushKey(13);
    std::ofstream(".Won.glx.pending") << "x";
    w.game.gameOver(w.con());
    EXPECT_TRUE(fileExist("Won.glx"));
    EXPECT_TRUE(fileExist(".Won.glx.pending"));
    EXPECT_NE(w.screen->dump().find("Galaxy wasn't deleted."), std::string::npos);
}
