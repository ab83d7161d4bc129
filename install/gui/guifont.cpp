// GuiFont: the glyph atlas, drawing and measuring text, and word wrap.
#include "gui/guifont.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "gui/guiplatform.h"
#include "gui/guirenderer.h"
#include "gui/guiwindow.h"

int fontCharset = 238;

namespace {

// Coverage at or above 16/255 counts as ink: the anti-aliased edges become hard.
bool inked(uint8_t coverage) { return (coverage >> 4) != 0; }

constexpr uint8_t CODE_SPACE = 32;
// Drawn as a space but never a break: it joins words that must stay on one line.
constexpr uint8_t CODE_HARD_SPACE = 182;

bool isBreak(char c) { return c != '\0' && std::strchr(" \t\n\r,.!?-:;", c) != nullptr; }

int16_t toLineValue(int64_t v) {
    return static_cast<int16_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

}  // namespace

bool GuiFont::create(const char* face, int32_t pointSize, const GuiColor& colour, bool bold) {
    lineHeight = 0;
    std::fill(std::begin(glyphs), std::end(glyphs), GuiRect());
    if (!GuiImage::create(ATLAS_SIZE, ATLAS_SIZE, GUI_FORMAT_32, false)) return false;
    clear();
    std::unique_ptr<GlyphCanvas> canvas = platformOpenGlyphCanvas(face, pointSize, bold, fontCharset);
    if (!canvas) return false;

    // Cells in ascending code order, rows top-down with 1-pixel gaps. A face whose
    // cells do not all fit is refused, so no entry can address pixels outside.
    GuiRect cells[256];
    int32_t x = 0;
    int32_t y = 0;
    int32_t cx = 0;
    int32_t cy = 0;
    for (int32_t code = 32; code <= 255; ++code) {
        canvas->cellSize(static_cast<uint8_t>(code), cx, cy);
        if (cx < 0 || cx + 1 > ATLAS_SIZE || cy <= 0) return false;
        if (x + cx + 1 > ATLAS_SIZE) {
            x = 0;
            y += cy + 1;
        }
        if (y + cy > ATLAS_SIZE) return false;
        canvas->drawGlyph(static_cast<uint8_t>(code), x, y);
        cells[code - 32] = GuiRect(x, ATLAS_SIZE - y - cy, cx, cy);
        x += cx + 1;
    }

    std::vector<uint8_t> coverage(static_cast<size_t>(ATLAS_SIZE) * ATLAS_SIZE);
    canvas->copyCoverage(coverage.data());
    const uint32_t packed = colour.packed();
    const uint8_t ink[4] = {static_cast<uint8_t>(packed), static_cast<uint8_t>(packed >> 8),
                            static_cast<uint8_t>(packed >> 16), static_cast<uint8_t>(packed >> 24)};
    for (int32_t row = 0; row < ATLAS_SIZE; ++row) {
        // Canvas row 0 is the top; storage row 0 is the bottom.
        uint8_t* out = getData(0, ATLAS_SIZE - 1 - row);
        const uint8_t* in = &coverage[static_cast<size_t>(row) * ATLAS_SIZE];
        for (int32_t col = 0; col < ATLAS_SIZE; ++col, out += 4)
            if (inked(in[col])) std::memcpy(out, ink, 4);
    }
    std::copy(std::begin(cells), std::end(cells), std::begin(glyphs));
    lineHeight = cy;
    return true;
}

void GuiFont::drawText(int32_t x, int32_t y, const char* text) {
    GuiRenderer* renderer = guiRenderer();
    if (!renderer || !text) return;
    for (const char* p = text; *p; ++p) {
        uint8_t code = static_cast<uint8_t>(*p);
        if (code < 32) continue;
        if (code == CODE_HARD_SPACE) code = CODE_SPACE;
        const GuiRect& cell = getGlyph(code);
        renderer->drawImageRect(*this, x, y, cell, 1.0f);
        x += cell.w;
    }
}

int32_t GuiFont::measure(const char* text, int32_t n) const {
    int32_t width = 0;
    for (int32_t i = 0; i < n && text[i]; ++i) {
        const uint8_t code = static_cast<uint8_t>(text[i]);
        if (code >= 32) width += getGlyph(code).w;
    }
    return width;
}

int32_t GuiFont::wrap(const GuiRect& box, int alignment, const char* text, std::vector<int16_t>& lines) const {
    // A line's character count is a 16-bit value: a longer run without breaks is
    // cut into pieces, and a line never takes more characters than fit.
    constexpr int32_t maxLineChars = std::numeric_limits<int16_t>::max();
    int64_t lineWidth = 0;
    int32_t lineChars = 0;
    const char* p = text ? text : "";
    while (*p) {
        // A token: non-break characters, then the break characters after them.
        int32_t length = 0;
        while (p[length] && !isBreak(p[length]) && length < maxLineChars) ++length;
        while (p[length] && isBreak(p[length]) && length < maxLineChars) ++length;
        const int32_t tokenWidth = measure(p, length);
        if (lineWidth + tokenWidth + WRAP_MARGIN >= box.w || lineChars + length > maxLineChars) {
            lines.push_back(toLineValue(lineWidth));
            lines.push_back(static_cast<int16_t>(lineChars));
            lineWidth = 0;
            lineChars = 0;
        }
        lineWidth += tokenWidth;
        lineChars += length;
        p += length;
        if (!*p) {
            lines.push_back(toLineValue(lineWidth));
            lines.push_back(static_cast<int16_t>(lineChars));
        }
    }

    const int64_t lineCount = static_cast<int64_t>(lines.size() / 2);
    const int64_t spare = int64_t{box.h} - lineCount * lineHeight;
    switch (alignment) {
    case ALIGN_LEFT:
        for (size_t i = 0; i + 1 < lines.size(); i += 2) lines[i] = 0;
        return 0;
    case ALIGN_RIGHT:
        for (size_t i = 0; i + 1 < lines.size(); i += 2) lines[i] = toLineValue(int64_t{box.w} - lines[i]);
        return static_cast<int32_t>(std::max<int64_t>(spare, std::numeric_limits<int32_t>::min()));
    case ALIGN_CENTRE:
        for (size_t i = 0; i + 1 < lines.size(); i += 2) lines[i] = toLineValue((int64_t{box.w} - lines[i]) / 2);
        return static_cast<int32_t>(std::max<int64_t>(spare / 2, 0));
    default:
        return 0;
    }
}
