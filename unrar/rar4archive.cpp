// Reads the block headers of RAR 1.5-4.x archives; the format is described in rar4archive.h.
#include "unrar/rar4archive.h"

#include "unrar/names.h"
#include "unrar/packedinput.h"
#include "unrar/rarcrc.h"
#include "unrar/unrar.h"

#include <cstring>

namespace {

constexpr unsigned char Marker[] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};

enum : unsigned {
    BlockMarker = 0x72,
    BlockMain = 0x73,
    BlockFile = 0x74,
    BlockEnd = 0x7B,
    FileSplitBefore = 0x0001,
    FileSplitAfter = 0x0002,
    FileEncrypted = 0x0004,
    FileComment = 0x0008,
    FileSolid = 0x0010,
    FileLarge = 0x0100,
    FileUnicode = 0x0200,
    FileSalt = 0x0400,
    FileExtTime = 0x1000,
    HasData = 0x8000,
    MainEncryptedHeaders = 0x0080,
    EndNextVolume = 0x0001,
};

uint32_t le16(const unsigned char* p) { return p[0] | p[1] << 8; }
uint32_t le32(const unsigned char* p) { return le16(p) | le16(p + 2) << 16; }

time_t fromDosTime(uint32_t dos) {
    struct tm t = {};
    t.tm_year = static_cast<int>((dos >> 25) & 0x7F) + 80;
    t.tm_mon = static_cast<int>((dos >> 21) & 0x0F) - 1;
    t.tm_mday = static_cast<int>((dos >> 16) & 0x1F);
    t.tm_hour = static_cast<int>((dos >> 11) & 0x1F);
    t.tm_min = static_cast<int>((dos >> 5) & 0x3F);
    t.tm_sec = static_cast<int>((dos & 0x1F) * 2);
    t.tm_isdst = -1;
    time_t result = mktime(&t);
    return result == static_cast<time_t>(-1) ? 0 : result;
}

// The packed UTF-16 form of a RAR 4.x Unicode name: a high byte, then groups of four
// two-bit operations (a byte with the high byte 0, a byte with the stored high byte,
// a whole 16-bit unit, or a run taken from the 8-bit name, optionally corrected).
std::u16string decodeUnicodeName(const unsigned char* name, size_t nameSize, const unsigned char* enc, size_t encSize) {
    std::u16string out;
    size_t pos = 0;
    if (encSize == 0) return out;
    unsigned highByte = enc[pos++];
    unsigned flags = 0;
    int flagBits = 0;
    const size_t maxLength = 0x10000;
    while (pos < encSize && out.size() < maxLength) {
        if (flagBits == 0) {
            flags = enc[pos++];
            flagBits = 8;
        }
        switch (flags >> 6) {
        case 0:
            if (pos >= encSize) return out;
            out += static_cast<char16_t>(enc[pos++]);
            break;
        case 1:
            if (pos >= encSize) return out;
            out += static_cast<char16_t>(enc[pos++] + (highByte << 8));
            break;
        case 2:
            if (pos + 1 >= encSize) return out;
            out += static_cast<char16_t>(enc[pos] | enc[pos + 1] << 8);
            pos += 2;
            break;
        default: {
            if (pos >= encSize) return out;
            unsigned length = enc[pos++];
            if (length & 0x80) {
                if (pos >= encSize) return out;
                unsigned correction = enc[pos++];
                for (length = (length & 0x7F) + 2; length > 0 && out.size() < nameSize; --length)
                    out += static_cast<char16_t>(((name[out.size()] + correction) & 0xFF) + (highByte << 8));
            } else {
                for (length += 2; length > 0 && out.size() < nameSize; --length)
                    out += static_cast<char16_t>(name[out.size()]);
            }
            break;
        }
        }
        flags = (flags << 2) & 0xFF;
        flagBits -= 2;
    }
    return out;
}

PathString fileName(const unsigned char* raw, size_t size, bool unicode) {
    const unsigned char* zero = static_cast<const unsigned char*>(memchr(raw, 0, size));
    std::string narrow(reinterpret_cast<const char*>(raw), zero ? static_cast<size_t>(zero - raw) : size);
    PathString name;
    if (unicode && zero) {
        size_t narrowSize = static_cast<size_t>(zero - raw);
        std::u16string wide = decodeUnicodeName(raw, narrowSize, zero + 1, size - narrowSize - 1);
        name = wide.empty() ? pathFromLegacy(narrow) : pathFromUtf16(wide);
    } else {
        // Without the Unicode form, packers of this century write UTF-8.
        name = isUtf8(narrow) ? pathFromUtf8(narrow) : pathFromLegacy(narrow);
    }
    for (auto& c : name)
        if (c == '\\') c = '/';
    while (name.size() > 1 && name.back() == '/') name.pop_back();
    return name;
}

// The extended times; a field the header has no room for leaves the times as they
// are (other extractors do the same).
void readExtendedTimes(const unsigned char* p, const unsigned char* end, Rar4File& file) {
    if (p + 2 > end) return;
    unsigned flags = le16(p);
    p += 2;
    RarTime* times[4] = {&file.mtime, &file.ctime, &file.atime, nullptr};
    for (int i = 0; i < 4; ++i) {
        unsigned mode = (flags >> ((3 - i) * 4)) & 0xF;
        if (!(mode & 8)) continue;
        RarTime t;
        t.set = true;
        if (i == 0) {
            t.seconds = file.mtime.seconds;
        } else {
            if (p + 4 > end) return;
            t.seconds = fromDosTime(le32(p));
            p += 4;
        }
        unsigned count = mode & 3;
        if (p + count > end) return;
        uint32_t rem = 0;
        for (unsigned j = 0; j < count; ++j) rem = (static_cast<uint32_t>(*p++) << 16) | (rem >> 8);
        if (mode & 4) ++t.seconds;
        t.nanoseconds = static_cast<long>(rem) * 100;
        if (times[i]) *times[i] = t;
    }
}

bool isSymlinkMode(unsigned hostOs, uint32_t attributes) { return hostOs == 3 && (attributes & 0xF000) == 0xA000; }

bool isFolder(unsigned flags, unsigned hostOs, uint32_t attributes) {
    if ((flags & 0x00E0) == 0x00E0) return true;
    if (hostOs == 3 || hostOs == 5) return (attributes & 0xF000) == 0x4000;
    return (attributes & 0x10) != 0;
}

// Reads one volume's blocks into `archive`; false when the archive goes on in the
// next volume. Sets archive.endCode when a header is damaged.
bool readVolume(FILE* f, size_t volume, uint64_t start, Rar4Archive& archive, int& openResult) {
    uint64_t size = fileSize(f);
    uint64_t pos = start + sizeof Marker;
    bool mainSeen = false;
    bool more = false;
    std::vector<unsigned char> header;
    for (;;) {
        if (pos >= size) break;  // the end without an end block: the archive ends here
        unsigned char base[11];
        if (pos + 7 > size || !seekTo(f, pos) || fread(base, 1, 7, f) != 7) {
            archive.endCode = ERAR_BAD_DATA;
            return false;
        }
        unsigned type = base[2];
        unsigned flags = le16(base + 3);
        unsigned headSize = le16(base + 5);
        if (headSize < 7 || pos + headSize > size) {
            archive.endCode = ERAR_BAD_DATA;
            return false;
        }
        header.resize(headSize);
        memcpy(header.data(), base, 7);
        if (fread(header.data() + 7, 1, headSize - 7, f) != headSize - 7) {
            archive.endCode = ERAR_BAD_DATA;
            return false;
        }
        uint64_t dataSize = 0;
        if ((flags & HasData) && type != BlockFile) {
            if (headSize < 11) {
                archive.endCode = ERAR_BAD_DATA;
                return false;
            }
            dataSize = le32(header.data() + 7);
        }
        if (!mainSeen && type == BlockMarker) {
            pos += headSize;  // a repeated marker
            continue;
        }
        if (!mainSeen && type != BlockMain) {
            openResult = ERAR_BAD_ARCHIVE;  // every archive begins with its main header
            return false;
        }
        if (type == BlockMain) {
            if (headSize < 13) {
                archive.endCode = ERAR_BAD_DATA;
                return false;
            }
            mainSeen = true;
            if (volume == 0) archive.mainFlags = flags;
            if (flags & MainEncryptedHeaders) {
                openResult = ERAR_MISSING_PASSWORD;
                return false;
            }
        } else if (type == BlockFile) {
            if (headSize < 32) {
                archive.endCode = ERAR_BAD_DATA;
                return false;
            }
            const unsigned char* h = header.data();
            // Packers of the 1.5/2.0 era keep a file comment inside the header, outside its CRC.
            size_t checked = headSize;
            if (flags & FileComment) {
                size_t nameEnd = ((flags & FileLarge) ? 40u : 32u) + le16(h + 26);
                if (nameEnd < checked) checked = nameEnd;
            }
            if ((rarCrc32(0, h + 2, checked - 2) & 0xFFFF) != le16(h)) {
                archive.endCode = ERAR_BAD_DATA;
                return false;
            }
            dataSize = le32(h + 7);
            uint64_t unpacked = le32(h + 11);
            unsigned nameSize = le16(h + 26);
            size_t at = 32;
            if (flags & FileLarge) {
                if (headSize < 40) {
                    archive.endCode = ERAR_BAD_DATA;
                    return false;
                }
                dataSize |= static_cast<uint64_t>(le32(h + 32)) << 32;
                unpacked |= static_cast<uint64_t>(le32(h + 36)) << 32;
                at = 40;
            }
            if (at + nameSize > headSize || nameSize == 0) {
                archive.endCode = ERAR_BAD_DATA;
                return false;
            }
            // A size that would carry the walk past the end of all numbers could bring
            // it back to this very header, for ever.
            if (dataSize > UINT64_MAX - (pos + headSize)) {
                archive.endCode = ERAR_BAD_DATA;
                return false;
            }
            if (pos + headSize + dataSize > size && !(flags & FileSplitAfter)) {
                archive.endCode = ERAR_BAD_DATA;  // the data runs past the end of the file
                return false;
            }
            Rar4File part;
            part.flags = flags;
            part.hostOs = h[15];
            part.crc = le32(h + 16);
            part.dosTime = le32(h + 20);
            part.unpackVersion = h[24];
            part.method = h[25];
            part.attributes = le32(h + 28);
            part.packedSize = dataSize;
            part.unpackedSize = unpacked;
            part.name = fileName(h + at, nameSize, (flags & FileUnicode) != 0);
            at += nameSize;
            if (flags & FileSalt) at += 8;
            part.mtime.set = part.dosTime != 0;
            part.mtime.seconds = part.dosTime ? fromDosTime(part.dosTime) : 0;
            if ((flags & FileExtTime) && !(flags & FileComment) && at <= headSize)
                readExtendedTimes(h + at, h + headSize, part);
            part.isFolder = isFolder(flags, part.hostOs, part.attributes);
            part.isSymlink = !part.isFolder && isSymlinkMode(part.hostOs, part.attributes);
            part.encrypted = (flags & FileEncrypted) != 0;
            part.solid = (flags & FileSolid) != 0;
            part.dictionaryKb = part.isFolder ? 0 : 64u << ((flags >> 5) & 7);
            part.complete = !(flags & FileSplitAfter);
            uint64_t available = size - (pos + headSize);
            part.parts.push_back({volume, pos + headSize, dataSize < available ? dataSize : available});
            bool continues = (flags & FileSplitBefore) && !archive.files.empty() && !archive.files.back().complete &&
                             archive.files.back().name == part.name;
            if (continues) {
                Rar4File& whole = archive.files.back();
                whole.parts.push_back(part.parts.front());
                whole.packedSize += dataSize;
                whole.crc = part.crc;
                whole.complete = part.complete;
                whole.flags |= flags & FileSplitAfter;
                if (part.complete) whole.flags &= ~static_cast<unsigned>(FileSplitAfter);
            } else {
                archive.files.push_back(part);
            }
            if (flags & FileSplitAfter) more = true;
        } else if (type == BlockEnd) {
            return (flags & EndNextVolume) || more;
        }
        pos += headSize + dataSize;
    }
    return more;
}

// The offset of the RAR 4.x marker in the file (0 for a plain archive, more after a
// self-extractor's program), or -1 when there is none.
int64_t findRar4Marker(FILE* file) {
    int version = 0;
    int64_t offset = findRarMarker(file, version);
    return version == 4 ? offset : -1;
}

}  // namespace

int readRar4Archive(const std::vector<std::string>& volumes, Rar4Archive& archive) {
    archive = Rar4Archive();
    archive.endCode = ERAR_END_ARCHIVE;
    for (size_t v = 0; v < volumes.size(); ++v) {
        FILE* f = fopen(volumes[v].c_str(), "rb");
        if (!f) {
            if (v == 0) return ERAR_EOPEN;
            break;
        }
        int64_t marker = findRar4Marker(f);
        if (marker < 0) {
            fclose(f);
            if (v == 0) return ERAR_BAD_ARCHIVE;
            break;  // not a volume of this archive: the files that need it stay incomplete
        }
        archive.volumes.push_back(volumes[v]);
        int openResult = ERAR_SUCCESS;
        bool more = readVolume(f, v, static_cast<uint64_t>(marker), archive, openResult);
        fclose(f);
        if (openResult != ERAR_SUCCESS) return openResult;
        if (archive.endCode != ERAR_END_ARCHIVE || !more) break;
    }
    if (archive.files.empty() && archive.endCode != ERAR_END_ARCHIVE && archive.volumes.size() == 1) {
        // Not even one good file header: nothing here is an archive worth opening.
        return ERAR_BAD_ARCHIVE;
    }
    return ERAR_SUCCESS;
}
