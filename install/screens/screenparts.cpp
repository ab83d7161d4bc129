// The pieces that every screen assembles in the same way.
#include "screens/screenparts.h"

#include <windows.h>

#include "gui/guirenderer.h"
#include "installapp.h"

const char* menuBackground() { return (GetTickCount() & 1) ? medium::BACK_MENU_1.file : medium::BACK_MENU_2.file; }

GuiButton* addButton(GuiWindow& screen, const GuiRect& rect, const char* hoverPicture, Reactor action) {
    GuiButton* button = new GuiButton;
    button->getImage().load(hoverPicture, true);
    button->setRect(rect);
    screen.addChild(button, action);
    return button;
}

GuiHoverGroup* addHoverGroup(GuiWindow& screen, const GuiRect& rect, std::initializer_list<GuiWindow*> members) {
    GuiHoverGroup* group = new GuiHoverGroup;
    group->setRect(rect);
    screen.addChild(group);
    for (GuiWindow* member : members) group->addMember(member);
    return group;
}

int reactShowWelcome(GuiWindow*) {
    installApp.showWelcomeScreen();
    return 0;
}

int reactShowLicense(GuiWindow*) {
    installApp.showLicenseScreen();
    return 0;
}

int reactShowOptions(GuiWindow*) {
    installApp.showOptionsScreen();
    return 0;
}

int reactOpenReadme(GuiWindow*) {
    installApp.openReadme();
    return 0;
}

int reactOpenHomepage(GuiWindow*) {
    installApp.openHomepage();
    return 0;
}

int reactQuit(GuiWindow*) {
    installApp.quit();
    return 0;
}

int reactLaunchGame(GuiWindow*) {
    installApp.launchGame();
    return 0;
}

int reactRunUninstaller(GuiWindow*) {
    installApp.runUninstaller();
    return 0;
}

int reactStartInstallation(GuiWindow*) {
    installApp.startInstallation();
    return 0;
}

int reactBrowseInstallDir(GuiWindow*) {
    installApp.browseInstallDir();
    return 0;
}

int reactConfirmCancel(GuiWindow*) {
    installApp.confirmCancel();
    return 0;
}

void drawCaption(GuiImage& caption, int32_t x, int32_t y) {
    if (GuiRenderer* renderer = guiRenderer()) renderer->drawImage(caption, x, y, 1.0f);
}
