// Starhollow benchmarks: galaxy creation against the plain-write floor, the
// change of sector, and the screens that must answer a key at once.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "presenters/headless/HeadlessBackend.h"
#include "presenters/terminal/TerminalBackend.h"
#include "catalog/Random.h"
#include "screen/Window.h"
#include "encounters/Event.h"
#include "storage/SaveRecords.h"
#include "galaxy/Sector.h"
#include "player/Player.h"
#include "recording/Recording.h"
#include "shell/Game.h"
#include "shell/RecordedGame.h"
#include "tutorial/TutorialGalaxy.h"

namespace {

// A temporary working folder for the galaxy files of one benchmark.
class BenchDir {
public:
    BenchDir() {
        previous_ = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "starhollow-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern;
        std::filesystem::current_path(path_);
    }
    ~BenchDir() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

long peakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Creates galaxy `name` through the game's own new-galaxy screen.
void createGalaxy(const char* name) {
    auto backend = std::make_unique<HeadlessBackend>();
    HeadlessBackend* keys = backend.get();
    Game game(std::move(backend));
    keys->pushText(std::string(name) + "\n");
    keys->pushKey('1');
    keys->pushKey('X');
    if (!game.newGame(&game.getConsole())) std::abort();
}

void BM_CreateGalaxy(benchmark::State& state) {
    BenchDir dir;
    rng::srand(1);
    for (auto _ : state) {
        createGalaxy("Bench");
        state.PauseTiming();
        std::filesystem::remove("Bench.glx");
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * GALAXY_FILE_SIZE);
    state.counters["peak_rss_MB"] = static_cast<double>(peakMemoryKb()) / 1024.0;
}
BENCHMARK(BM_CreateGalaxy)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The floor for creation: the same number of bytes written sequentially;
// with the argument 1 they are also synced to the disk, as a creation is.
void BM_PlainWrite(benchmark::State& state) {
    BenchDir dir;
    const bool synced = state.range(0) != 0;
    const std::vector<char> chunk(SECTOR_RECORD_SIZE, 'g');
    for (auto _ : state) {
        {
            std::ofstream out("Plain.glx", std::ios::binary | std::ios::trunc);
            for (int n = 0; n < SECTOR_COUNT; ++n) out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            out.write(chunk.data(), PLAYER_RECORD_SIZE);
        }
        if (synced) {
            const int fd = ::open("Plain.glx", O_RDONLY);
            if (fd < 0 || ::fsync(fd) != 0) std::abort();
            ::close(fd);
        }
        state.PauseTiming();
        std::filesystem::remove("Plain.glx");
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * GALAXY_FILE_SIZE);
}
BENCHMARK(BM_PlainWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// One change of sector: save the sector being left with the player, load the next.
void BM_ChangeSector(benchmark::State& state) {
    BenchDir dir;
    rng::srand(2);
    createGalaxy("Hop");
    ConLib con(std::make_unique<HeadlessBackend>());
    Player player;
    const char* name = "Hop";
    Sector sector(0, 0, &player, name);
    if (!sector.load()) std::abort();
    for (auto _ : state) {
        if (!sector.nextSector(true, true, &con)) std::abort();
    }
}
BENCHMARK(BM_ChangeSector)->Unit(benchmark::kMicrosecond);

// The player's own save (S, leaving the map, a hangup): both records all or
// nothing, and on the disk when it returns.
void BM_SaveSynced(benchmark::State& state) {
    BenchDir dir;
    rng::srand(3);
    createGalaxy("Keep");
    Player player;
    const char* name = "Keep";
    Sector sector(0, 0, &player, name);
    if (!sector.load()) std::abort();
    for (auto _ : state) {
        if (!sector.save(nullptr, false, Sector::Durability::Synced)) std::abort();
    }
}
BENCHMARK(BM_SaveSynced)->Unit(benchmark::kMillisecond);

// A sector with planets, the player in it, and a headless console.
struct MapScene {
    std::unique_ptr<HeadlessBackend> owned = std::make_unique<HeadlessBackend>();
    ConLib con{std::move(owned)};
    Player player;
    Sector sector{0, 0, nullptr, nullptr};
    MapScene() {
        rng::srand(4);
        do sector.genSector(0, 0);
        while (sector.getNumber() < 8);
        sector.setPlayer(&player);
        sector.setaPart(2);
    }
};

void BM_DrawMap(benchmark::State& state) {
    MapScene scene;
    for (auto _ : state) {
        scene.sector.drawMap(&scene.con);
        benchmark::DoNotOptimize(scene.con.grid());
    }
}
BENCHMARK(BM_DrawMap)->Unit(benchmark::kMicrosecond);

void BM_DrawMarket(benchmark::State& state) {
    MapScene scene;
    Planet* planet = scene.sector.getPlanet(0);
    for (auto _ : state) {
        planet->RedrawTrade(&scene.con, &scene.player);
        benchmark::DoNotOptimize(scene.con.grid());
    }
}
BENCHMARK(BM_DrawMarket)->Unit(benchmark::kMicrosecond);

// Bytes the terminal presenter sends for a whole map redraw after one step:
// only the cells that changed go out.
void BM_TerminalBytesAfterStep(benchmark::State& state) {
    setenv("LINES", "25", 1);
    setenv("COLUMNS", "80", 1);
    std::FILE* out = std::tmpfile();
    std::FILE* in = std::fopen("/dev/null", "r");
    MapScene scene;
    auto terminal = std::make_unique<TerminalBackend>(out, in, "xterm-256color");
    ScreenGrid grid;
    long bytes = 0;
    long fullScreenBytes = 0;
    for (auto _ : state) {
        scene.player.setPos(Coord{39, 12});
        scene.sector.drawMap(&scene.con);
        std::fflush(out);
        const long before = std::ftell(out);
        terminal->present(scene.con.grid(), Coord{0, 0}, false);
        std::fflush(out);
        const long afterFirst = std::ftell(out);
        scene.player.moveRight(&scene.con);
        scene.sector.drawMap(&scene.con);
        terminal->present(scene.con.grid(), Coord{0, 0}, false);
        std::fflush(out);
        if (fullScreenBytes == 0) fullScreenBytes = afterFirst - before;
        bytes = std::ftell(out) - afterFirst;
    }
    state.counters["bytes_after_step"] = static_cast<double>(bytes);
    state.counters["bytes_first_map"] = static_cast<double>(fullScreenBytes);
    terminal.reset();
    std::fclose(in);
    std::fclose(out);
}
BENCHMARK(BM_TerminalBytesAfterStep)->Unit(benchmark::kMicrosecond)->Iterations(50);

// Bytes the terminal presenter sends for one step of a meteor field (every
// row falls by one), against a full repaint of the same screen. A field is
// taken a few steps in, with its rows of meteors spread over the screen.
void BM_TerminalBytesMeteorStep(benchmark::State& state) {
    setenv("LINES", "25", 1);
    setenv("COLUMNS", "80", 1);
    std::FILE* out = std::tmpfile();
    std::FILE* in = std::fopen("/dev/null", "r");
    ConLib con(std::make_unique<HeadlessBackend>());
    Player player;
    player.setPos(Coord{40, 23});
    rng::srand(7);
    MeteorGrid grid{};
    Event::genMeteors(grid);
    int stepCounter = 0;
    auto step = [&] {
        stepCounter = (stepCounter + 1) % 4;
        Event::moveMeteors(grid, stepCounter == 0);
        Event::drawMeteors(&con, grid);
        player.draw(&con);
    };
    auto bytesOf = [&](TerminalBackend& terminal) {
        std::fflush(out);
        const long before = std::ftell(out);
        terminal.present(con.grid(), Coord{0, 0}, false);
        std::fflush(out);
        return std::ftell(out) - before;
    };
    con.SetBackgroundColor(4);
    con.SetTextColor(7);
    con.Clear();
    DrawBorder(SCREEN_WIDTH, SCREEN_HEIGHT, Coord{0, 0}, nullptr, &con);
    for (int i = 0; i < 6; ++i) step();
    auto terminal = std::make_unique<TerminalBackend>(out, in, "xterm-256color");
    bytesOf(*terminal);
    long stepBytes = 0;
    long steps = 0;
    long worstStep = 0;
    for (auto _ : state) {
        step();
        const long bytes = bytesOf(*terminal);
        stepBytes += bytes;
        worstStep = std::max(worstStep, bytes);
        ++steps;
    }
    terminal.reset();
    // The same screen sent whole to a terminal that shows nothing yet.
    auto fresh = std::make_unique<TerminalBackend>(out, in, "xterm-256color");
    const long fullRepaint = bytesOf(*fresh);
    fresh.reset();
    state.counters["bytes_per_step"] = static_cast<double>(stepBytes) / static_cast<double>(steps);
    state.counters["bytes_worst_step"] = static_cast<double>(worstStep);
    state.counters["bytes_full_repaint"] = static_cast<double>(fullRepaint);
    state.counters["step_over_repaint"] = static_cast<double>(worstStep) / static_cast<double>(fullRepaint);
    std::fclose(in);
    std::fclose(out);
}
BENCHMARK(BM_TerminalBytesMeteorStep)->Unit(benchmark::kMicrosecond)->Iterations(40);

// ---- Recorded games ------------------------------------------------------------------

std::vector<std::filesystem::path> suiteRecordings() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(STARHOLLOW_RECORDINGS_DIR))
        if (entry.path().extension() == ".rec") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// One recorded game of the suite checked as --verify does: recorded events
// replayed per second, and what the recording costs per minute of play.
void BM_ReplayRecording(benchmark::State& state) {
    const std::filesystem::path file = suiteRecordings().at(static_cast<std::size_t>(state.range(0)));
    BenchDir dir;
    if (!writeTutorialGalaxy("Tutorial.glx")) std::abort();
    ReplayRequest request;
    request.file = file;
    request.tutorialFolders = {std::filesystem::current_path()};
    const recording::Recording recorded = recording::parseFile(file);
    for (auto _ : state) {
        const ReplayReport report = verifyRecording(request);
        if (report.status != 0) state.SkipWithError(report.text.c_str());
    }
    const double minutes = static_cast<double>(recorded.events.back().time) / 60000.0;
    state.counters["events/s"] = benchmark::Counter(static_cast<double>(recorded.events.size()) *
                                                        static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
    state.counters["bytes/min"] = static_cast<double>(std::filesystem::file_size(file)) / minutes;
    state.SetLabel(file.stem().string());
}
BENCHMARK(BM_ReplayRecording)
    ->Apply([](benchmark::internal::Benchmark* b) {
        for (std::size_t i = 0; i < suiteRecordings().size(); ++i) b->Arg(static_cast<std::int64_t>(i));
    })
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
