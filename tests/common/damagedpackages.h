// Packages with one damaged byte inside the data of one entry, for the unrar tests of
// both layers: whatever reads them must end that entry with the CRC error
// (ERAR_BAD_DATA) and leave no file of it behind.
#pragma once

#include "tools/mkmedium/rarwriter.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct DamagedByte {
    std::string archive;
    std::string entry;  // '/' between components
    size_t offset;
};

// Test archives of every kind from `testData` (tests/data/rar/), and a stored RAR 4
// package as mkmedium packs it, written to "stored.rar" in the current folder.
inline std::vector<DamagedByte> damagedPackages(const std::string& testData) {
    std::string large(3 << 20, '\0');
    for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 13 + i / 509);
    RarWriter writer("stored.rar");
    writer.addBytes("a.bin", "aaaa", 4);
    writer.addBytes("large.bin", large.data(), large.size());
    writer.addBytes("c.bin", "cccc", 4);
    writer.finish();
    std::ifstream in("stored.rar", std::ios::binary);
    const std::string stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return {
        {testData + "test_read_format_rar_filter.rar", "bsdcat.exe", 47000},        // RAR 4, LZ with filters
        {testData + "rarfile_rar3-solid.rar", "stest1.txt", 100},                   // RAR 4, solid (data at 64)
        {testData + "test_read_format_rar5_fileattr.rar", "readonly.txt", 74},      // RAR 5, stored (data at 69)
        {testData + "test_read_format_rar5_arm.rar", "elf-Linux-ARMv7-ls", 20000},  // RAR 5, compressed
        {"stored.rar", "large.bin", stored.find(large.substr(0, 64)) + 2000000},    // RAR 4, stored
    };
}

// Copies `from` to `to` with the byte at `offset` inverted.
inline void writeDamagedCopy(const std::string& from, const std::string& to, size_t offset) {
    std::ifstream in(from, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (offset < bytes.size()) bytes[offset] = static_cast<char>(~bytes[offset]);
    std::ofstream(to, std::ios::binary) << bytes;
}
