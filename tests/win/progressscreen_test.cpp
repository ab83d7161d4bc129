// Tests of the progress screen: children built once, start, the bar and the
// slides following the fraction, the window title set from the worker's
// thread, and cancel asking the question.
#include "screens/progressscreen.h"

#include <gtest/gtest.h>

#include <thread>

#include "gui/guipicture.h"
#include "support/screentest.h"

namespace {

using screentest::windowTitle;

class ProgressScreenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(screentest::loadStrings("STR_APP_TITLE Progress Test\nMSG_ARE_YOU_SURE Stop now?\n"));
        installApp.hwnd = screentest::createMainWindow();
    }
    static void TearDownTestSuite() {
        DestroyWindow(installApp.hwnd);
        installApp.hwnd = nullptr;
    }
    void SetUp() override {
        installApp.cancelRequested = false;
        installApp.finishing = false;
        screen().create();
        screen().start();
        showScreen(&screen());
    }
    static ProgressScreen& screen() { return installApp.progressScreen; }
    static GuiProgressBar& bar() { return dynamic_cast<GuiProgressBar&>(*screen().getChildren()[11]); }
};

TEST_F(ProgressScreenTest, ACreateCalledTwiceKeepsOneSetOfChildren) {
    const std::vector<GuiWindow*> first = screen().getChildren();
    ASSERT_EQ(first.size(), 14u);  // background, ten slides, bar, cancel, hover group
    EXPECT_TRUE(screen().create());
    EXPECT_EQ(screen().getChildren(), first);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(screen().getSlide(i), first[1 + i]);
        EXPECT_EQ(first[1 + i]->getRect(), GuiRect(51, 85, 453, 211));
    }
    EXPECT_EQ(bar().getRect(), GuiRect(28, 324, 344, 23));
    EXPECT_EQ(first[12]->getRect(), GuiRect(388, 318, 127, 32));
    EXPECT_EQ(first[12]->getReactorId(), 0);
    EXPECT_EQ(first[13]->getRect(), GuiRect(373, 318, 157, 34));
}

TEST_F(ProgressScreenTest, StartShowsTheFirstSlideAndTheStartingPercentage) {
    EXPECT_FLOAT_EQ(screen().getSlide(0)->getOpacity(), 1.0f);
    for (int i = 1; i < 10; ++i) EXPECT_FLOAT_EQ(screen().getSlide(i)->getOpacity(), 0.0f);
    EXPECT_EQ(screen().getSlide(3)->getPath(), "Media\\04.tga");
    EXPECT_EQ(windowTitle(installApp.hwnd), "Progress Test - 1.1 %");
    screen().update();
    EXPECT_STREQ(bar().getPercentText(), "1%");
}

TEST_F(ProgressScreenTest, TheWorkersFractionReachesTheTitleAndTheUpdateMovesSlidesAndBar) {
    std::atomic<bool> done{false};
    std::thread worker([&done] {
        screen().setProgress(0.5f);
        done = true;
    });
    // The title is set through the window's thread, which keeps pumping.
    while (!done) screentest::quitPosted();
    worker.join();
    EXPECT_EQ(windowTitle(installApp.hwnd), "Progress Test - 50.5 %");

    screen().update();
    EXPECT_EQ(screen().getSlideIndex(), 5);
    EXPECT_STREQ(bar().getPercentText(), "50%");
    EXPECT_EQ(bar().getFillWidth(), 172);

    screen().setProgress(1.0f);
    screen().update();
    EXPECT_EQ(screen().getSlideIndex(), 10);
    EXPECT_FLOAT_EQ(screen().getSlide(9)->getOpacity(), 1.0f);
    EXPECT_STREQ(bar().getPercentText(), "100%");
    EXPECT_EQ(windowTitle(installApp.hwnd), "Progress Test");
}

TEST_F(ProgressScreenTest, AfterACancelTheTitleIsTheApplicationsAlone) {
    screen().setProgress(0.3f);
    installApp.cancelRequested = true;
    screen().update();
    EXPECT_EQ(windowTitle(installApp.hwnd), "Progress Test");
    screen().setProgress(0.4f);
    EXPECT_EQ(windowTitle(installApp.hwnd), "Progress Test");
}

TEST_F(ProgressScreenTest, CancelAsksAndAYesRequestsTheStop) {
    {
        wintest::BoxAnswerer answerer({IDNO});
        screentest::click(450, 330);
        ASSERT_TRUE(answerer.waitFor(1));
        EXPECT_NE(answerer.texts()[0].find("Stop now?"), std::string::npos);
    }
    EXPECT_FALSE(installApp.cancelRequested);
    {
        wintest::BoxAnswerer answerer({IDYES});
        screentest::click(450, 330);
        ASSERT_TRUE(answerer.waitFor(1));
    }
    EXPECT_TRUE(installApp.cancelRequested);
}

}  // namespace
