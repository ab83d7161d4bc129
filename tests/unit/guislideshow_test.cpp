// Tests of the progress screen's slide show (which slide, which opacities, when
// the cue plays) and of its window title.
#include "gui/guislideshow.h"

#include <gtest/gtest.h>

#include <string>

#include "gui/guipicture.h"

namespace {

class SlideShowTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < GuiSlideShow::SLIDE_COUNT; ++i) {
            slides[i].setOpacity(0.0f);
            show.setSlide(i, &slides[i]);
        }
        show.start();
    }
    float opacity(int i) const { return slides[i].getOpacity(); }

    GuiPicture slides[GuiSlideShow::SLIDE_COUNT];
    GuiSlideShow show;
};

TEST_F(SlideShowTest, StartShowsTheFirstSlideAndNothingMovesBeforeTheFirstTenth) {
    EXPECT_FLOAT_EQ(opacity(0), 1.0f);
    for (uint32_t tick : {0u, 5000u, 60000u}) {
        EXPECT_FALSE(show.animate(0.09f, tick).newSlide);
        EXPECT_EQ(show.getSlideIndex(), 0);
        EXPECT_FLOAT_EQ(opacity(0), 1.0f);
        EXPECT_FLOAT_EQ(opacity(1), 0.0f);
    }
}

TEST_F(SlideShowTest, ATenthCrossFadesToTheNextSlideOverSixSecondsWithOneCue) {
    int cues = 0;
    cues += show.animate(0.1f, 1000).newSlide;
    EXPECT_EQ(show.getSlideIndex(), 1);
    EXPECT_TRUE(show.isCrossFading());
    EXPECT_EQ(show.getFadingOut(), &slides[0]);
    EXPECT_EQ(show.getFadingIn(), &slides[1]);
    EXPECT_FLOAT_EQ(opacity(0), 1.0f);
    EXPECT_FLOAT_EQ(opacity(1), 0.0f);

    cues += show.animate(0.1f, 4000).newSlide;
    EXPECT_FLOAT_EQ(opacity(0), 0.5f);
    EXPECT_FLOAT_EQ(opacity(1), 0.5f);

    cues += show.animate(0.12f, 7000).newSlide;  // exactly six seconds: the last step of the fade
    EXPECT_FLOAT_EQ(opacity(1), 1.0f);
    EXPECT_TRUE(show.isCrossFading());
    cues += show.animate(0.12f, 7001).newSlide;
    EXPECT_FALSE(show.isCrossFading());
    EXPECT_FLOAT_EQ(opacity(0), 0.0f);
    EXPECT_FLOAT_EQ(opacity(1), 1.0f);
    EXPECT_EQ(cues, 1);
}

TEST_F(SlideShowTest, AJumpOfSeveralTenthsSkipsTheSlidesInBetween) {
    show.animate(0.05f, 100);
    GuiSlideShow::Step step = show.animate(0.35f, 200);
    EXPECT_TRUE(step.newSlide);
    EXPECT_NEAR(step.delta, 3.5f, 1e-5);
    EXPECT_EQ(show.getSlideIndex(), 3);  // the file "04.tga"
    EXPECT_EQ(show.getFadingOut(), &slides[0]);
    EXPECT_EQ(show.getFadingIn(), &slides[3]);
    show.animate(0.35f, 3200);
    EXPECT_FLOAT_EQ(opacity(0), 0.5f);
    EXPECT_FLOAT_EQ(opacity(3), 0.5f);
    EXPECT_FLOAT_EQ(opacity(1), 0.0f);
    EXPECT_FLOAT_EQ(opacity(2), 0.0f);
}

TEST_F(SlideShowTest, TheCompleteFractionKeepsTheLastSlideAtFullOpacity) {
    show.animate(0.95f, 0);
    GuiSlideShow::Step step = show.animate(1.0f, 10);
    EXPECT_FALSE(step.newSlide);
    EXPECT_EQ(show.getSlideIndex(), 10);
    EXPECT_FALSE(show.isCrossFading());
    EXPECT_EQ(show.getFadingIn(), &slides[9]);
    EXPECT_EQ(show.getFadingOut(), &slides[9]);
    EXPECT_FLOAT_EQ(opacity(9), 1.0f);
    show.animate(1.0f, 100000);
    EXPECT_FLOAT_EQ(opacity(9), 1.0f);
}

TEST_F(SlideShowTest, ASlideArrivingAboveNinetyNinePercentIsShownAtOnce) {
    GuiSlideShow::Step step = show.animate(0.995f, 50);
    EXPECT_TRUE(step.newSlide);
    EXPECT_EQ(show.getSlideIndex(), 9);
    EXPECT_FALSE(show.isCrossFading());
    EXPECT_FLOAT_EQ(opacity(0), 0.0f);
    EXPECT_FLOAT_EQ(opacity(9), 1.0f);
}

TEST_F(SlideShowTest, ANewTenthDuringAFadeLeavesTheOldFadingSlideWhereItWas) {
    show.animate(0.1f, 0);
    show.animate(0.1f, 1500);  // slide 0 at 0.75, slide 1 at 0.25
    show.animate(0.2f, 1500);
    EXPECT_EQ(show.getFadingOut(), &slides[1]);
    EXPECT_EQ(show.getFadingIn(), &slides[2]);
    show.animate(0.2f, 4500);
    EXPECT_FLOAT_EQ(opacity(0), 0.75f);
    EXPECT_FLOAT_EQ(opacity(1), 0.5f);
    EXPECT_FLOAT_EQ(opacity(2), 0.5f);

    show.start();
    EXPECT_EQ(show.getSlideIndex(), 0);
    EXPECT_FLOAT_EQ(opacity(0), 1.0f);
}

// 0.7f times ten is 6.9999999 exactly but 7 as a float: the tenth must be
// reached once, not on every step.
TEST_F(SlideShowTest, AFractionWhoseTenthsRoundUpReachesThatSlideOnce) {
    int cues = 0;
    for (uint32_t tick = 0; tick < 10; ++tick) cues += show.animate(0.7f, tick * 1000).newSlide;
    EXPECT_EQ(cues, 1);
    EXPECT_EQ(show.getSlideIndex(), 7);
    EXPECT_FLOAT_EQ(opacity(7), 1.0f);
}

TEST(ProgressTitle, ShowsThePercentageWithOneDecimalUntilCompleteOrCancelled) {
    const std::string title = "Quillmark Demo Setup";
    EXPECT_EQ(progressTitle(title, 0.0f, false), "Quillmark Demo Setup - 1.1 %");
    EXPECT_EQ(progressTitle(title, 0.5f, false), "Quillmark Demo Setup - 50.5 %");
    EXPECT_EQ(progressTitle(title, 0.9999f, false), "Quillmark Demo Setup - 100.0 %");
    EXPECT_EQ(progressTitle(title, 1.0f, false), title);
    EXPECT_EQ(progressTitle(title, 0.0f, true), title);
    EXPECT_EQ(progressTitle(title, 0.5f, true), title);
}

TEST(ProgressTitle, ALongTitleIsCutSoThePercentageStillFits) {
    const std::string fits(117, 'a');
    EXPECT_EQ(progressTitle(fits, 0.9999f, false), fits + " - 100.0 %");
    const std::string tooLong = std::string(117, 'b') + std::string(400, 'c');
    const std::string shown = progressTitle(tooLong, 0.0f, false);
    EXPECT_EQ(shown, std::string(117, 'b') + " - 1.1 %");
    EXPECT_EQ(progressTitle(tooLong, 0.0f, true), tooLong);
}

}  // namespace
