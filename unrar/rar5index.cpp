// Reads RAR 5 file headers for the facts libarchive leaves out; format in rar5index.h.
#include "unrar/rar5index.h"

#include "unrar/packedinput.h"
#include "unrar/rarcrc.h"

#include <cstring>

namespace {

constexpr unsigned char Marker[] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};
constexpr uint64_t MaxHeaderSize = 2 * 1024 * 1024;

// Reads variable-length integers and fixed fields from one header.
class Fields {
public:
    Fields(const unsigned char* p, size_t size) : p_(p), size_(size) {}
    bool vint(uint64_t& v) {
        v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (pos_ >= size_) return false;
            unsigned char b = p_[pos_++];
            v |= static_cast<uint64_t>(b & 0x7F) << shift;
            if (!(b & 0x80)) return true;
        }
        return false;
    }
    bool u32(uint32_t& v) {
        if (pos_ + 4 > size_) return false;
        v = p_[pos_] | p_[pos_ + 1] << 8 | p_[pos_ + 2] << 16 | static_cast<uint32_t>(p_[pos_ + 3]) << 24;
        pos_ += 4;
        return true;
    }
    bool text(uint64_t n, std::string& out) {
        if (n > size_ - pos_) return false;
        out.assign(reinterpret_cast<const char*>(p_ + pos_), static_cast<size_t>(n));
        pos_ += static_cast<size_t>(n);
        return true;
    }
    size_t pos() const { return pos_; }

private:
    const unsigned char* p_;
    size_t size_;
    size_t pos_ = 0;
};

bool readExtra(Fields& f, uint64_t extraEnd, Rar5File& file) {
    while (f.pos() < extraEnd) {
        uint64_t size, type;
        size_t start = f.pos();
        if (!f.vint(size) || size == 0) return false;
        size_t recordEnd = f.pos() + static_cast<size_t>(size);
        if (recordEnd > extraEnd || recordEnd < start) return false;
        if (!f.vint(type)) return false;
        // A real encryption record holds version, flags, KDF count, salt and IV.
        if (type == 1 && recordEnd - f.pos() >= 35) file.encrypted = true;
        if (type == 5) {
            uint64_t redirType, flags, nameSize;
            if (!f.vint(redirType) || !f.vint(flags) || !f.vint(nameSize)) return false;
            if (redirType == 5) {
                file.isCopy = true;
                if (!f.text(nameSize, file.copyOf)) return false;
            }
        }
        std::string skip;
        if (f.pos() > recordEnd || !f.text(recordEnd - f.pos(), skip)) return false;
    }
    return true;
}

// Reads one volume's file headers; false when the archive does not go on.
bool readVolume(FILE* f, uint64_t start, std::vector<Rar5File>& files) {
    uint64_t pos = start + sizeof Marker;
    std::vector<unsigned char> header;
    for (;;) {
        unsigned char head[4 + 10];
        if (!seekTo(f, pos)) return false;
        size_t got = fread(head, 1, sizeof head, f);
        if (got < 5) return false;
        Fields sizeField(head + 4, got - 4);
        uint64_t headSize;
        if (!sizeField.vint(headSize) || headSize == 0 || headSize > MaxHeaderSize) return false;
        size_t sizeBytes = sizeField.pos();
        header.resize(sizeBytes + static_cast<size_t>(headSize));
        if (!seekTo(f, pos + 4) || fread(header.data(), 1, header.size(), f) != header.size()) return false;
        uint32_t crc = head[0] | head[1] << 8 | head[2] << 16 | static_cast<uint32_t>(head[3]) << 24;
        if (rarCrc32(0, header.data(), header.size()) != crc) return false;
        Fields fields(header.data() + sizeBytes, static_cast<size_t>(headSize));
        uint64_t type, flags, extraSize = 0, dataSize = 0;
        if (!fields.vint(type) || !fields.vint(flags)) return false;
        if ((flags & 1) && !fields.vint(extraSize)) return false;
        if ((flags & 2) && !fields.vint(dataSize)) return false;
        if (extraSize > headSize) return false;
        if (type == 4) return false;  // encrypted headers: nothing more to read
        if (type == 5) {
            uint64_t endFlags = 0;
            fields.vint(endFlags);
            return (endFlags & 1) != 0;
        }
        if (type == 2) {
            Rar5File file;
            uint64_t fileFlags, attributes, compression, host, nameSize;
            uint32_t value;
            if (!fields.vint(fileFlags) || !fields.vint(file.unpackedSize) || !fields.vint(attributes)) return false;
            if ((fileFlags & 2) && !fields.u32(value)) return false;
            if (fileFlags & 4) {
                if (!fields.u32(file.crc)) return false;
                file.hasCrc = true;
            }
            if (!fields.vint(compression) || !fields.vint(host) || !fields.vint(nameSize)) return false;
            file.stored = ((compression >> 7) & 7) == 0;
            if (!fields.text(nameSize, file.name)) return false;
            uint64_t extraStart = headSize - extraSize;
            if (fields.pos() > extraStart) return false;
            std::string skip;
            fields.text(extraStart - fields.pos(), skip);
            if (!readExtra(fields, headSize, file)) return false;
            // Encrypted data is a whole number of AES blocks; a record beside plain data
            // (which libarchive reads) does not make the file encrypted.
            if (dataSize % 16 != 0) file.encrypted = false;
            bool continues = (flags & 0x08) && !files.empty() && files.back().name == file.name;
            if (continues) {
                // The last part's header carries the whole file's CRC.
                files.back().hasCrc = file.hasCrc;
                files.back().crc = file.crc;
            } else {
                files.push_back(file);
            }
        }
        // A data size that would carry the walk past the end of all numbers could bring
        // it back to this very header, for ever.
        const uint64_t headerEnd = pos + 4 + sizeBytes + headSize;
        if (dataSize > UINT64_MAX - headerEnd) return false;
        pos = headerEnd + dataSize;
    }
}

// The offset of the RAR 5 marker in the file, or -1 when there is none.
int64_t findRar5Marker(FILE* file) {
    int version = 0;
    int64_t offset = findRarMarker(file, version);
    return version == 5 ? offset : -1;
}

}  // namespace

std::vector<Rar5File> readRar5Files(FILE* first, uint64_t marker, const std::vector<std::string>& volumes) {
    std::vector<Rar5File> files;
    if (!readVolume(first, marker, files)) return files;
    for (size_t v = 1; v < volumes.size(); ++v) {
        FILE* f = fopen(volumes[v].c_str(), "rb");
        if (!f) break;
        int64_t next = findRar5Marker(f);
        bool more = next >= 0 && readVolume(f, static_cast<uint64_t>(next), files);
        fclose(f);
        if (!more) break;
    }
    return files;
}
