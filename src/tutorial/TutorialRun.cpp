// The guided tutorial: the galaxy view on the tutorial galaxy, with the
// player's keys unlocked stage by stage, the moments at which the stages
// complete wired into the loop, and nothing ever saved.

#include <memory>

#include "screen/ConLib.h"
#include "screen/KeyCodes.h"
#include "galaxy/Flight.h"
#include "galaxy/Sector.h"
#include "player/Player.h"
#include "tutorial/Tutorial.h"
#include "tutorial/TutorialRun.h"

namespace {

constexpr unsigned KEY_INVENTORY = '1';
constexpr unsigned KEY_ANCIENT_PARTS = '2';
constexpr unsigned KEY_GPS = 'G';
constexpr unsigned KEY_SHIP_INFO = 'I';
constexpr unsigned KEY_JOURNAL = 'J';

class TutorialLoop {
public:
    TutorialLoop(Sector& sector, Player& player, ConLib* console, TutorialManager& course)
        : sector_(sector), player_(player), console_(console), course_(course), flight_(sector, player, console) {}

    void run() {
        course_.showInfo(console_);
        flight_.restartDelay();
        sector_.drawMap(console_);
        for (;;) {
            const unsigned key = console_->GetKey();
            if (key == keycode::Escape) return;
            handleKey(key);
            if (course_.isCompleted(TUTORIAL_LAST_GOAL)) return;
            // A ship lost outside the scripted fight (at a pirates planet)
            // ends the course as it ends a flight.
            if (player_.getaHealth() <= 0) return;
        }
    }

private:
    bool unlockedBy(int stage) const { return course_.isCompleted(stage); }

    // A screen that is the goal of a stage completes it the first time it closes.
    void completeOnFirstVisit(int stage) {
        if (!course_.isCurrent(stage)) return;
        course_.completeStage(console_);
        sector_.drawMap(console_);
    }

    // Keys that are not unlocked yet, and S (nothing is saved here), do nothing.
    void handleKey(unsigned key) {
        if (isArrowKey(key)) {
            if (unlockedBy(tutorialStage::SHIP_INFO)) arrive(flight_.step(key, Flight::Crossing::NoSave));
            return;
        }
        switch (key) {
            case KEY_INVENTORY:
                sector_.showPlayerInventory(console_);
                completeOnFirstVisit(tutorialStage::INVENTORY);
                break;
            case KEY_ANCIENT_PARTS:
                if (!unlockedBy(tutorialStage::INVENTORY)) break;
                sector_.showAncientParts(console_);
                completeOnFirstVisit(tutorialStage::ANCIENT_PARTS);
                break;
            case KEY_SHIP_INFO:
                if (!unlockedBy(tutorialStage::ANCIENT_PARTS)) break;
                sector_.showShipInfo(console_);
                completeOnFirstVisit(tutorialStage::SHIP_INFO);
                break;
            case KEY_JOURNAL:
                course_.showJournal(console_);
                sector_.drawMap(console_);
                break;
            case keycode::Tilde:
                if (unlockedBy(tutorialStage::OUT_OF_FUEL)) sector_.boardComputer(console_, &course_);
                break;
            case KEY_GPS:
                if (!unlockedBy(tutorialStage::JUMP)) break;
                sector_.showGPS(console_);
                completeOnFirstVisit(tutorialStage::GPS);
                break;
            default: break;
        }
    }

    void arrive(Flight::Arrival arrival) {
        switch (arrival) {
            case Flight::Arrival::Planet:
                flight_.planetHere()->ShowPanel(console_, &player_, &course_);
                // Ready and departed: the first fight comes at once.
                if (course_.isCurrent(tutorialStage::FIGHT)) scriptedFight();
                flight_.takeOff();
                break;
            case Flight::Arrival::AncientPart: sector_.playerAddaPart(console_); break;
            case Flight::Arrival::PiratesPlanet:
                flight_.fightPiratesPlanet();
                break;
            case Flight::Arrival::EmptyCell:
                // No random events in the tutorial. A tank that cannot pay
                // for another step leads to the board computer's jump.
                if (course_.isCurrent(tutorialStage::OUT_OF_FUEL) && player_.getaFuel() < player_.getFuelUsage()) {
                    course_.completeStage(console_);
                    sector_.drawMap(console_);
                }
                break;
            case Flight::Arrival::Nowhere:
            case Flight::Arrival::NextSector: break;
        }
    }

    void scriptedFight() {
        fightUntilSurvived(player_, [this] { sector_.genEvent(console_, Sector::EVENT_PIRATES); });
        course_.completeStage(console_);
        player_.setPos(Coord{TUTORIAL_FIGHT_END_X, TUTORIAL_FIGHT_END_Y});
        // Exactly this much, whether the tank held more or less.
        player_.removeFuel(player_.getaFuel() - TUTORIAL_FUEL_AFTER_FIGHT);
    }

    Sector& sector_;
    Player& player_;
    ConLib* console_;
    TutorialManager& course_;
    Flight flight_;
};

}  // namespace

void fightUntilSurvived(Player& player, const std::function<void()>& fight) {
    do {
        player.addHealth(player.getMaxHealth());
        player.removeAmmo(player.getAmmo());
        player.addAmmo(TUTORIAL_FIGHT_AMMO);
        player.countShipWeight();
        fight();
    } while (player.getaHealth() < 1);
}

void runTutorial(Sector& sector, ConLib* console, TutorialManager& course) {
    if (console == nullptr || sector.getPlayer() == nullptr) return;
    TutorialLoop(sector, *sector.getPlayer(), console, course).run();
}

// Every tutorial starts again at the first stage.
void Sector::StartTutorial(ConLib* console) {
    const std::unique_ptr<TutorialManager> course = makeTutorialCourse();
    runTutorial(*this, console, *course);
}
