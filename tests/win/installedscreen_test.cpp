// Tests of the installed screen: its rows, and play and uninstall starting the
// programs of the registered folder and ending setup.
#include "screens/installedscreen.h"

#include <gtest/gtest.h>

#include "gui/guipicture.h"
#include "support/screentest.h"

namespace {

using screentest::click;

constexpr char PRODUCT_KEY[] = "SOFTWARE\\Orvanta\\Quillmark Demo";

class InstalledScreenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(screentest::loadStrings("STR_APP_TITLE Installed Test\nPATH_GAME_EXE game.exe\n"));
        ASSERT_TRUE(installApp.installedScreen.create());
    }
    void SetUp() override {
        showScreen(&installApp.installedScreen);
        screentest::quitPosted();
    }
    // The lines that the recorder programs in the folder wrote, after they end.
    std::vector<std::string> ran(const std::string& folder) {
        for (int i = 0; i < 100 && GetFileAttributesA((folder + "\\ran.txt").c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(50);
        Sleep(200);
        return wintest::readLines(folder + "\\ran.txt");
    }
    const std::vector<GuiWindow*>& children() { return installApp.installedScreen.getChildren(); }
};

TEST_F(InstalledScreenTest, BackgroundFirstThenFiveRowsThenTheHoverGroup) {
    ASSERT_EQ(children().size(), 7u);
    const std::string background = dynamic_cast<GuiPicture&>(*children()[0]).getPath();
    EXPECT_TRUE(background == "Media\\back_play_install_01.tga" || background == "Media\\back_play_install_02.tga");
    const int rowY[] = {185, 207, 228, 249, 271};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(children()[1 + i]->getRect(), GuiRect(20, rowY[i], 333, 22)) << "row " << i;
        EXPECT_EQ(children()[1 + i]->getReactorId(), i);
    }
    EXPECT_EQ(children()[6]->getRect(), GuiRect(20, 173, 333, 132));
}

TEST_F(InstalledScreenTest, PlayAndUninstallRunTheRegisteredProgramsAndQuit) {
    wintest::SavedRegistryValue saved(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir");
    wintest::ScratchDir game("game");
    ASSERT_TRUE(CopyFileA(QUILL_RECORDER_EXE, (game.path() + "\\game.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(QUILL_RECORDER_EXE, (game.path() + "\\uninstall.exe").c_str(), FALSE));
    wintest::setRegistryString(HKEY_CURRENT_USER, PRODUCT_KEY, "InstallDir", game.path());

    click(100, 195);
    EXPECT_TRUE(screentest::quitPosted());
    std::vector<std::string> lines = ran(game.path());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("game.exe"), std::string::npos) << lines[0];

    DeleteFileA((game.path() + "\\ran.txt").c_str());
    click(100, 260);
    EXPECT_TRUE(screentest::quitPosted());
    lines = ran(game.path());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("uninstall.exe"), std::string::npos) << lines[0];
}

TEST_F(InstalledScreenTest, ExitQuits) {
    click(100, 282);
    EXPECT_TRUE(screentest::quitPosted());
}

}  // namespace
