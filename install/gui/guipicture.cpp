// GuiPicture: a window that draws its own image.
#include "gui/guipicture.h"

#include "gui/guirenderer.h"

bool GuiPicture::draw() {
    if (GuiRenderer* renderer = guiRenderer()) renderer->drawImage(*this, rect.x, rect.y, opacity);
    return true;
}

bool GuiPicture::create() { return true; }
