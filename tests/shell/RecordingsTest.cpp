// Recorded games: every recording of tests/recordings replays to the same
// screens from the same keys, clock and seed; and a game recorded here
// replays exactly, also one cut by a stop or one that loaded a galaxy.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include "GalaxyFixture.h"
#include "TestSupport.h"
#include "catalog/Random.h"
#include "recording/RecordingBackend.h"
#include "shell/RecordedGame.h"
#include "tutorial/TutorialGalaxy.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> suiteRecordings() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(STARHOLLOW_RECORDINGS_DIR))
        if (entry.path().extension() == ".rec") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

ReplayReport verifyIn(const fs::path& folder, const fs::path& file, std::vector<fs::path> galaxies = {}) {
    ReplayRequest request;
    request.file = file;
    request.galaxies = std::move(galaxies);
    request.tutorialFolders = {folder};
    return verifyRecording(request);
}

// Plays the script while recording it into `file`; the signal it ended
// with, and why the recording stopped, if it did.
int recordGame(const fs::path& file, const std::function<void(HeadlessBackend&)>& script,
               std::string* failure = nullptr) {
    auto keys = std::make_unique<HeadlessBackend>();
    script(*keys);
    rng::srand(77);
    auto recorder = std::make_unique<RecordingBackend>(std::move(keys), RecordingBackend::createFile(file), 77);
    RecordingBackend& recording = *recorder;
    Game game(std::move(recorder));
    GalaxyKeeper keeper(recording, file);
    keeper.watch(game);
    const int signal = signalThatEnded([&] { game.run(); });
    recording.noteEnd(signal);
    if (failure != nullptr) *failure = recording.failure();
    return signal;
}

fs::path suiteRecording(const std::string& name) { return fs::path(STARHOLLOW_RECORDINGS_DIR) / (name + ".rec"); }

// `text` with its first `from` made `to`.
std::string changed(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

}  // namespace

class Recordings : public ::testing::TestWithParam<std::string> {};

TEST_P(Recordings, ReplayToTheSameScreens) {
    ScopedWorkDir dir;
    ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
    const ReplayReport report = verifyIn(dir.path(), fs::path(STARHOLLOW_RECORDINGS_DIR) / (GetParam() + ".rec"));
    EXPECT_EQ(report.status, 0) << report.text;
    EXPECT_EQ(report.text.find("up to where"), std::string::npos) << "the game asked for more than was recorded";
}

INSTANTIATE_TEST_SUITE_P(Suite, Recordings, ::testing::ValuesIn(suiteRecordings()),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// A game cut by a stop replays up to its end; one that loaded a galaxy needs
// that galaxy as it was, kept beside the recording or given, and refuses
// another; the replay leaves the folder it ran from untouched.
TEST(RecordedGame, ReplaysExactlyWithTheGalaxiesItLoaded) {
    ScopedWorkDir dir;
    installGalaxy(dir.path(), "Home", planetSpot().beside);
    const fs::path stopped = dir.path() / "stopped.rec";
    EXPECT_EQ(recordGame(stopped,
                     [](HeadlessBackend& k) {
                         k.pushText("LHome\n");
                         for (int i = 0; i < 40; ++i) k.pushKey(37);
                         k.pushDelay(700);
                         k.pushSignal(SIGTERM);
                     }),
              SIGTERM);
    const std::string folderBefore = fileContents("Home.glx");
    const ReplayReport cut = verifyIn(dir.path(), stopped);
    EXPECT_EQ(cut.status, 0) << cut.text;
    EXPECT_NE(cut.text.find("up to where the recording ends"), std::string::npos) << cut.text;
    EXPECT_EQ(fileContents("Home.glx"), folderBefore) << "the replay wrote into the player's folder";

    const fs::path kept = keptGalaxyPath(stopped, "Home");
    fs::rename(kept, dir.path() / "elsewhere.glx");
    EXPECT_NE(verifyIn(dir.path(), stopped).text.find("give its file"), std::string::npos);
    EXPECT_EQ(verifyIn(dir.path(), stopped, {dir.path() / "elsewhere.glx"}).status, 0);
    EXPECT_NE(verifyIn(dir.path(), stopped, {dir.path() / "Home.glx"}).text.find("differ"), std::string::npos)
        << "the galaxy as the recorded game left it is not the one it loaded";
    fs::rename(dir.path() / "elsewhere.glx", kept);
    std::string text = fileContents(stopped);
    char& checksum = text[text.find(" g ") + 3];
    checksum = checksum == '1' ? '2' : '1';
    std::ofstream(stopped, std::ios::binary) << text;
    EXPECT_EQ(verifyIn(dir.path(), stopped).status, 1) << "a galaxy other than the one loaded";
    std::ofstream("evil.rec") << "starhollow-recording 1\nseed 1\n0 g 1a 12078152 ../evil\n";
    EXPECT_NE(verifyIn(dir.path(), "evil.rec").text.find("cannot be"), std::string::npos);
}

// The most memory `work` holds at once. POSIX only (README, "Tests on
// Windows"): the heap's peak under AddressSanitizer (its quarantine keeps
// freed memory in the process), else the process's peak size.
#ifndef _WIN32
#ifdef __SANITIZE_ADDRESS__
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, std::size_t),
                                                         void (*)(const volatile void*));
extern "C" std::size_t __sanitizer_get_allocated_size(const volatile void*);
namespace {
std::atomic<std::int64_t> heapNow{0}, heapPeak{0};
std::int64_t peakMemoryDuring(const std::function<void()>& work) {
    __sanitizer_install_malloc_and_free_hooks(
        [](const volatile void*, std::size_t size) {
            const std::int64_t now = heapNow += static_cast<std::int64_t>(size);
            for (std::int64_t peak = heapPeak; now > peak && !heapPeak.compare_exchange_weak(peak, now);) {}
        },
        [](const volatile void* p) { heapNow -= static_cast<std::int64_t>(__sanitizer_get_allocated_size(p)); });
    work();
    return heapPeak;
}
}  // namespace
#else
std::int64_t peakMemoryDuring(const std::function<void()>& work) {
    work();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return std::int64_t{usage.ru_maxrss} * 1024;
}
#endif
#endif

// Hostile recordings, most made from real ones: a refusal (2), a divergence
// (1) or a match up to where a cut one ends (0); never a crash, a hang or a
// false success. Each thing a replay compares, changed alone, diverges; a
// huge recording is read in bounded memory.
TEST(RecordedGame, HostileRecordingsNeverPassFalsely) {
    ScopedWorkDir dir;
    ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
    const auto edit = [](const char* name, const char* from, const char* to) {
        return changed(fileContents(suiteRecording(name)), from, to);
    };
    const std::string real = fileContents(suiteRecording("money-goal-won"));
    const std::string head = real.substr(0, real.find('\n', real.size() / 2) + 1);
    const std::string tail = real.substr(head.size());
    fs::create_directory("folder");
    fs::create_directory("noted.rec.Home.glx");
    std::ofstream("noted.rec") << "starhollow-recording 1\nseed 1\n0 g 1a 12078152 Home\n";
    const char* const menu = "6e456772 0 0 0";
    const struct {
        const char* name;
        std::string text;  // written to hostile.rec, else `file` is checked
        fs::path file;
        int status;
        const char* said;
        std::vector<fs::path> galaxies = {};
    } cases[] = {
        {"a cell", edit("money-goal-won", "0,24,70,80:*", "0,24,70,80:#"), {}, 1, "differs at cell (0, 24)"},
        {"a checksum", edit("money-goal-won", menu, "6e456773 0 0 0"), {}, 1, "match its checksum"},
        {"the cursor", edit("money-goal-won", menu, "6e456772 1 0 0"), {}, 1, "the cursor differs"},
        {"the cursor shown", edit("money-goal-won", menu, "6e456772 0 0 1"), {}, 1, "the cursor differs"},
        {"a wait's outcome", edit("money-goal-won", "w -1 1", "w -1 0"), {}, 1, "where the recording has an input"},
        {"a wait's length", edit("meteor-field-survived", " w 500 ", " w 499 "), {}, 1, "recording waited 499"},
        {"a key", edit("money-goal-won", "i 78 110", "i 76 110"), {}, 1, "the screen differs"},
        {"a pause", edit("pirates-fight-fled", " s 2000", " s 1999"), {}, 1, "recording paused 1999"},
        {"a title", edit("money-goal-won", "t Starhollow", "t Starhollox"), {}, 1, "has \"Starhollox\""},
        {"stop in the middle", head + "0 x 15\n" + tail, {}, 1, "goes on after a stop by signal 15"},
        {"end in the middle", head + "0 e\n" + tail, {}, 1, "after the recorded game had ended"},
        {"after the end", real + "0 s 5\n", {}, 1, "goes on after the end of the game"},
        {"unknown stop", head + "0 x 0\n", {}, 2, "does not know"},
        {"cut in a line", real.substr(0, head.size() + 9), {}, 0, "up to where the recording ends"},
        {"bad number", head + "0 i 38 -1\n" + tail, {}, 2, "typed byte -1"},
        {"no line end", std::string(1 << 20, 'x'), {}, 2, "not a Starhollow recording"},
        {"endless line", head + std::string(1 << 20, '\0'), {}, 2, "longer than 65536"},
        {"folder", "", "folder", 2, "is a folder"},
        {"galaxy a folder", real, {}, 2, "is a folder", {"folder"}},
        {"kept galaxy a folder", "", "noted.rec", 2, "is a folder"},
#ifndef _WIN32  // POSIX only (README, "Tests on Windows")
        {"FIFO", "", "fifo", 2, "not a plain file"},
        {"device", "", "/dev/zero", 2, "not a plain file"},
        {"galaxy a FIFO", real, {}, 2, "not a plain file", {"fifo"}},
#endif
    };
#ifndef _WIN32
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
#endif
    for (const auto& c : cases) {
        if (c.file.empty()) std::ofstream("hostile.rec", std::ios::binary) << c.text;
        const ReplayReport report = verifyIn(dir.path(), c.file.empty() ? "hostile.rec" : c.file, c.galaxies);
        EXPECT_EQ(report.status, c.status) << c.name << ": " << report.text;
        EXPECT_NE(report.text.find(c.said), std::string::npos) << c.name << ": " << report.text;
    }
#ifndef _WIN32
    // Some 50 MB of screens after the game's end: read as it goes.
    const std::size_t screen = real.find("0 p ");
    const std::string line = real.substr(screen, real.find('\n', screen) + 1 - screen);
    std::ofstream huge("huge.rec", std::ios::binary);
    for (huge << real.substr(0, real.rfind("0 e\n")); huge.tellp() < (50 << 20);) huge << line;
    huge.close();
    ReplayReport report;
    EXPECT_LT(peakMemoryDuring([&] { report = verifyIn(dir.path(), "huge.rec"); }), 64 << 20);
    EXPECT_EQ(report.status, 1) << report.text;
#endif
}

// A recording never replaces a file; one that cannot be written stops, the
// game goes on, and what was written replays up to there. A stop during a
// check leaves no working folder. POSIX only: a limit on file sizes, TMPDIR.
#ifndef _WIN32
TEST(RecordedGame, RecordingDestroysNothingAndStopsAlone) {
    ScopedWorkDir dir;
    std::ofstream("Orion.glx") << "a galaxy";
    EXPECT_THROW(RecordingBackend::createFile("Orion.glx"), recording::Refused);
    EXPECT_EQ(fileContents("Orion.glx"), "a galaxy");
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{3000, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    std::string failure;
    EXPECT_EQ(recordGame("full.rec", [](HeadlessBackend& k) { k.pushText("CXCXEY"); }, &failure), 0);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_NE(failure.find("writing the recording failed"), std::string::npos) << failure;
    ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
    EXPECT_EQ(verifyIn(dir.path(), "full.rec").status, 0);

    fs::create_directory("tmp");
    setenv("TMPDIR", (dir.path() / "tmp").c_str(), 1);
    interrupt::deliver(SIGTERM);
    EXPECT_THROW(verifyIn(dir.path(), suiteRecording("money-goal-won")), GameInterrupted);
    interrupt::reset();
    unsetenv("TMPDIR");
    EXPECT_TRUE(fs::is_empty("tmp"));
}
#endif

// --rerecord of an unchanged game writes the same recording and leaves no
// working file beside it.
TEST(RecordedGame, RerecordReplacesWholeAndLeavesNothingBeside) {
    ScopedWorkDir dir;
    ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
    fs::copy_file(suiteRecording("hyperspace-jump"), "jump.rec");
    ReplayRequest request;
    request.file = "jump.rec";
    request.tutorialFolders = {dir.path()};
    EXPECT_NE(rerecordRecording(request).text.find("No screen changed"), std::string::npos);
    EXPECT_EQ(fileContents("jump.rec"), fileContents(suiteRecording("hyperspace-jump")));
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 2);
}
