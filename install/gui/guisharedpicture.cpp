// GuiSharedPicture: a reference-counted picture shared by the widgets of one class.
#include "gui/guisharedpicture.h"

void GuiSharedPicture::acquire(bool deferred) {
    if (users++ > 0) return;
    image = new GuiImage;
    image->load(path, deferred);
}

void GuiSharedPicture::release() {
    if (users == 0 || --users > 0) return;
    delete image;
    image = nullptr;
}
