// mkrar: packs a folder's contents into a RAR archive with stored entries.
//   mkrar [--volume-size BYTES] [--corrupt-crc ENTRY] ARCHIVE.rar FOLDER
// Entries are named relative to FOLDER, in sorted order, each folder before its contents.
#include "tools/mkmedium/rarwriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int usage() {
    fprintf(stderr, "usage: mkrar [--volume-size BYTES] [--corrupt-crc ENTRY] ARCHIVE.rar FOLDER\n");
    return 2;
}

bool packFolder(RarWriter& writer, const fs::path& root, const fs::path& folder) {
    std::vector<fs::path> children;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(folder, ec)) children.push_back(item.path());
    if (ec) {
        fprintf(stderr, "mkrar: cannot read %s: %s\n", folder.string().c_str(), ec.message().c_str());
        return false;
    }
    std::sort(children.begin(), children.end());
    for (const auto& child : children) {
        std::string name = child.lexically_relative(root).generic_string();
        if (fs::is_directory(child)) {
            if (!writer.addFolder(name) || !packFolder(writer, root, child)) return false;
        } else if (fs::is_regular_file(child)) {
            if (!writer.addFile(name, child.string())) return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t volumeSize = 0;
    std::string corrupt;
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == '-'; i += 2) {
        std::string option = argv[i];
        if (option == "--volume-size")
            volumeSize = std::strtoull(argv[i + 1], nullptr, 10);
        else if (option == "--corrupt-crc")
            corrupt = argv[i + 1];
        else
            return usage();
    }
    if (argc - i != 2) return usage();
    fs::path folder = argv[i + 1];
    if (!fs::is_directory(folder)) {
        fprintf(stderr, "mkrar: %s is not a folder\n", argv[i + 1]);
        return 1;
    }
    RarWriter writer(argv[i], volumeSize);
    if (!corrupt.empty()) writer.corruptCrcOf(corrupt);
    bool ok = packFolder(writer, folder, folder);
    ok = writer.finish() && ok;
    if (!ok) {
        fprintf(stderr, "mkrar: %s\n", writer.error().c_str());
        return 1;
    }
    for (const auto& volume : writer.volumes()) printf("%s\n", volume.c_str());
    return 0;
}
