// LicenseScreen: the licence agreement and its two answers.
#include "screens/licensescreen.h"

#include "screens/screenparts.h"

namespace {

constexpr const char* LICENSE_HOVER_PICTURE = medium::HOVER_LICENSE.file;

}  // namespace

bool LicenseScreen::create() {
    font.create("Verdana", 7, GuiColor(211, 203, 192, 255), false);
    const bool pictured = addPicture(medium::BACK_LICENSE.file);
    caption.load(medium::CAPTION_LICENSE.file, true);

    textView = new GuiTextView;
    textView->setRect(23, 70, 512, 255);
    textView->setFont(&font);
    // A missing licence leaves the view empty; both answers still work.
    textView->loadText(medium::LICENSE_FILE);
    addChild(textView);

    acceptButton = addButton(*this, GuiRect(132, 326, 128, 32), LICENSE_HOVER_PICTURE, reactShowOptions);
    declineButton = addButton(*this, GuiRect(294, 326, 128, 32), LICENSE_HOVER_PICTURE, reactShowWelcome);
    hoverGroup = addHoverGroup(*this, GuiRect(23, 326, 504, 32), {acceptButton, declineButton});

    // The view's own create sizes its scroll bar from the lines just read.
    const bool created = GuiScreen::create();
    return pictured && created;
}

bool LicenseScreen::draw() {
    GuiScreen::draw();
    drawCaption(caption, medium::CAPTION_LICENSE.x, medium::CAPTION_LICENSE.y);
    return true;
}
