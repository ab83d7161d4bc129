// Extraction throughput of the unrar library: extracts one archive with RAR_EXTRACT and
// a data callback (as setup uses it) and prints the unpacked bytes per second.
//   unrar_bench ARCHIVE DESTINATION
#include "unrar/unrar.h"

#include <chrono>
#include <cstdio>

namespace {

long long unpackedBytes = 0;

int UNRAR_CALL countBlock(unsigned char*, int size) {
    unpackedBytes += size;
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: unrar_bench ARCHIVE DESTINATION\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    RAROpenArchiveData open{};
    open.ArcName = argv[1];
    open.OpenMode = RAR_OM_EXTRACT;
    void* h = RAROpenArchive(&open);
    if (!h) {
        fprintf(stderr, "unrar_bench: cannot open %s (code %u)\n", argv[1], open.OpenResult);
        return 1;
    }
    RARSetProcessDataProc(h, countBlock);
    RARHeaderData head{};
    int entries = 0;
    while (RARReadHeader(h, &head) == ERAR_SUCCESS) {
        int r = RARProcessFile(h, RAR_EXTRACT, argv[2], nullptr);
        if (r != ERAR_SUCCESS) {
            fprintf(stderr, "unrar_bench: %s: error %d\n", head.FileName, r);
            RARCloseArchive(h);
            return 1;
        }
        ++entries;
    }
    RARCloseArchive(h);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("%d entries, %.1f MiB in %.2f s: %.1f MiB/s\n", entries, unpackedBytes / 1048576.0, seconds,
           unpackedBytes / 1048576.0 / seconds);
    return 0;
}
