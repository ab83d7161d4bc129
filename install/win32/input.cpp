// The toolkit's clock, mouse button and key state, and pointer on Win32.
#include <windows.h>

#include "guiplatform.h"
#include "installapp.h"

uint32_t platformTickCount() { return GetTickCount(); }

bool platformLeftButtonDown() { return GetKeyState(VK_LBUTTON) < 0; }

// The window procedure sets and clears the flag on WM_KEYDOWN and WM_KEYUP.
bool platformKeyHeld() { return installApp.keyDown; }

void platformShowIBeamCursor() { SetCursor(LoadCursorA(nullptr, IDC_IBEAM)); }
