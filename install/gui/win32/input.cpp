// The toolkit's clock, mouse button, key state, pointer and click cue on Win32.
// Key state and click cue come from the application's hooks.
#include <windows.h>

#include <atomic>

#include "gui/guiplatform.h"
#include "gui/win32/win32hooks.h"

namespace {

std::atomic<win32hooks::KeyHeldHook> keyHeldHook{nullptr};
std::atomic<win32hooks::ClickCueHook> clickCueHook{nullptr};

}  // namespace

void win32hooks::setKeyHeldHook(win32hooks::KeyHeldHook hook) { keyHeldHook = hook; }

void win32hooks::setClickCueHook(win32hooks::ClickCueHook hook) { clickCueHook = hook; }

uint32_t platformTickCount() { return GetTickCount(); }

bool platformLeftButtonDown() { return GetKeyState(VK_LBUTTON) < 0; }

bool platformKeyHeld() {
    win32hooks::KeyHeldHook hook = keyHeldHook;
    return hook && hook();
}

void platformShowIBeamCursor() { SetCursor(LoadCursorA(nullptr, IDC_IBEAM)); }

void platformClickCue() {
    win32hooks::ClickCueHook hook = clickCueHook;
    if (hook) hook();
}
