// Tests of GuiProgressBar: the reveal in 8-pixel steps, the percentage text and
// where it rides.
#include "gui/guiprogressbar.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/fakeplatform.h"
#include "support/testpanel.h"
#include "support/tgafiles.h"

namespace {

constexpr uint32_t GREEN = 0x00FE00;  // opaque green over black

// A 300 x 12 green bar in a rectangle (50, 100, 256, 20), so that fractions of
// n / 256 reveal n pixels exactly. Glyphs of the fake
// platform are 5 pixels wide, inked from their second column, 11 rows high, so the
// text's rows are 102..112 and row 112 lies just below the bar.
class GuiProgressBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakePlatform.reset();
        bindTestPanel();
        writeSolidTga("Media\\progress_bar.tga", 300, 12, 0x00FF00);
        bar.setRect(50, 100, 256, 20);
        bar.create();
    }

    // Draws at the fraction into a cleared panel; the revealed width in pixels.
    int32_t revealedAt(float fraction) {
        bindTestPanel();
        bar.setProgress(fraction, 0.0f);
        bar.draw();
        int32_t width = 0;
        while (width < 400 && panelPixel(50 + width, 101) == GREEN) ++width;
        return width;
    }

    // The first inked column of the text's bottom row, or -1.
    int32_t textColumn() {
        for (int32_t x = 0; x < 550; ++x)
            if (panelPixel(x, 112) != 0) return x;
        return -1;
    }

    GuiProgressBar bar;
};

}  // namespace

TEST_F(GuiProgressBarTest, TheBarIsRevealedInWholeStepsOf8Pixels) {
    EXPECT_EQ(revealedAt(0.0f), 0);
    EXPECT_EQ(revealedAt(7 / 256.0f), 0);
    EXPECT_EQ(bar.getFillWidth(), 7);
    EXPECT_EQ(revealedAt(8 / 256.0f), 8);
    EXPECT_EQ(revealedAt(15 / 256.0f), 8);
    EXPECT_EQ(revealedAt(16 / 256.0f), 16);
    EXPECT_EQ(revealedAt(100 / 256.0f), 96);
    EXPECT_EQ(revealedAt(1.0f), 256);
    // Above 1 the picture's own width is the limit; below 0 or NaN, nothing.
    EXPECT_EQ(revealedAt(2.0f), 300);
    EXPECT_EQ(revealedAt(-0.5f), 0);
    EXPECT_EQ(revealedAt(NAN), 0);
    EXPECT_EQ(revealedAt(1e30f), 300);
    // Only the bar's own rows are drawn.
    revealedAt(1.0f);
    EXPECT_EQ(panelPixel(100, 99), 0u);
    EXPECT_EQ(panelPixel(49, 105), 0u);
}

TEST_F(GuiProgressBarTest, ThePercentageNeverShows0AndRoundsDown) {
    GuiProgressBar fresh;
    EXPECT_STREQ(fresh.getPercentText(), "1%");
    const std::pair<float, const char*> cases[] = {{0.0f, "1%"},   {0.01f, "2%"},  {0.5f, "50%"},
                                                   {0.99f, "99%"}, {1.0f, "100%"}, {2.0f, "198%"}};
    for (const auto& [fraction, text] : cases) {
        bar.setProgress(fraction, 0.75f);
        EXPECT_STREQ(bar.getPercentText(), text) << fraction;
    }
    bar.setProgress(-1e30f, 0.0f);
    EXPECT_STREQ(bar.getPercentText(), "-2147483648%");
}

TEST_F(GuiProgressBarTest, TheTextRides32PixelsLeftOfTheFillButNotLeftOfTheBar) {
    revealedAt(0.0f);
    EXPECT_EQ(textColumn(), 51);  // drawn although nothing of the bar is revealed
    EXPECT_NE(panelPixel(51, 102), 0u);
    EXPECT_EQ(panelPixel(51, 113), 0u);
    revealedAt(32 / 256.0f);
    EXPECT_EQ(textColumn(), 51);
    revealedAt(33 / 256.0f);
    EXPECT_EQ(textColumn(), 52);
    revealedAt(100 / 256.0f);  // from 118, not from the 96 revealed
    EXPECT_EQ(textColumn(), 119);
    // The text's top follows the rectangle's top as of the last setProgress.
    bar.setRect(50, 150, 256, 20);
    revealedAt(0.0f);
    EXPECT_EQ(textColumn(), -1);
    EXPECT_NE(panelPixel(51, 162), 0u);
    EXPECT_EQ(panelPixel(50, 155), 0u);
}
