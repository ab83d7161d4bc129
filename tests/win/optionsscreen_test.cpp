// Tests of the options screen: the check box and the edit box writing the
// application's choices, the folder browser refreshing the box, and the buttons.
#include "screens/optionsscreen.h"

#include <gtest/gtest.h>

#include "gui/guicheckbox.h"
#include "gui/guieditbox.h"
#include "support/screentest.h"

namespace {

using screentest::click;
using screentest::press;

const char STRINGS[] =
    "STR_APP_TITLE Options Test\n"
    "INT_ICON_CB_X 300\n"
    "INT_SPACE_NEED 999999999\n"
    "MSG_OUT_OF_SPACE1 Not enough space.\n"
    "PATH_GAME_DIR Quillmark Demo\n";

class OptionsScreenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(screentest::loadStrings(STRINGS));
        installApp.installDir = "C:\\Games\\Quill";
        ASSERT_TRUE(installApp.optionsScreen.create());
    }
    void SetUp() override { showScreen(&installApp.optionsScreen); }
    GuiCheckBox& shortcutBox() { return dynamic_cast<GuiCheckBox&>(*children()[1]); }
    GuiEditBox& folderBox() { return dynamic_cast<GuiEditBox&>(*children()[2]); }
    const std::vector<GuiWindow*>& children() { return installApp.optionsScreen.getChildren(); }
    void type(const char* keys) {
        for (const char* key = keys; *key; ++key) dispatchKey(static_cast<unsigned char>(*key));
    }
};

TEST_F(OptionsScreenTest, ChildrenAndReactorsInTheirOrder) {
    ASSERT_EQ(children().size(), 7u);
    EXPECT_EQ(shortcutBox().getRect(), GuiRect(300, 237, 20, 20));
    EXPECT_EQ(shortcutBox().getReactorId(), 0);
    EXPECT_EQ(folderBox().getRect(), GuiRect(22, 217, 331, 22));
    EXPECT_EQ(folderBox().getReactorId(), 1);
    EXPECT_FALSE(folderBox().isReadOnly());
    const GuiRect buttons[] = {{55, 265, 85, 26}, {145, 265, 85, 26}, {234, 265, 85, 26}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(children()[3 + i]->getRect(), buttons[i]);
        EXPECT_EQ(children()[3 + i]->getReactorId(), 2 + i);
        EXPECT_EQ(children()[3 + i]->getImage().getPath(), "Media\\over_options.tga");
    }
    EXPECT_EQ(children()[6]->getRect(), GuiRect(20, 263, 332, 37));
}

TEST_F(OptionsScreenTest, TheCheckBoxTogglesTheShortcutOnThePressOnly) {
    installApp.desktopShortcut = true;
    EXPECT_TRUE(shortcutBox().isTicked());
    press(305, 240);
    EXPECT_FALSE(installApp.desktopShortcut);
    dispatchMouse(GE_LBUTTONUP);
    EXPECT_FALSE(installApp.desktopShortcut);
    click(305, 240);
    EXPECT_TRUE(installApp.desktopShortcut);
    EXPECT_TRUE(shortcutBox().isTicked());
}

TEST_F(OptionsScreenTest, EveryAcceptedKeyWritesTheFolderAndOthersChangeNothing) {
    folderBox().setText("C:\\Games\\Quill");
    installApp.installDir = "C:\\Games\\Quill";
    type("2");
    EXPECT_EQ(installApp.installDir, "C:\\Games\\Quill2");
    type("*?");
    EXPECT_EQ(installApp.installDir, "C:\\Games\\Quill2");
    EXPECT_EQ(folderBox().getText(), "C:\\Games\\Quill2");
    type("\b\b");
    EXPECT_EQ(installApp.installDir, "C:\\Games\\Quil");
    // A click in the box also runs its reactor: the text it reports is the folder.
    installApp.installDir = "stale";
    click(100, 225);
    EXPECT_EQ(installApp.installDir, "C:\\Games\\Quil");
}

TEST_F(OptionsScreenTest, ACancelledBrowseStillShowsTheFolderWithTheCaretAtItsEnd) {
    folderBox().setText("typed");
    installApp.installDir = "D:\\Elsewhere";
    {
        screentest::DialogCanceller canceller;
        click(180, 275);
        EXPECT_TRUE(canceller.cancelled());
    }
    EXPECT_EQ(folderBox().getText(), "D:\\Elsewhere");
    EXPECT_EQ(folderBox().getCaret(), 12);
    EXPECT_EQ(installApp.installDir, "D:\\Elsewhere");
}

TEST_F(OptionsScreenTest, InstallStartsTheInstallationAndBackGoesToTheWelcomeScreen) {
    wintest::ScratchDir target("target");
    installApp.installDir = target.path();
    {
        // The space check refuses: the message proves that the installation was started.
        wintest::BoxAnswerer answerer({IDOK});
        click(90, 275);
        ASSERT_TRUE(answerer.waitFor(1));
        EXPECT_NE(answerer.texts()[0].find("Not enough space."), std::string::npos) << answerer.texts()[0];
    }
    EXPECT_EQ(currentScreen(), &installApp.optionsScreen);

    folderBox().setText("kept");
    click(270, 275);
    EXPECT_EQ(currentScreen(), &installApp.welcomeScreen);
    installApp.showOptionsScreen();
    EXPECT_EQ(folderBox().getText(), "kept");
}

}  // namespace
