// InstalledScreen: the menu shown when the game is installed.
#include "installedscreen.h"

#include "installapp.h"
#include "screenparts.h"

bool InstalledScreen::create() {
    const bool pictured = addPicture(menuBackground());
    caption.load("Media\\text_play.tga", true);
    playButton = addButton(*this, GuiRect(20, 185, 333, 22), MENU_HOVER_PICTURE, [](GuiWindow*) {
        installApp.launchGame();
        return 0;
    });
    readmeButton = addButton(*this, GuiRect(20, 207, 333, 22), MENU_HOVER_PICTURE, [](GuiWindow*) {
        installApp.openReadme();
        return 0;
    });
    homepageButton = addButton(*this, GuiRect(20, 228, 333, 22), MENU_HOVER_PICTURE, [](GuiWindow*) {
        installApp.openHomepage();
        return 0;
    });
    uninstallButton = addButton(*this, GuiRect(20, 249, 333, 22), MENU_HOVER_PICTURE, [](GuiWindow*) {
        installApp.runUninstaller();
        return 0;
    });
    exitButton = addButton(*this, GuiRect(20, 271, 333, 22), MENU_HOVER_PICTURE, [](GuiWindow*) {
        installApp.quit();
        return 0;
    });
    hoverGroup = addHoverGroup(*this, GuiRect(20, 173, 333, 132),
                               {playButton, readmeButton, homepageButton, uninstallButton, exitButton});
    const bool created = GuiScreen::create();
    return pictured && created;
}

bool InstalledScreen::draw() {
    GuiScreen::draw();
    drawCaption(caption, 20, 173);
    return true;
}
