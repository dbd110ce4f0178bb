// Starhollow benchmarks: galaxy creation against the plain-write floor, the
// change of sector, and the screens that must answer a key at once.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "console/HeadlessBackend.h"
#include "console/Random.h"
#include "galaxy/SaveRecords.h"
#include "galaxy/Sector.h"
#include "player/Player.h"
#include "shell/Game.h"

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

// The floor for creation: the same number of bytes written sequentially.
void BM_PlainWrite(benchmark::State& state) {
    BenchDir dir;
    const std::vector<char> chunk(SECTOR_RECORD_SIZE, 'g');
    for (auto _ : state) {
        {
            std::ofstream out("Plain.glx", std::ios::binary | std::ios::trunc);
            for (int n = 0; n < SECTOR_COUNT; ++n) out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            out.write(chunk.data(), PLAYER_RECORD_SIZE);
        }
        state.PauseTiming();
        std::filesystem::remove("Plain.glx");
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * GALAXY_FILE_SIZE);
}
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// One change of sector: save the sector being left with the player, load the next.
void BM_ChangeSector(benchmark::State& state) {
    BenchDir dir;
    rng::srand(2);
    createGalaxy("Hop");
    Player player;
    const char* name = "Hop";
    Sector sector(0, 0, &player, name);
    if (!sector.load()) std::abort();
    int x = 0;
    for (auto _ : state) {
        sector.save(nullptr, false);
        x = x == 50 ? -50 : x + 1;
        if (sector.loadSector(galaxy::sectorNumber(x, 0)) != LoadResult::Ok) std::abort();
    }
}
BENCHMARK(BM_ChangeSector)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
