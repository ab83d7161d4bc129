// RAR 2.0 and 2.9 decompression over a window of absolute positions; see rarunpack.h.
//
// Sections: the window and its output (with the 2.9 filters); RAR 2.9 tables, filters
// and the main loop; the standard filters; RAR 2.0 tables, audio and the main loop.
#include "unrar/rarunpack.h"

#include "unrar/rarcrc.h"
#include "unrar/unrar.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The largest dictionary of these formats; every window is this big so that any
// distance a stream may name stays inside it.
constexpr size_t WindowSize = 4 * 1024 * 1024;
// Decoded data goes out in pieces of about this size, so that callers see progress.
constexpr uint64_t FlushChunk = 256 * 1024;
// The window must keep this much room ahead of the data not yet handed on (a match
// is at most a few hundred bytes long).
constexpr uint64_t FlushMargin = 0x1000;
// Data past the entry's size that a damaged stream may produce before it is refused.
constexpr uint64_t MaxOvershoot = 0x100000;

constexpr uint32_t VmMemorySize = 0x40000;
constexpr uint32_t VmWorkSize = 0x3C000;
constexpr size_t MaxPendingFilters = 8192;

enum FilterType { FilterNone, FilterE8, FilterE8E9, FilterItanium, FilterDelta, FilterRgb, FilterAudio };

const unsigned char LengthBase[28] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  10,  12,  14,  16,  20,
                                      24, 28, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224};
const unsigned char LengthBits[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,
                                      2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
const unsigned char ShortBase[8] = {0, 4, 8, 16, 32, 64, 128, 192};
const unsigned char ShortBits[8] = {2, 2, 3, 4, 5, 6, 6, 6};

struct DistanceCodes {
    uint32_t base[60];
    unsigned char bits[60];
    DistanceCodes() {
        // Two codes per bit count up to 16 bits, then 16-bit steps, then 18-bit steps.
        uint32_t next = 0;
        for (int i = 0; i < 60; ++i) {
            unsigned char b = i < 4 ? 0 : i < 36 ? static_cast<unsigned char>((i - 2) / 2) : i < 48 ? 16 : 18;
            base[i] = next;
            bits[i] = b;
            next += 1u << b;
        }
    }
};
const DistanceCodes Distances;

uint32_t le32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
void putLe32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

// Bits of a filter's code, read most significant bit first; zeros past the end.
class CodeBits {
public:
    explicit CodeBits(const std::vector<unsigned char>& code) : code_(code) {}
    uint32_t read(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            size_t byte = bit_ / 8;
            unsigned b = byte < code_.size() ? (code_[byte] >> (7 - bit_ % 8)) & 1 : 0;
            if (byte >= code_.size()) overrun_ = true;
            v = (v << 1) | b;
            ++bit_;
        }
        return v;
    }
    uint32_t number() {
        switch (read(2)) {
        case 0:
            return read(4);
        case 1: {
            uint32_t v = read(8);
            return v >= 16 ? v : 0xFFFFFF00u | (v << 4) | read(4);
        }
        case 2:
            return read(16);
        default:
            return read(32);
        }
    }
    bool overrun() const { return overrun_; }

private:
    const std::vector<unsigned char>& code_;
    size_t bit_ = 8;  // the first byte is the code's checksum
    bool overrun_ = false;
};

uint32_t itaniumBits(const unsigned char* data, unsigned pos, unsigned count) {
    uint32_t field = le32(data + pos / 8) >> (pos & 7);
    return field & (0xFFFFFFFFu >> (32 - count));
}

void setItaniumBits(unsigned char* data, uint32_t field, unsigned pos, unsigned count) {
    unsigned char* p = data + pos / 8;
    uint32_t andMask = ~((0xFFFFFFFFu >> (32 - count)) << (pos & 7));
    field <<= pos & 7;
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<unsigned char>((p[i] & andMask) | field);
        andMask = (andMask >> 8) | 0xFF000000u;
        field >>= 8;
    }
}

}  // namespace

RarUnpacker::RarUnpacker() = default;
RarUnpacker::~RarUnpacker() = default;

bool RarUnpacker::supports(unsigned version) {
    return version == 20 || version == 26 || version == 29 || version == 36;
}

void RarUnpacker::invalidate() { stateValid_ = false; }

void RarUnpacker::resetState() {
    pos_ = written_ = 0;
    memset(oldDist_, 0, sizeof oldDist_);
    oldDistPtr_ = 0;
    lastDist_ = lastLength_ = 0;
    memset(oldTable_, 0, sizeof oldTable_);
    tablesRead_ = false;
    ppmdBlock_ = false;
    ppmdEscape_ = 2;
    prevLowDist_ = 0;
    lowDistRepeats_ = 0;
    programs_.clear();
    lastProgram_ = 0;
    memset(oldTable20_, 0, sizeof oldTable20_);
    tablesRead20_ = false;
    audioBlock_ = false;
    channels_ = 1;
    currentChannel_ = 0;
    channelDelta_ = 0;
    for (auto& a : audio_) a = AudioState();
}

int RarUnpacker::unpack(unsigned version, bool solid, PackedInput& input, uint64_t size, UnpackSink& sink) {
    if (!supports(version)) return ERAR_UNKNOWN_FORMAT;
    if (!window_) {
        // Not cleared: only what was decoded is ever read (see copyString).
        window_.reset(static_cast<unsigned char*>(malloc(WindowSize)));
        if (!window_) return ERAR_NO_MEMORY;
        mask_ = WindowSize - 1;
    }
    if (solid && !stateValid_) return ERAR_BAD_DATA;  // an earlier entry of the chain failed
    if (!solid) resetState();
    stateValid_ = false;
    // Filters never reach from one entry into the next.
    filters_.clear();
    fileStart_ = written_ = pos_;
    fileEnd_ = pos_ + size;
    sink_ = &sink;

    BitInput in(input);
    int result = version >= 29 ? unpack29(in) : unpack20(in);
    if (result == ERAR_SUCCESS) result = flush();
    if (result == ERAR_SUCCESS && written_ < fileEnd_)
        result = in.sourceFailed() ? ERAR_EOPEN : ERAR_BAD_DATA;  // the stream ended early
    if (result == ERAR_SUCCESS && in.sourceFailed()) result = ERAR_EOPEN;
    // Whatever the next entry starts from must lie beyond this one.
    written_ = pos_;
    stateValid_ = result == ERAR_SUCCESS;
    return result;
}

// ---- The window and its output -----------------------------------------------------------

void RarUnpacker::copyString(uint32_t length, uint32_t distance) {
    lastLength_ = length;
    lastDist_ = distance;
    unsigned char* w = window_.get();
    if (distance > pos_) {
        // Only a damaged stream reaches back before the data decoded since the last
        // reset; it reads zeros, as from a cleared window, never older memory.
        for (uint32_t i = 0; i < length; ++i, ++pos_)
            w[pos_ & mask_] = pos_ < distance ? 0 : w[(pos_ - distance) & mask_];
        return;
    }
    uint64_t from = pos_ - distance;
    if (((pos_ & mask_) + length) <= WindowSize && ((from & mask_) + length) <= WindowSize) {
        unsigned char* d = w + (pos_ & mask_);
        const unsigned char* s = w + (from & mask_);
        pos_ += length;
        uint32_t i = 0;
        // Eight bytes a step, each step read whole before it is written. A source less
        // than eight bytes behind repeats bytes this step writes, so it goes bytewise.
        if (d < s || d - s >= 8) {
            for (; i + 8 <= length; i += 8) {
                uint64_t chunk;
                memcpy(&chunk, s + i, sizeof chunk);
                memcpy(d + i, &chunk, sizeof chunk);
            }
        }
        for (; i < length; ++i) d[i] = s[i];
        return;
    }
    for (uint32_t i = 0; i < length; ++i, ++pos_, ++from) w[pos_ & mask_] = w[from & mask_];
}

int RarUnpacker::flush() {
    auto emit = [this](uint64_t from, uint64_t to) -> int {
        // Only the entry's own bytes go out; what lies past its size is dropped.
        if (to > fileEnd_) to = fileEnd_;
        while (from < to) {
            size_t at = static_cast<size_t>(from & mask_);
            size_t n = static_cast<size_t>(to - from);
            if (n > WindowSize - at) n = WindowSize - at;
            int r = sink_->write(window_.get() + at, n);
            if (r != ERAR_SUCCESS) return r;
            from += n;
        }
        return ERAR_SUCCESS;
    };
    while (!filters_.empty()) {
        const Filter& first = filters_.front();
        if (first.start < written_) return ERAR_BAD_DATA;
        if (first.start > written_) {
            uint64_t to = first.start < pos_ ? first.start : pos_;
            int r = emit(written_, to);
            if (r != ERAR_SUCCESS) return r;
            written_ = to;
            if (written_ < first.start) return ERAR_SUCCESS;
        }
        if (pos_ < first.start + first.length) return ERAR_SUCCESS;  // its block is not complete yet
        if (first.length > VmWorkSize) return ERAR_BAD_DATA;
        if (!vmMemory_) {
            vmMemory_.reset(new (std::nothrow) unsigned char[VmMemorySize + 4]());
            if (!vmMemory_) return ERAR_NO_MEMORY;
        }
        unsigned char* mem = vmMemory_.get();
        for (uint32_t i = 0; i < first.length; ++i) mem[i] = window_.get()[(first.start + i) & mask_];
        uint32_t out = 0;
        int r = runFilter(first, out);
        if (r != ERAR_SUCCESS) return r;
        uint64_t start = first.start;
        uint32_t length = first.length;
        filters_.erase(filters_.begin());
        // Filters on the same block work on the previous one's output.
        while (!filters_.empty() && filters_.front().start == start && filters_.front().length == length) {
            memmove(mem, mem + out, length);
            r = runFilter(filters_.front(), out);
            if (r != ERAR_SUCCESS) return r;
            filters_.erase(filters_.begin());
        }
        uint64_t inFile = start < fileEnd_ ? (start + length <= fileEnd_ ? length : fileEnd_ - start) : 0;
        if (inFile) {
            r = sink_->write(mem + out, static_cast<size_t>(inFile));
            if (r != ERAR_SUCCESS) return r;
        }
        written_ = start + length;
    }
    int r = emit(written_, pos_);
    if (r != ERAR_SUCCESS) return r;
    written_ = pos_;
    return ERAR_SUCCESS;
}

// ---- RAR 2.9 ---------------------------------------------------------------------------------

int RarUnpacker::readTables29(BitInput& in) {
    in.alignToByte();
    uint32_t field = in.peek16();
    if (field & 0x8000) {
        ppmdBlock_ = true;
        if (!ppmd_) {
            ppmd_.reset(new (std::nothrow) PpmdModel);
            if (!ppmd_) return ERAR_NO_MEMORY;
        }
        return ppmd_->decodeInit(in, ppmdEscape_);
    }
    ppmdBlock_ = false;
    prevLowDist_ = 0;
    lowDistRepeats_ = 0;
    if (!(field & 0x4000)) memset(oldTable_, 0, sizeof oldTable_);
    in.skip(2);

    unsigned char bitLength[20];
    for (int i = 0; i < 20;) {
        unsigned length = in.read(4);
        if (length == 15) {
            unsigned zeros = in.read(4);
            if (zeros == 0) {
                bitLength[i++] = 15;
            } else {
                for (zeros += 2; zeros > 0 && i < 20; --zeros) bitLength[i++] = 0;
            }
        } else {
            bitLength[i++] = static_cast<unsigned char>(length);
        }
    }
    bd_.build(bitLength, 20);
    unsigned char table[404];
    for (int i = 0; i < 404;) {
        if (in.overrun()) return ERAR_BAD_DATA;
        int number = bd_.decode(in);
        if (number < 16) {
            table[i] = static_cast<unsigned char>((number + oldTable_[i]) & 0xF);
            ++i;
        } else if (number < 18) {
            if (i == 0) return ERAR_BAD_DATA;
            unsigned n = number == 16 ? in.read(3) + 3 : in.read(7) + 11;
            for (; n > 0 && i < 404; --n, ++i) table[i] = table[i - 1];
        } else {
            unsigned n = number == 18 ? in.read(3) + 3 : in.read(7) + 11;
            for (; n > 0 && i < 404; --n) table[i++] = 0;
        }
    }
    tablesRead_ = true;
    if (in.overrun()) return ERAR_BAD_DATA;
    ld_.build(table, 299);
    dd_.build(table + 299, 60);
    ldd_.build(table + 359, 17);
    rd_.build(table + 376, 28);
    memcpy(oldTable_, table, sizeof oldTable_);
    return ERAR_SUCCESS;
}

int RarUnpacker::decodePpmdByte(BitInput& in) { return ppmd_->decodeChar(in); }

int RarUnpacker::readFilter(BitInput& in, bool fromPpmd) {
    auto next = [&]() -> int { return fromPpmd ? decodePpmdByte(in) : static_cast<int>(in.read(8)); };
    int flags = next();
    if (flags < 0) return ERAR_BAD_DATA;
    uint32_t length = (flags & 7) + 1;
    if (length == 7) {
        int b = next();
        if (b < 0) return ERAR_BAD_DATA;
        length = b + 7;
    } else if (length == 8) {
        int hi = next();
        int lo = next();
        if (hi < 0 || lo < 0) return ERAR_BAD_DATA;
        length = static_cast<uint32_t>(hi << 8 | lo);
    }
    std::vector<unsigned char> code(length);
    for (auto& c : code) {
        int b = next();
        if (b < 0) return ERAR_BAD_DATA;
        c = static_cast<unsigned char>(b);
    }
    if (in.overrun()) return ERAR_BAD_DATA;
    return parseFilter(code, static_cast<unsigned>(flags));
}

int RarUnpacker::parseFilter(const std::vector<unsigned char>& data, unsigned flags) {
    // `data` starts with a dummy checksum position so that CodeBits can skip it.
    std::vector<unsigned char> code(data.size() + 1);
    // A filter's code may be empty (a 16-bit length of 0): copy no bytes from no buffer.
    std::copy(data.begin(), data.end(), code.begin() + 1);
    CodeBits bits(code);
    size_t number = lastProgram_;
    if (flags & 0x80) {
        uint32_t n = bits.number();
        if (n == 0) {
            programs_.clear();
            filters_.clear();
        } else {
            --n;
        }
        number = n;
    }
    if (number > programs_.size()) return ERAR_BAD_DATA;
    lastProgram_ = number;
    bool isNew = number == programs_.size();

    Filter filter;
    filter.start = pos_ + bits.number();
    if (flags & 0x40) filter.start += 258;
    if (flags & 0x20)
        filter.length = bits.number();
    else
        filter.length = isNew ? 0 : programs_[number].oldLength;
    uint32_t registers[7] = {};
    if (flags & 0x10) {
        unsigned mask = bits.read(7);
        for (int i = 0; i < 7; ++i)
            if (mask & (1u << i)) registers[i] = bits.number();
    }
    if (isNew) {
        uint32_t size = bits.number();
        if (size == 0 || size > 0x10000) return ERAR_BAD_DATA;
        std::vector<unsigned char> program(size);
        for (auto& b : program) b = static_cast<unsigned char>(bits.read(8));
        unsigned char check = 0;
        for (size_t i = 1; i < program.size(); ++i) check ^= program[i];
        if (check != program[0]) return ERAR_BAD_DATA;
        // Archivers only ever write these standard programs; they are known by checksum.
        // Any other program fails only if its block is ever reached.
        static const struct {
            uint32_t size, crc;
            int type;
        } Standard[] = {{53, 0xAD576887u, FilterE8},       {57, 0x3CD7E57Eu, FilterE8E9},
                        {120, 0x3769893Fu, FilterItanium}, {29, 0x0E06077Du, FilterDelta},
                        {149, 0x1C2C5DC8u, FilterRgb},     {216, 0xBC85E701u, FilterAudio}};
        uint32_t crc = rarCrc32(0, program.data(), program.size());
        Program p;
        for (const auto& s : Standard)
            if (s.size == size && s.crc == crc) p.type = s.type;
        programs_.push_back(p);
    } else {
        ++programs_[number].usage;
    }
    programs_[number].oldLength = filter.length;
    if (flags & 0x08) {
        uint32_t size = bits.number();
        if (size > 0x2000 - 0x40) return ERAR_BAD_DATA;
        for (uint32_t i = 0; i < size; ++i) bits.read(8);  // no standard filter reads it
    }
    if (bits.overrun()) return ERAR_BAD_DATA;
    if (filters_.size() >= MaxPendingFilters) return ERAR_BAD_DATA;
    filter.type = programs_[number].type;
    memcpy(filter.registers, registers, sizeof registers);
    filter.registers[4] = filter.length;
    filters_.push_back(filter);
    return ERAR_SUCCESS;
}

int RarUnpacker::unpack29(BitInput& in) {
    if (!tablesRead_) {
        int r = readTables29(in);
        if (r != ERAR_SUCCESS) return r;
    }
    // Below this position neither a flush is due nor the entry overshot: one comparison
    // per symbol instead of two. Flushing only moves the first limit up, so a limit
    // computed before a flush is never too high.
    uint64_t checkAt = 0;
    for (;;) {
        if (in.exhausted()) return ERAR_SUCCESS;
        if (pos_ >= checkAt) {
            if (pos_ - written_ >= FlushChunk) {
                int r = flush();
                if (r != ERAR_SUCCESS) return r;
                if (pos_ - written_ >= WindowSize - FlushMargin) return ERAR_BAD_DATA;  // a filter holds it all
            }
            if (pos_ > fileEnd_ + MaxOvershoot) return ERAR_BAD_DATA;
            checkAt = std::min(written_ + FlushChunk, fileEnd_ + MaxOvershoot + 1);
        }

        if (ppmdBlock_) {
            int ch = decodePpmdByte(in);
            if (ch < 0) return ERAR_BAD_DATA;
            if (ch == ppmdEscape_) {
                int next = decodePpmdByte(in);
                if (next < 0) return ERAR_BAD_DATA;
                if (next == 0) {
                    int r = readTables29(in);
                    if (r != ERAR_SUCCESS) return r;
                    continue;
                }
                if (next == 2) return ERAR_SUCCESS;  // the end of this entry
                if (next == 3) {
                    int r = readFilter(in, true);
                    if (r != ERAR_SUCCESS) return r;
                    continue;
                }
                if (next == 4) {
                    uint32_t distance = 0;
                    int length = 0;
                    for (int i = 0; i < 4; ++i) {
                        int b = decodePpmdByte(in);
                        if (b < 0) return ERAR_BAD_DATA;
                        if (i == 3)
                            length = b;
                        else
                            distance = (distance << 8) + static_cast<uint32_t>(b);
                    }
                    copyString(static_cast<uint32_t>(length) + 32, distance + 2);
                    continue;
                }
                if (next == 5) {
                    int length = decodePpmdByte(in);
                    if (length < 0) return ERAR_BAD_DATA;
                    copyString(static_cast<uint32_t>(length) + 4, 1);
                    continue;
                }
                // Anything else stands for the escape character itself.
            }
            window_.get()[pos_++ & mask_] = static_cast<unsigned char>(ch);
            continue;
        }

        int symbol = ld_.decode(in);
        if (symbol < 256) {
            window_.get()[pos_++ & mask_] = static_cast<unsigned char>(symbol);
            continue;
        }
        if (symbol >= 271) {
            int n = symbol - 271;
            if (n >= 28) return ERAR_BAD_DATA;
            uint32_t length = LengthBase[n] + 3u + in.read(LengthBits[n]);
            int d = dd_.decode(in);
            if (d >= 60) return ERAR_BAD_DATA;
            uint32_t distance = Distances.base[d] + 1;
            int b = Distances.bits[d];
            if (b > 0) {
                if (d > 9) {
                    if (b > 4) distance += in.read(b - 4) << 4;
                    if (lowDistRepeats_ > 0) {
                        --lowDistRepeats_;
                        distance += prevLowDist_;
                    } else {
                        int low = ldd_.decode(in);
                        if (low == 16) {
                            lowDistRepeats_ = 15;
                            distance += prevLowDist_;
                        } else {
                            distance += static_cast<uint32_t>(low);
                            prevLowDist_ = static_cast<uint32_t>(low);
                        }
                    }
                } else {
                    distance += in.read(b);
                }
            }
            if (distance >= 0x2000) {
                ++length;
                if (distance >= 0x40000) ++length;
            }
            for (int i = 3; i > 0; --i) oldDist_[i] = oldDist_[i - 1];
            oldDist_[0] = distance;
            copyString(length, distance);
            continue;
        }
        if (symbol == 256) {
            uint32_t field = in.peek16();
            bool newTable;
            bool newFile = false;
            if (field & 0x8000) {
                newTable = true;
                in.skip(1);
            } else {
                newFile = true;
                newTable = (field & 0x4000) != 0;
                in.skip(2);
            }
            tablesRead_ = !newTable;
            if (newFile) return ERAR_SUCCESS;
            int r = readTables29(in);
            if (r != ERAR_SUCCESS) return r;
            continue;
        }
        if (symbol == 257) {
            int r = readFilter(in, false);
            if (r != ERAR_SUCCESS) return r;
            continue;
        }
        if (symbol == 258) {
            if (lastLength_ != 0) copyString(lastLength_, lastDist_);
            continue;
        }
        if (symbol < 263) {
            int n = symbol - 259;
            uint32_t distance = oldDist_[n];
            for (int i = n; i > 0; --i) oldDist_[i] = oldDist_[i - 1];
            oldDist_[0] = distance;
            int l = rd_.decode(in);
            if (l >= 28) return ERAR_BAD_DATA;
            uint32_t length = LengthBase[l] + 2u + in.read(LengthBits[l]);
            copyString(length, distance);
            continue;
        }
        int n = symbol - 263;
        uint32_t distance = ShortBase[n] + 1u + in.read(ShortBits[n]);
        for (int i = 3; i > 0; --i) oldDist_[i] = oldDist_[i - 1];
        oldDist_[0] = distance;
        copyString(2, distance);
    }
}

// ---- The standard filters -------------------------------------------------------------------

int RarUnpacker::runFilter(const Filter& filter, uint32_t& outAddress) {
    unsigned char* mem = vmMemory_.get();
    uint32_t size = filter.length;
    const uint32_t* r = filter.registers;
    uint32_t fileOffset = static_cast<uint32_t>(filter.start - fileStart_);
    switch (filter.type) {
    case FilterE8:
    case FilterE8E9: {
        const uint32_t FileSize = 0x1000000;
        if (size > VmWorkSize || size < 4) return ERAR_BAD_DATA;
        for (uint32_t i = 0; i + 4 < size; ++i) {
            if (mem[i] == 0xE8 || (filter.type == FilterE8E9 && mem[i] == 0xE9)) {
                uint32_t offset = fileOffset + i + 1;
                uint32_t address = le32(mem + i + 1);
                if (address & 0x80000000u) {
                    if (((address + offset) & 0x80000000u) == 0) putLe32(mem + i + 1, address + FileSize);
                } else if (((address - FileSize) & 0x80000000u) != 0) {
                    putLe32(mem + i + 1, address - offset);
                }
                i += 4;
            }
        }
        outAddress = 0;
        return ERAR_SUCCESS;
    }
    case FilterItanium: {
        static const unsigned char Masks[16] = {4, 4, 6, 6, 0, 0, 7, 7, 4, 4, 0, 0, 4, 4, 0, 0};
        if (size > VmWorkSize || size < 21) return ERAR_BAD_DATA;
        uint32_t block = fileOffset >> 4;
        for (uint32_t pos = 0; pos < size - 21; pos += 16, ++block) {
            unsigned char* data = mem + pos;
            int kind = (data[0] & 0x1F) - 0x10;
            if (kind < 0) continue;
            unsigned cmdMask = Masks[kind];
            for (unsigned i = 0; i <= 2; ++i) {
                if (!(cmdMask & (1u << i))) continue;
                unsigned start = i * 41 + 5;
                if (itaniumBits(data, start + 37, 4) == 5) {
                    uint32_t offset = itaniumBits(data, start + 13, 20);
                    setItaniumBits(data, (offset - block) & 0xFFFFF, start + 13, 20);
                }
            }
        }
        outAddress = 0;
        return ERAR_SUCCESS;
    }
    case FilterDelta: {
        uint32_t channels = r[0];
        if (size > VmWorkSize / 2) return ERAR_BAD_DATA;
        uint32_t src = 0;
        // Every channel-th byte belongs to one channel. A channel beyond the block's
        // bytes has none, and 64-bit steps cannot wrap back into the block: however
        // many channels the stream names, exactly `size` bytes are read.
        for (uint32_t c = 0; c < channels && c < size; ++c) {
            unsigned char prev = 0;
            for (uint64_t d = uint64_t{size} + c; d < 2 * uint64_t{size}; d += channels) {
                prev = static_cast<unsigned char>(prev - mem[src++]);
                mem[d] = prev;
            }
        }
        outAddress = size;
        return ERAR_SUCCESS;
    }
    case FilterRgb: {
        uint32_t width = r[0] - 3;
        uint32_t posR = r[1];
        if (size > VmWorkSize / 2 || size < 3 || r[0] < 3 || width > size || posR > 2) return ERAR_BAD_DATA;
        unsigned char* dest = mem + size;
        const unsigned char* src = mem;
        for (uint32_t c = 0; c < 3; ++c) {
            unsigned prev = 0;
            for (uint32_t i = c; i < size; i += 3) {
                unsigned predicted = prev;
                if (i >= width + 3) {
                    unsigned upper = dest[i - width];
                    unsigned upperLeft = dest[i - width - 3];
                    predicted = prev + upper - upperLeft;
                    int pa = abs(static_cast<int>(predicted - prev));
                    int pb = abs(static_cast<int>(predicted - upper));
                    int pc = abs(static_cast<int>(predicted - upperLeft));
                    predicted = pa <= pb && pa <= pc ? prev : pb <= pc ? upper : upperLeft;
                }
                prev = static_cast<unsigned char>(predicted - *src++);
                dest[i] = static_cast<unsigned char>(prev);
            }
        }
        for (uint32_t i = posR; i + 2 < size; i += 3) {
            unsigned char g = dest[i + 1];
            dest[i] = static_cast<unsigned char>(dest[i] + g);
            dest[i + 2] = static_cast<unsigned char>(dest[i + 2] + g);
        }
        outAddress = size;
        return ERAR_SUCCESS;
    }
    case FilterAudio: {
        uint32_t channels = r[0];
        if (size > VmWorkSize / 2) return ERAR_BAD_DATA;
        unsigned char* dest = mem + size;
        const unsigned char* src = mem;
        // As in the delta filter: no more channels than bytes, steps that cannot wrap.
        for (uint32_t c = 0; c < channels && c < size; ++c) {
            unsigned prevByte = 0;
            int prevDelta = 0, d1 = 0, d2 = 0, d3 = 0, k1 = 0, k2 = 0, k3 = 0;
            unsigned dif[7] = {};
            uint32_t count = 0;
            for (uint64_t i = c; i < size; i += channels, ++count) {
                d3 = d2;
                d2 = prevDelta - d1;
                d1 = prevDelta;
                unsigned predicted =
                    static_cast<unsigned>(8 * static_cast<int>(prevByte) + k1 * d1 + k2 * d2 + k3 * d3);
                predicted = (predicted >> 3) & 0xFF;
                unsigned cur = *src++;
                predicted -= cur;
                dest[i] = static_cast<unsigned char>(predicted);
                prevDelta = static_cast<signed char>(predicted - prevByte);
                prevByte = predicted & 0xFF;
                int d = static_cast<signed char>(cur) * 8;
                dif[0] += abs(d);
                dif[1] += abs(d - d1);
                dif[2] += abs(d + d1);
                dif[3] += abs(d - d2);
                dif[4] += abs(d + d2);
                dif[5] += abs(d - d3);
                dif[6] += abs(d + d3);
                if ((count & 0x1F) == 0) {
                    unsigned minDif = dif[0], best = 0;
                    dif[0] = 0;
                    for (unsigned j = 1; j < 7; ++j) {
                        if (dif[j] < minDif) {
                            minDif = dif[j];
                            best = j;
                        }
                        dif[j] = 0;
                    }
                    int* k = best <= 2 ? &k1 : best <= 4 ? &k2 : &k3;
                    if (best != 0) {
                        if (best % 2 == 1) {
                            if (*k >= -16) --*k;
                        } else if (*k < 16) {
                            ++*k;
                        }
                    }
                }
            }
        }
        outAddress = size;
        return ERAR_SUCCESS;
    }
    default:
        return ERAR_UNKNOWN_FORMAT;
    }
}

// ---- RAR 2.0 ---------------------------------------------------------------------------------

bool RarUnpacker::readTables20(BitInput& in) {
    const unsigned MC20 = 257, NC20 = 298, DC20 = 48, RC20 = 28, BC20 = 19;
    uint32_t field = in.peek16();
    audioBlock_ = (field & 0x8000) != 0;
    if (!(field & 0x4000)) memset(oldTable20_, 0, sizeof oldTable20_);
    in.skip(2);
    unsigned tableSize;
    if (audioBlock_) {
        channels_ = ((field >> 12) & 3) + 1;
        if (currentChannel_ >= channels_) currentChannel_ = 0;
        in.skip(2);
        tableSize = MC20 * channels_;
    } else {
        tableSize = NC20 + DC20 + RC20;
    }
    unsigned char bitLength[19];
    for (unsigned i = 0; i < BC20; ++i) bitLength[i] = static_cast<unsigned char>(in.read(4));
    bd_.build(bitLength, BC20);
    unsigned char table[257 * 4];
    for (unsigned i = 0; i < tableSize;) {
        if (in.overrun()) return false;
        int number = bd_.decode(in);
        if (number < 16) {
            table[i] = static_cast<unsigned char>((number + oldTable20_[i]) & 0xF);
            ++i;
        } else if (number == 16) {
            if (i == 0) return false;
            for (unsigned n = in.read(2) + 3; n > 0 && i < tableSize; --n, ++i) table[i] = table[i - 1];
        } else {
            unsigned n = number == 17 ? in.read(3) + 3 : in.read(7) + 11;
            for (; n > 0 && i < tableSize; --n) table[i++] = 0;
        }
    }
    tablesRead20_ = true;
    if (in.overrun()) return false;
    if (audioBlock_) {
        for (unsigned c = 0; c < channels_; ++c) md_[c].build(table + c * MC20, MC20);
    } else {
        ld_.build(table, NC20);
        dd_.build(table + NC20, DC20);
        rd_.build(table + NC20 + DC20, RC20);
    }
    memcpy(oldTable20_, table, tableSize);
    return true;
}

unsigned char RarUnpacker::decodeAudio(int delta) {
    AudioState& v = audio_[currentChannel_];
    ++v.byteCount;
    v.d[3] = v.d[2];
    v.d[2] = v.d[1];
    v.d[1] = v.lastDelta - v.d[0];
    v.d[0] = v.lastDelta;
    int predicted =
        8 * v.lastChar + v.k[0] * v.d[0] + v.k[1] * v.d[1] + v.k[2] * v.d[2] + v.k[3] * v.d[3] + v.k[4] * channelDelta_;
    predicted = (predicted >> 3) & 0xFF;
    unsigned ch = static_cast<unsigned>(predicted - delta);
    int d = static_cast<signed char>(delta) * 8;
    v.dif[0] += abs(d);
    v.dif[1] += abs(d - v.d[0]);
    v.dif[2] += abs(d + v.d[0]);
    v.dif[3] += abs(d - v.d[1]);
    v.dif[4] += abs(d + v.d[1]);
    v.dif[5] += abs(d - v.d[2]);
    v.dif[6] += abs(d + v.d[2]);
    v.dif[7] += abs(d - v.d[3]);
    v.dif[8] += abs(d + v.d[3]);
    v.dif[9] += abs(d - channelDelta_);
    v.dif[10] += abs(d + channelDelta_);
    channelDelta_ = v.lastDelta = static_cast<signed char>(ch - static_cast<unsigned>(v.lastChar));
    v.lastChar = static_cast<int>(ch & 0xFF);
    if ((v.byteCount & 0x1F) == 0) {
        unsigned minDif = v.dif[0], best = 0;
        v.dif[0] = 0;
        for (unsigned i = 1; i < 11; ++i) {
            if (v.dif[i] < minDif) {
                minDif = v.dif[i];
                best = i;
            }
            v.dif[i] = 0;
        }
        if (best != 0) {
            int& k = v.k[(best - 1) / 2];
            if (best % 2 == 1) {
                if (k >= -16) --k;
            } else if (k < 16) {
                ++k;
            }
        }
    }
    return static_cast<unsigned char>(ch);
}

int RarUnpacker::unpack20(BitInput& in) {
    auto copy20 = [this](uint32_t length, uint32_t distance) {
        oldDist_[oldDistPtr_++ & 3] = distance;
        copyString(length, distance);
    };
    if (!tablesRead20_ && !readTables20(in)) return ERAR_BAD_DATA;
    while (pos_ < fileEnd_) {
        if (in.overrun()) return ERAR_BAD_DATA;
        if (pos_ - written_ >= FlushChunk) {
            int r = flush();
            if (r != ERAR_SUCCESS) return r;
        }
        if (audioBlock_) {
            int number = md_[currentChannel_].decode(in);
            if (number == 256) {
                if (!readTables20(in)) return ERAR_BAD_DATA;
                continue;
            }
            window_.get()[pos_++ & mask_] = decodeAudio(number);
            if (++currentChannel_ == channels_) currentChannel_ = 0;
            continue;
        }
        int number = ld_.decode(in);
        if (number < 256) {
            window_.get()[pos_++ & mask_] = static_cast<unsigned char>(number);
            continue;
        }
        if (number > 269) {
            int n = number - 270;
            if (n >= 28) return ERAR_BAD_DATA;
            uint32_t length = LengthBase[n] + 3u + in.read(LengthBits[n]);
            int d = dd_.decode(in);
            if (d >= 48) return ERAR_BAD_DATA;
            uint32_t distance = Distances.base[d] + 1 + in.read(Distances.bits[d]);
            if (distance >= 0x2000) {
                ++length;
                if (distance >= 0x40000) ++length;
            }
            copy20(length, distance);
            continue;
        }
        if (number == 269) {
            if (!readTables20(in)) return ERAR_BAD_DATA;
            continue;
        }
        if (number == 256) {
            copy20(lastLength_, lastDist_);
            continue;
        }
        if (number < 261) {
            uint32_t distance = oldDist_[(oldDistPtr_ - static_cast<unsigned>(number - 256)) & 3];
            int l = rd_.decode(in);
            if (l >= 28) return ERAR_BAD_DATA;
            uint32_t length = LengthBase[l] + 2u + in.read(LengthBits[l]);
            if (distance >= 0x101) {
                ++length;
                if (distance >= 0x2000) {
                    ++length;
                    if (distance >= 0x40000) ++length;
                }
            }
            copy20(length, distance);
            continue;
        }
        int n = number - 261;
        copy20(2, ShortBase[n] + 1u + in.read(ShortBits[n]));
    }
    // A table change right after the entry belongs to the next entry of a solid archive.
    if (in.left() >= 5 * 8) {
        if (audioBlock_) {
            if (md_[currentChannel_].decode(in) == 256) readTables20(in);
        } else if (ld_.decode(in) == 269) {
            readTables20(in);
        }
    }
    return ERAR_SUCCESS;
}
