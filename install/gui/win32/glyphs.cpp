// The glyph rasteriser on Win32: GDI draws each character, white on black and
// anti-aliased, into a 256 x 256 32-bit top-down DIB section.
#include <windows.h>

#include <cstring>

#include "gui/guiplatform.h"

namespace {

class GdiGlyphCanvas : public GlyphCanvas {
public:
    // Takes ownership of the context, bitmap and font, already selected.
    GdiGlyphCanvas(HDC dc, HBITMAP bitmap, HGDIOBJ oldBitmap, HFONT font, HGDIOBJ oldFont, const uint32_t* bits)
        : dc(dc), bitmap(bitmap), oldBitmap(oldBitmap), font(font), oldFont(oldFont), bits(bits) {}
    GdiGlyphCanvas(const GdiGlyphCanvas&) = delete;
    GdiGlyphCanvas& operator=(const GdiGlyphCanvas&) = delete;

    ~GdiGlyphCanvas() override {
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteObject(font);
        DeleteDC(dc);
    }

    void cellSize(uint8_t code, int32_t& cx, int32_t& cy) override {
        const char ch = static_cast<char>(code);
        ::SIZE size{};  // the Win32 type, not the canvas side
        GetTextExtentPoint32A(dc, &ch, 1, &size);
        cx = size.cx;
        cy = size.cy;
    }

    void drawGlyph(uint8_t code, int32_t x, int32_t y) override {
        const char ch = static_cast<char>(code);
        ExtTextOutA(dc, x, y, ETO_OPAQUE, nullptr, &ch, 1, nullptr);
    }

    void copyCoverage(uint8_t* coverage) override {
        GdiFlush();  // the pixels are read straight from the section
        // White text: the blue byte, the lowest of each pixel, is the coverage.
        for (int32_t i = 0; i < SIZE * SIZE; ++i) coverage[i] = static_cast<uint8_t>(bits[i] & 0xFF);
    }

private:
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;
    HFONT font;
    HGDIOBJ oldFont;
    const uint32_t* bits;
};

}  // namespace

std::unique_ptr<GlyphCanvas> platformOpenGlyphCanvas(const char* face, int32_t pointSize, bool bold, int32_t charset) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = GlyphCanvas::SIZE;
    info.bmiHeader.biHeight = -GlyphCanvas::SIZE;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        DeleteDC(dc);
        return nullptr;
    }
    std::memset(bits, 0, GlyphCanvas::SIZE * GlyphCanvas::SIZE * 4);

    SetMapMode(dc, MM_TEXT);
    const int pixelHeight = MulDiv(pointSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT font =
        CreateFontA(-pixelHeight, 0, 0, 0, bold ? FW_BOLD : 0, FALSE, FALSE, FALSE, static_cast<DWORD>(charset),
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH, face);
    if (!font) {
        DeleteObject(bitmap);
        DeleteDC(dc);
        return nullptr;
    }
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextAlign(dc, 0);
    return std::make_unique<GdiGlyphCanvas>(dc, bitmap, oldBitmap, font, oldFont, static_cast<const uint32_t*>(bits));
}
