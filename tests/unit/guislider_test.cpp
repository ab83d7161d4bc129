// Tests of GuiSlider: dragging with the left button held, the freeze outside the
// track, the end of the range, and the thumb drawn from its three pictures.
#include "gui/guislider.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "gui/guiscreen.h"
#include "support/fakeplatform.h"
#include "support/testpanel.h"
#include "support/tgafiles.h"

namespace {

GuiScreen screen;

// The licence's track: (515, 98, 22, 206).
class GuiSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakePlatform.reset();
        bindTestPanel();
        writeSolidTga("Media\\scroll_slider_top.tga", 22, 4, 0xFF0000);
        writeSolidTga("Media\\scroller.tga", 22, 3, 0x00FF00);
        writeSolidTga("Media\\scroll_slider_bottom.tga", 22, 4, 0x0000FF);
    }
};

}  // namespace

TEST_F(GuiSliderTest, DraggingFollowsTheMouseOnlyInsideTheTrackWhileTheButtonIsHeld) {
    GuiSlider* slider = new GuiSlider;
    slider->setRect(515, 98, 22, 206);
    slider->setThumbFraction(0.25f);
    screen.addChild(slider, countRun);
    registerScreen(&screen);
    showScreen(&screen);

    // A press anywhere in the track starts a drag but does not move the thumb.
    mouseAt(520, 280, GE_LBUTTONDOWN);
    EXPECT_EQ(slider->getPosition(), 0.0f);
    EXPECT_EQ(reactorRuns, 1);
    // Without the button held, moves do nothing.
    mouseAt(520, 300, GE_MOUSEMOVE);
    EXPECT_EQ(reactorRuns, 1);
    fakePlatform.leftButton = true;
    mouseAt(520, 300, GE_LBUTTONDOWN);
    mouseAt(520, 100, GE_MOUSEMOVE);  // up, held at 0
    EXPECT_EQ(slider->getPosition(), 0.0f);
    mouseAt(520, 141, GE_MOUSEMOVE);
    EXPECT_FLOAT_EQ(slider->getPosition(), 41.0f / 206);
    EXPECT_EQ(reactorRuns, 4);

    // Outside the track nothing arrives; back inside the thumb jumps by the
    // distance moved since the last point seen inside.
    mouseAt(600, 200, GE_MOUSEMOVE);
    mouseAt(514, 160, GE_MOUSEMOVE);
    EXPECT_FLOAT_EQ(slider->getPosition(), 41.0f / 206);
    EXPECT_EQ(reactorRuns, 4);
    mouseAt(537, 182, GE_MOUSEMOVE);  // the far edge belongs to the track
    EXPECT_FLOAT_EQ(slider->getPosition(), 82.0f / 206);

    // The end of the range is 1.01 - 0.25, not 0.75.
    mouseAt(520, 303, GE_MOUSEMOVE);
    EXPECT_FLOAT_EQ(slider->getPosition(), 0.76f);
    // Other events are not taken.
    for (int event : {GE_LBUTTONUP, GE_RBUTTONDOWN, GE_LBUTTONDBLCLK}) EXPECT_FALSE(slider->onMouse(event));
}

TEST_F(GuiSliderTest, AThumbLongerThanTheRangeStaysAtTheTop) {
    GuiSlider slider;
    slider.setRect(515, 98, 22, 206);
    slider.setThumbFraction(2.55f);
    fakePlatform.leftButton = true;
    setMousePos(520, 100);
    slider.onMouse(GE_LBUTTONDOWN);
    setMousePos(520, 300);
    EXPECT_TRUE(slider.onMouse(GE_MOUSEMOVE));
    EXPECT_EQ(slider.getPosition(), 0.0f);
    EXPECT_EQ(clampScrollPosition(-0.5f, 0.25f), 0.0f);
    EXPECT_FLOAT_EQ(clampScrollPosition(0.9f, 0.25f), 0.76f);
    EXPECT_FLOAT_EQ(clampScrollPosition(0.5f, 0.25f), 0.5f);
    EXPECT_NEAR(clampScrollPosition(0.5f, 1.0f), 0.01f, 1e-6f);
}

TEST_F(GuiSliderTest, TheThumbIsTheTopCapMiddlePiecesAndTheBottomCapClippedToItsLength) {
    GuiSlider slider;
    slider.setRect(515, 98, 22, 206);
    slider.create();
    slider.setThumbFraction(0.25f);  // 51 pixels
    slider.setPosition(0.5f);        // from 98 + 103
    EXPECT_TRUE(slider.draw());
    EXPECT_EQ(panelPixel(520, 200), 0u);
    EXPECT_EQ(panelPixel(520, 201), 0xFE0000u);
    EXPECT_EQ(panelPixel(536, 204), 0xFE0000u);
    EXPECT_EQ(panelPixel(520, 205), 0x00FE00u);
    EXPECT_EQ(panelPixel(520, 247), 0x00FE00u);
    EXPECT_EQ(panelPixel(520, 248), 0x0000FEu);  // the bottom cap over the last pieces
    EXPECT_EQ(panelPixel(520, 251), 0x0000FEu);
    EXPECT_EQ(panelPixel(520, 252), 0u);
    EXPECT_EQ(panelPixel(537, 220), 0u);

    // A thumb longer than the track is held to the track.
    bindTestPanel();
    slider.setThumbFraction(1.3f);
    slider.setPosition(0.0f);
    slider.draw();
    EXPECT_EQ(panelPixel(520, 98), 0xFE0000u);
    EXPECT_EQ(panelPixel(520, 303), 0x0000FEu);
    EXPECT_EQ(panelPixel(520, 304), 0u);
}

TEST_F(GuiSliderTest, AMissingMiddlePieceLeavesTheCapsAlone) {
    std::remove("Media\\scroller.tga");
    GuiSlider slider;
    slider.setRect(515, 98, 22, 206);
    slider.create();
    EXPECT_TRUE(slider.draw());  // 103 pixels from the top
    EXPECT_EQ(panelPixel(520, 98), 0xFE0000u);
    EXPECT_EQ(panelPixel(520, 150), 0u);
    EXPECT_EQ(panelPixel(520, 200), 0x0000FEu);
}
