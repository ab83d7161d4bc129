// Starting the installation under Wine: the folder, free-space and package
// checks and the messages they show.
#include <gtest/gtest.h>

#include "gui/guiwindow.h"
#include "installapp.h"
#include "resstringtable.h"
#include "startinstall.h"
#include "support/wintest.h"

using namespace wintest;

namespace {

std::string strings(const std::string& spaceNeed, const std::string& unit = "MB") {
    return "MSG_OUT_OF_SPACE1 Needs\r\nMSG_OUT_OF_SPACE2 lacking\r\nMSG_OUT_OF_SPACE3 more.\r\nMSG_MB " + unit +
           "\r\nERR_NO_FILE Cannot find the file\r\nPATH_SOURCE missing.rar\r\n" + spaceNeed;
}

class StartTest : public ::testing::Test {
protected:
    void load(const std::string& content) {
        writeFile(dir.path() + "\\strings.txt", content);
        ASSERT_TRUE(stringTable.load((dir.path() + "\\strings.txt").c_str()));
    }
    // Runs the install action and returns the texts of the boxes it showed.
    std::vector<std::string> start(int waitMs = 1500) {
        BoxAnswerer answerer({IDOK}, waitMs);
        installApp.startInstallation();
        Sleep(waitMs / 3);
        return answerer.stop();
    }

    ScratchDir dir{"start"};
};

TEST_F(StartTest, SpaceMessageForShortfallsNegativeAndMissingNeeds) {
    load(strings("INT_SPACE_NEED 700"));
    EXPECT_EQ(outOfSpaceMessage(699, 700), "Needs 700 MB lacking 1 more.");
    EXPECT_EQ(outOfSpaceMessage(700, 700), "");
    EXPECT_EQ(outOfSpaceMessage(0, 0), "");  // a missing or non-numeric need is 0
    // A negative need, widened with its sign, exceeds any free space.
    EXPECT_EQ(outOfSpaceMessage(5000, -5), "Needs -5 MB lacking -5005 more.");

    // A unit text too long for the size buffer is cut, never overflowed.
    load(strings("", std::string(100, 'u')));
    std::string message = outOfSpaceMessage(1, 2);
    std::string sizePart = message.substr(5, message.find("lacking") - 5);
    EXPECT_EQ(sizePart, " 2 " + std::string(63 - 3, 'u'));
}

TEST_F(StartTest, TooLongFolderIsRefusedBeforeAnyCheck) {
    load(strings("INT_SPACE_NEED 0"));
    // One character more than the longest: the uninstaller would not fit below it.
    installApp.installDir = dir.path() + "\\" + std::string(LONGEST_INSTALL_DIR - dir.path().size(), 'd');
    std::vector<std::string> boxes = start();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("too long"), std::string::npos) << boxes[0];
    EXPECT_FALSE(installApp.fileExists((dir.path() + "\\ddd*").c_str()));
    EXPECT_EQ(installApp.workerThread, nullptr);
}

TEST_F(StartTest, FolderThatCannotBeMadeIsReportedAndLeavesNothing) {
    load(strings("INT_SPACE_NEED 0"));
    const std::string onMissingDrive = missingDrive() + "\\Games\\X";
    // Two levels are made before the third, a name no file system takes, fails.
    const std::string badName = dir.path() + "\\A\\B\\bad|name";
    for (const std::string& folder : {onMissingDrive, badName}) {
        installApp.installDir = folder;
        const std::string before = currentDir();
        EXPECT_EQ(start(), std::vector<std::string>{unwritableFolderMessage(folder) + "\n"});
        EXPECT_EQ(currentDir(), before);
        EXPECT_EQ(installApp.workerThread, nullptr);
    }
    EXPECT_FALSE(installApp.fileExists((dir.path() + "\\A").c_str()));
    EXPECT_FALSE(installApp.fileExists((dir.path() + "\\~setup-*").c_str()));

    // The medium's own text, when it has one, comes first.
    load(strings("ERR_NO_WRITE No writing here:"));
    EXPECT_EQ(unwritableFolderMessage("C:\\G"), "No writing here:\nC:\\G");
}

TEST_F(StartTest, NotEnoughSpaceShowsTheComposedMessage) {
    load(strings("INT_SPACE_NEED 2000000000"));
    installApp.installDir = dir.path() + "\\Game\\Deeper";
    const std::string before = currentDir();
    std::vector<std::string> boxes = start();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Needs 2000000000 MB lacking ", 0), 0u) << boxes[0];
    EXPECT_EQ(boxes[0].substr(boxes[0].size() - 6), "more.\n");
    // The folder was made first, and the current folder is the one from before.
    EXPECT_TRUE(installApp.fileExists(installApp.installDir.c_str()));
    EXPECT_EQ(currentDir(), before);
    EXPECT_EQ(installApp.workerThread, nullptr);
}

TEST_F(StartTest, MissingMainPackageIsReported) {
    load(strings("INT_SPACE_NEED 0"));
    installApp.installDir = dir.path() + "\\Game";
    CreateDirectoryA(installApp.installDir.c_str(), nullptr);
    GuiWindow* screenBefore = currentScreen();
    std::vector<std::string> boxes = start();
    EXPECT_EQ(boxes, std::vector<std::string>{"Cannot find the file missing.rar\n"});
    EXPECT_EQ(currentScreen(), screenBefore);
    EXPECT_EQ(installApp.workerThread, nullptr);
}

}  // namespace
