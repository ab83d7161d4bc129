// GuiScrollBar: the vertical scroll bar of the text view. It holds the scroll
// position as a fraction of the content's height (0: the top of the content at the
// top of the view; at most 1.01 minus the visible fraction) and is made of three
// children: the up and down arrows, invisible GuiButtons 21 pixels high at its
// ends whose artwork is part of the screen's background and whose hover pictures
// are "Media\scroll_arrow_top.tga" and "Media\scroll_arrow_bottom.tga", and a
// GuiSlider whose track runs from 28 pixels below the top to 21 above the bottom.
// An arrow scrolls by one line step when the left button is released on it (with
// the click cue); dragging the slider sets the position.
#pragma once

#include <cstdint>

#include "gui/guiwindow.h"

class GuiButton;
class GuiSlider;

class GuiScrollBar : public GuiWindow {
public:
    static constexpr int32_t ARROW_HEIGHT = 21;
    // The track starts this far below the bar's top.
    static constexpr int32_t TRACK_TOP = 28;

    // The content's height in pixels; 0 is ignored. Recomputes the visible fraction.
    void setContentHeight(int32_t height);
    // The view's height in pixels. Recomputes the visible fraction.
    void setViewHeight(int32_t height);
    // Pixels scrolled by one arrow click.
    void setLineStep(int32_t step) { lineStep = step; }
    // Takes positions from 0 to 1 (and moves the thumb with them); ignores others.
    void setPosition(float newPosition);
    float getPosition() const { return position; }
    // View height / content height.
    float getPageFraction() const { return pageFraction; }

    // Scrolls one line step up or down, held to the range. True.
    bool scrollStep(bool up);

    GuiButton* getUpArrow() const { return upArrow; }
    GuiButton* getDownArrow() const { return downArrow; }
    GuiSlider* getSlider() const { return slider; }

    // Builds the arrows and the slider (once) from the bar's rectangle and the
    // visible fraction as it stands, then creates them. True.
    bool create() override;
    // Draws the slider only. The result carries no meaning.
    bool draw() override;

private:
    // The children's reactors; each sender is a child of the bar.
    static int upArrowReleased(GuiWindow* sender);
    static int downArrowReleased(GuiWindow* sender);
    static int sliderDragged(GuiWindow* sender);

    float position = 0.0f;
    float pageFraction = 0.0f;
    GuiButton* upArrow = nullptr;
    GuiButton* downArrow = nullptr;
    GuiSlider* slider = nullptr;
    int32_t contentHeight = 1;
    int32_t viewHeight = 0;
    int32_t lineStep = 0;
};
