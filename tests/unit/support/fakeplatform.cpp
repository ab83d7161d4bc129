// The fake platform seam of the unit tests.
#include "fakeplatform.h"

#include <cstring>

FakePlatform fakePlatform;

std::array<int32_t, 256> FakePlatform::defaultGlyphWidths() {
    std::array<int32_t, 256> widths;
    widths.fill(5);
    widths[' '] = 3;
    return widths;
}

uint32_t platformTickCount() { return fakePlatform.tick; }

bool platformLeftButtonDown() { return fakePlatform.leftButton; }

bool platformKeyHeld() { return fakePlatform.keyHeld; }

void platformShowIBeamCursor() { ++fakePlatform.iBeamShown; }

void platformClickCue() { ++fakePlatform.clickCues; }

namespace {

class SyntheticGlyphCanvas : public GlyphCanvas {
public:
    void cellSize(uint8_t code, int32_t& cx, int32_t& cy) override {
        cx = fakePlatform.glyphWidth[code];
        cy = fakePlatform.glyphHeight;
    }

    void drawGlyph(uint8_t code, int32_t x, int32_t y) override {
        for (int32_t row = y; row < y + fakePlatform.glyphHeight; ++row)
            for (int32_t col = x; col < x + fakePlatform.glyphWidth[code]; ++col)
                if (row >= 0 && row < SIZE && col >= 0 && col < SIZE) coverage[row * SIZE + col] = col == x ? 15 : 16;
    }

    void copyCoverage(uint8_t* out) override { std::memcpy(out, coverage.data(), coverage.size()); }

private:
    std::vector<uint8_t> coverage = std::vector<uint8_t>(SIZE * SIZE, 0);
};

}  // namespace

std::unique_ptr<GlyphCanvas> platformOpenGlyphCanvas(const char* face, int32_t, bool, int32_t charset) {
    fakePlatform.lastFace = face;
    fakePlatform.lastCharset = charset;
    if (!fakePlatform.fontAvailable) return nullptr;
    return std::make_unique<SyntheticGlyphCanvas>();
}

bool platformClientSize(void*, int32_t& width, int32_t& height) {
    width = fakePlatform.clientWidth;
    height = fakePlatform.clientHeight;
    return true;
}

void platformPresent(void*, const GuiRect& area, const GuiDibHeader& header, const uint8_t* bits) {
    ++fakePlatform.presents;
    fakePlatform.presentedArea = area;
    fakePlatform.presentedHeader = header;
    const size_t stride = (static_cast<size_t>(header.width) * 24 + 31) / 32 * 4;
    fakePlatform.presentedBits.assign(bits, bits + stride * static_cast<size_t>(header.height));
}
