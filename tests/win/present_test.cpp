// Win32 test of presenting: the back buffer lands on the window pixel for pixel.
#include <windows.h>

#include <gtest/gtest.h>

#include "gui/guirenderer.h"

TEST(DibPresent, TheBackBufferAppearsAtThePanelPositionPixelForPixel) {
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "present", WS_POPUP | WS_VISIBLE, 0, 0, screenW, screenH,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hwnd, nullptr);
    UpdateWindow(hwnd);

    GuiDibRenderer renderer;
    renderer.init(hwnd);
    EXPECT_EQ(renderer.getArea(), GuiRect(0, 0, screenW, screenH));
    GuiRect panel(0, 0, 550, 400);
    panel.centreIn(GuiRect(0, 0, screenW, screenH));
    renderer.setArea(panel);
    // A pattern in which every pixel differs from its neighbours.
    GuiImage& buffer = renderer.getBackBuffer();
    for (int topRow = 0; topRow < 400; ++topRow)
        for (int col = 0; col < 550; ++col) {
            uint8_t* p = buffer.getData(col, 399 - topRow);
            p[0] = static_cast<uint8_t>(col);
            p[1] = static_cast<uint8_t>(topRow);
            p[2] = static_cast<uint8_t>(col * 7 + topRow * 3);
        }
    renderer.present();

    // Read the window back and compare.
    HDC windowDc = GetWindowDC(hwnd);
    HDC memDc = CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 550;
    info.bmiHeader.biHeight = -400;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP shot = CreateDIBSection(memDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(shot, nullptr);
    HGDIOBJ old = SelectObject(memDc, shot);
    BitBlt(memDc, 0, 0, 550, 400, windowDc, panel.x, panel.y, SRCCOPY);
    GdiFlush();
    int wrong = 0;
    const uint32_t* pixels = static_cast<const uint32_t*>(bits);
    for (int topRow = 0; topRow < 400; ++topRow)
        for (int col = 0; col < 550; ++col) {
            const uint32_t expected = static_cast<uint32_t>(static_cast<uint8_t>(col * 7 + topRow * 3)) << 16 |
                                      static_cast<uint32_t>(static_cast<uint8_t>(topRow)) << 8 |
                                      static_cast<uint8_t>(col);
            if ((pixels[topRow * 550 + col] & 0xFFFFFF) != expected) ++wrong;
        }
    EXPECT_EQ(wrong, 0);

    SelectObject(memDc, old);
    DeleteObject(shot);
    DeleteDC(memDc);
    ReleaseDC(hwnd, windowDc);
    DestroyWindow(hwnd);
}
