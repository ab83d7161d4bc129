// Produces the data of RAR 1.5-4.x files; see rar4reader.h.
#include "unrar/rar4reader.h"

#include "unrar/rarcrc.h"
#include "unrar/unrar.h"

#include <new>

namespace {

// Stored data go from the package to the file in blocks this large: under Wine every
// read and write costs a trip through its file layer, and fewer, larger ones take
// less time than the same bytes in quarter-megabyte steps.
constexpr size_t StoredBlockSize = 1024 * 1024;
constexpr unsigned MethodStored = 0x30;

// Counts and checksums what passes on to the caller's sink.
class CheckingSink : public UnpackSink {
public:
    explicit CheckingSink(UnpackSink& next) : next_(next) {}
    int write(const unsigned char* data, size_t size) override {
        produced += size;
        crc = rarCrc32(crc, data, size);
        return next_.write(data, size);
    }
    uint64_t produced = 0;
    uint32_t crc = 0;

private:
    UnpackSink& next_;
};

class DiscardSink : public UnpackSink {
public:
    int write(const unsigned char*, size_t) override { return ERAR_SUCCESS; }
};

}  // namespace

int Rar4Reader::open(const std::vector<std::string>& volumes) { return readRar4Archive(volumes, archive_); }

int Rar4Reader::next() {
    size_t nextIndex = started_ ? index_ + 1 : 0;
    if (nextIndex >= archive_.files.size()) return archive_.endCode;
    started_ = true;
    index_ = nextIndex;
    return ERAR_SUCCESS;
}

bool Rar4Reader::needsDecoder(const Rar4File& file) const { return !file.isFolder && file.method != MethodStored; }

int Rar4Reader::unpack(UnpackSink& sink) {
    const Rar4File& file = archive_.files[index_];
    if (file.solid && needsDecoder(file)) {
        // The compression state of a solid archive runs through every earlier file.
        DiscardSink discard;
        for (; decoded_ < index_; ++decoded_) {
            const Rar4File& earlier = archive_.files[decoded_];
            if (!needsDecoder(earlier)) continue;
            if (earlier.encrypted || !earlier.complete) {
                if (unpacker_) unpacker_->invalidate();
                continue;
            }
            unpackFile(decoded_, discard);
        }
    }
    decoded_ = index_ + 1;
    return unpackFile(index_, sink);
}

int Rar4Reader::unpackFile(size_t index, UnpackSink& sink) {
    const Rar4File& file = archive_.files[index];
    if (!file.complete) return ERAR_EOPEN;
    CheckingSink checked(sink);
    PackedInput input(volumeFiles_, file.parts);
    int result = ERAR_SUCCESS;
    if (file.method == MethodStored) {
        if (!storedBlock_) {
            storedBlock_.reset(new (std::nothrow) unsigned char[StoredBlockSize]);
            if (!storedBlock_) return ERAR_NO_MEMORY;
        }
        unsigned char* block = storedBlock_.get();
        uint64_t left = file.packedSize;
        while (left > 0) {
            size_t n = input.read(block, left < StoredBlockSize ? static_cast<size_t>(left) : StoredBlockSize);
            if (n == 0) return ERAR_BAD_DATA;
            left -= n;
            result = checked.write(block, n);
            if (result != ERAR_SUCCESS) return result;
        }
    } else {
        if (!unpacker_) {
            unpacker_.reset(new (std::nothrow) RarUnpacker);
            if (!unpacker_) return ERAR_NO_MEMORY;
        }
        if (!RarUnpacker::supports(file.unpackVersion)) {
            unpacker_->invalidate();  // what follows in a solid archive cannot be decoded either
            return ERAR_UNKNOWN_FORMAT;
        }
        result = unpacker_->unpack(file.unpackVersion, file.solid, input, file.unpackedSize, checked);
        if (result != ERAR_SUCCESS) return result;
    }
    if (checked.produced != file.unpackedSize || checked.crc != file.crc) return ERAR_BAD_DATA;
    return ERAR_SUCCESS;
}

bool Rar4Reader::readSmall(std::string& content, size_t limit) {
    class Collect : public UnpackSink {
    public:
        Collect(std::string& out, size_t limit) : out_(out), limit_(limit) {}
        int write(const unsigned char* data, size_t size) override {
            if (out_.size() + size > limit_) return ERAR_BAD_DATA;
            out_.append(reinterpret_cast<const char*>(data), size);
            return ERAR_SUCCESS;
        }

    private:
        std::string& out_;
        size_t limit_;
    };
    content.clear();
    const Rar4File& file = archive_.files[index_];
    if (file.unpackedSize > limit || file.encrypted) return false;
    Collect collect(content, limit);
    return unpack(collect) == ERAR_SUCCESS;
}
