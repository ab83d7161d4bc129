// OptionsScreen: the last screen before the installation: the folder in an edit
// box with a browse button, the desktop-shortcut check box, install and back.
// The controls write the application's installDir and desktopShortcut at every
// change, so both are current when the installation starts.
#pragma once

#include "guibutton.h"
#include "guicheckbox.h"
#include "guieditbox.h"
#include "guifont.h"
#include "guihovergroup.h"
#include "guiimage.h"
#include "guiscreen.h"

class OptionsScreen : public GuiScreen {
public:
    bool draw() override;
    bool create() override;

    // Shows the application's installDir again, with the caret at its end; the
    // folder browser calls it whenever it closes, also when it was cancelled.
    void refreshInstallDir();

private:
    GuiCheckBox* shortcutBox = nullptr;
    GuiEditBox* folderBox = nullptr;
    GuiButton* installButton = nullptr;
    GuiButton* browseButton = nullptr;
    GuiButton* backButton = nullptr;
    GuiFont font;
    GuiHoverGroup* hoverGroup = nullptr;
    GuiImage caption;
};
