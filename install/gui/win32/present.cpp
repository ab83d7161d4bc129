// Presenting the back buffer on Win32: the client size and StretchDIBits.
#include <windows.h>

#include <cstring>

#include "gui/guiplatform.h"

static_assert(sizeof(BITMAPINFOHEADER) == sizeof(GuiDibHeader), "the two bitmap headers must match");

bool platformClientSize(void* window, int32_t& width, int32_t& height) {
    RECT client{};
    if (!GetClientRect(static_cast<HWND>(window), &client)) return false;
    width = client.right - client.left;
    height = client.bottom - client.top;
    return true;
}

void platformPresent(void* window, const GuiRect& area, const GuiDibHeader& header, const uint8_t* bits) {
    BITMAPINFO info{};
    std::memcpy(&info.bmiHeader, &header, sizeof header);
    HWND hwnd = static_cast<HWND>(window);
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    // Equal source and destination sizes: a plain copy, pixel for pixel.
    StretchDIBits(dc, area.x, area.y, area.w, area.h, 0, 0, header.width, header.height, bits, &info, DIB_RGB_COLORS,
                  SRCCOPY);
    ReleaseDC(hwnd, dc);
}
