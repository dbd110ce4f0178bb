// Creating a new galaxy file and opening a saved one.

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "console/HelpFuncLib.h"
#include "console/Random.h"
#include "shell/Game.h"

namespace {

constexpr const char* TUTORIAL_NAME = "Tutorial";
constexpr int FIRST_SECTOR = 5101;  // sector (0, 0)
constexpr int PARTS_PER_KIND = 5;

// A galaxy being created lives under a hidden working name until it is
// complete; the name carries the process id so that leftovers of a killed
// creation can be told apart and cleared.
std::string workingStem(const std::string& name, long pid) {
    return "." + name + ".creating." + std::to_string(pid);
}

bool processAlive(long pid) { return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

void removeStaleLeftovers(const std::string& name) {
    const std::string prefix = "." + name + ".creating.";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(".", error)) {
        const std::string file = entry.path().filename().string();
        if (file.rfind(prefix, 0) != 0 || file.size() <= prefix.size() + 4) continue;
        if (file.compare(file.size() - 4, 4, ".glx") != 0) continue;
        const std::string digits = file.substr(prefix.size(), file.size() - prefix.size() - 4);
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) continue;
        if (!processAlive(std::stol(digits))) std::filesystem::remove(entry.path(), error);
    }
}

// The file of a creation in progress, removed unless the creation finished:
// a failure, Ctrl+C, termination or hangup leaves nothing behind.
class UnfinishedFile {
public:
    explicit UnfinishedFile(std::string path) : path_(std::move(path)) {}
    ~UnfinishedFile() {
        if (!finished_) std::remove(path_.c_str());
    }
    UnfinishedFile(const UnfinishedFile&) = delete;
    UnfinishedFile& operator=(const UnfinishedFile&) = delete;
    void finished() { finished_ = true; }

private:
    std::string path_;
    bool finished_ = false;
};

// Moves the finished file to its real name, never replacing anything there.
bool publishWithoutReplacing(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without that rename: a hard link also refuses an existing name.
    if (link(from.c_str(), to.c_str()) != 0) return false;
    unlink(from.c_str());
    return true;
}

}  // namespace

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
    return true;
}

void Game::showError(ConLib* con, int width, const char* text) {
    showMessage(con, width, 5, "ERROR", text, CloseOn::AnyKey);
}

std::string Game::askGalaxyName(ConLib* con, const char* title, const char* text, COORD at) {
    messageWindow(con, 45, 8).Show(title, text);
    con->SetBackgroundColor(7);
    con->SetTextColor(1);
    con->SetPosition(at);
    std::string name = con->readWord();
    con->discardLine();
    con->SetBackgroundColor(0);
    con->SetTextColor(7);
    return name;
}

short Game::askGoal(ConLib* con) {
    messageWindow(con, 45, 11).Show("CREATE NEW GALAXY",
                "You're space adventurer who start serch adventures because...\n\n1 - want become great hero\n2 - "
                "want become rich\n3 - want expand knowledge about galaxy\n4 - I'm not looking for adventures");
    con->SetPosition(COORD{0, 0});
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
    const std::string name = askGalaxyName(
        con, "CREATE NEW GALAXY", "Type new galaxy name (max 19 chars):\nDon't use special chars and spacebar!",
        COORD{20, 13});
    if (!isValidGalaxyName(name)) {
        showError(con, 42, "Use 1-19 letters, digits, _ or - only!");
        return false;
    }
    if (name == TUTORIAL_NAME) {
        showError(con, 43, "Tutorial is reserved, try another name!");
        return false;
    }
    clearTable(worldName, 20);
    std::memcpy(worldName, name.c_str(), name.size());
    sector.setwName(worldName);

    const short goal = askGoal(con);
    if (goal < 0) return false;
    return createNewWorld(con, worldName, &player, goal);
}

bool Game::writeGalaxyFile(ConLib* con, const std::string& path, Player* who, short goal) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    Sector working(0, 0, nullptr, nullptr);
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
    out.seekp(PLAYER_RECORD_OFFSET);
    out.write(reinterpret_cast<const char*>(record.bytes.data()), static_cast<std::streamsize>(record.bytes.size()));
    out.flush();
    return static_cast<bool>(out);
}

bool Game::createNewWorld(ConLib* con, const char* name, Player* who, short goal) {
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

    removeStaleLeftovers(name);
    const std::string stem = workingStem(name, static_cast<long>(getpid()));
    const std::string working = galaxy::fileName(stem.c_str());
    UnfinishedFile unfinished(working);
    if (!writeGalaxyFile(con, working, who, goal)) {
        std::remove(working.c_str());
        con->err() << "Creating file failed!" << '\n';
        con->pause();
        return false;
    }
    con->out() << "Player placed in galaxy!" << '\n';
    placeBonuses(who, stem.c_str());
    // Stopped now, the galaxy never appears under its name.
    con->checkInterrupt();

    if (!publishWithoutReplacing(working, file)) {
        const bool taken = errno == EEXIST;  // before remove() can change errno
        std::remove(working.c_str());
        con->err() << (taken ? "Galaxy already exist, try another name!" : "Creating file failed!") << '\n';
        con->pause();
        return false;
    }
    unfinished.finished();
    con->out() << "Galaxy " << name << " created successfull!" << '\n';
    sector.setwName(worldName);
    sector.load(FIRST_SECTOR);
    con->pause();
    return true;
}

void Game::placeBonuses(Player* who, const char* fileStem) {
    Sector working(0, 0, nullptr, nullptr);
    working.setwName(fileStem);
    working.setPlayer(who);
    for (short kind = 0; kind < Sector::PART_KINDS; ++kind) {
        for (int copy = 0; copy < PARTS_PER_KIND; ++copy) {
            do {
                working.load(rng::rand() % SECTOR_COUNT + 1);
            } while (!working.setaPart(kind));
            working.save(nullptr, false);
        }
    }
    working.load(rng::rand() % SECTOR_COUNT + 1);
    working.genEnemyPlanet();
    working.save(nullptr, false);
}

bool Game::load(ConLib* con) {
    const std::string name = askGalaxyName(con, "LOAD GAME", "Type world name to load:", COORD{20, 12});
    if (name == TUTORIAL_NAME || !isValidGalaxyName(name)) return false;

    // loadGame checks both records before it uses either, so a file that
    // fails leaves player and sector as they were; only the name goes back.
    char nameBefore[20];
    std::memcpy(nameBefore, worldName, sizeof worldName);
    clearTable(worldName, 20);
    std::memcpy(worldName, name.c_str(), name.size());
    sector.setwName(worldName);
    const LoadResult result = sector.loadGame();
    if (result == LoadResult::Ok) return true;

    std::memcpy(worldName, nameBefore, sizeof worldName);
    if (result != LoadResult::NoFile) {
        con->SetBackgroundColor(0);
        con->SetTextColor(7);
        con->Clear();
        con->err() << "Galaxy " << name << " is damaged and cannot be loaded!" << '\n';
        con->pause();
    }
    return false;
}
