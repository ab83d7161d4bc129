// Decompression speed of compressed RAR 4 archives through our library against
// libarchive's RAR reader in the same process: every entry of each archive is decoded
// and its data dropped (our RAR_TEST with a data callback, libarchive's
// archive_read_data), the two alternating round after round, timed in process CPU
// seconds so that other work on the machine does not tilt the ratio.
// Usage: decodebench ROUNDS ARCHIVE...
// Prints one line per archive: name, bytes per round, our and libarchive's MB/s and
// our speed as a multiple of libarchive's.
#include "unrar/unrar.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

double cpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

long long decodedBytes = 0;

int UNRAR_CALL countBlock(unsigned char*, int size) {
    decodedBytes += size;
    return 1;
}

// Bytes decoded by our library, or -1 when an entry fails.
long long decodeOurs(const char* name) {
    RAROpenArchiveData open{};
    open.ArcName = const_cast<char*>(name);
    open.OpenMode = RAR_OM_EXTRACT;
    void* h = RAROpenArchive(&open);
    if (!h) return -1;
    RARSetProcessDataProc(h, countBlock);
    decodedBytes = 0;
    RARHeaderData head{};
    bool ok = true;
    while (ok && RARReadHeader(h, &head) == ERAR_SUCCESS) ok = RARProcessFile(h, RAR_TEST, nullptr, nullptr) == 0;
    RARCloseArchive(h);
    return ok ? decodedBytes : -1;
}

// Bytes decoded by libarchive until the end or its first error: its 3.6.2 stops one
// block short of the end of an archive of many LZ blocks with a CRC error, and the
// speed is still measured over what it did produce.
long long decodeLibarchive(const char* name) {
    archive* a = archive_read_new();
    archive_read_support_format_rar(a);
    long long bytes = 0;
    static std::vector<char> buffer(256 * 1024);
    archive_entry* entry;
    if (archive_read_open_filename(a, name, 256 * 1024) == ARCHIVE_OK) {
        while (archive_read_next_header(a, &entry) == ARCHIVE_OK) {
            la_ssize_t n;
            while ((n = archive_read_data(a, buffer.data(), buffer.size())) > 0) bytes += n;
        }
    }
    archive_read_free(a);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: decodebench ROUNDS ARCHIVE...\n");
        return 2;
    }
    int rounds = atoi(argv[1]);
    int status = 0;
    for (int i = 2; i < argc; ++i) {
        std::string name = argv[i];
        name = name.substr(name.find_last_of('/') + 1);
        double ours = 0, theirs = 0;
        long long bytes = 0, theirBytes = 0;
        for (int r = 0; r < rounds && bytes >= 0; ++r) {
            double start = cpuSeconds();
            bytes = decodeOurs(argv[i]);
            double middle = cpuSeconds();
            theirBytes = decodeLibarchive(argv[i]);
            ours += middle - start;
            theirs += cpuSeconds() - middle;
        }
        // Less than nine tenths of the data is not the same work any more.
        if (bytes <= 0 || theirBytes * 10 < bytes * 9) {
            printf("  %-42s not decoded by both readers (ours %lld bytes, libarchive %lld)\n", name.c_str(), bytes,
                   theirBytes);
            status = 1;
            continue;
        }
        double oursRate = bytes * double(rounds) / 1048576.0 / ours;
        double theirRate = theirBytes * double(rounds) / 1048576.0 / theirs;
        printf("  %-42s %9lld bytes  ours %7.1f MB/s  libarchive %7.1f MB/s  = %.3f x libarchive%s\n", name.c_str(),
               bytes, oursRate, theirRate, oursRate / theirRate, theirBytes < bytes ? " (it stops early)" : "");
    }
    return status;
}
