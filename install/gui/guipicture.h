// GuiPicture: a child window that shows one TGA picture (screen backgrounds,
// slides). It is both a GuiWindow and the GuiImage that it shows; deleting it
// through either destroys it once.
#pragma once

#include "gui/guiimage.h"
#include "gui/guiwindow.h"

class GuiPicture : public GuiWindow, public GuiImage {
public:
    // Draws the picture at its own size with its top-left corner at rect.x, rect.y.
    bool draw() override;
    bool create() override;
    // The image's own create stays reachable beside the window's.
    using GuiImage::create;

    // Any value is taken; the blending holds it to 0..1.
    void setOpacity(float newOpacity) { opacity = newOpacity; }
    float getOpacity() const { return opacity; }

private:
    float opacity = 1.0f;
};
