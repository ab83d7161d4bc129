// WelcomeScreen: one of the installer's five screens.
#pragma once

#include "guiscreen.h"

class WelcomeScreen : public GuiScreen {};
