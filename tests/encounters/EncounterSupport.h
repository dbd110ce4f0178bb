#pragma once
// Helpers for the encounter tests: a headless console that remembers what the
// battle screens said, and seeds that make the next roll a chosen value.

#include <string>
#include <vector>

#include "TestSupport.h"
#include "catalog/Random.h"
#include "encounters/Event.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

// A seed whose first `skip` draws are passed over and whose next draw rolls
// `roll` on the 1..101 die.
inline unsigned seedForRoll(int roll, int skip = 0) {
    for (unsigned seed = 1;; ++seed) {
        rng::srand(seed);
        for (int i = 0; i < skip; ++i) rng::rand();
        if (rng::rand() % Event::ROLL_SIDES + 1 == roll) return seed;
    }
}

// A seed whose next ordinary step on the map starts that event
// (Sector::EVENT_NONE for none).
inline unsigned seedStarting(int event) {
    for (unsigned seed = 1;; ++seed) {
        rng::srand(seed);
        int starts = Sector::EVENT_NONE;
        if (rng::rand() % 101 + 1 == 1)
            starts = rng::rand() % 101 + 1 <= 30 ? Sector::EVENT_METEORS : Sector::EVENT_PIRATES;
        if (starts == event) return seed;
    }
}

inline std::string trimmed(std::string text) {
    const auto first = text.find_first_not_of(" *");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" *");
    return text.substr(first, last - first + 1);
}

// The text of the BATTLE INFO window on the live grid.
inline std::string battleInfo(const ConLib& con) { return trimmed(gridText(con, 1, 22, 78)); }

// A console whose presents are recorded: every screen, and each new message
// of the battle screens in order.
struct RecordingConsole : HeadlessConsole {
    std::vector<std::string> messages;
    std::string shown;

    RecordingConsole() {
        screen->onPresent = [this](const HeadlessBackend& s) {
            shown += s.dump();
            if (s.row(20).find("BATTLE INFO") == std::string::npos) return;
            const std::string message = trimmed(s.row(22));
            if (!message.empty() && (messages.empty() || messages.back() != message)) messages.push_back(message);
        };
    }
    bool wasShown(const std::string& text) const { return shown.find(text) != std::string::npos; }
    int firstIndexStartingWith(const std::string& prefix) const {
        for (std::size_t i = 0; i < messages.size(); ++i)
            if (messages[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
        return -1;
    }
};

// All parts of one catalog row, health and tank full.
inline void fitAll(Player& player, int row) {
    for (int slot = 0; slot < PART_SLOT_COUNT; ++slot) player.fitPart(slot, row);
    player.countMaxHealth();
    player.addHealth(player.getMaxHealth());
    player.addFuel(player.getMaxFuel());
}
