// Tests of GuiCheckBox: toggling on the press only, the tick, and the tick
// picture shared between boxes for as long as any of them draws it.
#include "gui/guicheckbox.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "gui/guiscreen.h"
#include "support/fakeplatform.h"
#include "support/testpanel.h"
#include "support/tgafiles.h"

namespace {

GuiScreen screen;

}  // namespace

TEST(GuiCheckBox, OnlyLeftPressesToggleAndRunTheReactor) {
    bindTestPanel();  // before the screen is registered: this box is never created
    registerScreen(&screen);
    GuiCheckBox* box = new GuiCheckBox;
    box->setRect(100, 100, 16, 16);
    box->setTicked(true);
    screen.addChild(box, countRun);
    showScreen(&screen);

    mouseAt(108, 108, GE_LBUTTONDOWN);
    EXPECT_FALSE(box->isTicked());
    mouseAt(108, 108, GE_LBUTTONUP);
    EXPECT_FALSE(box->isTicked());
    mouseAt(116, 116, GE_LBUTTONDOWN);  // the far corner belongs to the box
    EXPECT_TRUE(box->isTicked());
    EXPECT_EQ(reactorRuns, 2);

    for (int event : {GE_MOUSEMOVE, GE_LBUTTONUP, GE_RBUTTONDOWN, GE_RBUTTONUP, GE_MBUTTONDOWN, GE_LBUTTONDBLCLK})
        mouseAt(108, 108, event);
    mouseAt(117, 108, GE_LBUTTONDOWN);  // outside
    EXPECT_TRUE(box->isTicked());
    EXPECT_EQ(reactorRuns, 2);
    EXPECT_EQ(fakePlatform.clickCues, 0);
}

TEST(GuiCheckBox, TheTickIsSharedUntilTheLastBoxGoesAndThenReadAgain) {
    bindTestPanel();
    writeSolidTga("Media\\text_icon_on.tga", 4, 4, 0xFF0000);
    GuiCheckBox* first = new GuiCheckBox;
    GuiCheckBox* second = new GuiCheckBox;
    second->setRect(20, 30, 16, 16);
    first->create();
    second->create();
    second->setTicked(false);
    second->draw();
    EXPECT_FALSE(panelInked(GuiRect(0, 0, 100, 100)));

    // The picture is read on the first draw, after the first box is gone.
    delete first;
    second->setTicked(true);
    second->draw();
    // Opaque red over black: 255 * 255 / 256.
    EXPECT_EQ(panelPixel(20, 30), 0xFE0000u);
    EXPECT_EQ(panelPixel(23, 33), 0xFE0000u);
    EXPECT_EQ(panelPixel(24, 30), 0u);
    EXPECT_EQ(panelPixel(20, 34), 0u);

    // With the last box gone the picture is freed; a new box reads the file again.
    delete second;
    writeSolidTga("Media\\text_icon_on.tga", 4, 4, 0x0000FF);
    bindTestPanel();
    GuiCheckBox third;
    third.setRect(20, 30, 16, 16);
    third.setTicked(true);
    third.create();
    third.create();  // a second create takes no second hold
    third.draw();
    EXPECT_EQ(panelPixel(21, 31), 0x0000FEu);
}

TEST(GuiCheckBox, AMissingTickDrawsNothing) {
    bindTestPanel();
    std::remove("Media\\text_icon_on.tga");
    GuiCheckBox box;
    box.setRect(20, 30, 16, 16);
    box.setTicked(true);
    box.create();
    EXPECT_TRUE(box.draw());
    EXPECT_FALSE(panelInked(GuiRect(0, 0, 100, 100)));
}
