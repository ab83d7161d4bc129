// Tests of GuiFont with synthetic glyphs: the atlas, drawing, measuring and word wrap.
#include "gui/guifont.h"

#include <gtest/gtest.h>

#include <vector>

#include "gui/guirenderer.h"
#include "gui/guiwindow.h"
#include "support/fakeplatform.h"

namespace {

class GuiFontTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakePlatform.reset();
        fontCharset = 238;
    }

    // A font whose glyphs are all `letter` wide, the space `space` wide, 11 high.
    bool makeFont(GuiFont& font, int32_t letter, int32_t space) {
        fakePlatform.glyphWidth.fill(letter);
        fakePlatform.glyphWidth[' '] = space;
        return font.create("Test", 8, GuiColor(255, 255, 255, 255), false);
    }

    std::vector<int16_t> lines;
};

// The back buffer of the bound renderer, cleared to a grey level.
GuiImage& panel(int32_t w, int32_t h, uint8_t grey) {
    static int window;
    initGui(&window);
    setGuiArea(GuiRect(0, 0, w, h));
    GuiImage& buffer = getRenderer()->getBackBuffer();
    for (int row = 0; row < h; ++row) std::fill_n(buffer.getData(0, row), w * 3, grey);
    return buffer;
}

const uint8_t* topDown(const GuiImage& image, int col, int topRow) {
    return image.getData(col, image.getHeight() - 1 - topRow);
}

}  // namespace

TEST_F(GuiFontTest, AtlasCellsRowsAndTheInkThreshold) {
    fontCharset = 204;
    GuiFont font;
    fakePlatform.glyphWidth.fill(20);
    ASSERT_TRUE(font.create("Verdana", 7, GuiColor(211, 203, 192, 204), false));
    EXPECT_EQ(fakePlatform.lastFace, "Verdana");
    EXPECT_EQ(fakePlatform.lastCharset, 204);
    EXPECT_EQ(font.getFormat(), GUI_FORMAT_32);
    EXPECT_EQ(font.getWidth(), 256);
    EXPECT_EQ(font.getLineHeight(), 11);
    // Twelve cells of 20 plus a gap fit a row; the thirteenth starts the next row.
    EXPECT_EQ(font.getGlyph(32), GuiRect(0, 245, 20, 11));
    EXPECT_EQ(font.getGlyph(43), GuiRect(231, 245, 20, 11));
    EXPECT_EQ(font.getGlyph(44), GuiRect(0, 233, 20, 11));
    for (int code = 32; code < 256; ++code) {
        const GuiRect& g = font.getGlyph(static_cast<uint8_t>(code));
        ASSERT_TRUE(g.x >= 0 && g.y >= 0 && g.x + g.w <= 256 && g.y + g.h <= 256) << code;
    }
    // Coverage 15 (the cell's left column) stays clear; 16 takes the whole colour.
    const GuiRect& cell = font.getGlyph('A');
    const uint8_t* clear = font.getData(cell.x, cell.y);
    const uint8_t* inked = font.getData(cell.x + 1, cell.y);
    EXPECT_EQ(std::vector<uint8_t>(clear, clear + 4), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(inked, inked + 4), (std::vector<uint8_t>{192, 203, 211, 204}));
}

TEST_F(GuiFontTest, FacesThatDoNotFitOrCannotBeMadeAreRefused) {
    GuiFont font;
    fakePlatform.glyphHeight = 40;
    EXPECT_FALSE(makeFont(font, 8, 3));
    EXPECT_EQ(font.getLineHeight(), 0);
    EXPECT_EQ(font.measure("abc", 3), 0);
    EXPECT_EQ(font.getGlyph('z'), GuiRect());
    fakePlatform.glyphHeight = 11;
    EXPECT_FALSE(makeFont(font, 300, 3));
    fakePlatform.fontAvailable = false;
    EXPECT_FALSE(makeFont(font, 5, 3));
    // A refused font draws nothing.
    GuiImage& buffer = panel(20, 12, 9);
    font.drawText(0, 0, "abc");
    EXPECT_EQ(topDown(buffer, 2, 2)[0], 9);
}

TEST_F(GuiFontTest, Code182MeasuresItsOwnWidthButDrawsAsASpace) {
    GuiFont font;
    fakePlatform.glyphWidth.fill(5);
    fakePlatform.glyphWidth[' '] = 3;
    fakePlatform.glyphWidth[182] = 9;
    ASSERT_TRUE(font.create("Arial", 8, GuiColor(255, 255, 255, 255), false));
    EXPECT_EQ(font.measure("A\xB6"
                           "B",
                           3),
              19);
    EXPECT_EQ(font.measure("A\nB", 3), 10);
    EXPECT_EQ(font.measure("AB", 99), 10);

    GuiImage& buffer = panel(40, 24, 0);
    font.drawText(0, 0,
                  "A\xB6"
                  "B");
    font.drawText(0, 12, "A B");
    for (int row = 0; row < 11; ++row)
        for (int col = 0; col < 40; ++col) ASSERT_EQ(topDown(buffer, col, row)[0], topDown(buffer, col, row + 12)[0]);
    // The B starts after 5 + 3 pixels: its clear left column, then ink.
    EXPECT_EQ(topDown(buffer, 8, 0)[0], 0);
    EXPECT_EQ(topDown(buffer, 9, 0)[0], 254);
}

TEST_F(GuiFontTest, TextColourAlphaBlendsOverTheBackground) {
    GuiFont font;
    fakePlatform.glyphWidth.fill(5);
    ASSERT_TRUE(font.create("Arial", 8, GuiColor(211, 203, 192, 204), false));
    GuiImage& buffer = panel(20, 12, 255);
    font.drawText(2, 0, "\x01Q");
    const uint8_t* p = topDown(buffer, 4, 5);
    EXPECT_EQ(p[0], (255 * (256 - 204) + 192 * 204) >> 8);
    EXPECT_EQ(p[2], (255 * (256 - 204) + 211 * 204) >> 8);
    EXPECT_EQ(topDown(buffer, 2, 5)[0], 255);
    EXPECT_EQ(topDown(buffer, 7, 5)[0], 255);
}

TEST_F(GuiFontTest, WrapKeepsA50PixelMarginAndStartsWithAnEmptyLineForAWideFirstToken) {
    GuiFont font;
    ASSERT_TRUE(makeFont(font, 10, 0));
    // Tokens of 30 and 30 in a box of 100: the second closes the first line.
    EXPECT_EQ(font.wrap(GuiRect(0, 0, 100, 50), ALIGN_LEFT, "aaa aaa", lines), 0);
    EXPECT_EQ(lines, (std::vector<int16_t>{0, 4, 0, 3}));
    // A first token of 60: an empty line before it.
    lines.clear();
    font.wrap(GuiRect(0, 0, 100, 50), 0, "aaaaaa bb", lines);
    EXPECT_EQ(lines, (std::vector<int16_t>{0, 0, 60, 7, 20, 2}));
    // Line feeds are ordinary break characters: one line of width 0 and 1 character.
    lines.clear();
    font.wrap(GuiRect(0, 0, 60, 50), 0, "\n", lines);
    EXPECT_EQ(lines, (std::vector<int16_t>{0, 1}));
    // Trailing breaks count in the width; code 182 joins words however narrow the box.
    lines.clear();
    font.wrap(GuiRect(0, 0, 10, 50), 0,
              "A\xB6"
              "B",
              lines);
    EXPECT_EQ(lines, (std::vector<int16_t>{0, 0, 30, 3}));
}

TEST_F(GuiFontTest, AlignmentsOffsetsAndTheVerticalPlace) {
    GuiFont font;
    ASSERT_TRUE(makeFont(font, 10, 0));
    EXPECT_EQ(font.wrap(GuiRect(5, 5, 100, 40), ALIGN_LEFT, "", lines), 0);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(font.wrap(GuiRect(5, 5, 100, 40), ALIGN_RIGHT, "", lines), 40);
    EXPECT_EQ(font.wrap(GuiRect(5, 5, 100, 41), ALIGN_CENTRE, "", lines), 20);

    EXPECT_EQ(font.wrap(GuiRect(0, 0, 100, 40), ALIGN_RIGHT, "aaa aaa", lines), 40 - 2 * 11);
    EXPECT_EQ(lines, (std::vector<int16_t>{70, 4, 70, 3}));
    lines.clear();
    EXPECT_EQ(font.wrap(GuiRect(0, 0, 101, 40), ALIGN_CENTRE, "aaa aaa", lines), (40 - 22) / 2);
    EXPECT_EQ(lines, (std::vector<int16_t>{35, 4, 35, 3}));
    // Three lines of 11 in a box of 20: centred clamps at 0, right goes negative.
    lines.clear();
    EXPECT_EQ(font.wrap(GuiRect(0, 0, 100, 20), ALIGN_CENTRE, "aaa aaa aaa", lines), 0);
    lines.clear();
    EXPECT_EQ(font.wrap(GuiRect(0, 0, 100, 20), ALIGN_RIGHT, "aaa aaa aaa", lines), 20 - 33);
    // An unknown code keeps the widths.
    lines.clear();
    EXPECT_EQ(font.wrap(GuiRect(0, 0, 100, 20), 3, "aaa aaa", lines), 0);
    EXPECT_EQ(lines, (std::vector<int16_t>{30, 4, 30, 3}));
    // The list is appended to and every pair in it is aligned and counted again.
    EXPECT_EQ(font.wrap(GuiRect(0, 0, 100, 60), ALIGN_RIGHT, "b", lines), 60 - 3 * 11);
    EXPECT_EQ(lines, (std::vector<int16_t>{70, 4, 70, 3, 90, 1}));
}

TEST_F(GuiFontTest, AHugeRunWithoutBreaksIsCutIntoLinesThatCountFit) {
    GuiFont font;
    ASSERT_TRUE(makeFont(font, 1, 1));
    const std::string text(70000, 'x');
    font.wrap(GuiRect(0, 0, 500, 50), ALIGN_LEFT, text.c_str(), lines);
    int64_t total = 0;
    for (size_t i = 1; i < lines.size(); i += 2) {
        EXPECT_GE(lines[i], 0);
        total += lines[i];
    }
    EXPECT_EQ(total, 70000);
}
