// What libarchive does not tell about the files of a RAR 5 archive, read from their
// headers: the data CRC32, encryption, and file copies (an entry that repeats an
// earlier one's content by naming it).
//
// Format: the marker "Rar!\x1A\x07\x01\x00" (after a self-extractor's program, searched
// in its first bytes), then blocks of CRC32 | header size | type | flags | [extra area
// size if flags & 1] | [data size if flags & 2] | fields | extra area, every number but
// the CRC a variable-length integer (7 bits a byte, low first, high bit: more). Type 2
// is a file: file flags (0x01 folder, 0x02 time, 0x04 CRC32), unpacked size,
// attributes, [time], [CRC32], compression (bits 7-9: the method, 0 stores), host,
// name size, UTF-8 name. Extra records
// are size | type | data; type 1 is encryption, type 5 redirection (type 5 of it: a
// file copy, then flags and the UTF-8 name of the file it copies). Block flags 0x08
// and 0x10 mark parts continued from/on another volume; type 4 means encrypted
// headers, type 5 ends a volume.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct Rar5File {
    std::string name;  // UTF-8
    uint64_t unpackedSize = 0;
    bool hasCrc = false;
    uint32_t crc = 0;
    bool stored = false;  // kept without compression (method 0)
    bool encrypted = false;
    bool isCopy = false;
    std::string copyOf;  // UTF-8 name of the file a copy repeats
};

// The files of every volume in archive order (split files once): the first volume is
// read from `first`, already open, whose archive starts at `marker`; the others are
// opened by name. Stops quietly at the first damaged or encrypted header, so files
// beyond it have no record.
std::vector<Rar5File> readRar5Files(FILE* first, uint64_t marker, const std::vector<std::string>& volumes);
