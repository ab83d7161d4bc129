// GuiHoverGroup: the hover highlight over a row of buttons.
#include "gui/guihovergroup.h"

#include "gui/guirenderer.h"

bool GuiHoverGroup::draw() {
    int32_t mx, my;
    getMousePos(mx, my);
    // Leaving the group does not clear hovered: the highlight goes away here.
    if (!rect.contains(mx, my)) return false;
    GuiRenderer* renderer = guiRenderer();
    if (!hovered || !renderer) return true;
    const GuiRect& target = hovered->getRect();
    GuiImage& picture = hovered->getImage();
    picture.ensureLoaded();  // the size is needed before the draw would read it
    const int32_t cx = target.x + target.w / 2;
    const int32_t cy = target.y + target.h / 2;
    renderer->setClip(&rect);
    renderer->drawImage(picture, cx - picture.getWidth() / 2, cy - picture.getHeight() / 2, 1.0f);
    renderer->setClip(nullptr);
    return true;
}

bool GuiHoverGroup::onMouse(int event) {
    if (event != GE_MOUSEMOVE) return false;
    int32_t mx, my;
    getMousePos(mx, my);
    hovered = nullptr;
    for (GuiWindow* member : members) {
        if (member->getRect().contains(mx, my)) {
            hovered = member;
            return true;
        }
    }
    return false;
}

bool GuiHoverGroup::create() { return true; }
