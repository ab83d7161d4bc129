// GuiSlider: the scroll bar's thumb, drawn from three shared pictures and dragged.
#include "gui/guislider.h"

#include <algorithm>

#include "gui/guiplatform.h"
#include "gui/guirenderer.h"
#include "gui/guisharedpicture.h"
#include "gui/guiwidgetpictures.h"

namespace {
GuiSharedPicture topCap(guipictures::SLIDER_TOP);
GuiSharedPicture bottomCap(guipictures::SLIDER_BOTTOM);
GuiSharedPicture middlePiece(guipictures::SLIDER_MIDDLE);
}  // namespace

float clampScrollPosition(float position, float visibleFraction) {
    // The top clamp comes last, so a content shorter than the view stays at the top
    // instead of going negative (where nothing would be drawn).
    if (position + visibleFraction > GuiSlider::RANGE_END) position = GuiSlider::RANGE_END - visibleFraction;
    return position < 0.0f ? 0.0f : position;
}

GuiSlider::~GuiSlider() {
    if (!holdsPictures) return;
    topCap.release();
    bottomCap.release();
    middlePiece.release();
}

bool GuiSlider::create() {
    if (!holdsPictures) {
        topCap.acquire(false);
        bottomCap.acquire(false);
        middlePiece.acquire(false);
        holdsPictures = true;
    }
    return true;
}

bool GuiSlider::draw() {
    GuiRenderer* renderer = guiRenderer();
    if (!renderer || !holdsPictures) return true;
    GuiImage& top = *topCap.get();
    GuiImage& middle = *middlePiece.get();
    GuiImage& bottom = *bottomCap.get();
    const int32_t thumbTop = static_cast<int32_t>(rect.h * position);
    int32_t length = static_cast<int32_t>(rect.h * thumbFraction);
    // The limit is the track's bottom coordinate, not its height; a thumb longer
    // than the track (a content shorter than the view) is held to the track.
    if (length > rect.y + rect.h - 20) length = 0;
    length = std::min(length, rect.h);
    const int32_t capHeight = top.getHeight();
    const GuiRect thumb(rect.x, rect.y + thumbTop, rect.w, length);
    renderer->setClip(&thumb);
    renderer->drawImage(top, rect.x, rect.y + thumbTop, 1.0f);
    // A missing middle piece has no height: the caps alone are drawn.
    if (middle.getHeight() > 0)
        for (int32_t m = thumbTop + capHeight; m < thumbTop + length; m += middle.getHeight())
            renderer->drawImage(middle, rect.x, rect.y + m, 1.0f);
    // Placed by the top cap's height, so caps of unequal heights overlap or gap.
    renderer->drawImage(bottom, rect.x, rect.y + thumbTop + length - capHeight, 1.0f);
    renderer->setClip(nullptr);
    return true;
}

bool GuiSlider::onMouse(int event) {
    int32_t mx, my;
    getMousePos(mx, my);
    if (event == GE_LBUTTONDOWN) {
        lastMouseY = my;
        return true;
    }
    if (event != GE_MOUSEMOVE || !platformLeftButtonDown() || rect.h <= 0) return false;
    const int32_t dy = my - lastMouseY;
    lastMouseY = my;
    position = clampScrollPosition(position + static_cast<float>(dy) / static_cast<float>(rect.h), thumbFraction);
    return true;
}
