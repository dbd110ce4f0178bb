#pragma once
// What the planet screens and the board computer ask of a running tutorial.
// The tutorial sits above them; its manager implements this, so the screens
// never depend on the tutorial itself. Null outside the tutorial.

class ConLib;

class TutorialProgress {
public:
    virtual bool isCompleted(int id) const = 0;
    // Completes the current stage and shows the text of the next one.
    virtual void completeStage(ConLib* console) = 0;

protected:
    ~TutorialProgress() = default;
};
