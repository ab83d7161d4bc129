// Entry point of uninstall.exe.
#include <windows.h>

#include "resstringtable.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!stringTable.load("Media\\strings.txt")) {
        MessageBoxA(nullptr, "Cannot load string table. Application will terminate.", "Quillmark Demo Uninstall",
                    MB_OK | MB_ICONERROR);
        return -1;
    }
    return 0;
}
