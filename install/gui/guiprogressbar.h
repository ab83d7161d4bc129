// GuiProgressBar: the installation fraction on the progress screen. The bar
// picture "Media\progress_bar.tga", drawn at its own size from the rectangle's
// top-left corner, is revealed from the left in steps of 8 pixels; the rectangle's
// width is the scale of the fraction. A percentage ("1%" .. "100%", never 0) in
// bold-free 8-point Arial rides 32 pixels left of the revealed end, 2 pixels below
// the bar's top, and is not cut by the reveal. No input.
#pragma once

#include <cstdint>

#include "gui/guifont.h"
#include "gui/guiimage.h"
#include "gui/guiwindow.h"

class GuiProgressBar : public GuiWindow {
public:
    // The reveal grows in whole steps of this many pixels.
    static constexpr int32_t STEP = 8;
    // The text stands this far left of the revealed end, but never left of the bar.
    static constexpr int32_t TEXT_LEAD = 32;

    GuiProgressBar() { setProgress(0.0f, 0.0f); }

    // Reveals rect.w x fraction pixels (truncated) and makes the text: the whole
    // part of fraction x 98.9 + 1.1, then "%". The caller keeps the fraction in
    // 0..1; above 1 the reveal stops at the picture's width, below 0 nothing is
    // revealed. The second value is not shown. Takes rect.y as the bar's top, so call it after setRect.
    void setProgress(float fraction, float unused);
    int32_t getFillWidth() const { return fillWidth; }
    const char* getPercentText() const { return percentText; }

    // Records the bar picture (read on its first draw) and makes the font; a second
    // call makes them again. True.
    bool create() override;
    // The revealed part of the bar, then the text. The result carries no meaning.
    bool draw() override;

private:
    GuiImage barImage;
    GuiFont font;
    int32_t fillWidth = 0;
    int32_t textY = 0;
    char percentText[16] = {};
};
