// The other dimension: an empty screen whose colour changes every second and
// whose edges lead round to the opposite side. After the tenth crossing the
// ancient planet shows up; reaching it is the knowledge victory.

#include <algorithm>
#include <string>

#include "screen/ConLib.h"
#include "screen/HelpFuncLib.h"
#include "screen/KeyCodes.h"
#include "catalog/Random.h"
#include "screen/Window.h"
#include "encounters/Event.h"
#include "encounters/ShipCellGuard.h"
#include "galaxy/Flight.h"
#include "player/Player.h"

namespace {

constexpr unsigned short FRAME_COLOUR = 7;
constexpr std::array<unsigned short, 6> DIMENSION_COLOURS = {4, 2, 1, 6, 5, 3};
constexpr unsigned long COLOUR_STEP_MS = 1000;
constexpr unsigned POLL_MS = 500;
constexpr int WRAPS_BEFORE_PLANET = 10;
constexpr Coord NOWHERE{-1, -1};

constexpr unsigned short CRASH_BACKGROUND = 0;
constexpr unsigned short CRASH_TEXT = 2;
constexpr int CRASH_MAX_ERRORS = 20;
constexpr int CRASH_ERROR_CODES = 3642;

constexpr int KNOWLEDGE_REWARD = 50000;
// The mission screen takes this dimension X as the sign that it was visited.
constexpr int VISITED_DIMENSION_X = 500;

// Waits for input at most until the next colour step falls due.
bool waitForKeyOrColour(const Timer& colourTimer) {
    const unsigned long elapsed = colourTimer.getElapsedTime();
    const unsigned long untilStep = elapsed <= COLOUR_STEP_MS ? COLOUR_STEP_MS + 1 - elapsed : 0;
    return isKeyPressed(static_cast<unsigned>(std::min<unsigned long>(POLL_MS, untilStep)));
}

// One run in the other dimension.
class Dimension {
public:
    Dimension(Event& event, ConLib* console, Player& player)
        : event_(event), console_(console), player_(player), moveCounter_(player.getShipSpeed()) {
        colourTimer_.start();
    }

    void run() {
        for (;;) {
            // Right after an arrow the next input (its release) is read at once.
            while (!isArrowKey(lastKey_) && !waitForKeyOrColour(colourTimer_)) {
                if (colourTimer_.getElapsedTime() > COLOUR_STEP_MS) colourStep();
                if (Event::isOnPos(player_.getrPos(), target_)) return;
            }
            if (colourTimer_.getElapsedTime() > COLOUR_STEP_MS) colourStep();
            lastKey_ = console_->GetKey();
            handleKey(lastKey_);
            if (wraps_ == WRAPS_BEFORE_PLANET) placeTarget();
            if (Event::isOnPos(player_.getrPos(), target_)) return;
        }
    }

private:
    void colourStep() {
        console_->SetBackgroundColor(DIMENSION_COLOURS[colourIndex_]);
        colourIndex_ = (colourIndex_ + 1) % DIMENSION_COLOURS.size();
        console_->SetTextColor(FRAME_COLOUR);
        console_->Clear();
        DrawBorder(SCREEN_WIDTH, SCREEN_HEIGHT, Coord{0, 0}, nullptr, console_);
        if (!Event::isOnPos(target_, NOWHERE)) writeAt(console_, target_.X, target_.Y, "O");
        player_.draw(console_);
        colourTimer_.start();
    }

    void placeTarget() {
        // The column is drawn first.
        const short x = static_cast<short>(rng::rand() % 76 + 2);
        const short y = static_cast<short>(rng::rand() % 21 + 2);
        target_ = Coord{x, y};
        ++wraps_;  // once only
    }

    void handleKey(unsigned key) {
        if (key == keycode::Tilde) {
            event_.errorConsole(console_);
            return;
        }
        if (!isArrowKey(key)) return;
        if (moveCounter_ > 0) {
            --moveCounter_;
            return;
        }
        if (!atEdge(key)) {
            switch (key) {
                case keycode::Left: player_.moveLeft(console_); break;
                case keycode::Right: player_.moveRight(console_); break;
                case keycode::Up: player_.moveUp(console_); break;
                default: player_.moveDown(console_); break;
            }
            // Refused for want of fuel, the move still gives its energy.
            moveCounter_ = player_.getShipSpeed();
            player_.gainStepEnergy();
            return;
        }
        wrap(key);
    }

    bool atEdge(unsigned key) const {
        switch (key) {
            case keycode::Left: return player_.getrX() <= MAP_FIRST_COLUMN;
            case keycode::Right: return player_.getrX() >= MAP_LAST_COLUMN;
            case keycode::Up: return player_.getrY() <= MAP_FIRST_ROW;
            default: return player_.getrY() >= MAP_LAST_ROW;
        }
    }

    // Over the edge and in again from the opposite side.
    void wrap(unsigned key) {
        if (player_.getaFuel() < player_.getFuelUsage()) return;
        if (wraps_ < WRAPS_BEFORE_PLANET) ++wraps_;
        moveCounter_ = player_.getShipSpeed();
        player_.removeFuel(player_.getFuelUsage());
        player_.gainStepEnergy();
        Coord cell = player_.getrPos();
        writeAt(console_, cell.X, cell.Y, " ");
        switch (key) {
            case keycode::Left: cell.X = MAP_LAST_COLUMN; break;
            case keycode::Right: cell.X = MAP_FIRST_COLUMN; break;
            case keycode::Up: cell.Y = MAP_LAST_ROW; break;
            default: cell.Y = MAP_FIRST_ROW; break;
        }
        player_.setPos(cell);
        player_.draw(console_);
    }

    Event& event_;
    ConLib* console_;
    Player& player_;
    Coord target_ = NOWHERE;
    int moveCounter_;
    std::size_t colourIndex_ = 0;
    int wraps_ = 0;
    unsigned lastKey_ = keycode::None;
    Timer colourTimer_;
};

const char* crashLine(int kind) {
    switch (kind) {
        case 0: return "\n> Runtime error ";
        case 1: return "\n> System core error ";
        default: return "\n> System shell error ";
    }
}

}  // namespace

bool Event::isOnPos(Coord a, Coord b) { return a.X == b.X && a.Y == b.Y; }

void Event::errorConsole(ConLib* console) {
    const int errors = rng::rand() % CRASH_MAX_ERRORS + 1;
    // It looks like the board computer's console: lines that pass the bottom
    // row scroll the oldest away.
    const ScopedScrolling terminal(console, true);
    console->SetBackgroundColor(CRASH_BACKGROUND);
    console->SetTextColor(CRASH_TEXT);
    console->Clear();
    console->out() << "Board computer console: \n";
    for (int i = 0; i < errors; ++i) {
        const int kind = rng::rand() % 3;
        const int code = rng::rand() % CRASH_ERROR_CODES;
        console->out() << crashLine(kind) << code << "!\n";
        console->sleep(CRASH_LINE_PAUSE_MS);
    }
    console->out() << "\n> Exiting...";
    console->sleep(CRASH_LINE_PAUSE_MS);
}

void Event::winByKnowledge(ConLib* console, Player* player) {
    player->addCredits(KNOWLEDGE_REWARD);
    player->setDimX(VISITED_DIMENSION_X);
    const char* title = "INFORMATION";
    const char* text =
        "Congratulations you found ancient planet and civilisation! On this strange planet citizens\nlerned you a "
        "lot of important informations and you earn 50000 credits!\n\nPress ENTER to continue...";
    if (player->getVicType() == VICTORY_KNOWLEDGE) {
        player->setIsWinner(true);
        title = "YOU WON THE GAME";
        text =
            "Congratulations you found ancient planet and civilisation! On this strange planet citizens\nlerned you a "
            "lot of important informations and you earn 50000 credits!\n\nYou won the game. Now you can end game or "
            "play it anyway. If you had lost, galaxy WOULDN'T be\ndeleted!\n\nPress ENTER to continue...";
    }
    showMessage(console, 52, 14, title, text, CloseOn::Enter);
}

void Event::anotherDimension(ConLib* console, Player* player) {
    if (console == nullptr || player == nullptr) return;
    // The ship comes back to its cell however the dimension is left.
    const ShipCellGuard shipCell(*player);
    Dimension(*this, console, *player).run();
    winByKnowledge(console, player);
}
