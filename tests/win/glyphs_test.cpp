// Win32 tests of the glyph rasteriser: GDI fonts rendered into a GuiFont atlas.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "gui/guifont.h"

namespace {

struct Face {
    const char* name;
    int32_t points;
};

}  // namespace

TEST(GdiGlyphs, TheInstallersFacesFillAnAtlasWithinBoundsInTheTextColour) {
    const GuiColor colour(211, 203, 192, 204);
    const uint8_t ink[4] = {192, 203, 211, 204};
    for (const Face& face : {Face{"Arial", 8}, Face{"Verdana", 7}, Face{"MS Sans Serif", 7}}) {
        GuiFont font;
        ASSERT_TRUE(font.create(face.name, face.points, colour, false)) << face.name;
        EXPECT_GT(font.getLineHeight(), 4) << face.name;
        EXPECT_LT(font.getLineHeight(), 30) << face.name;
        for (int code = 32; code < 256; ++code) {
            const GuiRect& g = font.getGlyph(static_cast<uint8_t>(code));
            ASSERT_TRUE(g.x >= 0 && g.y >= 0 && g.x + g.w <= 256 && g.y + g.h <= 256) << face.name << " " << code;
            EXPECT_EQ(g.h, font.getLineHeight());
        }
        EXPECT_GT(font.getGlyph('W').w, font.getGlyph('i').w) << face.name;
        // Every pixel is either clear or exactly the colour, alpha included, and
        // a letter's cell has ink while the space's has none.
        int inked = 0;
        for (int row = 0; row < 256; ++row)
            for (int col = 0; col < 256; ++col) {
                const uint8_t* p = font.getData(col, row);
                if (p[0] | p[1] | p[2] | p[3]) {
                    ASSERT_EQ(std::memcmp(p, ink, 4), 0) << face.name;
                    ++inked;
                }
            }
        EXPECT_GT(inked, 500) << face.name;
        const GuiRect& a = font.getGlyph('A');
        int inkInA = 0;
        for (int row = a.y; row < a.y + a.h; ++row)
            for (int col = a.x; col < a.x + a.w; ++col) inkInA += font.getData(col, row)[3] != 0;
        EXPECT_GT(inkInA, 5) << face.name;
        const GuiRect& space = font.getGlyph(' ');
        for (int row = space.y; row < space.y + space.h; ++row)
            for (int col = space.x; col < space.x + space.w; ++col) EXPECT_EQ(font.getData(col, row)[3], 0);
    }
}

TEST(GdiGlyphs, AFaceTooLargeForTheAtlasIsRefused) {
    GuiFont font;
    EXPECT_FALSE(font.create("Arial", 72, GuiColor(255, 255, 255, 255), false));
    EXPECT_EQ(font.getLineHeight(), 0);
}
