// WelcomeScreen: the first screen when the game is not installed: install,
// readme, home page and exit.
#pragma once

#include "gui/guibutton.h"
#include "gui/guihovergroup.h"
#include "gui/guiimage.h"
#include "gui/guiscreen.h"

class WelcomeScreen : public GuiScreen {
public:
    bool draw() override;
    bool create() override;

private:
    GuiButton* installButton = nullptr;
    GuiButton* readmeButton = nullptr;
    GuiButton* homepageButton = nullptr;
    GuiButton* exitButton = nullptr;
    GuiHoverGroup* hoverGroup = nullptr;
    GuiImage caption;
};
