// GuiProgressBar: a bar revealed in 8-pixel steps with its percentage.
#include "gui/guiprogressbar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/guirenderer.h"
#include "gui/guiwidgetpictures.h"

namespace {

// Truncates toward zero; NaN and values beyond 32 bits are held in range, so a
// wild fraction from the caller cannot make the conversion undefined.
int32_t truncated(double v) {
    if (std::isnan(v)) return 0;
    if (v <= INT32_MIN) return INT32_MIN;
    if (v >= INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(v);
}

}  // namespace

void GuiProgressBar::setProgress(float fraction, float) {
    // No picture is wider than 16 bits, so holding the reveal there changes nothing
    // visible and keeps the text's position from overflowing.
    fillWidth =
        std::clamp(truncated(static_cast<double>(rect.w) * static_cast<double>(fraction)), 0, int32_t{UINT16_MAX});
    textY = rect.y;
    // Single-precision constants: 0.5 gives 50.55, shown as 50.
    const float percent = fraction * 98.9f + 1.1f;
    std::snprintf(percentText, sizeof percentText, "%d%c", truncated(percent), '%');
}

bool GuiProgressBar::create() {
    barImage.load(guipictures::PROGRESS_BAR, true);
    font.create("Arial", 8, GuiColor(211, 203, 192, 204), false);
    return true;
}

bool GuiProgressBar::draw() {
    GuiRenderer* renderer = guiRenderer();
    if (!renderer) return false;
    const GuiRect revealed(rect.x, rect.y, fillWidth & ~(STEP - 1), rect.h);
    renderer->setClip(&revealed);
    renderer->drawImage(barImage, rect.x, textY, 1.0f);
    renderer->setClip(nullptr);
    const int32_t offset = fillWidth > TEXT_LEAD ? fillWidth - TEXT_LEAD : 0;
    font.drawText(rect.x + offset, textY + 2, percentText);
    return false;
}
