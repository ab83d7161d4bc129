// Collects what the file headers of a RAR 4.x archive say; format notes in rar4index.h.
#include "unrar/rar4index.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr unsigned char Marker[] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
// A self-extracting archive's program part is searched this far for the marker.
constexpr long MaxSfxSize = 1 << 20;

uint32_t le16(const unsigned char* p) { return p[0] | p[1] << 8; }
uint32_t le32(const unsigned char* p) { return le16(p) | le16(p + 2) << 16; }

bool seekTo(FILE* f, uint64_t pos) {
#ifdef _WIN32
    return _fseeki64(f, static_cast<long long>(pos), SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(pos), SEEK_SET) == 0;
#endif
}

bool findMarker(FILE* f, uint64_t& pos) {
    std::vector<unsigned char> head(MaxSfxSize + sizeof Marker);
    size_t n = fread(head.data(), 1, head.size(), f);
    for (size_t i = 0; i + sizeof Marker <= n; ++i)
        if (memcmp(head.data() + i, Marker, sizeof Marker) == 0) {
            pos = i + sizeof Marker;
            return true;
        }
    return false;
}

// Reads one volume's blocks; false when the volume is damaged or not RAR 4.x.
bool readVolume(const std::string& name, std::vector<Rar4Entry>& entries) {
    FILE* f = fopen(name.c_str(), "rb");
    if (!f) return false;
    uint64_t pos = 0;
    bool ok = findMarker(f, pos);
    while (ok) {
        unsigned char block[64];
        if (!seekTo(f, pos) || fread(block, 1, 7, f) != 7)
            break;  // end of the file without an end block: libarchive decides
        unsigned type = block[2];
        uint32_t flags = le16(block + 3);
        uint32_t size = le16(block + 5);
        if (size < 7) {
            ok = false;
            break;
        }
        uint64_t dataSize = 0;
        if (type == 0x74) {
            if (size < 32 || fread(block + 7, 1, 25, f) != 25) {
                ok = false;
                break;
            }
            dataSize = le32(block + 7);
            uint64_t unpacked = le32(block + 11);
            if (flags & 0x0100) {
                if (size < 40 || fread(block + 32, 1, 8, f) != 8) {
                    ok = false;
                    break;
                }
                dataSize |= static_cast<uint64_t>(le32(block + 32)) << 32;
                unpacked |= static_cast<uint64_t>(le32(block + 36)) << 32;
            }
            if (!(flags & 0x0001) || entries.empty()) entries.push_back(Rar4Entry());
            Rar4Entry& entry = entries.back();
            entry.method = block[25];
            entry.hostOs = block[15];
            entry.packedSize += dataSize;
            entry.unpackedSize = unpacked;
            entry.crc = le32(block + 16);
        } else if (type == 0x7B) {
            break;
        } else if (flags & 0x8000) {
            if (size < 11 || fread(block + 7, 1, 4, f) != 4) {
                ok = false;
                break;
            }
            dataSize = le32(block + 7);
        }
        pos += size + dataSize;
    }
    fclose(f);
    return ok;
}

}  // namespace

std::vector<Rar4Entry> readRar4Entries(const std::vector<std::string>& volumes) {
    std::vector<Rar4Entry> entries;
    for (const auto& volume : volumes)
        if (!readVolume(volume, entries)) break;
    return entries;
}
