// bsdtar's extraction without its process start: the calls `bsdtar -xf ARCHIVE -C
// DESTINATION` makes (tar/read.c in libarchive's source: every filter and format,
// 10240-byte blocks, archive_read_extract2 into a disk writer with bsdtar's default
// options), in this process and repeated, so that archives of a few kilobytes can
// be timed at all.
//   tarbench ARCHIVE DESTINATION RUNS
// Extracts RUNS times into a new destination (the old one removed outside the
// timing) and prints the best seconds.
#include <archive.h>
#include <archive_entry.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

int extractionOptions() {
    int options = ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_SECURE_SYMLINKS | ARCHIVE_EXTRACT_SECURE_NODOTDOT;
    // bsdtar run by root keeps owners, modes and the rest.
    if (geteuid() == 0)
        options |= ARCHIVE_EXTRACT_OWNER | ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_ACL | ARCHIVE_EXTRACT_XATTR |
                   ARCHIVE_EXTRACT_FFLAGS | ARCHIVE_EXTRACT_MAC_METADATA;
    return options;
}

bool extractOnce(const char* archivePath) {
    archive* reader = archive_read_new();
    archive* writer = archive_write_disk_new();
    archive_write_disk_set_standard_lookup(writer);
    archive_write_disk_set_options(writer, extractionOptions());
    archive_read_support_filter_all(reader);
    archive_read_support_format_all(reader);
    bool ok = archive_read_open_filename(reader, archivePath, 10240) == ARCHIVE_OK;
    archive_entry* entry;
    int r = ARCHIVE_OK;
    while (ok && (r = archive_read_next_header(reader, &entry)) == ARCHIVE_OK)
        ok = archive_read_extract2(reader, entry, writer) >= ARCHIVE_WARN;
    if (!ok || r != ARCHIVE_EOF) fprintf(stderr, "tarbench: %s: %s\n", archivePath, archive_error_string(reader));
    archive_read_free(reader);
    archive_write_free(writer);
    return ok && r == ARCHIVE_EOF;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: tarbench ARCHIVE DESTINATION RUNS\n");
        return 2;
    }
    const std::filesystem::path archivePath = std::filesystem::absolute(argv[1]);
    const std::filesystem::path destination = std::filesystem::absolute(argv[2]);
    const std::filesystem::path home = std::filesystem::current_path();
    double best = 0;
    for (int run = 0; run < std::atoi(argv[3]); ++run) {
        std::filesystem::remove_all(destination);
        std::filesystem::create_directories(destination);
        std::filesystem::current_path(destination);  // bsdtar -C
        auto start = std::chrono::steady_clock::now();
        if (!extractOnce(archivePath.c_str())) return 1;
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (run == 0 || seconds < best) best = seconds;
        std::filesystem::current_path(home);
    }
    printf("%.6f\n", best);
    return 0;
}
