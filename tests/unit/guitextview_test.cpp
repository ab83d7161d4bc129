// Tests of GuiTextView: wrapping a real licence into display lines, the layout of
// the view and its scroll bar, smooth scrolling, and short, empty and missing texts.
#include "gui/guitextview.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "gui/guibutton.h"
#include "gui/guifont.h"
#include "gui/guiscreen.h"
#include "gui/guiscrollbar.h"
#include "gui/guislider.h"
#include "support/fakeplatform.h"
#include "support/testpanel.h"
#include "support/tgafiles.h"

namespace {

const std::string licensePath = QUILL_DEMO_DIR "/medium/Media/license.txt";

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

bool isBreak(char c) { return c != '\0' && std::strchr(" \t\n\r,.!?-:;", c) != nullptr; }

// The first token of a line: its non-break characters and the breaks after them.
std::string firstToken(const std::string& line) {
    size_t n = 0;
    while (n < line.size() && !isBreak(line[n])) ++n;
    while (n < line.size() && isBreak(line[n])) ++n;
    return line.substr(0, n);
}

// A text file whose line i is i + 1 copies of "x": each display line has its own
// width. Up to 92 lines, none is wider than the view less its margin.
std::string writeStaircase(const std::string& name, int count) {
    std::ofstream out(name);
    for (int i = 0; i < count; ++i) out << std::string(static_cast<size_t>(i) + 1, 'x') << '\n';
    return name;
}

// The licence screen's view, (23, 70, 512, 255), with the fake platform's glyphs
// (5 pixels wide, inked from their second column, the space 3; lines 11 high).
class GuiTextViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakePlatform.reset();
        bindTestPanel();
        ASSERT_TRUE(font.create("Verdana", 7, GuiColor(255, 255, 255, 255), false));
        view->setRect(23, 70, 512, 255);
        view->setFont(&font);
    }

    // The right end of the ink in a row of the text area, or 0.
    int32_t inkEnd(int32_t y) {
        for (int32_t x = 495; x >= 38; --x)
            if (panelPixel(x, y) != 0) return x + 1;
        return 0;
    }

    GuiFont font;
    GuiTextView* view = new GuiTextView;
    GuiScreen screen;  // not registered: owns the view
};

// A screen that the GUI manager shows; it must outlive the test.
GuiScreen shownScreen;

}  // namespace

TEST_F(GuiTextViewTest, TheLicenceWrapsGreedilyIntoLinesThatKeepEveryCharacter) {
    screen.addChild(view);
    ASSERT_TRUE(view->loadText(licensePath));
    const std::vector<std::string>& lines = view->getLines();
    const std::string content = readAll(licensePath);
    ASSERT_GT(content.size(), 2000u);

    std::string joined;
    size_t fileLines = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        joined += lines[i];
        const bool endsFileLine = !lines[i].empty() && lines[i].back() == '\n';
        fileLines += endsFileLine;
        // Within the view's width less the 50-pixel margin...
        EXPECT_LT(font.measure(lines[i].c_str(), static_cast<int32_t>(lines[i].size())) + 50, 512) << i;
        if (endsFileLine || i + 1 == lines.size()) continue;
        // ...broken after a break character, and the next word would not have fitted.
        EXPECT_TRUE(isBreak(lines[i].back())) << i;
        const std::string next = firstToken(lines[i + 1]);
        EXPECT_GE(font.measure((lines[i] + next).c_str(), static_cast<int32_t>(lines[i].size() + next.size())) + 50,
                  512)
            << i;
    }
    EXPECT_EQ(joined, content);
    EXPECT_EQ(fileLines, 41u);
    EXPECT_GT(lines.size(), fileLines + 20);  // the paragraphs wrap
    EXPECT_EQ(lines[0], "QUILLMARK DEMO - END USER LICENCE AGREEMENT\n");
    EXPECT_EQ(lines[1], "\n");

    // Loading again appends.
    const size_t once = lines.size();
    ASSERT_TRUE(view->loadText(licensePath));
    EXPECT_EQ(view->getLines().size(), 2 * once);
}

TEST_F(GuiTextViewTest, AFileLineLongerThanTheBufferIsReadInPieces) {
    screen.addChild(view);
    std::ofstream("long.txt") << std::string(1500, 'y') << "\nend\n";
    ASSERT_TRUE(view->loadText("long.txt"));
    std::string joined;
    for (const std::string& line : view->getLines()) joined += line;
    EXPECT_EQ(joined, std::string(1500, 'y') + "\nend\n");
    // 1023 bytes, then the rest; a token wider than the view opens with an empty line.
    EXPECT_EQ(view->getLines(),
              (std::vector<std::string>{"", std::string(1023, 'y'), "", std::string(477, 'y') + "\n", "end\n"}));
}

TEST_F(GuiTextViewTest, CreatePlacesTheTextAreaAndSizesTheScrollBarFromTheLines) {
    screen.addChild(view);
    ASSERT_TRUE(view->loadText(writeStaircase("stairs.txt", 80)));
    view->create();
    EXPECT_EQ(view->getTextRect(), GuiRect(38, 80, 457, 235));
    GuiScrollBar* bar = view->getScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->getRect(), GuiRect(515, 70, 22, 255));
    EXPECT_EQ(bar->getSlider()->getRect(), GuiRect(515, 98, 22, 206));
    EXPECT_FLOAT_EQ(bar->getPageFraction(), 255.0f / (80 * 11));
    EXPECT_EQ(bar->getPosition(), 0.0f);
    // One arrow step is one line.
    bar->scrollStep(false);
    EXPECT_FLOAT_EQ(bar->getPosition(), 1.0f / 80);
    view->create();
    EXPECT_EQ(view->getChildren().size(), 1u);
}

TEST_F(GuiTextViewTest, ScrollingMovesTheLinesSmoothlyAndCutsTheFirstAtTheTop) {
    screen.addChild(view);
    view->loadText(writeStaircase("stairs.txt", 40));
    view->create();
    EXPECT_TRUE(view->draw());
    // Line i spans rows 80 + 11 i .. 90 + 11 i and ends at 38 + 5 (i + 1).
    EXPECT_EQ(inkEnd(80), 43);
    EXPECT_EQ(inkEnd(90), 43);
    EXPECT_EQ(inkEnd(91), 48);
    EXPECT_EQ(panelPixel(39, 79), 0u);
    // Lines down to the one that starts at the area's bottom edge, clipped there.
    EXPECT_EQ(inkEnd(314), 38 + 5 * 22);
    EXPECT_EQ(panelPixel(39, 315), 0u);

    // 2.5 lines down: line 2 starts 5 rows above the area (5.5 truncated) and shows its last 6.
    bindTestPanel();
    view->getScrollBar()->setPosition(2.5f / 40);
    view->draw();
    EXPECT_EQ(panelPixel(39, 79), 0u);
    EXPECT_EQ(inkEnd(80), 53);
    EXPECT_EQ(inkEnd(85), 53);
    EXPECT_EQ(inkEnd(86), 58);
}

TEST_F(GuiTextViewTest, AShortTextStaysAtTheTopWhateverTheArrowsAndTheSliderDo) {
    view->loadText(writeStaircase("short.txt", 3));
    shownScreen.addChild(view);
    registerScreen(&shownScreen);
    showScreen(&shownScreen);
    view->create();
    GuiScrollBar* bar = view->getScrollBar();
    mouseAt(520, 310, GE_LBUTTONUP);  // down arrow
    EXPECT_EQ(fakePlatform.clickCues, 1);
    EXPECT_EQ(bar->getPosition(), 0.0f);
    fakePlatform.leftButton = true;
    mouseAt(520, 100, GE_LBUTTONDOWN);
    mouseAt(520, 300, GE_MOUSEMOVE);
    EXPECT_EQ(bar->getPosition(), 0.0f);
    bindTestPanel();
    view->draw();
    EXPECT_EQ(inkEnd(80), 43);
    EXPECT_EQ(inkEnd(102), 53);
}

TEST_F(GuiTextViewTest, EmptyMissingAndFontlessTextsShowNothing) {
    screen.addChild(view);
    EXPECT_FALSE(view->loadText("no-such-file.txt"));
    std::ofstream("empty.txt").close();
    EXPECT_TRUE(view->loadText("empty.txt"));
    EXPECT_TRUE(view->getLines().empty());
    view->create();
    // No content height: the bar keeps its first one, 1 pixel.
    EXPECT_FLOAT_EQ(view->getScrollBar()->getPageFraction(), 255.0f);
    view->getScrollBar()->scrollStep(false);
    EXPECT_EQ(view->getScrollBar()->getPosition(), 0.0f);
    EXPECT_TRUE(view->draw());
    EXPECT_FALSE(panelInked(GuiRect(23, 70, 512, 255)));

    GuiTextView fontless;
    EXPECT_FALSE(fontless.loadText(licensePath));
    fontless.create();
    EXPECT_FALSE(fontless.draw());
}
