// Extraction throughput of setup's worker path, against the library's own speed and
// against what a plain Win32 program needs for the same bytes, all in one process
// and taking turns, so that a busy machine weighs on each alike. For every package:
//   raw     the binding to unrar.dll bare (no data callback, no progress);
//   worker  as the worker does it: measuring first, then the data callback feeding
//           the progress screen;
//   copy    the floor of reading and writing the bytes: the package copied with
//           ReadFile and WriteFile in 1 MiB chunks;
//   files   the floor of making the files: as many files of the entries' sizes
//           created, written and closed in one folder (CreateFile, WriteFile,
//           CloseHandle), nothing read.
// Each is run ROUNDS times (in the order RWCF WRFC ...), the best kept.
// Usage: workerbench FOLDER ROUNDS PACKAGE... (placed beside unrar.dll and run from that folder)
// Prints one line per package: name, bytes, then the best seconds of raw, worker
// (measuring included), measuring alone, copy and files.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "installapp.h"
#include "installworker.h"

namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

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

// The sizes of the package's files (folders left out), for the files floor.
std::vector<unsigned> fileSizes(const char* package) {
    std::vector<unsigned> sizes;
    openArchiveData = RAROpenArchiveData{};
    openArchiveData.ArcName = const_cast<char*>(package);
    openArchiveData.OpenMode = RAR_OM_LIST;
    archiveHandle = RAROpenArchive(&openArchiveData);
    if (archiveHandle == nullptr) return sizes;
    while (RARReadHeaderEx(archiveHandle, &headerData) == 0) {
        if (!(headerData.FileAttr & FILE_ATTRIBUTE_DIRECTORY)) sizes.push_back(headerData.UnpSize);
        RARProcessFile(archiveHandle, RAR_SKIP, nullptr, nullptr);
    }
    RARCloseArchive(archiveHandle);
    archiveHandle = nullptr;
    return sizes;
}

bool copyInChunks(const char* source, const std::string& target, std::vector<char>& buffer) {
    HANDLE in = CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        return false;
    }
    bool ok = true;
    for (;;) {
        DWORD got = 0, put = 0;
        if (!ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) ok = false;
        if (!ok || got == 0) break;
        if (!WriteFile(out, buffer.data(), got, &put, nullptr) || put != got) ok = false;
    }
    CloseHandle(in);
    return CloseHandle(out) && ok;
}

bool writeFiles(const std::string& folder, const std::vector<unsigned>& sizes, const std::vector<char>& buffer) {
    for (size_t i = 0; i < sizes.size(); ++i) {
        std::string name = folder + "\\f" + std::to_string(i) + ".dat";
        HANDLE out =
            CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out == INVALID_HANDLE_VALUE) return false;
        bool ok = true;
        for (unsigned left = sizes[i]; ok && left > 0;) {
            DWORD chunk = left < buffer.size() ? left : static_cast<DWORD>(buffer.size()), put = 0;
            ok = WriteFile(out, buffer.data(), chunk, &put, nullptr) && put == chunk;
            left -= chunk;
        }
        if (!CloseHandle(out) || !ok) return false;
    }
    return true;
}

// Removes what a run left, so that each run writes new files.
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
    if (argc < 4) {
        std::fprintf(stderr, "usage: workerbench FOLDER ROUNDS PACKAGE...\n");
        return 2;
    }
    char szProgram[MAX_PATH];
    GetModuleFileNameA(nullptr, szProgram, MAX_PATH);
    installApp.setupPath = szProgram;  // unrar.dll is loaded from the folder of this program
    if (!loadUnrarLibrary()) return 1;
    const std::string folder = argv[1];
    const int rounds = std::atoi(argv[2]);
    installApp.installDir = folder;
    const std::wstring folderWide = ansiToWide(folder);
    std::vector<char> buffer(1 << 20, 'x');

    for (int i = 3; i < argc; ++i) {
        const char* package = argv[i];
        const std::vector<unsigned> sizes = fileSizes(package);
        // Every kind in every place of the order over two rounds, so that none gains
        // from its place (a warm cache, the disk's write-back).
        const char* orders[] = {"RWCF", "WRFC"};
        enum { Raw, Worker, Measure, Copy, Files, Kinds };
        double best[Kinds] = {1e9, 1e9, 1e9, 1e9, 1e9};
        for (int round = 0; round < rounds; ++round) {
            for (const char* run = orders[round % 2]; *run != '\0'; ++run) {
                removeTree(folder);
                CreateDirectoryA(folder.c_str(), nullptr);
                installApp.logEntries.clear();
                double start = now();
                bool ok;
                int kind;
                switch (*run) {
                case 'R':
                    kind = Raw;
                    ok = extractRaw(package, folderWide.c_str());
                    break;
                case 'W': {
                    kind = Worker;
                    packagesTotal = measurePackage(package);
                    double measured = now() - start;
                    if (measured < best[Measure]) best[Measure] = measured;
                    bytesDone = 0;
                    ok = extractPackage(package, folderWide.c_str());
                    break;
                }
                case 'C':
                    kind = Copy;
                    ok = copyInChunks(package, folder + "\\copy.bin", buffer);
                    break;
                default:
                    kind = Files;
                    ok = writeFiles(folder, sizes, buffer);
                    break;
                }
                double seconds = now() - start;
                if (!ok) {
                    std::fprintf(stderr, "workerbench: %s failed (%c)\n", package, *run);
                    return 1;
                }
                if (seconds < best[kind]) best[kind] = seconds;
            }
        }
        removeTree(folder);
        std::printf("%s %lld %.4f %.4f %.4f %.4f %.4f\n", package, static_cast<long long>(bytesDone), best[Raw],
                    best[Worker], best[Measure], best[Copy], best[Files]);
    }
    return 0;
}
