// Reads an entry's packed data from its parts in the volume files.
#include "unrar/packedinput.h"

#include <cstring>

bool seekTo(FILE* f, uint64_t pos) {
#ifdef _WIN32
    return _fseeki64(f, static_cast<long long>(pos), SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(pos), SEEK_SET) == 0;
#endif
}

int64_t findRarMarker(FILE* f, int& version) {
    static const unsigned char Prefix[] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07};
    const uint64_t MaxSfxSize = 4 * 1024 * 1024;
    // Read in steps that overlap by a marker's length, the first step small: almost
    // every archive starts with its marker.
    std::vector<unsigned char> buffer(64 * 1024 + 8);
    uint64_t base = 0;
    size_t step = 16;
    while (base < MaxSfxSize) {
        if (!seekTo(f, base)) return -1;
        size_t n = fread(buffer.data(), 1, step + 8, f);
        for (size_t i = 0; i + 8 <= n; ++i) {
            if (buffer[i] != 0x52 || memcmp(buffer.data() + i, Prefix, sizeof Prefix) != 0) continue;
            if (buffer[i + 6] == 0x00) {
                version = 4;
                return static_cast<int64_t>(base + i);
            }
            if (buffer[i + 6] == 0x01 && buffer[i + 7] == 0x00) {
                version = 5;
                return static_cast<int64_t>(base + i);
            }
        }
        if (n < step + 8) return -1;
        base += step;
        step = buffer.size() - 8;
    }
    return -1;
}

VolumeFiles::~VolumeFiles() {
    if (file_) fclose(file_);
}

FILE* VolumeFiles::open(size_t index) {
    if (index >= names_.size()) return nullptr;
    if (index_ != index || !file_) {
        if (file_) fclose(file_);
        file_ = fopen(names_[index].c_str(), "rb");
        index_ = index;
    }
    return file_;
}

PackedInput::PackedInput(VolumeFiles& volumes, const std::vector<PackedPart>& parts)
    : volumes_(volumes), parts_(parts) {
    for (const auto& part : parts) total_ += part.size;
}

bool PackedInput::openPart() {
    const PackedPart& part = parts_[part_];
    file_ = volumes_.open(part.volume);
    if (!file_ || !seekTo(file_, part.offset)) return false;
    leftInPart_ = part.size;
    partOpen_ = true;
    return true;
}

size_t PackedInput::read(void* buffer, size_t size) {
    while (!failed_ && part_ < parts_.size()) {
        if (!partOpen_ && !openPart()) {
            failed_ = true;
            break;
        }
        if (leftInPart_ == 0) {
            ++part_;
            partOpen_ = false;
            continue;
        }
        size_t want = leftInPart_ < size ? static_cast<size_t>(leftInPart_) : size;
        size_t n = fread(buffer, 1, want, file_);
        if (n == 0) {
            failed_ = true;  // the volume is shorter than its headers say
            break;
        }
        leftInPart_ -= n;
        return n;
    }
    return 0;
}
