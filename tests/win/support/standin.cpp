// A stand-in for a system library (winmm.dll, msacm32.dll, uxtheme.dll) planted
// beside the programs, as a download folder collects such files. Whatever process
// loads it, it leaves "<its own path>.loaded" beside itself, so a test sees that
// its code ran. It exports nothing.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char szMarker[MAX_PATH + 8];
    DWORD length = GetModuleFileNameA(module, szMarker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    lstrcatA(szMarker, ".loaded");
    HANDLE marker = CreateFileA(szMarker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    return TRUE;
}
