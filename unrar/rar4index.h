// What libarchive does not tell about the entries of a RAR 4.x archive, read from
// their file headers: CRC32, packed size, method and host system.
//
// libarchive 3.6.2 never compares the CRC of a stored (uncompressed) RAR 4.x entry,
// so a damaged stored file would pass as good; the library checks those itself with
// the values collected here, and fills the header records' other fields from them. Blocks: marker "Rar!\x1A\x07\x00"
// (after an optional self-extractor), then blocks of CRC16 | type | flags | size, where flag 0x8000 means a 32-bit data
// size follows; file blocks (type 0x74) carry the packed size (64-bit with flag 0x0100), the host system at offset 15,
// the file CRC32 at offset 16 and the method at offset 25; flags 0x0001/0x0002 mark parts continued from/on another
// volume, whose last part holds the CRC32 of the whole file; type 0x7B ends a volume.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rar4Entry {
    unsigned method = 0;  // 0x30 stores: libarchive does not check those
    unsigned hostOs = 0;
    uint64_t packedSize = 0;  // over all volumes
    uint64_t unpackedSize = 0;
    uint32_t crc = 0;
};

// One record per entry in archive order; stops quietly at the first damaged block,
// so entries beyond it simply have no record.
std::vector<Rar4Entry> readRar4Entries(const std::vector<std::string>& volumes);
