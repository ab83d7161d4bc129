// GuiFramePacer: the schedule of the panel's frames.
#include "gui/guiframepacer.h"

bool GuiFramePacer::frameDue(int64_t nowUs) {
    if (nowUs < nextFrameUs) return false;
    nextFrameUs += FRAME_PERIOD_US;
    if (nextFrameUs <= nowUs) nextFrameUs = nowUs + FRAME_PERIOD_US;
    return true;
}

uint32_t GuiFramePacer::msUntilNextFrame(int64_t nowUs) const {
    if (nowUs >= nextFrameUs) return 0;
    return static_cast<uint32_t>((nextFrameUs - nowUs + 999) / 1000);
}

void GuiFramePacer::restart(int64_t nowUs) { nextFrameUs = nowUs; }
