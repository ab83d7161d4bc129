// What the toolkit's Win32 side takes from the application that uses it. The
// backend only feeds the core; it knows nothing of the application, which
// installs these hooks once at start-up, before the first window event.
#pragma once

namespace win32hooks {

// Whether a keyboard key is held down right now; without a hook, none is.
using KeyHeldHook = bool (*)();
// Plays the click that a released button makes; without a hook, it is silent.
using ClickCueHook = void (*)();

void setKeyHeldHook(KeyHeldHook hook);
void setClickCueHook(ClickCueHook hook);

}  // namespace win32hooks
