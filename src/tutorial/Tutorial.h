#pragma once
// The guided tutorial's stages: each one an explanation shown full-screen
// when it becomes the current stage, and a one-line goal for the journal.
// The manager completes them strictly in order.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "planet/TutorialProgress.h"

class ConLib;

class TutorialStage {
public:
    TutorialStage(int id, std::string_view info, std::string_view journal);

    int getID() const { return id; }
    bool isCompleted() const { return completed; }
    void setComplete(bool done) { completed = done; }
    const char* getInfo() const { return info.c_str(); }
    const char* getJournal() const { return journal.c_str(); }

private:
    int id;
    bool completed = false;
    std::string info;
    std::string journal;
};

class TutorialManager final : public TutorialProgress {
public:
    // Appends the stage at the end of the list, which owns it from then on.
    void add(std::unique_ptr<TutorialStage> stage);
    // Erases the first stage with that id; nothing happens when there is none.
    void remove(int id);
    // Position in the list of the first stage with that id.
    std::optional<std::size_t> getStageByID(int id) const;
    // The stage at a position found by getStageByID; null past the end.
    const TutorialStage* stageAt(std::size_t position) const;
    std::size_t stageCount() const { return stages.size(); }
    int getCurrentStage() const { return currentStage; }

    // The current stage's text over the whole screen, until Enter.
    // Nothing is shown when the current stage is not in the list.
    void showInfo(ConLib* console) const;
    // The current stage's goal in a small window, until any key. The caller
    // redraws its screen afterwards.
    void showJournal(ConLib* console) const;

    // False for an id that is not in the list.
    bool isCompleted(int id) const override;
    // Marks the current stage completed and shows the next one's text. A
    // current stage that is not in the list is left as it is.
    void completeStage(ConLib* console) override;

private:
    const TutorialStage* stageWithID(int id) const;

    std::vector<std::unique_ptr<TutorialStage>> stages;
    int currentStage = 0;
};

// The tutorial's course: stages 0 to 15, the last one carrying the farewell
// (it is never completed).
constexpr int TUTORIAL_STAGE_COUNT = 16;
constexpr int TUTORIAL_LAST_GOAL = 14;

// A manager holding the whole course, at its first stage.
std::unique_ptr<TutorialManager> makeTutorialCourse();
