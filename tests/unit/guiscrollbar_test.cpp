// Tests of GuiScrollBar: its children and their reactors, arrow steps, the
// slider's position copied back, and the ends of the range.
#include "gui/guiscrollbar.h"

#include <gtest/gtest.h>

#include "gui/guibutton.h"
#include "gui/guiscreen.h"
#include "gui/guislider.h"
#include "support/fakeplatform.h"
#include "support/testpanel.h"

namespace {

GuiScreen screen;

// The licence's scroll bar, (515, 70, 22, 255), on a screen of its own.
GuiScrollBar* makeBar(int32_t contentHeight) {
    GuiScrollBar* bar = new GuiScrollBar;
    bar->setRect(515, 70, 22, 255);
    bar->setViewHeight(255);
    bar->setContentHeight(contentHeight);
    bar->setLineStep(15);
    bar->create();
    return bar;
}

class GuiScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakePlatform.reset();
        bindTestPanel();
    }
};

}  // namespace

TEST_F(GuiScrollBarTest, ChildrenSitAtTheEndsAndTheTrackBetween) {
    GuiScrollBar* bar = makeBar(1020);
    EXPECT_FLOAT_EQ(bar->getPageFraction(), 0.25f);
    EXPECT_EQ(bar->getUpArrow()->getRect(), GuiRect(515, 70, 22, 21));
    EXPECT_EQ(bar->getDownArrow()->getRect(), GuiRect(515, 304, 22, 21));
    EXPECT_EQ(bar->getSlider()->getRect(), GuiRect(515, 98, 22, 206));
    EXPECT_FLOAT_EQ(bar->getSlider()->getThumbFraction(), 0.25f);
    EXPECT_EQ(bar->getUpArrow()->getImage().getPath(), "Media\\scroll_arrow_top.tga");
    EXPECT_EQ(bar->getDownArrow()->getImage().getPath(), "Media\\scroll_arrow_bottom.tga");
    // A second create builds nothing new.
    bar->create();
    EXPECT_EQ(bar->getChildren().size(), 3u);
    delete bar;
}

TEST_F(GuiScrollBarTest, ArrowsStepOnReleaseAndStopAt101MinusThePage) {
    GuiScrollBar* bar = makeBar(1020);
    screen.addChild(bar);
    registerScreen(&screen);
    showScreen(&screen);

    mouseAt(520, 310, GE_LBUTTONDOWN);
    EXPECT_EQ(bar->getPosition(), 0.0f);
    mouseAt(520, 310, GE_LBUTTONUP);
    EXPECT_FLOAT_EQ(bar->getPosition(), 15.0f / 1020);
    EXPECT_FLOAT_EQ(bar->getSlider()->getPosition(), 15.0f / 1020);
    EXPECT_EQ(fakePlatform.clickCues, 1);
    for (int i = 0; i < 100; ++i) mouseAt(520, 310, GE_LBUTTONUP);
    EXPECT_FLOAT_EQ(bar->getPosition(), 0.76f);
    EXPECT_FLOAT_EQ(bar->getSlider()->getPosition(), 0.76f);
    mouseAt(520, 75, GE_LBUTTONUP);
    EXPECT_FLOAT_EQ(bar->getPosition(), 0.76f - 15.0f / 1020);
    for (int i = 0; i < 100; ++i) mouseAt(520, 75, GE_LBUTTONUP);
    EXPECT_EQ(bar->getPosition(), 0.0f);

    // Dragging the slider sets the bar's position.
    fakePlatform.leftButton = true;
    mouseAt(520, 120, GE_LBUTTONDOWN);
    mouseAt(520, 300, GE_MOUSEMOVE);
    EXPECT_FLOAT_EQ(bar->getPosition(), 0.76f);
    mouseAt(520, 280, GE_MOUSEMOVE);
    EXPECT_FLOAT_EQ(bar->getPosition(), 0.76f - 20.0f / 206);
}

TEST_F(GuiScrollBarTest, SettersKeepTheirRangesAndMoveTheThumb) {
    GuiScrollBar* bar = makeBar(1020);
    bar->setPosition(0.5f);
    EXPECT_EQ(bar->getSlider()->getPosition(), 0.5f);
    bar->setPosition(-0.1f);
    bar->setPosition(1.2f);
    EXPECT_EQ(bar->getPosition(), 0.5f);
    bar->setContentHeight(0);
    EXPECT_FLOAT_EQ(bar->getPageFraction(), 0.25f);
    bar->setViewHeight(510);
    EXPECT_FLOAT_EQ(bar->getPageFraction(), 0.5f);
    delete bar;
}

TEST_F(GuiScrollBarTest, ContentShorterThanTheViewStaysAtTheTop) {
    GuiScrollBar* bar = makeBar(100);
    bar->scrollStep(false);
    EXPECT_EQ(bar->getPosition(), 0.0f);
    bar->scrollStep(true);
    EXPECT_EQ(bar->getPosition(), 0.0f);
    fakePlatform.leftButton = true;
    setMousePos(520, 120);
    bar->onMouse(GE_LBUTTONDOWN);
    setMousePos(520, 250);
    bar->onMouse(GE_MOUSEMOVE);
    EXPECT_EQ(bar->getPosition(), 0.0f);
    EXPECT_EQ(bar->getSlider()->getPosition(), 0.0f);
    delete bar;
}
