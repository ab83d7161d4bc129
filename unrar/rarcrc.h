// CRC32 as RAR uses it (the zlib polynomial), shared by the library and the RAR writer.
// It runs over every byte extracted, so it uses the processor's carry-less multiply
// where there is one, chosen once at run time, and eight lookup tables elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>

// The CRC of `data` continued from `crc` (0 to start).
uint32_t rarCrc32(uint32_t crc, const void* data, size_t size);

// The same with the lookup tables only, on every processor: the reference the fast
// version is checked against.
uint32_t rarCrc32Portable(uint32_t crc, const void* data, size_t size);

// Whether rarCrc32 multiplies on this processor (or falls back to the tables).
bool rarCrc32IsAccelerated();
