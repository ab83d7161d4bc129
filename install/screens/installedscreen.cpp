// InstalledScreen: the menu shown when the game is installed.
#include "screens/installedscreen.h"

#include "screens/screenparts.h"

bool InstalledScreen::create() {
    const bool pictured = addPicture(menuBackground());
    caption.load(medium::CAPTION_INSTALLED.file, true);
    playButton = addButton(*this, GuiRect(20, 185, 333, 22), MENU_HOVER_PICTURE, reactLaunchGame);
    readmeButton = addButton(*this, GuiRect(20, 207, 333, 22), MENU_HOVER_PICTURE, reactOpenReadme);
    homepageButton = addButton(*this, GuiRect(20, 228, 333, 22), MENU_HOVER_PICTURE, reactOpenHomepage);
    uninstallButton = addButton(*this, GuiRect(20, 249, 333, 22), MENU_HOVER_PICTURE, reactRunUninstaller);
    exitButton = addButton(*this, GuiRect(20, 271, 333, 22), MENU_HOVER_PICTURE, reactQuit);
    hoverGroup = addHoverGroup(*this, GuiRect(20, 173, 333, 132),
                               {playButton, readmeButton, homepageButton, uninstallButton, exitButton});
    const bool created = GuiScreen::create();
    return pictured && created;
}

bool InstalledScreen::draw() {
    GuiScreen::draw();
    drawCaption(caption, medium::CAPTION_INSTALLED.x, medium::CAPTION_INSTALLED.y);
    return true;
}
