// Both programs take the system libraries they load by name from System32 only.
// Windows otherwise looks in the program's own folder first for every library
// that is not one of its known DLLs, so a stray winmm.dll or uxtheme.dll beside
// setup.exe (a download folder collects such files) would run inside it. Linked
// into setup.exe and uninstall.exe themselves, not into the libraries they share.
#include <windows.h>

#include "trace.h"

namespace {

// Runs before every other static constructor (priority 101 is the first one
// that programs may use): setup's application object already asks the system
// for the work area while it is constructed, and under Wine that loads
// uxtheme.dll. The audio libraries are delay-loaded and come later still.
__attribute__((constructor(101))) void restrictLibrarySearchToSystem32() {
    // Looked up by name: imported statically, the call would keep the program
    // from starting where it is missing. Such a system keeps its search order.
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (!setDefaultDllDirectories) return;
    if (!setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        traceFailure("restricting the library search to", "System32", GetLastError());
}

}  // namespace
