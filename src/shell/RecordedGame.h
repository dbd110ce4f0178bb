#pragma once
// Recorded games from the program's side: playing while recording, and
// playing a recording back (checking it, showing it, or making it again).
// A replay never touches the player's files: it runs in a temporary working
// folder holding only the galaxies the recording loaded.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Backend;
class Game;
class RecordingBackend;

// Keeps beside a recording every galaxy the recorded game loaded, as it was
// then (RECORDING.NAME.glx), and notes it in the recording.
class GalaxyKeeper {
public:
    // With `copy` false the galaxies are only noted (their copies are there).
    GalaxyKeeper(RecordingBackend& recorder, std::filesystem::path recordingFile, bool copy = true);
    void watch(Game& game);

private:
    void opened(const std::string& name, bool created);

    RecordingBackend& recorder_;
    std::filesystem::path recordingFile_;
    bool copy_;
    std::vector<std::string> known_;  // created or noted already
};

// Where a recording's galaxies are kept beside it.
std::filesystem::path keptGalaxyPath(const std::filesystem::path& recordingFile, const std::string& name);

struct ReplayRequest {
    std::filesystem::path file;
    // Files of the galaxies the recording loaded; by default those kept beside it.
    std::vector<std::filesystem::path> galaxies;
    // Where the tutorial's galaxy is looked for; by default where the game looks.
    std::vector<std::filesystem::path> tutorialFolders;
};

// What a replay found: status 0 when every screen matched, 1 when the game
// went another way, 2 when the recording could not be used; and the report.
struct ReplayReport {
    int status = 0;
    std::string text;
};

// Checks the recording headless on its recorded clock.
ReplayReport verifyRecording(const ReplayRequest& request);
// Shows it at its recorded pace in the presenter made by `makePresenter`
// (the terminal), once the recording has been found usable.
ReplayReport replayRecording(const ReplayRequest& request,
                             const std::function<std::unique_ptr<Backend>()>& makePresenter);
// Plays its keys again at their recorded times, writes the new recording
// over the old one and reports which screens changed.
ReplayReport rerecordRecording(const ReplayRequest& request);
