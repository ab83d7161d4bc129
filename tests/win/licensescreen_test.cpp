// Tests of the licence screen: the text read once from the medium, the answers,
// the scroll position kept between visits, and a missing licence.
#include "screens/licensescreen.h"

#include <gtest/gtest.h>

#include "gui/guiscrollbar.h"
#include "gui/guitextview.h"
#include "support/screentest.h"

namespace {

using screentest::click;

class LicenseScreenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(screentest::loadStrings("STR_APP_TITLE Licence Test\n"));
        std::string text;
        for (int i = 1; i <= 60; ++i) text += "Clause " + std::to_string(i) + ": the demo is lent, not sold.\n";
        ASSERT_TRUE(wintest::writeFile("Media\\license.txt", text));
        ASSERT_TRUE(screen().create());
        // Later changes on disk are not read again.
        ASSERT_TRUE(wintest::writeFile("Media\\license.txt", "changed\n"));
    }
    void SetUp() override { showScreen(&screen()); }
    static LicenseScreen& screen() { return installApp.licenseScreen; }
    static GuiScrollBar& scrollBar() { return *screen().getTextView()->getScrollBar(); }
};

TEST_F(LicenseScreenTest, TheTextViewAndTheAnswersInTheirPlaces) {
    const std::vector<GuiWindow*>& children = screen().getChildren();
    ASSERT_EQ(children.size(), 5u);
    EXPECT_EQ(children[1], screen().getTextView());
    EXPECT_FALSE(children[1]->hasReactor());
    EXPECT_EQ(screen().getTextView()->getTextRect(), GuiRect(38, 80, 457, 235));
    EXPECT_EQ(scrollBar().getRect(), GuiRect(515, 70, 22, 255));
    EXPECT_EQ(children[2]->getRect(), GuiRect(132, 326, 128, 32));
    EXPECT_EQ(children[3]->getRect(), GuiRect(294, 326, 128, 32));
    EXPECT_EQ(children[2]->getImage().getPath(), "Media\\over_license.tga");
    EXPECT_EQ(children[4]->getRect(), GuiRect(23, 326, 504, 32));
    ASSERT_GE(screen().getTextView()->getLines().size(), 60u);
    EXPECT_EQ(screen().getTextView()->getLines()[0].rfind("Clause 1:", 0), 0u);
}

TEST_F(LicenseScreenTest, DeclineAndComeBackAtTheSameScrollPositionThenAccept) {
    for (int i = 0; i < 3; ++i) click(525, 314);  // the down arrow
    const float position = scrollBar().getPosition();
    EXPECT_GT(position, 0.0f);

    click(350, 340);
    EXPECT_EQ(currentScreen(), &installApp.welcomeScreen);
    installApp.showLicenseScreen();
    EXPECT_FLOAT_EQ(scrollBar().getPosition(), position);
    EXPECT_EQ(screen().getTextView()->getLines()[0].rfind("Clause 1:", 0), 0u);

    click(190, 340);
    EXPECT_EQ(currentScreen(), &installApp.optionsScreen);
}

TEST_F(LicenseScreenTest, AMissingLicenceLeavesTheViewEmptyAndTheAnswersWorking) {
    ASSERT_TRUE(DeleteFileA("Media\\license.txt"));
    LicenseScreen bare;
    bare.create();
    EXPECT_TRUE(bare.getTextView()->getLines().empty());
    showScreen(&bare);
    click(190, 340);
    EXPECT_EQ(currentScreen(), &installApp.optionsScreen);
    showScreen(&bare);
    click(350, 340);
    EXPECT_EQ(currentScreen(), &installApp.welcomeScreen);
}

}  // namespace
