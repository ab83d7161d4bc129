// The process-wide renderer of the Win32 build.
#include "guirenderer.h"

GuiRenderer* getRenderer() { return nullptr; }
