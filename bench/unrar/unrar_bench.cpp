// Extraction throughput of the unrar library: extracts one archive with RAR_EXTRACT and
// a data callback (as setup uses it) and prints the unpacked bytes per second.
//   unrar_bench ARCHIVE DESTINATION [RUNS]
// With RUNS the archive is extracted that many times into a new destination (the
// old one removed first, outside the timing) and the best run is printed.
#include "unrar/unrar.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

long long unpackedBytes = 0;

int UNRAR_CALL countBlock(unsigned char*, int size) {
    unpackedBytes += size;
    return 1;
}

// One extraction; false (with a message) when the archive fails.
bool extractOnce(char* archive, char* destination, int& entries) {
    RAROpenArchiveData open{};
    open.ArcName = archive;
    open.OpenMode = RAR_OM_EXTRACT;
    void* h = RAROpenArchive(&open);
    if (!h) {
        fprintf(stderr, "unrar_bench: cannot open %s (code %u)\n", archive, open.OpenResult);
        return false;
    }
    RARSetProcessDataProc(h, countBlock);
    RARHeaderData head{};
    entries = 0;
    while (RARReadHeader(h, &head) == ERAR_SUCCESS) {
        int r = RARProcessFile(h, RAR_EXTRACT, destination, nullptr);
        if (r != ERAR_SUCCESS) {
            fprintf(stderr, "unrar_bench: %s: error %d\n", head.FileName, r);
            RARCloseArchive(h);
            return false;
        }
        ++entries;
    }
    RARCloseArchive(h);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        fprintf(stderr, "usage: unrar_bench ARCHIVE DESTINATION [RUNS]\n");
        return 2;
    }
    int runs = argc == 4 ? std::atoi(argv[3]) : 1;
    double best = 0;
    long long bytes = 0;
    int entries = 0;
    for (int run = 0; run < runs; ++run) {
        if (argc == 4) std::filesystem::remove_all(argv[2]);
        unpackedBytes = 0;
        auto start = std::chrono::steady_clock::now();
        if (!extractOnce(argv[1], argv[2], entries)) return 1;
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (run == 0 || seconds < best) best = seconds;
        bytes = unpackedBytes;
    }
    printf("%d entries, %.1f MiB in %.6f s: %.1f MiB/s\n", entries, bytes / 1048576.0, best, bytes / 1048576.0 / best);
    return 0;
}
