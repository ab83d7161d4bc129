// OptionsScreen: the installation folder and the desktop-shortcut choice.
#include "screens/optionsscreen.h"

#include "installapp.h"
#include "resstringtable.h"
#include "screens/screenparts.h"

namespace {

constexpr const char* OPTIONS_HOVER_PICTURE = medium::HOVER_OPTIONS.file;

}  // namespace

bool OptionsScreen::create() {
    font.create("MS Sans Serif", 7, GuiColor(230, 215, 189, 255), false);
    const bool pictured = addPicture(medium::BACK_OPTIONS.file);

    // The box's column depends on where the artwork of a translation puts it.
    shortcutBox = new GuiCheckBox;
    shortcutBox->setRect(stringTable.number("INT_ICON_CB_X"), 237, 20, 20);
    // Ticked unless the command line said /NOSHORTCUT.
    shortcutBox->setTicked(installApp.desktopShortcut);
    addChild(shortcutBox, [](GuiWindow* sender) {
        installApp.setDesktopShortcut(static_cast<GuiCheckBox*>(sender)->isTicked());
        return 0;
    });

    folderBox = new GuiEditBox;
    folderBox->setRect(22, 217, 331, 22);
    folderBox->setFont(&font);
    folderBox->setAlign(ALIGN_CENTRE);
    folderBox->setText(installApp.installDir.c_str());
    folderBox->setReadOnly(false);
    addChild(folderBox, [](GuiWindow* sender) {
        installApp.installDir = static_cast<GuiEditBox*>(sender)->getText();
        return 0;
    });

    installButton = addButton(*this, GuiRect(55, 265, 85, 26), OPTIONS_HOVER_PICTURE, reactStartInstallation);
    browseButton = addButton(*this, GuiRect(145, 265, 85, 26), OPTIONS_HOVER_PICTURE, reactBrowseInstallDir);
    backButton = addButton(*this, GuiRect(234, 265, 85, 26), OPTIONS_HOVER_PICTURE, reactShowWelcome);
    hoverGroup = addHoverGroup(*this, GuiRect(20, 263, 332, 37), {installButton, browseButton, backButton});
    caption.load(medium::CAPTION_OPTIONS.file, true);

    const bool created = GuiScreen::create();
    return pictured && created;
}

bool OptionsScreen::draw() {
    GuiScreen::draw();
    drawCaption(caption, medium::CAPTION_OPTIONS.x, medium::CAPTION_OPTIONS.y);
    return true;
}

void OptionsScreen::refreshInstallDir() {
    if (folderBox) folderBox->setText(installApp.installDir.c_str());
}
