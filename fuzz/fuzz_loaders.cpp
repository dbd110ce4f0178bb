// Feeds arbitrary bytes to everything that reads what the game does not
// control: the loaders of every save record, the loading of a whole galaxy
// file, the pending-save file beside it, the key decoder, the typed-line
// reader, and a recorded game: read event by event, and verified. A damaged input must be refused, never used to index anything;
// what is accepted must survive a save and a second load unchanged.
//
// The first byte chooses what the rest is fed to.

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "catalog/Ship.h"
#include "screen/ConLib.h"
#include "presenters/headless/HeadlessBackend.h"
#include "presenters/terminal/KeyDecoder.h"
#include "recording/Recording.h"
#include "storage/PendingSave.h"
#include "storage/SaveRecords.h"
#include "storage/GalaxyFile.h"
#include "galaxy/Sector.h"
#include "planet/Planet.h"
#include "player/Player.h"
#include "shell/RecordedGame.h"
#include "tutorial/TutorialGalaxy.h"

namespace {

struct Input {
    const std::uint8_t* data;
    std::size_t size;

    template <typename Record>
    bool fill(Record& record) {
        if (size < record.bytes.size()) return false;
        std::memcpy(record.bytes.data(), data, record.bytes.size());
        data += record.bytes.size();
        size -= record.bytes.size();
        return true;
    }
    int take16() {
        if (size < 2) return 0;
        const int value = record::get16(data);
        data += 2;
        size -= 2;
        return value;
    }
};

void check(bool condition) {
    if (!condition) std::abort();
}

void sectorRecords(Input in, Player& player) {
    saveSectorData record;
    Sector sector(0, 0, &player, "fuzz");
    Sector copy(0, 0, &player, "fuzz");
    while (in.fill(record)) {
        if (!sector.LoadFromFile(&record)) continue;
        saveSectorData again;
        sector.SaveToFile(&again);
        check(copy.LoadFromFile(&again));
        saveSectorData third;
        copy.SaveToFile(&third);
        check(third.bytes == again.bytes);
        for (int i = 0; i < sector.getNumber(); ++i) sector.getPlanet(i)->tick();
        sector.getNearestPlanet();
    }
}

void planetRecords(Input in) {
    savePlanetData record;
    while (in.fill(record)) {
        Planet planet(0, 0);
        if (!planet.LoadFromFile(&record)) continue;
        savePlanetData again;
        planet.SaveToFile(&again);
        Planet copy(0, 0);
        check(copy.LoadFromFile(&again));
        for (int tick = 0; tick < 3; ++tick) planet.tick();
        for (int good = 0; good < Planet::GOOD_COUNT; ++good) {
            check(planet.getGoodPrice(good, planet.getGood(good)) >= 2);
            check(planet.getGood(good) >= 0 && planet.getGood(good) <= Planet::STOCK_CAPACITY);
        }
    }
}

void playerRecord(Input in) {
    savePlayerData record;
    if (!in.fill(record)) return;
    Player player;
    if (!player.LoadFromFile(&record)) return;
    savePlayerData again;
    player.SaveToFile(&again);
    Player copy;
    check(copy.LoadFromFile(&again));
    player.countShipWeight();
    player.chargeShield();
    check(player.getaSectorNumber() >= 1 && player.getaSectorNumber() <= SECTOR_COUNT);
}

void shipRecord(Input in) {
    saveShipData record;
    if (!in.fill(record)) return;
    Ship ship;
    if (!ship.LoadFromFile(&record)) return;
    saveShipData again;
    ship.SaveToFile(&again);
    Ship copy;
    check(copy.LoadFromFile(&again));
    ship.countMaxHealth();
    ship.chargeShield();
    check(ship.getShipSpeed() >= 0 && ship.getFuelUsage() >= 0);
}

// A galaxy file of any length, with the fuzzed player record and one fuzzed
// sector record where the player record says the ship is (or where the next
// two bytes say).
class ScratchGalaxy {
public:
    ScratchGalaxy() : stem_("/tmp/starhollow-fuzz-" + std::to_string(getpid())) {
        fd_ = ::open((stem_ + ".glx").c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        check(fd_ >= 0);
    }
    ~ScratchGalaxy() {
        ::close(fd_);
        ::unlink((stem_ + ".glx").c_str());
    }
    ScratchGalaxy(const ScratchGalaxy&) = delete;
    ScratchGalaxy& operator=(const ScratchGalaxy&) = delete;

    const char* stem() const { return stem_.c_str(); }
    int sector() const { return sector_; }

    void write(Input in) {
        const std::int64_t length = GALAXY_FILE_SIZE - (in.take16() & 0x3FFF);  // often cut short
        check(::ftruncate(fd_, 0) == 0 && ::ftruncate(fd_, static_cast<off_t>(length)) == 0);
        sector_ = 0;
        savePlayerData player;
        if (!in.fill(player)) return;
        put(PLAYER_RECORD_OFFSET, player.bytes.data(), player.bytes.size());
        const int x = record::get32(player.bytes.data() + playerRec::worldX);
        const int y = record::get32(player.bytes.data() + playerRec::worldY);
        int n = galaxy::isSectorCoord(x) && galaxy::isSectorCoord(y) ? galaxy::sectorNumber(x, y) : in.take16();
        saveSectorData sector;
        if (galaxy::isSectorNumber(n) && in.fill(sector))
            put(sectorRecordOffset(n), sector.bytes.data(), sector.bytes.size());
        sector_ = n;
    }

private:
    void put(std::int64_t offset, const std::uint8_t* bytes, std::size_t size) {
        [[maybe_unused]] const ssize_t written = ::pwrite(fd_, bytes, size, static_cast<off_t>(offset));
    }

    std::string stem_;
    int fd_ = -1;
    int sector_ = 0;
};

ScratchGalaxy& scratchGalaxy() {
    static ScratchGalaxy scratch;
    return scratch;
}

void wholeFile(Input in) {
    ScratchGalaxy& scratch = scratchGalaxy();
    scratch.write(in);
    Player player;
    Sector sector(0, 0, &player, scratch.stem());
    sector.loadSector(scratch.sector());
    if (sector.loadGame() != LoadResult::Ok) return;
    // A galaxy that loads saves, and loads again to the same state.
    check(sector.save(nullptr, false));
    Player again;
    Sector reloaded(0, 0, &again, scratch.stem());
    check(reloaded.loadGame() == LoadResult::Ok);
    savePlayerData first, second;
    player.SaveToFile(&first);
    again.SaveToFile(&second);
    check(first.bytes == second.bytes);
}

// A pending-save file of any content beside a galaxy: accepted only when
// whole, and then the same save when encoded again; the next opening of the
// galaxy completes or drops it and leaves no file behind.
void pendingSave(Input in) {
    if (const std::optional<PendingSave> save = decodePendingSave(in.data, in.size)) {
        const PendingSaveBytes again = encodePendingSave(*save);
        const std::optional<PendingSave> twice = decodePendingSave(again.data(), again.size());
        check(twice && twice->sector == save->sector && twice->hasPlayer == save->hasPlayer &&
              twice->sectorData.bytes == save->sectorData.bytes &&
              (!save->hasPlayer || twice->playerData.bytes == save->playerData.bytes));
    }
    ScratchGalaxy& scratch = scratchGalaxy();
    const std::string pending = galaxy::pendingSaveFileName(std::string(scratch.stem()) + ".glx");
    const int fd = ::open(pending.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    check(fd >= 0);
    [[maybe_unused]] const ssize_t written = ::write(fd, in.data, in.size);
    ::close(fd);
    Sector sector(0, 0, nullptr, scratch.stem());
    sector.loadSector(galaxy::sectorNumber(0, 0));
    check(::access(pending.c_str(), F_OK) != 0);
}

// Every code of the keycode table.
bool knownKey(unsigned vk) {
    return vk == keycode::None || vk == keycode::Backspace || vk == keycode::Tab || vk == keycode::Clear ||
           vk == keycode::Enter || vk == keycode::Escape || (vk >= keycode::Space && vk <= keycode::Down) ||
           vk == keycode::Insert || vk == keycode::Delete || (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') ||
           (vk >= keycode::F1 && vk <= keycode::F12) || (vk >= keycode::Semicolon && vk <= keycode::Tilde) ||
           (vk >= keycode::OpenBracket && vk <= keycode::Quote);
}

// Bytes 0xF0 to 0xF6 stand for the keys curses decodes itself; 0xFF for a
// pause long enough to end a pending escape.
void keyDecoder(Input in) {
    static constexpr int CURSES_KEYS[] = {rawkey::Up,        rawkey::Down,  rawkey::Left, rawkey::Right,
                                          rawkey::Backspace, rawkey::Enter, rawkey::Other};
    KeyDecoder decoder;
    for (std::size_t i = 0; i < in.size; ++i) {
        const std::uint8_t byte = in.data[i];
        if (byte == 0xFF) {
            decoder.flushEscape();
        } else if (byte >= 0xF0 && byte <= 0xF6) {
            decoder.feed(CURSES_KEYS[byte - 0xF0]);
        } else {
            decoder.feed(byte);
        }
        while (decoder.hasEvent()) {
            const InputEvent event = decoder.takeEvent();
            check(knownKey(event.vk));
            const unsigned char ch = static_cast<unsigned char>(event.ch);
            check(ch == 0 || ch == '\n' || ch == '\b' || (ch >= 32 && ch < 127));
        }
    }
    decoder.flushEscape();
    check(!decoder.escapePending());
}

// Typed lines through the console's reader, as the prompts read them.
void typedLines(Input in) {
    auto owned = std::make_unique<HeadlessBackend>();
    HeadlessBackend* keys = owned.get();
    ConLib console(std::move(owned));
    keys->pushText(std::string(reinterpret_cast<const char*>(in.data), in.size));
    keys->pushText("\n0\n");
    console.SetPosition(Coord{20, 12});
    try {
        for (int i = 0; i < 8; ++i) {
            const std::string word = console.readWord(20);
            check(!word.empty() && word.size() <= 20);
            for (char ch : word) check(ch > 32 && ch < 127);
            console.readNumber(20);
        }
    } catch (const ScriptExhausted&) {
    }
}

// A refusal is one whole sentence on one line.
void checkRefusal(const std::string& why) {
    check(!why.empty() && why.find('\n') == std::string::npos && why.back() == '.');
}

// A recording of any content, read event by event: every event accepted is
// written as a line that reads back as the same event.
void recordingReader(Input in) {
    std::istringstream text(std::string(reinterpret_cast<const char*>(in.data), in.size));
    try {
        recording::Reader reader(text);
        while (const std::optional<recording::Event> event = reader.next()) {
            const std::string line = recording::formatEvent(*event, 0);
            std::istringstream again(recording::header(reader.seed()) + line + "\n");
            recording::Reader second(again);
            const std::optional<recording::Event> twice = second.next();
            check(twice && recording::formatEvent(*twice, 0) == line);
        }
    } catch (const recording::Refused& refused) {
        checkRefusal(refused.what());
    }
}

// The same bytes as a recording file checked as --verify does: a refusal, a
// divergence or a match, never a crash or a hang; the replay's working
// folder is gone afterwards.
void recordingVerify(Input in) {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path made = "/tmp/starhollow-fuzz-replay-" + std::to_string(getpid());
        std::filesystem::create_directories(made);
        check(writeTutorialGalaxy((made / "Tutorial.glx").string()));
        return made;
    }();
    const std::filesystem::path file = folder / "fuzz.rec";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(in.data), static_cast<std::streamsize>(in.size));
    ReplayRequest request;
    request.file = file;
    request.tutorialFolders = {folder};
    const std::filesystem::path before = std::filesystem::current_path();
    const ReplayReport report = verifyRecording(request);
    check(report.status >= 0 && report.status <= 2 && std::filesystem::current_path() == before);
    if (report.status == 2) checkRefusal(report.text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const Input in{data + 1, size - 1};
    Player player;
    switch (data[0] % 10) {
        case 0: sectorRecords(in, player); break;
        case 1: planetRecords(in); break;
        case 2: playerRecord(in); break;
        case 3: shipRecord(in); break;
        case 4: wholeFile(in); break;
        case 5: keyDecoder(in); break;
        case 6: pendingSave(in); break;
        case 7: typedLines(in); break;
        case 8: recordingReader(in); break;
        default: recordingVerify(in); break;
    }
    return 0;
}
