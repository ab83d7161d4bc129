// The toolkit's seam to the system: the few things the platform-neutral toolkit
// needs from outside. The Win32 build implements it in install/win32/; the unit
// tests implement it with a fake clock, a fake mouse and synthetic glyphs.
// Each function is defined exactly once per program.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/guirect.h"

// Milliseconds since an arbitrary start, wrapping at 2^32 (GetTickCount on Win32).
uint32_t platformTickCount();

// Whether the left mouse button is held down right now, as the GUI thread sees it.
bool platformLeftButtonDown();

// Whether a keyboard key is held down right now (the application tracks key
// presses and releases); the edit box keeps its caret lit while one is.
bool platformKeyHeld();

// Shows the text-insertion (I-beam) mouse pointer until the next pointer change.
void platformShowIBeamCursor();

// Restarts the click cue that a released button plays.
void platformClickCue();

// Renders the glyphs of one face once, for the glyph atlas of a font. The canvas
// is 256 x 256 pixels, top-down, black at first.
class GlyphCanvas {
public:
    static constexpr int32_t SIZE = 256;

    virtual ~GlyphCanvas() = default;
    // Cell size (advance width and height) of one character code.
    virtual void cellSize(uint8_t code, int32_t& cx, int32_t& cy) = 0;
    // Draws one character with the top-left corner of its cell at (x, y).
    virtual void drawGlyph(uint8_t code, int32_t x, int32_t y) = 0;
    // Copies the coverage of every canvas pixel (0 none to 255 full ink) into
    // SIZE x SIZE bytes, top row first.
    virtual void copyCoverage(uint8_t* coverage) = 0;
};

// Makes a canvas for the face at the given point size in the given character set
// (a GDI character-set number); null when the platform cannot make the font.
std::unique_ptr<GlyphCanvas> platformOpenGlyphCanvas(const char* face, int32_t pointSize, bool bold, int32_t charset);

// Describes a back buffer to the platform; the same 40 bytes, field for field, as
// the device-independent bitmap header of Win32 (BITMAPINFOHEADER).
struct GuiDibHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;  // positive: rows are stored bottom-up
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;  // BI_RGB
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};
static_assert(sizeof(GuiDibHeader) == 40, "the bitmap header is 40 bytes");

// Size of the client area of the window (an HWND on Win32); false when unknown.
bool platformClientSize(void* window, int32_t& width, int32_t& height);

// Copies the back buffer that the header describes, pixel for pixel, to the
// rectangle area of the whole window (window coordinates).
void platformPresent(void* window, const GuiRect& area, const GuiDibHeader& header, const uint8_t* bits);
