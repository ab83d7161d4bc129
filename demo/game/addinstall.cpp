// A stand-in for an extra installer that the game ships (fonts, a runtime):
// it shows nothing and appends one line to "%TEMP%\Quillmark-<name>.txt", so a
// test can prove that it ran and how often. Built once per installer, with
// QUILL_EXTRA_NAME naming it.
#include <windows.h>

#include <cstdio>
#include <string>

#ifndef QUILL_EXTRA_NAME
#error "QUILL_EXTRA_NAME must name the extra installer"
#endif

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    char temp[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n > MAX_PATH) return 1;
    std::string marker = std::string(temp) + "Quillmark-" QUILL_EXTRA_NAME ".txt";

    char folder[MAX_PATH + 1];
    n = GetCurrentDirectoryA(sizeof folder, folder);
    if (n == 0 || n > MAX_PATH) folder[0] = '\0';

    FILE* f = std::fopen(marker.c_str(), "a");
    if (!f) return 1;
    std::fprintf(f, "%s ran in \"%s\" with arguments \"%s\"\n", QUILL_EXTRA_NAME, folder, commandLine);
    return std::fclose(f) == 0 ? 0 : 1;
}
