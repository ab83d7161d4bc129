// Tests of the welcome screen: its rows, the hover highlight and the actions
// that its buttons run on the application.
#include "screens/welcomescreen.h"

#include <gtest/gtest.h>

#include "gui/guihovergroup.h"
#include "gui/guipicture.h"
#include "support/screentest.h"

namespace {

using screentest::click;
using screentest::moveTo;

class WelcomeScreenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(screentest::loadStrings("STR_APP_TITLE Welcome Test\n"));
        ASSERT_TRUE(installApp.welcomeScreen.create());
    }
    void SetUp() override {
        showScreen(&installApp.welcomeScreen);
        screentest::quitPosted();
    }
    const std::vector<GuiWindow*>& children() { return installApp.welcomeScreen.getChildren(); }
};

TEST_F(WelcomeScreenTest, BackgroundFirstThenFourRowsThenTheHoverGroup) {
    ASSERT_EQ(children().size(), 6u);
    auto* background = dynamic_cast<GuiPicture*>(children()[0]);
    ASSERT_NE(background, nullptr);
    EXPECT_TRUE(background->getPath() == "Media\\back_play_install_01.tga" ||
                background->getPath() == "Media\\back_play_install_02.tga")
        << background->getPath();
    const GuiRect rows[] = {{20, 195, 333, 22}, {20, 217, 333, 22}, {20, 238, 333, 22}, {20, 260, 333, 22}};
    for (int i = 0; i < 4; ++i) {
        GuiWindow* button = children()[1 + i];
        EXPECT_EQ(button->getRect(), rows[i]) << "row " << i;
        EXPECT_EQ(button->getReactorId(), i);
        EXPECT_EQ(button->getImage().getPath(), "Media\\over_install_play.tga");
    }
    EXPECT_EQ(children()[5]->getRect(), GuiRect(20, 192, 333, 100));
    EXPECT_FALSE(children()[5]->hasReactor());
}

TEST_F(WelcomeScreenTest, TheHoverGroupFollowsTheRowsAndShowsNothingAboveTheFirst) {
    auto* group = dynamic_cast<GuiHoverGroup*>(children()[5]);
    ASSERT_NE(group, nullptr);
    moveTo(100, 193);  // in the group, 2 pixels above the first row
    EXPECT_EQ(group->getHovered(), nullptr);
    moveTo(100, 230);
    EXPECT_EQ(group->getHovered(), children()[2]);
    moveTo(352, 282);  // the far corner of the last row belongs to it
    EXPECT_EQ(group->getHovered(), children()[4]);
}

TEST_F(WelcomeScreenTest, InstallLeadsToTheLicence) {
    click(100, 206);
    EXPECT_EQ(currentScreen(), &installApp.licenseScreen);
}

TEST_F(WelcomeScreenTest, ExitQuitsAndAPressAloneDoesNothing) {
    screentest::press(100, 270);
    EXPECT_FALSE(screentest::quitPosted());
    click(100, 270);
    EXPECT_TRUE(screentest::quitPosted());
    EXPECT_EQ(currentScreen(), &installApp.welcomeScreen);
}

}  // namespace
