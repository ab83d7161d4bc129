// GuiFont: a bitmap font. create renders the character codes 32 to 255 of one
// face, size and colour once, through the platform, into a 256 x 256 glyph atlas
// (the GuiImage this class is: format 4, packed, bottom-up); drawing blits glyph
// cells from the atlas through the renderer. Text is single-byte; codes below 32
// are neither drawn nor measured; code 182 draws as a space but keeps its own
// width when measured.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/guicolor.h"
#include "gui/guiimage.h"
#include "gui/guirect.h"

// The GDI character set of every font (238, EASTEUROPE_CHARSET, until start-up
// sets it from the string table).
extern int fontCharset;

// Alignment codes of wrap.
enum GuiAlign : int {
    ALIGN_LEFT = 1,
    ALIGN_RIGHT = 6,
    ALIGN_CENTRE = 7,
};

class GuiFont : public GuiImage {
public:
    static constexpr int32_t ATLAS_SIZE = 256;
    // Wrap closes a line before a token that would bring it this close to the box's width.
    static constexpr int32_t WRAP_MARGIN = 50;

    // Builds the atlas and the glyph table for the face at pointSize points in
    // fontCharset, every inked pixel in the colour (its alpha sets the opacity of
    // the text). Pixels count as inked at a coverage of 16/255 or more. False when
    // the platform cannot make the font or its cells do not all fit the atlas; the
    // font then draws nothing and measures every text as 0.
    bool create(const char* face, int32_t pointSize, const GuiColor& colour, bool bold);

    // Draws a zero-terminated text with the top-left corner of its first cell at
    // (x, y), panel coordinates, through the renderer's current clip.
    void drawText(int32_t x, int32_t y, const char* text);
    // Width in pixels of the first n bytes of the text (stops early at a zero byte).
    int32_t measure(const char* text, int32_t n) const;
    int32_t getLineHeight() const { return lineHeight; }
    // The cell of a code, in atlas storage coordinates: x left column, y storage
    // row of the bottom edge, w advance width, h cell height.
    const GuiRect& getGlyph(uint8_t code) const { return glyphs[code < 32 ? 0 : code - 32]; }

    // Breaks a zero-terminated text into lines for the box (only its width and
    // height are used) and appends two values per line to lines: the line's
    // horizontal offset after alignment, then its number of characters. Lines
    // follow each other in the text without gaps. The alignment step rewrites
    // every pair in the list, old ones included. Returns the vertical offset of
    // the first line in the box. Line i is drawn at
    // (box.x + its offset, box.y + the returned offset + i * line height).
    int32_t wrap(const GuiRect& box, int alignment, const char* text, std::vector<int16_t>& lines) const;

private:
    int32_t lineHeight = 0;
    // Entry c - 32 is the cell of code c; the last 32 entries are never used.
    GuiRect glyphs[256];
};
