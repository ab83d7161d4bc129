// GuiButton: fires on the release of the left button.
#include "gui/guibutton.h"

#include "gui/guiplatform.h"

bool GuiButton::draw() { return true; }

bool GuiButton::onMouse(int event) {
    if (event != GE_LBUTTONUP) return false;
    platformClickCue();
    return true;
}

bool GuiButton::create() { return true; }
