// GuiHoverGroup: draws the hover picture of whichever member button lies under
// the mouse, clipped to the group's rectangle. The members are children of the
// screen, not of the group; add the group after them so it draws over them.
#pragma once

#include <vector>

#include "gui/guiwindow.h"

class GuiHoverGroup : public GuiWindow {
public:
    // Appends a member (not owned).
    void addMember(GuiWindow* member) { members.push_back(member); }
    GuiWindow* getHovered() const { return hovered; }

    // Draws the hovered member's image centred on it while the mouse is in the group.
    bool draw() override;
    // On a mouse move, the first member under the mouse becomes the hovered one.
    bool onMouse(int event) override;
    bool create() override;

private:
    std::vector<GuiWindow*> members;
    GuiWindow* hovered = nullptr;
};
