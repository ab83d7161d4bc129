// LicenseScreen: the licence agreement in a scrolling text view, with accept
// (on to the options) and decline (back to the welcome screen). The text is
// read once, when the GUI is created, and the view keeps its scroll position
// between visits.
#pragma once

#include "gui/guibutton.h"
#include "gui/guifont.h"
#include "gui/guihovergroup.h"
#include "gui/guiimage.h"
#include "gui/guiscreen.h"
#include "gui/guitextview.h"

class LicenseScreen : public GuiScreen {
public:
    bool draw() override;
    bool create() override;

    GuiTextView* getTextView() const { return textView; }

private:
    GuiTextView* textView = nullptr;
    GuiButton* acceptButton = nullptr;
    GuiButton* declineButton = nullptr;
    GuiHoverGroup* hoverGroup = nullptr;
    GuiFont font;
    GuiImage caption;
};
