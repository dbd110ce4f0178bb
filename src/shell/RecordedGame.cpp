#include "shell/RecordedGame.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>

#include "console/Interrupt.h"
#include "console/Random.h"
#include "console/RecordingBackend.h"
#include "console/ReplayBackend.h"
#include "format/PendingSave.h"
#include "galaxy/GalaxyFile.h"
#include "shell/Game.h"
#include "tutorial/TutorialGalaxy.h"

namespace fs = std::filesystem;
using recording::Event;
using recording::Kind;
using recording::Refused;

namespace {

// Screens of a changed game listed one by one, at most.
constexpr std::size_t CHANGES_LISTED = 10;

struct FileSum {
    std::uint64_t size = 0;
    std::uint32_t checksum = 0;
    bool operator==(const FileSum&) const = default;
};

std::optional<FileSum> sumOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::error_code error;
    const auto size = fs::file_size(file, error);
    if (!in || error) return std::nullopt;
    std::vector<std::uint8_t> bytes(size);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) return std::nullopt;
    return FileSum{size, crc32(bytes.data(), bytes.size())};
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// A temporary working folder for one replay; the old one is back and the
// temporary one gone at the end, however the replay ends.
class ReplayFolder {
public:
    ReplayFolder() : previous_(fs::current_path()) {
        const fs::path base = fs::temp_directory_path();
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (unsigned attempt = 0;; ++attempt) {
            path_ = base / ("starhollow-replay-" + std::to_string(stamp) + "-" + std::to_string(attempt));
            if (fs::create_directory(path_)) break;
        }
        fs::current_path(path_);
    }
    ~ReplayFolder() {
        std::error_code error;
        fs::current_path(previous_, error);
        fs::remove_all(path_, error);
    }
    ReplayFolder(const ReplayFolder&) = delete;
    ReplayFolder& operator=(const ReplayFolder&) = delete;

private:
    fs::path previous_;
    fs::path path_;
};

// Puts into the working folder every galaxy the recording loaded, each from
// the first given file (or the copy kept beside the recording) that holds it
// exactly as the recorded game found it.
void provideGalaxies(const recording::Recording& recorded, const ReplayRequest& request) {
    std::vector<std::string> provided;
    for (const Event& event : recorded.events) {
        if (event.kind != Kind::Galaxy || contains(provided, event.text)) continue;
        const std::string& name = event.text;
        if (!Game::isValidGalaxyName(name)) throw Refused("the recording names a galaxy \"" + name + "\" that cannot be");
        std::vector<fs::path> candidates = request.galaxies;
        candidates.push_back(keptGalaxyPath(request.file, name));
        std::optional<fs::path> found;
        bool sameNameDiffers = false;
        for (const fs::path& candidate : candidates) {
            const std::optional<FileSum> sum = sumOf(candidate);
            if (sum && *sum == FileSum{event.size, event.checksum}) {
                found = candidate;
                break;
            }
            if (sum && (candidate.stem() == name || candidate == candidates.back())) sameNameDiffers = true;
        }
        if (!found && sameNameDiffers)
            throw Refused("the galaxy " + name + " given is not the one the recorded game loaded (its contents differ)");
        if (!found)
            throw Refused("the recording loads the galaxy " + name +
                          ": give its file, as it was when the game was recorded, with --galaxy PATH");
        fs::copy_file(*found, galaxy::fileName(name.c_str()));
        provided.push_back(name);
    }
}

// Where the tutorial's galaxy is looked for, fixed before the working folder changes.
std::vector<fs::path> tutorialFoldersOf(const ReplayRequest& request) {
    std::vector<fs::path> folders = request.tutorialFolders.empty() ? tutorialGalaxyFolders() : request.tutorialFolders;
    for (fs::path& folder : folders) folder = fs::absolute(folder);
    return folders;
}

// Parses the recording and runs `replay` on it in a fresh working folder
// holding its galaxies; a recording that cannot be used is refused.
template <typename Replay>
ReplayReport inReplayFolder(ReplayRequest request, Replay&& replay) {
    try {
        request.file = fs::absolute(request.file);
        for (fs::path& galaxy : request.galaxies) galaxy = fs::absolute(galaxy);
        recording::Recording recorded = recording::parseFile(request.file);
        const std::vector<fs::path> tutorialFolders = tutorialFoldersOf(request);
        const ReplayFolder folder;
        provideGalaxies(recorded, request);
        return replay(std::move(recorded), tutorialFolders, request.file);
    } catch (const Refused& refused) {
        return ReplayReport{2, std::string("starhollow: ") + refused.what()};
    } catch (const fs::filesystem_error& error) {
        return ReplayReport{2, std::string("starhollow: ") + error.what()};
    }
}

// Every screen a recording shows, in order.
struct Shown {
    ScreenGrid grid;
    COORD cursor;
    bool cursorVisible;
    const Event* event;
};

std::vector<Shown> screensOf(const recording::Recording& recorded) {
    std::vector<Shown> screens;
    ScreenGrid grid;
    for (const Event& event : recorded.events) {
        if (event.kind != Kind::Present) continue;
        recording::applyChanges(grid, event.changes);
        screens.push_back(Shown{grid, event.cursor, event.cursorVisible, &event});
    }
    return screens;
}

std::string firstChange(const Shown& before, const Shown& after) {
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            if (!(before.grid.at(x, y) == after.grid.at(x, y)))
                return "cell (" + std::to_string(x) + ", " + std::to_string(y) + ") was " +
                       recording::describeCell(before.grid.at(x, y)) + ", now " +
                       recording::describeCell(after.grid.at(x, y)) + "; row " + std::to_string(y) + " now \"" +
                       after.grid.row(y) + "\"";
    return "the cursor moved";
}

std::string screenChanges(const recording::Recording& before, const recording::Recording& after) {
    const std::vector<Shown> old = screensOf(before);
    const std::vector<Shown> now = screensOf(after);
    std::string text;
    std::size_t changed = 0;
    for (std::size_t i = 0; i < std::min(old.size(), now.size()); ++i) {
        const bool same = old[i].grid == now[i].grid && old[i].cursor == now[i].cursor &&
                          old[i].cursorVisible == now[i].cursorVisible;
        if (same) continue;
        if (++changed <= CHANGES_LISTED)
            text += "screen " + std::to_string(i + 1) + " (line " + std::to_string(now[i].event->line) + ", " +
                    recording::seconds(now[i].event->time) + "): " + firstChange(old[i], now[i]) + "\n";
    }
    if (changed > CHANGES_LISTED) text += "... and " + std::to_string(changed - CHANGES_LISTED) + " more\n";
    if (old.size() != now.size())
        text += "the game now shows " + std::to_string(now.size()) + " screens where it showed " +
                std::to_string(old.size()) + "\n";
    if (text.empty()) return "No screen changed (" + std::to_string(now.size()) + " screens).";
    return std::to_string(changed) + " of " + std::to_string(now.size()) + " screens changed:\n" + text;
}

ReplayReport playBack(const ReplayRequest& request, const std::function<std::unique_ptr<Backend>()>& makePresenter) {
    return inReplayFolder(request, [&](recording::Recording recorded, const std::vector<fs::path>& tutorialFolders,
                                       const fs::path&) {
        rng::srand(recorded.seed);
        auto owned = std::make_unique<ReplayBackend>(std::move(recorded), makePresenter ? makePresenter() : nullptr);
        ReplayBackend& replay = *owned;
        std::optional<Game> game;
        bool cut = false;
        try {
            game.emplace(std::move(owned));
            game->setTutorialFolders(tutorialFolders);
            game->run();
            replay.expectEnd();
        } catch (const ReplayEnded&) {
            cut = true;
        } catch (const ReplayStopped&) {
            if (!game) return ReplayReport{0, "The replay was stopped."};
            return ReplayReport{0, "The replay was stopped " + recording::seconds(replay.recordedTime()) +
                                       " into the recording."};
        } catch (const ReplayDiverged& diverged) {
            return ReplayReport{1, diverged.what()};
        }
        if (!game) return ReplayReport{2, "starhollow: the recording holds no game"};
        return ReplayReport{0, "Every screen matched: " + std::to_string(replay.eventsReplayed()) + " events, " +
                                   std::to_string(replay.screensChecked()) + " screens, " +
                                   recording::seconds(replay.recordedTime()) + " of play" +
                                   (cut ? ", up to where the recording ends." : ".")};
    });
}

}  // namespace

fs::path keptGalaxyPath(const fs::path& recordingFile, const std::string& name) {
    // Added to the path as it is: a folder's name may be anything.
    fs::path kept = recordingFile;
    kept += "." + galaxy::fileName(name.c_str());
    return kept;
}

GalaxyKeeper::GalaxyKeeper(RecordingBackend& recorder, fs::path recordingFile, bool copy)
    : recorder_(recorder), recordingFile_(fs::absolute(recordingFile)), copy_(copy) {}

void GalaxyKeeper::watch(Game& game) {
    game.onGalaxyOpened = [this](const std::string& name, bool created) { opened(name, created); };
}

void GalaxyKeeper::opened(const std::string& name, bool created) {
    if (contains(known_, name)) return;
    known_.push_back(name);
    // A galaxy made during the recording is made again by the replay.
    if (created) return;
    const std::string file = galaxy::fileName(name.c_str());
    const std::optional<FileSum> sum = sumOf(file);
    if (!sum) return;
    std::error_code error;
    if (copy_) fs::copy_file(file, keptGalaxyPath(recordingFile_, name), fs::copy_options::overwrite_existing, error);
    recorder_.noteGalaxy(name, sum->checksum, sum->size);
}

ReplayReport verifyRecording(const ReplayRequest& request) { return playBack(request, nullptr); }

ReplayReport replayRecording(const ReplayRequest& request,
                             const std::function<std::unique_ptr<Backend>()>& makePresenter) {
    return playBack(request, makePresenter);
}

ReplayReport rerecordRecording(const ReplayRequest& request) {
    return inReplayFolder(request, [&](recording::Recording old, const std::vector<fs::path>& tutorialFolders,
                                       const fs::path& file) {
        const fs::path fresh = file.string() + ".new";
        std::FILE* out = RecordingBackend::createFile(fresh);
        rng::srand(old.seed);
        auto owned = std::make_unique<RecordingBackend>(std::make_unique<ScriptedBackend>(old), out, old.seed);
        RecordingBackend& recorder = *owned;
        {
            Game game(std::move(owned));
            game.setTutorialFolders(tutorialFolders);
            GalaxyKeeper keeper(recorder, file, false);
            keeper.watch(game);
            try {
                game.run();
                recorder.noteEnd(0);
            } catch (const ReplayEnded&) {
                // Its keys ran out before the game ended, as the recording did.
            } catch (const GameInterrupted& stop) {
                recorder.noteEnd(stop.signal());
            }
        }
        const std::string changes = screenChanges(old, recording::parseFile(fresh));
        fs::rename(fresh, file);
        return ReplayReport{0, changes};
    });
}
