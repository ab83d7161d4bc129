// The widget tests' panel.
#include "testpanel.h"

#include "gui/guirenderer.h"
#include "gui/guiwindow.h"

namespace {
int fakeWindow;
}  // namespace

void bindTestPanel() {
    if (!guiRenderer()) initGui(&fakeWindow);
    setGuiArea(GuiRect(0, 0, 550, 400));
}

uint32_t panelPixel(int32_t x, int32_t y) {
    GuiImage& buffer = getRenderer()->getBackBuffer();
    const uint8_t* p = buffer.getData(x, buffer.getHeight() - 1 - y);
    return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

bool panelInked(const GuiRect& area) {
    for (int32_t y = area.y; y < area.bottom(); ++y)
        for (int32_t x = area.x; x < area.right(); ++x)
            if (panelPixel(x, y) != 0) return true;
    return false;
}

void mouseAt(int32_t x, int32_t y, int event) {
    setMousePos(getGuiArea().x + x, getGuiArea().y + y);
    dispatchMouse(event);
}

int reactorRuns = 0;

int countRun(GuiWindow*) {
    ++reactorRuns;
    return 0;
}
