// GuiCheckBox: shows and toggles one boolean (the desktop-shortcut choice). A
// press of the left button inverts it and runs the box's reactor, which reads the
// state back with isTicked. Ticked, it draws the shared tick picture
// "Media\text_icon_on.tga" at its rectangle's top-left corner; unticked, nothing
// (the screen's background shows the empty box).
#pragma once

#include "gui/guiwindow.h"

class GuiCheckBox : public GuiWindow {
public:
    GuiCheckBox() = default;
    // Releases this box's hold on the tick picture.
    ~GuiCheckBox() override;

    // Draws the tick when ticked; always true.
    bool draw() override;
    // GE_LBUTTONDOWN inverts the state and returns true; every other event
    // (releases, other buttons, moves) returns false and changes nothing.
    bool onMouse(int event) override;
    // Takes this box's hold on the tick picture (read on its first draw); true.
    bool create() override;

    void setTicked(bool value) { ticked = value; }
    bool isTicked() const { return ticked; }

private:
    bool ticked = false;
    bool holdsTick = false;
};
