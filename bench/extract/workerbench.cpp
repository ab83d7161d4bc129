// Extraction throughput of setup's worker path: measures and extracts one
// package through unrar.dll with the progress callback, and prints MB/s.
// Usage: workerbench PACKAGE FOLDER (run from the folder holding unrar.dll).
#include <windows.h>

#include <cstdio>

#include "installapp.h"
#include "installworker.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: workerbench PACKAGE FOLDER\n");
        return 2;
    }
    if (!loadUnrarLibrary()) return 1;
    installApp.installDir = argv[2];
    CreateDirectoryA(argv[2], nullptr);
    packagesTotal = measurePackage(argv[1]);
    bytesDone = 0;
    char folderOem[MAX_PATH * 4];
    CharToOemBuffA(argv[2], folderOem, static_cast<DWORD>(lstrlenA(argv[2]) + 1));

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    bool ok = extractPackage(argv[1], folderOem);
    QueryPerformanceCounter(&end);
    double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    std::printf("%lld %.3f\n", static_cast<long long>(bytesDone), seconds);
    return ok ? 0 : 1;
}
