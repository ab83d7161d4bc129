// GuiScreen: the base of the installer's screens. A screen is a top-level window
// of the panel: its create adds the background with addPicture first, then the
// widgets, then calls GuiWindow::create; its draw runs GuiWindow::draw and then
// lays its caption image over everything.
#pragma once

#include "gui/guiwindow.h"

class GuiScreen : public GuiWindow {};
