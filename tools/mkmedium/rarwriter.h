// Writes RAR archives in the 4.x format with stored (uncompressed) entries: folders,
// files of any size (64-bit sizes), symbolic links, names in UTF-8, optionally split
// into volumes.
//
// Format, all numbers little-endian:
//   marker block   52 61 72 21 1A 07 00
//   main header    CRC16 | 0x73 | flags | size=13 | 2+4 reserved bytes
//                  flags: 0x0001 volume, 0x0010 "partN" volume names, 0x0100 first volume
//   file header    CRC16 | 0x74 | flags | size | packed size | unpacked size | host OS |
//                  file CRC32 | DOS time | version | method 0x30 | name length | attributes |
//                  [high packed size | high unpacked size] | name
//                  flags: 0x8000 data follows, 0x0001/0x0002 continued from/on another
//                  volume, 0x00E0 folder, 0x0100 64-bit sizes, 0x0200 UTF-8 name
//   data           the packed (here: stored) bytes
//   end block      CRC16 | 0x7B | flags (0x0001: another volume follows) | size=7
// A header's CRC16 is the low half of the CRC32 of the header from its type byte on.
// The file CRC32 covers the whole file; a part that continues on the next volume
// carries the CRC32 of its own bytes instead.
#pragma once

#include "unrar/rarcrc.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

class RarWriter {
public:
    // Supplies up to `size` bytes of an entry's data into `buffer`; returns the count,
    // 0 on a read error.
    using DataSource = std::function<size_t(char* buffer, size_t size)>;

    // `volumeSize` 0 writes a single archive; otherwise volumes "name.part01.rar",
    // "name.part02.rar", ... of at most that many bytes are written from `path`,
    // which must end in ".rar".
    explicit RarWriter(const std::string& path, uint64_t volumeSize = 0);
    ~RarWriter();
    RarWriter(const RarWriter&) = delete;
    RarWriter& operator=(const RarWriter&) = delete;

    // Names use '/' or '\' between components and are stored with '\', otherwise as
    // given (tests make hostile names on purpose).
    bool addFolder(const std::string& name, time_t modified = 0);
    // A symbolic link (stored the Unix way: host 3, link mode, the target as data).
    bool addSymlink(const std::string& name, const std::string& target);
    bool addBytes(const std::string& name, const void* data, size_t size, time_t modified = 0);
    bool addFile(const std::string& name, const std::string& sourcePath);
    bool addStream(const std::string& name, uint64_t size, const DataSource& source, time_t modified);

    // The entry with this name gets a wrong CRC32 (for tests of damaged packages).
    void corruptCrcOf(const std::string& name) { corruptName_ = name; }

    // Writes the end block and closes the archive; false if anything failed on the way.
    bool finish();

    const std::string& error() const { return error_; }
    const std::vector<std::string>& volumes() const { return volumes_; }

private:
    bool openVolume();
    bool closeVolume(bool anotherFollows);
    bool writeHeader(const std::vector<unsigned char>& header);
    bool fail(const std::string& message);

    std::string path_;
    uint64_t volumeSize_;
    FILE* file_ = nullptr;
    uint64_t written_ = 0;  // bytes in the current volume
    std::vector<std::string> volumes_;
    std::string corruptName_;
    std::string error_;
    bool finished_ = false;
};
