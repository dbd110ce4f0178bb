#include "shell/RecordedGame.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>

#include "screen/Interrupt.h"
#include "catalog/Random.h"
#include "recording/RecordingBackend.h"
#include "recording/ReplayBackend.h"
#include "storage/PendingSave.h"
#include "storage/GalaxyFile.h"
#include "platform/Files.h"
#include "shell/Game.h"
#include "shell/TutorialFolders.h"
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

// The file's size and checksum, read only when it has the size sought.
std::optional<FileSum> sumOf(const fs::path& file, std::uint64_t size) {
    std::error_code error;
    if (!fs::is_regular_file(file, error) || fs::file_size(file, error) != size || error) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes(size);
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) return std::nullopt;
    return FileSum{size, crc32(bytes.data(), bytes.size())};
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// A temporary working folder for one replay; the old one is back and the
// temporary one gone at the end, however the replay ends (a stop included:
// it unwinds through here).
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

// What a first reading of the whole recording finds; it checks every line
// before anything is replayed, and keeps only what is bounded.
struct Scanned {
    unsigned seed = 0;
    std::vector<Event> galaxies;  // the note of each galaxy loaded
    ScriptedBackend::Summary summary;
};

Scanned scan(const fs::path& file) {
    recording::Reader reader = recording::Reader::open(file);
    Scanned scanned;
    scanned.seed = reader.seed();
    std::vector<std::string> names;
    while (std::optional<Event> event = reader.next()) {
        scanned.summary.end = std::max(scanned.summary.end, event->time);
        if (event->kind == Kind::Stopped && scanned.summary.stopSignal == 0) {
            scanned.summary.stopSignal = static_cast<int>(event->value);
            scanned.summary.stopTime = event->time;
        }
        if (event->kind != Kind::Galaxy || contains(names, event->text)) continue;
        const std::string where = "line " + std::to_string(event->line) + " of the recording ";
        if (!Game::isValidGalaxyName(event->text))
            throw Refused(where + "names a galaxy \"" + event->text + "\" that cannot be.");
        if (names.size() == recording::MAX_GALAXIES)
            throw Refused(where + "loads more than " + std::to_string(recording::MAX_GALAXIES) + " galaxies.");
        names.push_back(event->text);
        scanned.galaxies.push_back(std::move(*event));
    }
    return scanned;
}

// Puts into the working folder every galaxy the recording loaded, each from
// the first given file (or the copy kept beside the recording) that holds it
// exactly as the recorded game found it. One of that name that holds
// another is a game that went another way from its start.
void provideGalaxies(const std::vector<Event>& galaxies, const ReplayRequest& request) {
    for (const Event& event : galaxies) {
        const std::string& name = event.text;
        std::vector<fs::path> candidates = request.galaxies;
        const fs::path kept = keptGalaxyPath(request.file, name);
        std::error_code error;
        if (fs::exists(fs::symlink_status(kept, error))) {
            recording::requireRegularFile(kept, "galaxy");
            candidates.push_back(kept);
        }
        std::optional<fs::path> found;
        bool sameNameDiffers = false;
        for (const fs::path& candidate : candidates) {
            if (sumOf(candidate, event.size) == FileSum{event.size, event.checksum}) {
                found = candidate;
                break;
            }
            if (candidate.stem() == name || candidate == kept) sameNameDiffers = true;
        }
        if (!found && sameNameDiffers)
            throw ReplayDiverged("the galaxy " + name + " given is not the one the recorded game loaded (line " +
                                 std::to_string(event.line) + "): its contents differ");
        if (!found)
            throw Refused("the recording loads the galaxy " + name +
                          ": give its file, as it was when the game was recorded, with --galaxy PATH.");
        fs::copy_file(*found, galaxy::fileName(name.c_str()));
    }
}

// Where the tutorial's galaxy is looked for, fixed before the working folder changes.
std::vector<fs::path> tutorialFoldersOf(const ReplayRequest& request) {
    std::vector<fs::path> folders = request.tutorialFolders.empty() ? tutorialGalaxyFolders() : request.tutorialFolders;
    for (fs::path& folder : folders) folder = fs::absolute(folder);
    return folders;
}

// Reads the whole recording once, checking it, then runs `replay` on it,
// read again as a stream, in a fresh working folder holding its galaxies; a
// recording that cannot be used is refused.
template <typename Replay>
ReplayReport inReplayFolder(ReplayRequest request, Replay&& replay) {
    try {
        request.file = fs::absolute(request.file);
        for (fs::path& galaxy : request.galaxies) {
            galaxy = fs::absolute(galaxy);
            recording::requireRegularFile(galaxy, "galaxy");
        }
        const Scanned scanned = scan(request.file);
        const std::vector<fs::path> tutorialFolders = tutorialFoldersOf(request);
        const ReplayFolder folder;
        provideGalaxies(scanned.galaxies, request);
        return replay(scanned, recording::Reader::open(request.file), tutorialFolders, request.file);
    } catch (const Refused& refused) {
        return ReplayReport{2, std::string("starhollow: ") + refused.what()};
    } catch (const fs::filesystem_error& error) {
        return ReplayReport{2, std::string("starhollow: ") + error.what()};
    } catch (const ReplayDiverged& diverged) {
        return ReplayReport{1, diverged.what()};
    }
}

// The screens of a recording one after the other, as they were shown.
class Screens {
public:
    explicit Screens(const fs::path& file) : reader_(recording::Reader::open(file)) {}
    bool next() {
        while (std::optional<Event> event = reader_.next()) {
            if (event->kind != Kind::Present) continue;
            recording::applyChanges(grid, event->changes);
            cursor = event->cursor;
            cursorVisible = event->cursorVisible;
            line = event->line;
            time = event->time;
            return true;
        }
        return false;
    }
    bool sameAs(const Screens& other) const {
        return grid == other.grid && cursor == other.cursor && cursorVisible == other.cursorVisible;
    }

    ScreenGrid grid;
    Coord cursor;
    bool cursorVisible = false;
    int line = 0;
    std::uint64_t time = 0;

private:
    recording::Reader reader_;
};

std::string firstChange(const Screens& before, const Screens& after) {
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            if (!(before.grid.at(x, y) == after.grid.at(x, y)))
                return "cell (" + std::to_string(x) + ", " + std::to_string(y) + ") was " +
                       recording::describeCell(before.grid.at(x, y)) + ", now " +
                       recording::describeCell(after.grid.at(x, y)) + "; row " + std::to_string(y) + " now \"" +
                       after.grid.row(y) + "\"";
    return "the cursor moved";
}

std::string screenChanges(const fs::path& before, const fs::path& after) {
    Screens old(before);
    Screens now(after);
    std::string text;
    std::size_t changed = 0;
    std::size_t oldCount = 0;
    std::size_t nowCount = 0;
    for (;;) {
        const bool hasOld = old.next();
        const bool hasNow = now.next();
        oldCount += hasOld ? 1 : 0;
        nowCount += hasNow ? 1 : 0;
        if (!hasOld || !hasNow) {
            while (hasOld && old.next()) ++oldCount;
            while (hasNow && now.next()) ++nowCount;
            break;
        }
        if (old.sameAs(now)) continue;
        if (++changed <= CHANGES_LISTED)
            text += "screen " + std::to_string(nowCount) + " (line " + std::to_string(now.line) + ", " +
                    recording::seconds(now.time) + "): " + firstChange(old, now) + "\n";
    }
    if (changed > CHANGES_LISTED) text += "... and " + std::to_string(changed - CHANGES_LISTED) + " more\n";
    if (oldCount != nowCount)
        text += "the game now shows " + std::to_string(nowCount) + " screens where it showed " +
                std::to_string(oldCount) + "\n";
    if (text.empty()) return "No screen changed (" + std::to_string(nowCount) + " screens).";
    return std::to_string(changed) + " of " + std::to_string(nowCount) + " screens changed:\n" + text;
}

ReplayReport playBack(const ReplayRequest& request, const std::function<std::unique_ptr<Backend>()>& makePresenter) {
    return inReplayFolder(request, [&](const Scanned& scanned, recording::Reader recorded,
                                       const std::vector<fs::path>& tutorialFolders, const fs::path&) {
        rng::srand(scanned.seed);
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
        if (!game) return ReplayReport{2, "starhollow: the recording holds no game."};
        return ReplayReport{0, "Every screen matched: " + std::to_string(replay.eventsReplayed()) + " events, " +
                                   std::to_string(replay.screensChecked()) + " screens, " +
                                   recording::seconds(replay.recordedTime()) + " of play" +
                                   (cut ? ", up to where the recording ends." : ".")};
    });
}

// A file this replay writes, removed unless it is kept.
class WorkingFile {
public:
    explicit WorkingFile(fs::path path) : path_(std::move(path)) {}
    ~WorkingFile() {
        std::error_code error;
        if (!kept_) fs::remove(path_, error);
    }
    WorkingFile(const WorkingFile&) = delete;
    WorkingFile& operator=(const WorkingFile&) = delete;
    const fs::path& path() const { return path_; }
    void keep() { kept_ = true; }

private:
    fs::path path_;
    bool kept_ = false;
};

}  // namespace

fs::path keptGalaxyPath(const fs::path& recordingFile, const std::string& name) {
    // Added to the path as it is: a folder's name may be anything.
    fs::path kept = recordingFile;
    // Two appends: GCC 12 warns falsely about "." + a temporary string.
    kept += ".";
    kept += galaxy::fileName(name.c_str());
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
    std::error_code error;
    const std::optional<FileSum> sum = sumOf(file, fs::file_size(file, error));
    if (!sum) return;
    if (copy_) {
        // Kept as the recording is: nothing of the same name is replaced.
        const fs::path kept = keptGalaxyPath(recordingFile_, name);
        if (!fs::copy_file(file, kept, fs::copy_options::none, error)) {
            const bool taken = error == std::errc::file_exists;
            if (!taken) fs::remove(kept, error);
            recorder_.stop("the galaxy " + name + " could not be kept beside it as " + kept.string() +
                           (taken ? " (a file has that name)" : ""));
            return;
        }
    }
    recorder_.noteGalaxy(name, sum->checksum, sum->size);
}

ReplayReport verifyRecording(const ReplayRequest& request) { return playBack(request, nullptr); }

ReplayReport replayRecording(const ReplayRequest& request,
                             const std::function<std::unique_ptr<Backend>()>& makePresenter) {
    return playBack(request, makePresenter);
}

// The new recording goes to a working file beside the old one, reaches the
// disk, and only then takes its name: a crash leaves the old or the new.
ReplayReport rerecordRecording(const ReplayRequest& request) {
    return inReplayFolder(request, [&](const Scanned& scanned, recording::Reader old,
                                       const std::vector<fs::path>& tutorialFolders, const fs::path& file) {
        const std::string name = file.filename().string();
        WorkingFile fresh(file.parent_path() / ("." + name + ".rerecording"));
        std::error_code error;
        fs::remove(fresh.path(), error);  // one a crashed run left behind
        rng::srand(scanned.seed);
        auto script = std::make_unique<ScriptedBackend>(std::move(old), scanned.summary);
        const ScriptedBackend& keys = *script;
        auto owned = std::make_unique<RecordingBackend>(std::move(script), RecordingBackend::createFile(fresh.path()),
                                                        scanned.seed);
        RecordingBackend& recorder = *owned;
        std::string failure;
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
                // Only the recorded stop belongs in the recording; one from
                // outside ends the run and keeps the old recording.
                if (!keys.stopDelivered()) throw;
                recorder.noteEnd(stop.signal());
            }
            if (!recorder.finish(true)) failure = recorder.failure();
        }
        if (!failure.empty())
            return ReplayReport{2, "starhollow: " + name + " was kept as it was: the new recording " + failure + "."};
        const std::string changes = screenChanges(file, fresh.path());
        fs::rename(fresh.path(), file);
        fresh.keep();
        platform::syncFolderOf(file.string());
        return ReplayReport{0, changes};
    });
}
