// The toolkit's clock, mouse button state and pointer on Win32.
#include <windows.h>

#include "guiplatform.h"

uint32_t platformTickCount() { return GetTickCount(); }

bool platformLeftButtonDown() { return GetKeyState(VK_LBUTTON) < 0; }

void platformShowIBeamCursor() { SetCursor(LoadCursorA(nullptr, IDC_IBEAM)); }
