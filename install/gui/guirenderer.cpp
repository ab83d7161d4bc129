// GuiDibRenderer: the back buffer, its clip and its presentation through the platform.
#include "gui/guirenderer.h"

#include <algorithm>

void GuiDibRenderer::init(void* newWindow) {
    int32_t width = 0;
    int32_t height = 0;
    platformClientSize(newWindow, width, height);
    setArea(GuiRect(0, 0, width, height));
    window = newWindow;
}

void GuiDibRenderer::drawImageRect(GuiImage& image, int32_t x, int32_t y, const GuiRect& sourceRect, float opacity) {
    if (opacity != 0.0f) backBuffer.drawRect(image, x, y, sourceRect, opacity, clip);
}

void GuiDibRenderer::drawImage(GuiImage& image, int32_t x, int32_t y, float opacity) {
    if (opacity != 0.0f) backBuffer.draw(image, x, y, opacity, clip);
}

void GuiDibRenderer::setClip(const GuiRect* newClip) {
    clip = newClip ? *newClip : GuiRect(0, 0, backBuffer.getWidth(), backBuffer.getHeight());
}

void GuiDibRenderer::present() {
    const uint8_t* pixels = backBuffer.getPixels();
    if (!window || !pixels) return;
    const size_t size = backBuffer.getSizeBytes();
    if (presented.size() == size && std::equal(pixels, pixels + size, presented.begin())) return;
    platformPresent(window, area, header, pixels);
    presented.assign(pixels, pixels + size);
}

void GuiDibRenderer::forgetPresented() { presented.clear(); }

void GuiDibRenderer::setArea(const GuiRect& newArea) {
    area = newArea;
    // A negative size (a window smaller than the panel) gives an empty buffer.
    backBuffer.create(std::max(area.w, 0), std::max(area.h, 0), bufferFormat, true);
    backBuffer.clear();
    presented.clear();
    header.width = backBuffer.getWidth();
    header.height = backBuffer.getHeight();
}

GuiDibRenderer* getRenderer() {
    static GuiDibRenderer renderer;
    return &renderer;
}
