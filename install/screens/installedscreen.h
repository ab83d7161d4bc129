// InstalledScreen: the first screen when the game is installed: play, readme,
// home page, uninstall and exit.
#pragma once

#include "gui/guibutton.h"
#include "gui/guihovergroup.h"
#include "gui/guiimage.h"
#include "gui/guiscreen.h"

class InstalledScreen : public GuiScreen {
public:
    bool draw() override;
    bool create() override;

private:
    GuiButton* playButton = nullptr;
    GuiButton* readmeButton = nullptr;
    GuiButton* homepageButton = nullptr;
    GuiButton* uninstallButton = nullptr;
    GuiButton* exitButton = nullptr;
    GuiHoverGroup* hoverGroup = nullptr;
    GuiImage caption;
};
