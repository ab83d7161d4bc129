// The toolkit's platform seam for unit tests: a fake clock, mouse button and key,
// counters for the pointer and the click cue, synthetic glyphs and a window whose
// presented pixels are kept in memory. Tests set and read fakePlatform directly.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "gui/guiplatform.h"

struct FakePlatform {
    uint32_t tick = 0;
    bool leftButton = false;
    bool keyHeld = false;
    int iBeamShown = 0;
    int clickCues = 0;

    // Synthetic glyphs: each cell is glyphWidth[code] x glyphHeight. Its left
    // column has coverage 15 (just below ink), every other pixel 16 (just ink).
    bool fontAvailable = true;
    std::array<int32_t, 256> glyphWidth = defaultGlyphWidths();
    int32_t glyphHeight = 11;
    std::string lastFace;
    int32_t lastCharset = -1;

    // The window: its client size and what was last presented on it.
    int32_t clientWidth = 640;
    int32_t clientHeight = 480;
    int presents = 0;
    GuiRect presentedArea;
    GuiDibHeader presentedHeader;
    std::vector<uint8_t> presentedBits;

    // Back to the defaults.
    void reset() { *this = FakePlatform(); }
    // Every glyph 5 pixels wide, the space 3.
    static std::array<int32_t, 256> defaultGlyphWidths();
};

extern FakePlatform fakePlatform;
