// OptionsScreen: the installation folder and the desktop-shortcut choice.
#include "screens/optionsscreen.h"

#include "installapp.h"
#include "resstringtable.h"
#include "screens/screenparts.h"

namespace {

constexpr const char* OPTIONS_HOVER_PICTURE = "Media\\over_options.tga";

}  // namespace

bool OptionsScreen::create() {
    font.create("MS Sans Serif", 7, GuiColor(230, 215, 189, 255), false);
    const bool pictured = addPicture("Media\\back_options.tga");

    // The box's column depends on where the artwork of a translation puts it.
    shortcutBox = new GuiCheckBox;
    shortcutBox->setRect(stringTable.number("INT_ICON_CB_X"), 237, 20, 20);
    shortcutBox->setTicked(true);
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
    caption.load("Media\\text_options.tga", true);

    const bool created = GuiScreen::create();
    return pictured && created;
}

bool OptionsScreen::draw() {
    GuiScreen::draw();
    drawCaption(caption, 21, 173);
    return true;
}

void OptionsScreen::refreshInstallDir() {
    if (folderBox) folderBox->setText(installApp.installDir.c_str());
}
