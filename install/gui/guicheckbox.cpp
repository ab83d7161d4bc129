// GuiCheckBox: a boolean toggled by the left button.
#include "gui/guicheckbox.h"

#include "gui/guirenderer.h"
#include "gui/guisharedpicture.h"
#include "gui/guiwidgetpictures.h"

namespace {
GuiSharedPicture tickPicture(guipictures::CHECK_TICK);
}  // namespace

GuiCheckBox::~GuiCheckBox() {
    if (holdsTick) tickPicture.release();
}

bool GuiCheckBox::draw() {
    GuiRenderer* renderer = guiRenderer();
    if (ticked && renderer && tickPicture.get()) renderer->drawImage(*tickPicture.get(), rect.x, rect.y, 1.0f);
    return true;
}

bool GuiCheckBox::onMouse(int event) {
    if (event != GE_LBUTTONDOWN) return false;
    ticked = !ticked;
    return true;
}

bool GuiCheckBox::create() {
    if (!holdsTick) {
        tickPicture.acquire(true);
        holdsTick = true;
    }
    return true;
}
