#pragma once
// What the planet screens and the board computer ask of a running tutorial.
// The tutorial sits above them; its manager implements this, so the screens
// never depend on the tutorial itself. Null outside the tutorial.

class ConLib;

// The stages of the course that the screens below the tutorial wait for.
namespace tutorialStage {
constexpr int INVENTORY = 0;
constexpr int ANCIENT_PARTS = 1;
constexpr int SHIP_INFO = 2;
constexpr int HANGAR = 3;
constexpr int DOCK = 4;
constexpr int BUY_ORE = 5;
constexpr int SELL_ORE = 6;
constexpr int PREPARE = 7;  // 7, 8 and 9 complete together on departure
constexpr int FIGHT = 10;
constexpr int OUT_OF_FUEL = 11;
constexpr int JUMP = 12;
constexpr int GPS = 13;
constexpr int BACK_HOME = 14;
}  // namespace tutorialStage

// The planet where the course starts and ends.
constexpr const char* HOME_PLANET = "EARTH";

class TutorialProgress {
public:
    virtual bool isCompleted(int id) const = 0;
    // Completes the current stage and shows the text of the next one.
    virtual void completeStage(ConLib* console) = 0;

    // The stage the player is working on: the ones before it are done.
    // Only the current stage may be completed.
    bool isCurrent(int id) const { return (id == 0 || isCompleted(id - 1)) && !isCompleted(id); }

protected:
    ~TutorialProgress() = default;
};
