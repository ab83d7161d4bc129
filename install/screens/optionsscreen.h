// OptionsScreen: the last screen before the installation: the folder in an edit
// box with a browse button, the desktop-shortcut check box, install and back.
// The controls write the application's installDir and desktopShortcut at every
// change, so both are current when the installation starts.
#pragma once

#include "gui/guibutton.h"
#include "gui/guicheckbox.h"
#include "gui/guieditbox.h"
#include "gui/guifont.h"
#include "gui/guihovergroup.h"
#include "gui/guiimage.h"
#include "gui/guiscreen.h"

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
