// The course played from the menu's T on the generated tutorial galaxy, as
// a player would: a pilot looks at the ship and the screen whenever the game
// waits for a key, and presses what the next leg of the course needs.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "GalaxyFixture.h"
#include "TestSupport.h"
#include "screen/KeyCodes.h"
#include "catalog/Random.h"
#include "tutorial/Tutorial.h"
#include "tutorial/TutorialGalaxy.h"

namespace {

using namespace keycode;
using namespace tutorialGalaxy;

// Whenever the game waits with no key queued, the first unfinished leg
// queues keys; a leg is finished when it says so.
class Pilot {
public:
    using Leg = std::function<bool()>;

    Pilot(HeadlessBackend& screen, const Player& player, Sector& sector)
        : screen_(screen), player_(player), sector_(sector) {}

    // Keys pressed once, with typed text after them.
    Pilot& press(std::vector<unsigned> keys, std::string typed = "") {
        legs_.push_back([this, keys, typed] {
            for (unsigned key : keys) screen_.pushKey(key);
            screen_.pushText(typed);
            return true;
        });
        return *this;
    }
    // Presses enough arrows for that many steps of the fitted engine.
    Pilot& steps(unsigned arrow, int count) {
        legs_.push_back([this, arrow, count] {
            for (int i = 0; i < count * (player_.getShipSpeed() + 1); ++i) screen_.pushKey(arrow);
            return true;
        });
        return *this;
    }
    // Flies step by step until the ship stands on the cell: across first,
    // around any other planet in the way.
    Pilot& flyTo(Coord cell) {
        legs_.push_back([this, cell] {
            const Coord at = player_.getrPos();
            if (at == cell) return true;
            if (++steps_ > STEP_LIMIT) return false;  // the script runs dry and the test fails
            const int dx = (cell.X > at.X) - (cell.X < at.X);
            const int dy = (cell.Y > at.Y) - (cell.Y < at.Y);
            const bool blocked = dx != 0 && sector_.getPlanet(at.X + dx, at.Y) != nullptr &&
                                 Coord{static_cast<short>(at.X + dx), at.Y} != cell;
            const unsigned arrow = dx != 0 && !blocked ? (dx > 0 ? Right : Left) : dy > 0 ? Down : Up;
            for (int i = 0; i <= player_.getShipSpeed(); ++i) screen_.pushKey(arrow);
            return false;
        });
        return *this;
    }
    void onWait() {
        while (screen_.scriptEmpty() && !legs_.empty() && steps_ <= STEP_LIMIT)
            if (legs_.front()()) legs_.pop_front();
    }
    bool done() const { return legs_.empty(); }

private:
    static constexpr int STEP_LIMIT = 400;
    HeadlessBackend& screen_;
    const Player& player_;
    Sector& sector_;
    std::deque<Leg> legs_;
    int steps_ = 0;
};

struct TutorialCourse : ::testing::Test {
    ScopedWorkDir dir;
    HeadlessGame g;
    HeadlessBackend& screen = *g.screen;
    Game& game = g.game;
    Pilot pilot{screen, game.getPlayer(), game.getSector()};
    std::vector<std::string> stageTexts;  // the first row of every stage text shown, in turn

    void SetUp() override {
        rng::srand(17);
        ASSERT_TRUE(writeTutorialGalaxy("Tutorial.glx"));
        game.setTutorialFolders({"."});
        screen.onPresent = [this](const HeadlessBackend& s) {
            if (s.row(0).substr(36, 8) == "TUTORIAL" && s.bgAt(1, 1) == 2) {
                const std::string first = s.row(2).substr(2, 30);
                if (stageTexts.empty() || stageTexts.back() != first) stageTexts.push_back(first);
            }
            pilot.onWait();
        };
    }
    // How the texts of stages 0 to `last` begin on screen.
    static std::vector<std::string> textsUpTo(int last) {
        const auto course = makeTutorialCourse();
        std::vector<std::string> texts;
        for (int id = 0; id <= last; ++id) {
            std::string info = course->stageAt(*course->getStageByID(id))->getInfo();
            info = info.substr(0, std::min<std::size_t>(info.find('\n'), 30));
            texts.push_back(info + std::string(30 - info.size(), ' '));
        }
        return texts;
    }

    // The legs from the menu's T to the farewell and the menu's E.
    void playTheCourse() {
        pilot.press({'T', Enter})
            .press({'1', 'X', Enter})  // cargo
            .press({'2', 'X', Enter})  // ancient parts
            .press({'I', 'X', Enter})  // ship information
            .flyTo(Coord{EARTH_X, EARTH_Y})
            .press({'H', 'E', Enter})                   // hangar
            .press({'D', 'E', Enter})                   // dock
            .press({'T', 'B'}, "15\n10\n")              // ten ore...
            .press({'Y', 'E', Enter})                   // ...bought
            .press({'E'})                               // departure
            .flyTo(Coord{MARS_X, MARS_Y})
            .press({'T', 'S'}, "15\n10\n")              // all the ore...
            .press({'Y', Enter, 'E'})                   // ...sold away from EARTH
            .press({'H', 'A'}, "100\n")                 // ammunition
            .press({'Y', 'E'})
            .press({'D', 'C'}, "5\n2\n")                // the "LiquidSteel" collector
            .press({'Y', 'E'})
            .press({'E', Enter, Enter, Enter})          // ready: texts of stages 8, 9, 10
            .press({Enter, '7', Enter})                 // the scripted fight, fled
            .press({Enter})                             // stage 11: back to EARTH
            .steps(Up, 2)                               // the last fuel burnt
            .press({Enter})                             // stage 12: the board computer
            .press({Tilde}, "prepHyperJump;@Sx;@Sy;@Px;@Py\n")
            .press({}, "hyperJump\n")
            .press({Enter})                             // stage 13 on landing
            .press({'H', 'F'}, "100\n")                 // fuel...
            .press({'Y', 'E', 'E'})                     // ...and departure
            .press({'G', 'X', Enter})                   // stage 14
            .flyTo(Coord{EARTH_X, EARTH_Y})
            .press({Enter})                             // the farewell
            .press({'E', 'Y'});
    }
};

}  // namespace

// Every stage's text shows in turn, by keys a player would press; the
// farewell pushes the ship off EARTH.
TEST_F(TutorialCourse, FromTheMenuToTheFarewellOnTheGeneratedGalaxy) {
    playTheCourse();
    game.run();
    EXPECT_TRUE(pilot.done());
    EXPECT_TRUE(screen.scriptEmpty());
    EXPECT_EQ(stageTexts, textsUpTo(15));
    const Player& player = game.getPlayer();
    EXPECT_EQ(std::abs(player.getrX() - EARTH_X) + std::abs(player.getrY() - EARTH_Y), 1);
}
