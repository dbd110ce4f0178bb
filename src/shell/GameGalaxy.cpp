// Creating a new galaxy file and opening a saved one.

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <utility>

#include "screen/HelpFuncLib.h"
#include "catalog/Random.h"
#include "storage/GalaxyFile.h"
#include "platform/Files.h"
#include "storage/Paths.h"
#include "platform/Process.h"
#include "shell/Game.h"
#include "storage/OverlappedWriter.h"

namespace {

constexpr const char* TUTORIAL_NAME = "Tutorial";
constexpr int FIRST_SECTOR = 5101;  // sector (0, 0)
constexpr int PARTS_PER_KIND = 5;

// A galaxy being created lives under a hidden working name until it is
// complete; the name carries the process id so that leftovers of a killed
// creation can be told apart and cleared.
constexpr const char* CREATING_MARK = ".creating.";
constexpr std::size_t MAX_PID_DIGITS = 9;

std::string workingStem(const std::string& name, long pid) { return "." + name + CREATING_MARK + std::to_string(pid); }

// The process id in the name of a creation's working file, or of the
// pending-save file beside one, or 0 when the name is no such file's. The
// pending saves of real galaxies are never taken for one.
long creatingProcess(const std::string& file) {
    const std::string pendingSuffix = galaxy::pendingSaveFileName("").substr(1);  // ".pending"
    if (file.size() > pendingSuffix.size() + 1 && file.front() == '.' &&
        file.compare(file.size() - pendingSuffix.size(), pendingSuffix.size(), pendingSuffix) == 0) {
        const std::string working = file.substr(1, file.size() - 1 - pendingSuffix.size());
        return galaxy::pendingSaveFileName(working) == file ? creatingProcess(working) : 0;
    }
    const std::string extension = galaxy::fileName("");
    if (file.size() <= extension.size() || file.front() != '.') return 0;
    if (file.compare(file.size() - extension.size(), extension.size(), extension) != 0) return 0;
    const std::size_t mark = file.rfind(CREATING_MARK);
    if (mark == std::string::npos || mark < 1) return 0;
    if (!Game::isValidGalaxyName(file.substr(1, mark - 1))) return 0;
    const std::size_t first = mark + std::strlen(CREATING_MARK);
    const std::string digits = file.substr(first, file.size() - extension.size() - first);
    if (digits.empty() || digits.size() > MAX_PID_DIGITS) return 0;
    if (digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::stol(digits);
}

// Waits until the file's contents are on the disk.
bool reachesDisk(const std::string& path) {
    platform::File file(path, platform::OpenMode::ReadWrite);
    return file.isOpen() && file.sync() && file.close();
}

// A failed creation leaves the player as it was, even when a hangup ends it.
class PlayerRestore {
public:
    explicit PlayerRestore(Player& player) : player_(player), before_(player) {}
    ~PlayerRestore() {
        if (!kept_) player_ = before_;
    }
    PlayerRestore(const PlayerRestore&) = delete;
    PlayerRestore& operator=(const PlayerRestore&) = delete;
    void keep() { kept_ = true; }

private:
    Player& player_;
    Player before_;
    bool kept_ = false;
};

// The file of a creation in progress, removed unless the creation finished:
// a failure, Ctrl+C, termination or hangup leaves nothing behind.
class UnfinishedFile {
public:
    explicit UnfinishedFile(std::string path) : path_(std::move(path)) {}
    ~UnfinishedFile() {
        if (!finished_) removeIt();
    }
    UnfinishedFile(const UnfinishedFile&) = delete;
    UnfinishedFile& operator=(const UnfinishedFile&) = delete;
    void finished() { finished_ = true; }
    void discard() {
        removeIt();
        finished_ = true;
    }

private:
    // Also an empty folder standing in its name, on every system.
    void removeIt() const {
        if (platform::removeFile(path_)) return;
        std::error_code error;
        std::filesystem::remove(platform::pathOfUtf8(path_), error);
    }

    std::string path_;
    bool finished_ = false;
};

// Removes the working file, then reports the failure; always false.
bool failCreation(ConLib* con, UnfinishedFile& unfinished, const char* message = "Creating file failed!") {
    unfinished.discard();
    con->err() << message << '\n';
    con->pause();
    return false;
}

}  // namespace

void Game::removeCreationLeftovers() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(".", error)) {
        const long pid = creatingProcess(platform::utf8Of(entry.path().filename()));
        if (pid == 0 || !entry.is_regular_file(error) || platform::processAlive(pid)) continue;
        std::filesystem::remove(entry.path(), error);
    }
}

int Game::creationPercent(int sectorsWritten) {
    // Counted in single precision, as the progress always was.
    const float done = static_cast<float>(sectorsWritten);
    return static_cast<int>(std::floor(done / static_cast<float>(SECTOR_COUNT) * 100.0f));
}

bool Game::isValidGalaxyName(const std::string& name) {
    if (name.empty() || name.size() > static_cast<std::size_t>(MAX_NAME_LENGTH)) return false;
    for (char ch : name) {
        const bool allowed = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
                             ch == '_' || ch == '-';
        if (!allowed) return false;
    }
    return !isDeviceName(name);
}

bool Game::isDeviceName(const std::string& name) {
    std::string upper;
    for (char ch : name) upper += (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
    if (upper == "CON" || upper == "NUL" || upper == "AUX" || upper == "PRN") return true;
    // COM0 and LPT0 too: Windows reserves them in places as well.
    const bool port = upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0);
    return port && upper[3] >= '0' && upper[3] <= '9';
}

bool Game::holdGalaxy(ConLib* con, const std::string& path, const std::string& name) {
    auto hold = std::make_unique<platform::FileHold>(path);
    if (hold->state() == platform::HoldState::HeldElsewhere) {
        con->SetBackgroundColor(0);
        con->SetTextColor(7);
        con->Clear();
        con->err() << "Galaxy " << name << " is open in another game!" << '\n';
        con->pause();
        return false;
    }
    // A file system without locks plays as before, unheld.
    galaxyHold = std::move(hold);
    return true;
}

void Game::showError(ConLib* con, int width, const char* text) {
    showMessage(con, width, 5, "ERROR", text, CloseOn::AnyKey);
}

std::string Game::askGalaxyName(ConLib* con, const char* title, const char* text, Coord at) {
    Window box = messageWindow(con, 45, 8);
    box.Show(title, text);
    con->SetBackgroundColor(7);
    con->SetTextColor(1);
    con->SetPosition(at);
    std::string name = con->readWord(box.inputWidth(at.X));
    con->discardLine();
    con->SetBackgroundColor(0);
    con->SetTextColor(7);
    return name;
}

short Game::askGoal(ConLib* con) {
    messageWindow(con, 45, 11).Show("CREATE NEW GALAXY",
                "You're space adventurer who start serch adventures because...\n\n1 - want become great hero\n2 - "
                "want become rich\n3 - want expand knowledge about galaxy\n4 - I'm not looking for adventures");
    con->SetPosition(Coord{0, 0});
    for (;;) {
        switch (con->GetKey()) {
            case '1': return 0;
            case '2': return 1;
            case '3': return 2;
            case '4': return -1;
            default: break;
        }
    }
}

bool Game::newGame(ConLib* con) {
    leaveGalaxy();
    const std::string name = askGalaxyName(
        con, "CREATE NEW GALAXY", "Type new galaxy name (max 19 chars):\nDon't use special chars and spacebar!",
        Coord{20, 13});
    if (name == TUTORIAL_NAME || isDeviceName(name)) {
        const std::string text = name + " is reserved, try another name!";
        showError(con, static_cast<int>(text.size()) + 4, text.c_str());
        return false;
    }
    if (!isValidGalaxyName(name)) {
        showError(con, 42, "Use 1-19 letters, digits, _ or - only!");
        return false;
    }
    clearTable(worldName, 20);
    std::memcpy(worldName, name.c_str(), name.size());
    sector.setwName(worldName);

    const short goal = askGoal(con);
    if (goal < 0 || !createNewWorld(con, worldName, &player, goal)) return false;
    if (onGalaxyOpened) onGalaxyOpened(worldName, true);
    return true;
}

bool Game::writeGalaxyFile(ConLib* con, const std::string& path, Sector& working, Player* who, short goal) {
    // The system writes each megabyte while the next sectors are generated.
    OverlappedWriter file(path);
    if (!file.isOpen()) return false;
    std::ostream out(&file);
    int lastShown = -1;
    const bool written = writeNewGalaxyRecords(out, working, [&](int sectorsWritten) {
        const int percent = creationPercent(sectorsWritten);
        con->out() << percent << "%\r";
        // Show each new figure as it comes; the screen is otherwise only
        // refreshed when the game waits. A signal stops the creation here.
        if (percent != lastShown) {
            con->checkInterrupt();
            con->refresh();
        }
        lastShown = percent;
    });
    if (!written) return false;
    who->newPlayer(goal);
    savePlayerData record;
    who->SaveToFile(&record);
    // The records went out back to back: the stream stands at the player
    // record's place, right after the last sector.
    out.write(reinterpret_cast<const char*>(record.bytes.data()), static_cast<std::streamsize>(record.bytes.size()));
    return out.good() && file.finish();
}

bool Game::createNewWorld(ConLib* con, const char* name, Player* who, short goal) {
    // The working sector is built first: its draws come before the galaxy's.
    Sector working(0, 0, nullptr, nullptr);
    con->SetBackgroundColor(0);
    con->SetTextColor(7);
    con->Clear();
    const std::string file = galaxy::fileName(name);
    if (fileExist(file.c_str())) {
        con->err() << "Galaxy already exist, try another name!" << '\n';
        con->pause();
        return false;
    }
    con->out() << "Galaxy creation started!" << '\n';

    removeCreationLeftovers();
    PlayerRestore restore(*who);
    const std::string stem = workingStem(name, platform::currentProcessId());
    const std::string temporary = galaxy::fileName(stem.c_str());
    UnfinishedFile unfinished(temporary);
    if (!writeGalaxyFile(con, temporary, working, who, goal)) return failCreation(con, unfinished);
    con->out() << "Player placed in galaxy!" << '\n';
    con->refresh();
    // A galaxy without all its ancient parts is no galaxy; and it must be on
    // the disk before its name says it is complete.
    if (!placeBonuses(who, stem.c_str()) || !reachesDisk(temporary))
        return failCreation(con, unfinished);
    // Stopped now, the galaxy never appears under its name.
    con->checkInterrupt();
    // Held before it takes its name, so that no other game can open it first.
    auto hold = std::make_unique<platform::FileHold>(temporary);

    // A save left pending by a galaxy of that name that is gone since (its
    // file deleted by hand) belongs to no galaxy: never to this one.
    platform::removeFile(galaxy::pendingSaveFileName(file));
    // Never replacing anything that took the name meanwhile.
    const platform::RenameResult published = platform::renameWithoutReplacing(temporary, file);
    if (published != platform::RenameResult::Renamed) {
        hold.reset();
        const bool taken = published == platform::RenameResult::NameTaken;
        return failCreation(con, unfinished,
                            taken ? "Galaxy already exist, try another name!" : "Creating file failed!");
    }
    // The new name itself lasts only once the folder is on the disk (where
    // the file system can say so at all).
    platform::syncFolderOf(file);
    unfinished.finished();
    restore.keep();
    galaxyHold = std::move(hold);
    con->out() << "Galaxy " << name << " created successfull!" << '\n';
    sector.setwName(worldName);
    sector.load(FIRST_SECTOR);
    con->pause();
    return true;
}

bool Game::placeBonuses(Player* who, const char* fileStem) {
    Sector working(0, 0, nullptr, nullptr);
    working.setwName(fileStem);
    working.setPlayer(who);
    // Each sector changed is written at once; the creation syncs the whole
    // file when the placement is over.
    auto hideIn = [&](auto&& place) {
        do {
            if (!working.load(rng::rand() % SECTOR_COUNT + 1)) return false;
        } while (!place());
        return working.save(nullptr, false, Sector::Durability::Buffered);
    };
    for (short kind = 0; kind < Sector::PART_KINDS; ++kind)
        for (int copy = 0; copy < PARTS_PER_KIND; ++copy)
            if (!hideIn([&] { return working.setaPart(kind); })) return false;
    // The pirates planet takes the first sector drawn, whatever it holds.
    return hideIn([&] {
        working.genEnemyPlanet();
        return true;
    });
}

bool Game::load(ConLib* con) {
    leaveGalaxy();
    const std::string name = askGalaxyName(con, "LOAD GAME", "Type world name to load:", Coord{20, 12});
    if (name == TUTORIAL_NAME || !isValidGalaxyName(name)) return false;
    // Held before anything is read: a pending save of another game is its own.
    if (!holdGalaxy(con, galaxy::fileName(name.c_str()), name)) return false;

    // loadGame checks both records before it uses either, so a file that
    // fails leaves player and sector as they were; only the name goes back.
    char nameBefore[20];
    std::memcpy(nameBefore, worldName, sizeof worldName);
    clearTable(worldName, 20);
    std::memcpy(worldName, name.c_str(), name.size());
    sector.setwName(worldName);
    const LoadResult result = sector.loadGame();
    if (result == LoadResult::Ok) {
        if (onGalaxyOpened) onGalaxyOpened(worldName, false);
        return true;
    }

    std::memcpy(worldName, nameBefore, sizeof worldName);
    leaveGalaxy();
    if (result != LoadResult::NoFile) {
        con->SetBackgroundColor(0);
        con->SetTextColor(7);
        con->Clear();
        con->err() << "Galaxy " << name << " is damaged and cannot be loaded!" << '\n';
        con->pause();
    }
    return false;
}
