// Tests of GuiEditBox: the key table and its shared code space, click-to-caret in
// both alignments, the caret's blink and the held key, and where text and caret
// are drawn.
#include "gui/guieditbox.h"

#include <gtest/gtest.h>

#include <string>

#include "gui/guifont.h"
#include "gui/guiscreen.h"
#include "support/fakeplatform.h"
#include "support/testpanel.h"
#include "support/tgafiles.h"

namespace {

GuiScreen screen;

// Glyphs of the fake platform: 5 pixels wide (inked from their second column),
// the space 3, all 11 high. The caret picture is 2 x 6, opaque red.
class GuiEditBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakePlatform.reset();
        bindTestPanel();
        writeSolidTga("Media\\edit_cursor.tga", 2, 6, 0xFF0000);
        ASSERT_TRUE(font.create("Arial", 8, GuiColor(255, 255, 255, 255), false));
        box.setRect(100, 50, 44, 20);  // text area (102, 52, 40, 16)
        box.setFont(&font);
        box.create();
        box.setReadOnly(false);
    }

    // Types the keys one by one; the results in order.
    std::string typed(const std::string& keys) {
        std::string results;
        for (unsigned char key : keys) results += box.onKey(key) ? '1' : '0';
        return results;
    }

    GuiFont font;
    GuiEditBox box;
};

}  // namespace

TEST_F(GuiEditBoxTest, KeysEditTheTextAndNavigationSharesItsCodesWithCharacters) {
    EXPECT_EQ(box.setText("c:\\Games"), 8);
    EXPECT_EQ(box.getCaret(), 8);
    EXPECT_EQ(box.setText(nullptr), 8);

    // Right at the end is taken and does nothing; Delete at the end is not taken.
    EXPECT_EQ(typed({39, 46}), "10");
    // Backspace at the start is taken and does nothing.
    EXPECT_EQ(typed({36, 8}), "11");
    EXPECT_EQ(box.getText(), "c:\\Games");
    EXPECT_EQ(box.getCaret(), 0);

    // "." deletes after the caret, "#" "$" "%" "'" are End, Home, Left and Right.
    EXPECT_EQ(typed(".'"), "11");
    EXPECT_EQ(box.getText(), ":\\Games");
    EXPECT_EQ(box.getCaret(), 1);
    EXPECT_EQ(typed("#%%"), "111");
    EXPECT_EQ(box.getCaret(), 5);
    EXPECT_EQ(typed("_2$"), "111");
    EXPECT_EQ(box.getText(), ":\\Gam_2es");
    EXPECT_EQ(box.getCaret(), 0);
    EXPECT_EQ(typed("%"), "1");  // Left at the start
    EXPECT_EQ(box.getCaret(), 0);
    EXPECT_EQ(typed({8, 'D', 'x'}), "111");
    EXPECT_EQ(typed({8}), "1");
    EXPECT_EQ(box.getText(), "D:\\Gam_2es");
    EXPECT_EQ(box.getCaret(), 1);
}

TEST_F(GuiEditBoxTest, OnlyAsciiLettersDigitsAndSixSignsAreAccepted) {
    box.setText("");
    EXPECT_EQ(typed("aZ09_\\/ -:"), "1111111111");
    EXPECT_EQ(box.getText(), "aZ09_\\/ -:");
    std::string rejected = "!\"&()*+,;<=>?@[]^`{|}~";
    rejected += '\t';
    rejected += '\r';
    rejected += '\0';
    rejected += static_cast<char>(127);
    for (int code = 128; code <= 255; ++code) rejected += static_cast<char>(code);
    EXPECT_EQ(typed(rejected), std::string(rejected.size(), '0'));
    EXPECT_EQ(box.getText(), "aZ09_\\/ -:");
    EXPECT_EQ(box.getCaret(), 10);
}

TEST_F(GuiEditBoxTest, AReadOnlyBoxTakesNoKeysAndTheReactorRunsOnlyForTakenKeys) {
    GuiEditBox* child = new GuiEditBox;
    child->setRect(0, 0, 44, 20);
    screen.addChild(child, countRun);
    registerScreen(&screen);
    showScreen(&screen);
    child->setText("ab");
    dispatchKey('x');
    EXPECT_EQ(child->getText(), "ab");
    EXPECT_EQ(reactorRuns, 0);

    child->setReadOnly(false);
    dispatchKey('x');
    dispatchKey('.');  // Delete at the end
    dispatchKey(0xE9);
    EXPECT_EQ(child->getText(), "abx");
    EXPECT_EQ(reactorRuns, 1);
    // Every mouse event runs it too, moves included, and shows the I-beam.
    mouseAt(10, 10, GE_MOUSEMOVE);
    mouseAt(10, 10, GE_RBUTTONUP);
    EXPECT_EQ(reactorRuns, 3);
    EXPECT_EQ(fakePlatform.iBeamShown, 2);
}

TEST_F(GuiEditBoxTest, AClickPutsTheCaretAtTheNextCharacterBoundary) {
    box.setText("abcd");  // boundaries at 102, 107, 112, 117, 122
    const auto clickAt = [&](int32_t x) {
        setMousePos(x, 60);
        EXPECT_TRUE(box.onMouse(GE_LBUTTONDOWN));
        return box.getCaret();
    };
    EXPECT_EQ(clickAt(50), 0);  // left of the text
    EXPECT_EQ(clickAt(102), 0);
    EXPECT_EQ(clickAt(103), 1);
    EXPECT_EQ(clickAt(109), 2);
    EXPECT_EQ(clickAt(122), 4);
    EXPECT_EQ(clickAt(110), 2);
    // Within a space's width past the end the boundary lies past the text: the end.
    box.setText(nullptr);
    clickAt(103);
    EXPECT_EQ(clickAt(125), 4);
    // Between one and two spaces past the end the caret stays where it was.
    clickAt(103);
    EXPECT_EQ(clickAt(127), 1);
    // Beyond that, the end.
    EXPECT_EQ(clickAt(128), 4);
    clickAt(103);
    EXPECT_EQ(clickAt(300), 4);
    // Other events leave the caret.
    setMousePos(103, 60);
    box.onMouse(GE_LBUTTONUP);
    box.onMouse(GE_MOUSEMOVE);
    EXPECT_EQ(box.getCaret(), 4);
    // Typing right after a click past the end appends.
    clickAt(123);
    box.onKey('e');
    EXPECT_EQ(box.getText(), "abcde");
}

TEST_F(GuiEditBoxTest, CentredTextIsHitTestedWithoutTheDrawingInset) {
    box.setAlign(ALIGN_CENTRE);
    box.setText("ab");  // 10 wide in 40: left edge at 102 + 15
    setMousePos(117 + 6, 60);
    box.onMouse(GE_LBUTTONDOWN);
    EXPECT_EQ(box.getCaret(), 2);
    setMousePos(117 + 5, 60);
    box.onMouse(GE_LBUTTONDOWN);
    EXPECT_EQ(box.getCaret(), 1);

    // 60 wide in 40: drawn from 142 - 60 - 3 = 79, hit-tested from 82.
    box.setText("abcdefghijkl");
    setMousePos(142 - 5, 60);
    box.onMouse(GE_LBUTTONDOWN);
    EXPECT_EQ(box.getCaret(), 11);
    setMousePos(142 - 6, 60);
    box.onMouse(GE_LBUTTONDOWN);
    EXPECT_EQ(box.getCaret(), 11);
    setMousePos(142 - 4, 60);
    box.onMouse(GE_LBUTTONDOWN);
    EXPECT_EQ(box.getCaret(), 12);

    // The drawn right end lies 3 pixels inside: the last glyph inks 135..138.
    box.onKey('$');  // the caret out of the way, left of the box
    box.draw();
    EXPECT_NE(panelPixel(138, 55), 0u);
    EXPECT_EQ(panelPixel(139, 55), 0u);
    // Nothing is drawn outside the text area.
    EXPECT_FALSE(panelInked(GuiRect(70, 40, 32, 40)));
}

TEST_F(GuiEditBoxTest, TheCaretBlinksEvery500MsAndStaysOnWhileAKeyIsHeld) {
    box.setText("ab");
    const auto at = [&](uint32_t tick) {
        fakePlatform.tick = tick;
        EXPECT_TRUE(box.update());
        return box.isCaretOn();
    };
    EXPECT_TRUE(at(500));
    EXPECT_FALSE(at(501));
    EXPECT_FALSE(at(1001));
    EXPECT_TRUE(at(1002));
    fakePlatform.keyHeld = true;
    EXPECT_TRUE(at(1600));
    EXPECT_TRUE(at(2200));
    fakePlatform.keyHeld = false;
    EXPECT_TRUE(at(2600));
    EXPECT_FALSE(at(2701));
    // Across the wrap of the tick count.
    EXPECT_TRUE(at(0x80000000u));
    EXPECT_FALSE(at(0xFFFFFE00u));
    EXPECT_TRUE(at(0x100u));
    EXPECT_TRUE(at(0x200u));

    box.setReadOnly(true);
    EXPECT_TRUE(at(0x10000u));
}

TEST_F(GuiEditBoxTest, TheCaretIsDrawnAfterTheCharacterBeforeIt) {
    box.setText("abc");
    box.onKey('%');
    EXPECT_TRUE(box.draw());
    // Text from 102; the caret after "ab" at 112, two pixels below the text's top.
    EXPECT_EQ(panelPixel(112, 54), 0xFE0000u);
    EXPECT_EQ(panelPixel(113, 59), 0xFE0000u);
    EXPECT_NE(panelPixel(112, 53), 0xFE0000u);
    EXPECT_NE(panelPixel(114, 54), 0xFE0000u);
    EXPECT_NE(panelPixel(103, 52), 0u);

    // Off in the blink, or read-only: text only.
    bindTestPanel();
    fakePlatform.tick = 600;
    box.update();
    box.draw();
    EXPECT_NE(panelPixel(103, 52), 0u);
    EXPECT_NE(panelPixel(112, 54), 0xFE0000u);
    bindTestPanel();
    fakePlatform.tick = 1200;
    box.update();
    box.setReadOnly(true);
    box.draw();
    EXPECT_NE(panelPixel(112, 54), 0xFE0000u);

    box.setFont(nullptr);
    EXPECT_FALSE(box.draw());
}
