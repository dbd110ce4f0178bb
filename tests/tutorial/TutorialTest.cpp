// The tutorial's stages and their manager: lookups, strict order of
// completion, the texts shown, and ids that are not in the list.

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "console/KeyDecoder.h"
#include "tutorial/Tutorial.h"

namespace {

struct CourseTest : ::testing::Test {
    HeadlessConsole console;
    std::unique_ptr<TutorialManager> course = makeTutorialCourse();

    // Completes the current stage; its successor's text waits for Enter.
    void complete(std::initializer_list<unsigned> keys = {keycode::Enter}) {
        console.screen->pushKeys(keys);
        course->completeStage(&console.con);
        EXPECT_TRUE(console.screen->scriptEmpty());
    }
    std::string row(int y) const { return console.screen->row(y); }
};

}  // namespace

TEST_F(CourseTest, StagesCompleteStrictlyInOrder) {
    ASSERT_EQ(course->stageCount(), static_cast<std::size_t>(TUTORIAL_STAGE_COUNT));
    EXPECT_EQ(course->getCurrentStage(), 0);
    EXPECT_FALSE(course->isCompleted(0));
    EXPECT_TRUE(course->isCurrent(0));
    for (int done = 1; done <= TUTORIAL_LAST_GOAL + 1; ++done) {
        complete();
        EXPECT_EQ(course->getCurrentStage(), done);
        EXPECT_TRUE(course->isCompleted(done - 1)) << done;
        EXPECT_FALSE(course->isCompleted(done)) << done;
        EXPECT_TRUE(course->isCurrent(done)) << done;
        EXPECT_FALSE(course->isCurrent(done - 1)) << done;
    }
}

TEST_F(CourseTest, CompletingShowsTheNextStageUntilEnter) {
    // Keys other than Enter leave the text on screen.
    complete({'X', keycode::Escape, ' ', keycode::Enter});
    EXPECT_EQ(row(0).substr(36, 8), "TUTORIAL");
    EXPECT_EQ(row(2).substr(2, 36), "Good! As you saw you don't have any ");
    EXPECT_EQ(console.screen->bgAt(40, 12), 2u);
    EXPECT_EQ(console.screen->fgAt(2, 2), 7u);
    EXPECT_EQ(console.screen->shownCursor(), (COORD{0, 0}));

    // Stage 14 completed: the farewell of stage 15.
    for (int i = 1; i <= TUTORIAL_LAST_GOAL; ++i) complete();
    EXPECT_EQ(row(2).substr(2, 48), "Congratulations cadet! You completed our academy");
    EXPECT_NE(console.screen->dump().find("Press ENTER to back to main menu..."), std::string::npos);
}

TEST_F(CourseTest, JournalTellsTheCurrentGoalUntilAnyKey) {
    console.screen->pushKey('Q');
    course->showJournal(&console.con);
    EXPECT_TRUE(console.screen->scriptEmpty());
    EXPECT_EQ(row(9).substr(20, 40), std::string(14, '*') + "MISSION INFO" + std::string(14, '*'));
    EXPECT_EQ(row(11).substr(22, 30), "Check what you have in ship by");
    EXPECT_EQ(row(12).substr(22, 17), "pressing \"1\" key.");
    EXPECT_EQ(console.screen->fgAt(22, 11), 1u);
    EXPECT_EQ(console.screen->bgAt(22, 11), 7u);

    for (int i = 0; i < 11; ++i) complete();
    console.screen->pushKey('Q');
    course->showJournal(&console.con);
    EXPECT_EQ(row(11).substr(22, 22), "Come back to the EARTH");
}

// Ids outside the list find nothing, and nothing breaks on them.
TEST_F(CourseTest, LookupsOfIdsNotInTheList) {
    struct Case {
        int id;
        std::optional<std::size_t> position;
    };
    for (const Case& c : {Case{0, 0}, {4, 4}, {15, 15}, {16, std::nullopt}, {-1, std::nullopt}}) {
        EXPECT_EQ(course->getStageByID(c.id), c.position) << c.id;
        EXPECT_FALSE(course->isCompleted(c.id)) << c.id;
    }

    course->remove(3);
    course->remove(99);  // nothing there
    EXPECT_EQ(course->stageCount(), 15u);
    EXPECT_EQ(course->getStageByID(3), std::nullopt);
    EXPECT_EQ(course->getStageByID(4), std::optional<std::size_t>(3));
    EXPECT_EQ(course->stageAt(3)->getID(), 4);
    EXPECT_EQ(course->stageAt(14)->getID(), 15);
    EXPECT_EQ(course->stageAt(15), nullptr);

    // Reaching the missing stage shows nothing; completing it does nothing.
    for (int i = 0; i < 2; ++i) complete();
    complete({});
    const int presents = console.screen->presentCount();
    course->completeStage(&console.con);
    course->showInfo(&console.con);
    course->showJournal(&console.con);
    EXPECT_EQ(console.screen->presentCount(), presents);
    EXPECT_EQ(course->getCurrentStage(), 3);
    EXPECT_FALSE(course->isCompleted(4));

    TutorialManager empty;
    empty.completeStage(&console.con);
    EXPECT_EQ(empty.getCurrentStage(), 0);
    EXPECT_EQ(empty.getStageByID(0), std::nullopt);
}

TEST(TutorialStageTest, KeepsItsOwnCopiesOfTheTexts) {
    std::string info = "info";
    std::string journal = "journal";
    TutorialStage stage(7, info, journal);
    info[0] = 'X';
    journal.clear();
    EXPECT_STREQ(stage.getInfo(), "info");
    EXPECT_STREQ(stage.getJournal(), "journal");
    EXPECT_EQ(stage.getID(), 7);
    EXPECT_FALSE(stage.isCompleted());
}
