// The headers of a RAR 1.5-4.x archive and its volumes, read into one list of files.
//
// Format: the marker "Rar!\x1A\x07\x00" (after the program part of a self-extracting
// archive, searched in its first 4 MB), then blocks of CRC16 | type |
// flags | size (16-bit little-endian fields), where flag 0x8000 means a 32-bit data
// size follows the 7 bytes and the data follows the header. Type 0x73 is the main
// header (flags: 0x0001 volume, 0x0008 solid, 0x0080 encrypted headers), 0x74 a file:
// packed size, unpacked size, host system, CRC32, DOS time, unpack version, method,
// name size, attributes, then the high halves of both sizes (flag 0x0100), the name
// (flag 0x0200: an 8-bit name, a zero and the packed UTF-16 form, or UTF-8 alone),
// an 8-byte salt (0x0400) and the extended times (0x1000). File flags 0x0001/0x0002
// mark parts continued from/on another volume (the last part carries the CRC of the
// whole file), 0x0004 encryption, 0x0010 a solid continuation, bits 5-7 the dictionary
// (7: a folder). Type 0x7B ends the archive (flag 0x0001: a volume follows). The CRC16
// is the low half of the CRC32 of the header from its type on.
#pragma once

#include "unrar/entrypath.h"
#include "unrar/packedinput.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct RarTime {
    bool set = false;
    time_t seconds = 0;
    long nanoseconds = 0;
};

struct Rar4File {
    PathString name;  // '/' between components
    unsigned flags = 0;
    unsigned hostOs = 0;
    unsigned unpackVersion = 0;
    unsigned method = 0;
    uint32_t attributes = 0;
    uint32_t dosTime = 0;
    RarTime mtime, ctime, atime;
    uint64_t packedSize = 0;
    uint64_t unpackedSize = 0;
    uint32_t crc = 0;
    unsigned dictionaryKb = 0;
    bool isFolder = false;
    bool isSymlink = false;
    bool encrypted = false;
    bool solid = false;    // continues the previous file's compression state
    bool complete = true;  // false when a volume with the rest of it is missing
    std::vector<PackedPart> parts;
};

struct Rar4Archive {
    std::vector<std::string> volumes;  // as found by name; only those read are kept
    unsigned mainFlags = 0;
    std::vector<Rar4File> files;
    // What ends the list: ERAR_END_ARCHIVE, or ERAR_BAD_DATA at a damaged header.
    int endCode = 0;
};

// Reads the headers of every volume. ERAR_SUCCESS, or the code that refuses the
// archive: ERAR_EOPEN, ERAR_BAD_ARCHIVE (not RAR 4.x), ERAR_MISSING_PASSWORD
// (encrypted headers).
int readRar4Archive(const std::vector<std::string>& volumes, Rar4Archive& archive);
