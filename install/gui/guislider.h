// GuiSlider: the draggable thumb of a scroll bar. Its rectangle is the track; the
// thumb's top and length are fractions of the track's height. The thumb is drawn
// from three pictures shared by all sliders: the top cap
// "Media\scroll_slider_top.tga", the middle piece "Media\scroller.tga" repeated,
// and the bottom cap "Media\scroll_slider_bottom.tga".
//
// A press of the left button anywhere in the track remembers the mouse point (the
// thumb does not move and there is no paging); each mouse move that reaches the
// slider while the left button is held moves the thumb by the distance moved and
// returns true, so the scroll bar's reactor copies the position. Moves reach it
// only inside the track: outside, the thumb stays, and back inside it jumps by the
// distance moved outside.
#pragma once

#include <cstdint>

#include "gui/guiwindow.h"

// The end of the scroll range: a view that shows visibleFraction of the content
// scrolls from 0 to 1.01 - visibleFraction. A content shorter than the view (a
// fraction above 1.01) has no range and stays at 0. Returns position held there.
float clampScrollPosition(float position, float visibleFraction);

class GuiSlider : public GuiWindow {
public:
    // The scroll range ends this far past the content's end.
    static constexpr float RANGE_END = 1.01f;

    GuiSlider() = default;
    // Releases this slider's hold on the shared pictures.
    ~GuiSlider() override;

    // Thumb length as a fraction of the track (0.5 at first); no range test.
    void setThumbFraction(float fraction) { thumbFraction = fraction; }
    float getThumbFraction() const { return thumbFraction; }
    // Top of the thumb as a fraction of the track (0 at first); no range test.
    void setPosition(float newPosition) { position = newPosition; }
    float getPosition() const { return position; }

    // Takes this slider's hold on the shared pictures (read at once). True.
    bool create() override;
    // Draws the thumb: the top cap, middle pieces down to its length and the bottom
    // cap, all clipped to the thumb. True.
    bool draw() override;
    // A left press starts a drag, a move with the left button held drags (both
    // true); every other event is false.
    bool onMouse(int event) override;

private:
    float position = 0.0f;
    float thumbFraction = 0.5f;
    // The mouse's y at the last press or drag step; a drag moves by the difference.
    int32_t lastMouseY = 0;
    bool holdsPictures = false;
};
