// GuiRenderer: the single drawing target of the interface. It owns the back
// buffer, the current clip rectangle and the buffer's place in the window, and
// presents the buffer. Widgets, screens and text never touch the window: they call
// these operations. Positions are top-down back-buffer (panel) coordinates and
// opacities floats from 0 to 1.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/guiimage.h"
#include "gui/guiplatform.h"
#include "gui/guirect.h"

class GuiRenderer {
public:
    // The operations, in this order.
    // Binds the renderer to the main window (an HWND on Win32): the back buffer
    // takes the size of the client area, placed at 0, 0.
    virtual void init(void* window) = 0;
    // Blends a part of the image (a rectangle in its storage coordinates, as
    // GuiImage::drawRect takes it) at (x, y) within the clip. Opacity 0 draws nothing.
    virtual void drawImageRect(GuiImage& image, int32_t x, int32_t y, const GuiRect& sourceRect, float opacity) = 0;
    // Blends the whole image with its top-left corner at (x, y) within the clip.
    virtual void drawImage(GuiImage& image, int32_t x, int32_t y, float opacity) = 0;
    // Limits drawing to the rectangle; null means the whole back buffer. Widgets
    // set a clip around their own drawing and reset it to null afterwards.
    virtual void setClip(const GuiRect* clip) = 0;
    // Shows the back buffer in its area of the window.
    virtual void present() = 0;
    // The window has lost what was shown (it was covered or restored and must
    // be painted): the next present shows the back buffer whatever it holds.
    virtual void forgetPresented() = 0;
    // Places the back buffer in the window and recreates it, black, at the
    // area's size. The clip is kept.
    virtual void setArea(const GuiRect& area) = 0;

protected:
    ~GuiRenderer() = default;
};

// The renderer over a device-independent bitmap: a 24-bit, row-padded,
// bottom-up back buffer presented through the platform. A back buffer that holds
// exactly what the window already shows is not presented again: on a still
// screen the copy to the window would be most of each frame's work.
class GuiDibRenderer : public GuiRenderer {
public:
    void init(void* window) override;
    void drawImageRect(GuiImage& image, int32_t x, int32_t y, const GuiRect& sourceRect, float opacity) override;
    void drawImage(GuiImage& image, int32_t x, int32_t y, float opacity) override;
    void setClip(const GuiRect* clip) override;
    void present() override;
    void forgetPresented() override;
    void setArea(const GuiRect& area) override;

    GuiImage& getBackBuffer() { return backBuffer; }
    const GuiRect& getArea() const { return area; }
    const GuiRect& getClip() const { return clip; }
    const GuiDibHeader& getHeader() const { return header; }

private:
    GuiImage backBuffer;
    GuiRect area;
    GuiRect clip;
    uint32_t bufferFormat = GUI_FORMAT_24;
    void* window = nullptr;
    GuiDibHeader header;
    std::vector<uint8_t> presented;  // the pixels the window shows; empty: unknown
};

// The process-wide renderer; it lives for the whole run.
GuiDibRenderer* getRenderer();
