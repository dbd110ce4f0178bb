// The tutorial's stages and their manager: strict order of completion, the
// next stage's text on completion, and ids that are not in the list.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "screen/KeyCodes.h"
#include "tutorial/Tutorial.h"

namespace {

struct CourseTest : ::testing::Test {
    HeadlessConsole console;
    std::unique_ptr<TutorialManager> course = makeTutorialCourse();

    // Completes the current stage; the next one's text waits for Enter.
    void complete(std::initializer_list<unsigned> keys = {keycode::Enter}) {
        console.screen->pushKeys(keys);
        course->completeStage(&console.con);
        EXPECT_TRUE(console.screen->scriptEmpty());
    }
};

}  // namespace

TEST_F(CourseTest, StagesCompleteStrictlyInOrderShowingTheNextText) {
    ASSERT_EQ(course->stageCount(), static_cast<std::size_t>(TUTORIAL_STAGE_COUNT));
    console.screen->pushKey('Q');
    course->showJournal(&console.con);
    EXPECT_EQ(console.screen->row(11).substr(22, 30), "Check what you have in ship by");

    EXPECT_TRUE(course->isCurrent(0));
    complete({'X', keycode::Escape, keycode::Enter});  // only Enter closes the text
    EXPECT_EQ(console.screen->row(2).substr(2, 20), "Good! As you saw you");
    for (int done = 2; done <= TUTORIAL_LAST_GOAL + 1; ++done) {
        complete();
        EXPECT_TRUE(course->isCompleted(done - 1)) << done;
        EXPECT_FALSE(course->isCompleted(done)) << done;
        EXPECT_TRUE(course->isCurrent(done)) << done;
    }
    EXPECT_EQ(console.screen->row(2).substr(2, 22), "Congratulations cadet!");
}

// Ids outside the list find nothing, and nothing breaks on them.
TEST_F(CourseTest, LookupsOfIdsNotInTheList) {
    for (int id : {16, -1}) {
        EXPECT_EQ(course->getStageByID(id), std::nullopt) << id;
        EXPECT_FALSE(course->isCompleted(id)) << id;
    }
    course->remove(3);
    course->remove(99);
    EXPECT_EQ(course->stageCount(), 15u);
    EXPECT_EQ(course->stageAt(*course->getStageByID(4))->getID(), 4);
    EXPECT_EQ(course->stageAt(15), nullptr);

    // Reaching the missing stage shows nothing; completing it does nothing.
    complete();
    complete();
    complete({});
    const int presents = console.screen->presentCount();
    course->completeStage(&console.con);
    course->showJournal(&console.con);
    EXPECT_EQ(console.screen->presentCount(), presents);
    EXPECT_EQ(course->getCurrentStage(), 3);
    EXPECT_FALSE(course->isCompleted(4));
}
