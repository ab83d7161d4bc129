// The pieces that every screen assembles in the same way.
#include "screenparts.h"

#include <windows.h>

#include "guirenderer.h"

const char* menuBackground() {
    return (GetTickCount() & 1) ? "Media\\back_play_install_01.tga" : "Media\\back_play_install_02.tga";
}

GuiButton* addButton(GuiWindow& screen, const GuiRect& rect, const char* hoverPicture, Reactor action) {
    GuiButton* button = new GuiButton;
    button->getImage().load(hoverPicture, true);
    button->setRect(rect);
    screen.addChild(button, action);
    return button;
}

GuiHoverGroup* addHoverGroup(GuiWindow& screen, const GuiRect& rect, std::initializer_list<GuiWindow*> members) {
    GuiHoverGroup* group = new GuiHoverGroup;
    group->setRect(rect);
    screen.addChild(group);
    for (GuiWindow* member : members) group->addMember(member);
    return group;
}

void drawCaption(GuiImage& caption, int32_t x, int32_t y) {
    if (GuiRenderer* renderer = guiRenderer()) renderer->drawImage(caption, x, y, 1.0f);
}
