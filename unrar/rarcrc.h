// CRC32 as RAR uses it (the zlib polynomial), shared by the library and the RAR writer.
#pragma once

#include <cstddef>
#include <cstdint>

inline uint32_t rarCrc32(uint32_t crc, const void *data, size_t size)
{
    struct Table {
        uint32_t entries[256];
        Table()
        {
            for (uint32_t i = 0; i < 256; ++i) {
                uint32_t c = i;
                for (int k = 0; k < 8; ++k)
                    c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                entries[i] = c;
            }
        }
    };
    static const Table table;
    const unsigned char *p = static_cast<const unsigned char *>(data);
    crc = ~crc;
    while (size--)
        crc = table.entries[(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
