// GuiButton: an invisible hot area. Releasing the left button over it plays the
// click cue and runs its reactor; the screen's background carries its artwork and
// a GuiHoverGroup draws its hover picture (the inherited image).
#pragma once

#include "gui/guiwindow.h"

class GuiButton : public GuiWindow {
public:
    bool draw() override;
    // Handles GE_LBUTTONUP only; there is no press tracking, so a press elsewhere
    // followed by a release here fires the button.
    bool onMouse(int event) override;
    bool create() override;
};
