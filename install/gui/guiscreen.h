// GuiScreen: a top-level window of the panel, one per screen of the installer.
#pragma once

#include "guiwindow.h"

class GuiScreen : public GuiWindow {};
