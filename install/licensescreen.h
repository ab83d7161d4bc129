// LicenseScreen: the licence agreement in a scrolling text view, with accept
// (on to the options) and decline (back to the welcome screen). The text is
// read once, when the GUI is created, and the view keeps its scroll position
// between visits.
#pragma once

#include "guibutton.h"
#include "guifont.h"
#include "guihovergroup.h"
#include "guiimage.h"
#include "guiscreen.h"
#include "guitextview.h"

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
