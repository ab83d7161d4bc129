// GuiScrollBar: two arrows and a slider over one scroll position.
#include "gui/guiscrollbar.h"

#include "gui/guibutton.h"
#include "gui/guislider.h"
#include "gui/guiwidgetpictures.h"

namespace {
GuiScrollBar* barOf(GuiWindow* sender) { return static_cast<GuiScrollBar*>(sender->getParent()); }
}  // namespace

int GuiScrollBar::upArrowReleased(GuiWindow* sender) { return barOf(sender)->scrollStep(true); }

int GuiScrollBar::downArrowReleased(GuiWindow* sender) { return barOf(sender)->scrollStep(false); }

int GuiScrollBar::sliderDragged(GuiWindow* sender) {
    // Taken as it is: with a tiny visible fraction the slider's range ends just
    // above 1, which setPosition would refuse.
    barOf(sender)->position = static_cast<GuiSlider*>(sender)->getPosition();
    return 0;
}

void GuiScrollBar::setContentHeight(int32_t height) {
    if (height == 0) return;
    contentHeight = height;
    pageFraction = static_cast<float>(viewHeight) / static_cast<float>(contentHeight);
}

void GuiScrollBar::setViewHeight(int32_t height) {
    viewHeight = height;
    if (contentHeight > 0) pageFraction = static_cast<float>(viewHeight) / static_cast<float>(contentHeight);
}

void GuiScrollBar::setPosition(float newPosition) {
    if (!(newPosition >= 0.0f && newPosition <= 1.0f)) return;
    position = newPosition;
    if (slider) slider->setPosition(position);
}

bool GuiScrollBar::scrollStep(bool up) {
    const float step = static_cast<float>(lineStep) / static_cast<float>(contentHeight);
    position = clampScrollPosition(position + (up ? -step : step), pageFraction);
    if (slider) slider->setPosition(position);
    return true;
}

bool GuiScrollBar::create() {
    if (!slider) {
        upArrow = new GuiButton;
        upArrow->getImage().load(guipictures::SCROLL_ARROW_UP, true);
        addChild(upArrow);
        upArrow->setRect(rect.x, rect.y, rect.w, ARROW_HEIGHT);

        downArrow = new GuiButton;
        downArrow->getImage().load(guipictures::SCROLL_ARROW_DOWN, true);
        addChild(downArrow);
        downArrow->setRect(rect.x, rect.y + rect.h - ARROW_HEIGHT, rect.w, ARROW_HEIGHT);

        slider = new GuiSlider;
        addChild(slider);
        slider->setRect(rect.x, rect.y + TRACK_TOP, rect.w, rect.h - TRACK_TOP - ARROW_HEIGHT);
        slider->setThumbFraction(pageFraction);

        reactors.push_back(upArrowReleased);
        upArrow->setReactorId(static_cast<uint16_t>(reactors.size() - 1));
        reactors.push_back(downArrowReleased);
        downArrow->setReactorId(static_cast<uint16_t>(reactors.size() - 1));
        reactors.push_back(sliderDragged);
        slider->setReactorId(static_cast<uint16_t>(reactors.size() - 1));
    }
    GuiWindow::create();
    return true;
}

bool GuiScrollBar::draw() {
    if (slider) slider->draw();
    return false;
}
