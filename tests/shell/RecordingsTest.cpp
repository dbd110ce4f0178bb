// Recorded games: every recording of tests/recordings replays to the same
// screens from the same keys, clock and seed; and a game recorded here
// replays exactly, also one cut by a stop or one that loaded a galaxy.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "GalaxyFixture.h"
#include "TestSupport.h"
#include "console/Random.h"
#include "console/RecordingBackend.h"
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

// Plays the script while recording it into `file`; the signal it ended with.
int recordGame(const fs::path& file, const std::function<void(HeadlessBackend&)>& script) {
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
    return signal;
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
    std::ofstream("evil.rec") << "starhollow-recording 1\nseed 1\n0 g 1a 12 ../evil\n";
    EXPECT_NE(verifyIn(dir.path(), "evil.rec").text.find("cannot be"), std::string::npos);
}
