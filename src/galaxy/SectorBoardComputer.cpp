// The board computer: a green-on-black command console opened from the map.
// It prepares and executes the hyperspace jump and, once unlocked with an
// access code, changes the ship's resources directly.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/Amounts.h"
#include "screen/ConLib.h"
#include "galaxy/Encounters.h"
#include "galaxy/Sector.h"
#include "player/Player.h"

namespace {

constexpr unsigned short CONSOLE_BACKGROUND = 0;
constexpr unsigned short CONSOLE_TEXT = 2;
constexpr const char* CONSOLE_HEADER = "Board computer console: ";
// The console starts by running this line, which does nothing.
constexpr const char* FIRST_LINE = "NULL";
constexpr const char* PROMPT = "\n> ";
// The longest command line the console looks at.
constexpr std::size_t LINE_LIMIT = 265;
constexpr std::string_view ACCESS_CODE = "61358024";
constexpr const char* UNKNOWN_COMMAND = "\n> unknown command\n";

struct HelpTopic {
    std::string_view name;
    const char* text;
};

constexpr const char* HELP_OVERVIEW =
    "\n> Commands:\n"
    "\n> clear\n"
    "\n> exit\n"
    "\n> hyperJump\n"
    "\n> hyperJumpInfo\n"
    "\n> prepHyperJump;a1;a2;a3;a4\n"
    "\n> Type help;commandName to more info\n";

constexpr std::array<HelpTopic, 6> HELP_TOPICS{{
    {"prepHyperJump",
     "\n> prepHyperJump;a1;a2;a3;a4\n"
     "\n> Preapre hyperspace jump\n"
     "\n> Arguments:\n"
     "\n> a1 - destination sector x coordinates\n"
     "\n> a2 - destination sector y coordinates\n"
     "\n> a3 - destination position x coordinates\n"
     "\n> a4 - destination position y coordinates\n"
     "\n> As arguments you can use special symbols:\n"
     "\n> @Px - x coord of nearest planet in sector (if no planet was found return 0)\n"
     "\n> @Py - y coord of nearest planet in sector (if no planet was found return 0)\n"
     "\n> @Sx - x coord of your actual sector\n"
     "\n> @Sy - y coord of your actual sector\n"
     "\n> Example:\n"
     "\n> prepHyperJump;@Sx;@Sy;@Px;@Py\n"
     "\n> Prepare hyperspace jump to your actual sector and coord of nearest planet\n"
     "\n> Warning: @Px and @Py return coord of nearest planet in actual sector\n"
     "\n> not in destination sector!\n"},
    {"hyperJump",
     "\n> hyperJump\n"
     "\n> Execute prepared hypersapce jump\n"},
    {"exit",
     "\n> exit\n"
     "\n> Quit board computer console and go back to galaxy view\n"},
    {"clear",
     "\n> clear\n"
     "\n> Clear console output\n"},
    {"help",
     "\n> help\n"
     "\n> Show all aviable commands and specific info about this commands\n"
     "\n> Type help;commandInfo to more info about command\n"
     "\n> Example: help;prepHyperJump\n"
     "\n> Show specific info about prepHyperJump command and about required arguments\n"},
    {"hyperJumpInfo",
     "\n> hyperJumpInfo\n"
     "\n> If prepared, show info about hyperspace jump\n"},
}};

const char* helpText(std::optional<std::string_view> topic) {
    if (!topic) return HELP_OVERVIEW;
    for (const HelpTopic& entry : HELP_TOPICS)
        if (entry.name == *topic) return entry.text;
    return UNKNOWN_COMMAND;
}

// A cheat that changes one amount of the ship by the typed n, and the two
// halves of its confirmation around n.
struct AmountCheat {
    std::string_view name;
    void (*apply)(Player&, int);
    const char* before;
    const char* after;
};

constexpr const char* ADDED = "\n> Player added ";
constexpr const char* REMOVED = "\n> Player removed ";
constexpr std::string_view ADD_CREDITS = "addCredits";

constexpr std::array<AmountCheat, 13> AMOUNT_CHEATS{{
    {"addFuel", [](Player& p, int n) { p.addFuel(n); }, ADDED, "l fuel!\n"},
    {"removeFuel", [](Player& p, int n) { p.removeFuel(n); }, REMOVED, "l fuel!\n"},
    {"addHealth", [](Player& p, int n) { p.addHealth(n); }, ADDED, "pkt health!\n"},
    {"removeHealth", [](Player& p, int n) { p.removeHealth(n); }, REMOVED, "pkt health!\n"},
    {"addShield", [](Player& p, int n) { p.addShield(n); }, ADDED, " shield!\n"},
    {"removeShield", [](Player& p, int n) { p.removeShield(n); }, REMOVED, " shield!\n"},
    {"addEnergy", [](Player& p, int n) { p.addEnergy(n); }, ADDED, "W energy!\n"},
    {"removeEnergy", [](Player& p, int n) { p.removeEnergy(n); }, REMOVED, "W energy!\n"},
    {"setWeight", [](Player& p, int n) { p.setWeight(n); }, "\n> Player weight set to ", "!\n"},
    {ADD_CREDITS, [](Player& p, int n) { p.addCredits(n); }, ADDED, "C!\n"},
    {"removeCredits", [](Player& p, int n) { p.removeCredits(n); }, REMOVED, "C!\n"},
    {"addAmmo",
     [](Player& p, int n) {
         p.addAmmo(n);
         p.countShipWeight();
     },
     ADDED, " ammo!\n"},
    {"removeAmmo",
     [](Player& p, int n) {
         p.removeAmmo(n);
         p.countShipWeight();
     },
     REMOVED, " ammo!\n"},
}};

// The leading decimal number of a text, 0 when it starts with none; beyond
// the 32-bit range it stays at the range's end.
int decimalValue(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr std::int64_t BEYOND_32_BITS = std::int64_t{1} << 32;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), BEYOND_32_BITS);
    return clampToInt32(negative ? -value : value);
}

// One typed line split at ";": the command name, then its arguments taken
// one at a time. Consecutive separators count as one.
class CommandLine {
public:
    explicit CommandLine(const char* line) {
        std::string_view text(line == nullptr ? "" : line);
        text = text.substr(0, LINE_LIMIT);
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find(';', start), text.size());
            if (end > start) pieces_.emplace_back(text.substr(start, end - start));
            start = end + 1;
        }
    }

    // Empty for a line without a name (only separators).
    std::string_view name() const { return pieces_.empty() ? std::string_view{} : pieces_.front(); }
    std::optional<std::string> next() {
        if (next_ >= pieces_.size()) return std::nullopt;
        return pieces_[next_++];
    }
    std::optional<int> nextNumber() {
        const std::optional<std::string> piece = next();
        if (!piece) return std::nullopt;
        return decimalValue(*piece);
    }

private:
    std::vector<std::string> pieces_;
    std::size_t next_ = 1;
};

// One opening of the console, or one line run on its own.
class BoardComputer {
public:
    BoardComputer(Sector& sector, Player& player, ConLib* console, TutorialProgress* tutorial)
        : sector_(sector), player_(player), console_(console), out_(console->out()), tutorial_(tutorial) {}

    // False closes the console.
    bool run(const char* line, bool& cheat) {
        CommandLine command(line);
        const std::string_view name = command.name();
        if (name == "exit") return false;
        if (name == FIRST_LINE) return true;
        if (name == "clear") {
            clearScreen(console_);
            return true;
        }
        if (name == "prepHyperJump") {
            prepareJump(command);
            return true;
        }
        if (name == "hyperJump") return executeJump();
        if (name == "hyperJumpInfo") {
            player_.jumpInfo(console_);
            return true;
        }
        if (name == "help") {
            const std::optional<std::string> topic = command.next();
            out_ << (topic ? helpText(*topic) : helpText(std::nullopt));
            return true;
        }
        if (name == "enableTurboAcceleration") {
            // A wrong or missing code is silent.
            if (const std::optional<std::string> code = command.next(); code && *code == ACCESS_CODE) {
                cheat = true;
                out_ << "\n> Cheat mode enabled!" << '\n';
            }
            return true;
        }
        // Without the code the cheats are unknown like any other word.
        if (cheat) {
            if (const std::optional<bool> open = runCheat(name, command)) return *open;
        }
        out_ << UNKNOWN_COMMAND;
        return true;
    }

    static void clearScreen(ConLib* console) {
        console->Clear();
        console->out() << CONSOLE_HEADER << '\n';
    }

private:
    // A number, or a symbol such as "@Px" when the text reads as 0.
    std::optional<int> nextJumpArgument(CommandLine& command) {
        const std::optional<std::string> piece = command.next();
        if (!piece) return std::nullopt;
        const int value = decimalValue(*piece);
        return value != 0 ? value : sector_.decodeArgument(piece->c_str());
    }

    void prepareJump(CommandLine& command) {
        std::array<int, 4> a{};
        for (int& argument : a) {
            const std::optional<int> value = nextJumpArgument(command);
            if (!value) return;  // fewer than four: nothing happens
            argument = *value;
        }
        player_.prepareJump(console_, a[0], a[1], a[2], a[3]);
    }

    // False when the jump took place and the console closes.
    bool executeJump() {
        if (!player_.getHyperJump()) {
            out_ << "\n> Hyperspace jump not prepared!\n\n"
                 << "> First use function prepHyperJump;a1;a2;a3;a4 to prepare it!\n";
            return true;
        }
        const Player before = player_;
        if (!player_.jump(console_)) return true;  // too little energy: the console stays
        if (player_.getHyperJumpSectorCoord() == player_.getDim()) {
            const ScopedScrolling screen(console_, false);
            if (Encounters* encounters = sector_.getEncounters()) encounters->anotherDimension(console_, &player_);
            return false;
        }
        // The sector left is written back first, as a crossing does: a part
        // taken or goods traded there would otherwise come back with the next
        // visit. The tutorial's galaxy is only read. Should the target sector
        // not be readable, the jump does not take place at all.
        const bool writable = sector_.getAccess() == Sector::Access::ReadWrite;
        const bool saved = writable && sector_.save(console_, false, Sector::Durability::Buffered);
        if (!sector_.load(player_.getaSectorNumber())) {
            player_ = before;
            if (saved) sector_.save(console_, false, Sector::Durability::Buffered);
            console_->err() << "Blad podczas odczytu pliku" << '\n';
            console_->pause();
            return true;
        }
        if (Planet* planet = sector_.getPlanet(player_.getrX(), player_.getrY())) {
            const ScopedScrolling screen(console_, false);
            if (planet->ShowPanel(console_, &player_, tutorial_) == 0) {
                player_.moveRandom(console_);
                sector_.drawMap(console_);
            }
        }
        return false;
    }

    // Nothing when the name is no cheat; otherwise whether the console stays open.
    std::optional<bool> runCheat(std::string_view name, CommandLine& command) {
        if (name == "dimensionCoord") {
            const Coord dim = player_.getDim();
            out_ << "\n> Another dimension for this galaxy coordinates are: \n"
                 << "\n> Sector X: " << dim.X << " Sector Y: " << dim.Y << '\n';
            return true;
        }
        if (name == "setPart") {
            const std::optional<int> kind = command.nextNumber();
            const std::optional<int> count = command.nextNumber();
            if (!kind || !count) return true;
            if (*kind < 0 || *kind >= ANCIENT_KINDS) {
                out_ << "\n> Wrong part typed!\n";
                return true;
            }
            player_.setaParts(*kind, *count);
            out_ << "\n> Set player part " << *kind << " to " << *count << '\n';
            return true;
        }
        for (const AmountCheat& cheat : AMOUNT_CHEATS) {
            if (cheat.name != name) continue;
            const std::optional<int> n = command.nextNumber();
            if (!n) return true;
            cheat.apply(player_, *n);
            out_ << cheat.before << *n << cheat.after;
            if (name == ADD_CREDITS) {
                const ScopedScrolling screen(console_, false);
                if (player_.checkCashVictory(console_)) return false;
            }
            return true;
        }
        return std::nullopt;
    }

    Sector& sector_;
    Player& player_;
    ConLib* console_;
    std::ostream& out_;
    TutorialProgress* tutorial_;
};

}  // namespace

void Sector::boardComputer(ConLib* console, TutorialProgress* tutorial) {
    if (console == nullptr || player == nullptr) return;
    {
        // The console is a terminal: its output scrolls at the bottom row.
        const ScopedScrolling terminal(console, true);
        console->SetBackgroundColor(CONSOLE_BACKGROUND);
        console->SetTextColor(CONSOLE_TEXT);
        console->Clear();
        console->out() << CONSOLE_HEADER << '\n';
        bool cheat = false;
        std::string line = FIRST_LINE;
        while (proceedCommand(line.c_str(), console, &cheat, tutorial)) {
            console->out() << PROMPT;
            // The command is typed on the prompt's row.
            line = console->readWord(SCREEN_WIDTH - console->cursor().X);
        }
        // What was typed after the closing command must not reach the
        // screens that come next as their answers.
        console->discardLine();
    }
    drawMap(console);
}

bool Sector::proceedCommand(const char* line, ConLib* console, bool* cheat, TutorialProgress* tutorial) {
    if (console == nullptr || player == nullptr) return false;
    bool unlocked = cheat != nullptr && *cheat;
    const bool open = BoardComputer(*this, *player, console, tutorial).run(line, unlocked);
    if (cheat != nullptr) *cheat = unlocked;
    return open;
}

int Sector::decodeArgument(const char* arg) {
    const std::string_view symbol(arg == nullptr ? "" : arg);
    if (symbol == "@Px" || symbol == "@Py") {
        const Planet* nearest = getNearestPlanet();
        if (nearest == nullptr) return 0;
        return symbol == "@Px" ? nearest->getrX() : nearest->getrY();
    }
    if (symbol == "@Sx") return secX;
    if (symbol == "@Sy") return secY;
    return 0;
}
