// WelcomeScreen: the menu shown when the game is not installed.
#include "screens/welcomescreen.h"

#include "screens/screenparts.h"

bool WelcomeScreen::create() {
    const bool pictured = addPicture(menuBackground());
    caption.load(medium::CAPTION_WELCOME.file, true);
    installButton = addButton(*this, GuiRect(20, 195, 333, 22), MENU_HOVER_PICTURE, reactShowLicense);
    readmeButton = addButton(*this, GuiRect(20, 217, 333, 22), MENU_HOVER_PICTURE, reactOpenReadme);
    homepageButton = addButton(*this, GuiRect(20, 238, 333, 22), MENU_HOVER_PICTURE, reactOpenHomepage);
    exitButton = addButton(*this, GuiRect(20, 260, 333, 22), MENU_HOVER_PICTURE, reactQuit);
    hoverGroup =
        addHoverGroup(*this, GuiRect(20, 192, 333, 100), {installButton, readmeButton, homepageButton, exitButton});
    const bool created = GuiScreen::create();
    return pictured && created;
}

bool WelcomeScreen::draw() {
    GuiScreen::draw();
    drawCaption(caption, medium::CAPTION_WELCOME.x, medium::CAPTION_WELCOME.y);
    return true;
}
