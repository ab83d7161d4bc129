// Extraction throughput of setup's worker path against the library's own speed in
// the same process: each package is extracted twice through the binding to
// unrar.dll bare (no data callback, no progress) and as the worker does it
// (measuring first, then the data callback feeding the progress screen), and the
// bytes and best seconds of both are printed.
// Usage: workerbench FOLDER PACKAGE... (placed beside unrar.dll and run from that folder)
// Prints one line per package: name, bytes, raw seconds, worker seconds (measuring
// included), measuring seconds.
#include <windows.h>

#include <cstdio>
#include <string>

#include "installapp.h"
#include "installworker.h"

namespace {

double now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

// The library alone: every entry extracted, nothing reported back.
bool extractRaw(const char* package, const wchar_t* folder) {
    openArchiveData = RAROpenArchiveData{};
    openArchiveData.ArcName = const_cast<char*>(package);
    openArchiveData.OpenMode = RAR_OM_EXTRACT;
    archiveHandle = RAROpenArchive(&openArchiveData);
    if (archiveHandle == nullptr) return false;
    bool ok = true;
    while (ok && RARReadHeaderEx(archiveHandle, &headerData) == 0) {
        ok = RARProcessFileW(archiveHandle, RAR_EXTRACT, const_cast<wchar_t*>(folder), nullptr) == 0;
    }
    RARCloseArchive(archiveHandle);
    archiveHandle = nullptr;
    return ok;
}

// Removes what an extraction left, so that each run writes new files.
void removeTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: workerbench FOLDER PACKAGE...\n");
        return 2;
    }
    char szProgram[MAX_PATH];
    GetModuleFileNameA(nullptr, szProgram, MAX_PATH);
    installApp.setupPath = szProgram;  // unrar.dll is loaded from the folder of this program
    if (!loadUnrarLibrary()) return 1;
    const std::string folder = argv[1];
    installApp.installDir = folder;
    const std::wstring folderWide = ansiToWide(folder);

    for (int i = 2; i < argc; ++i) {
        const char* package = argv[i];
        // Four runs of each in the order RWWR WRRW, the best of each kept, so that
        // neither gains from its place (a warm cache, the disk's write-back).
        const char order[] = "RWWRWRRW";
        double rawSeconds = 1e9, workerSeconds = 1e9, measureSeconds = 1e9;
        for (const char* run = order; *run != '\0'; ++run) {
            bool worker = *run == 'W';
            removeTree(folder);
            CreateDirectoryA(folder.c_str(), nullptr);
            installApp.logEntries.clear();
            double start = now();
            bool ok;
            if (worker) {
                packagesTotal = measurePackage(package);
                double measured = now() - start;
                if (measured < measureSeconds) measureSeconds = measured;
                bytesDone = 0;
                ok = extractPackage(package, folderWide.c_str());
            } else {
                ok = extractRaw(package, folderWide.c_str());
            }
            double seconds = now() - start;
            if (!ok) {
                std::fprintf(stderr, "workerbench: %s failed\n", package);
                return 1;
            }
            double& best = worker ? workerSeconds : rawSeconds;
            if (seconds < best) best = seconds;
        }
        removeTree(folder);
        std::printf("%s %lld %.4f %.4f %.4f\n", package, static_cast<long long>(bytesDone), rawSeconds, workerSeconds,
                    measureSeconds);
    }
    return 0;
}
