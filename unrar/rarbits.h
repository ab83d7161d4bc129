// Bit input and canonical Huffman tables of the RAR 2.x-4.x compression: codes are
// read most significant bit first; a table is given by the code length (0..15) of
// each symbol, and codes of equal length follow the symbol order.
#pragma once

#include "unrar/packedinput.h"

#include <cstdint>
#include <cstring>

class BitInput {
public:
    explicit BitInput(PackedInput& source) : source_(source), totalBits_(source.total() * 8) { fill(); }

    // The next 16 bits without consuming them (zeros past the end).
    uint32_t peek16() {
        if (count_ < 16) fill();
        return static_cast<uint32_t>(bits_ >> 48);
    }
    uint32_t peek(int n) {
        if (count_ < n) fill();
        return static_cast<uint32_t>(bits_ >> (64 - n));
    }
    void skip(int n) {
        if (count_ < n) fill();
        bits_ <<= n;
        count_ -= n;
    }
    uint32_t read(int n) {
        if (n == 0) return 0;
        uint32_t v = peek(n);
        skip(n);
        return v;
    }
    // Whole bytes go into the buffer, so the bits short of a byte boundary are the
    // buffered ones beyond a multiple of eight.
    void alignToByte() { skip(count_ & 7); }
    // True once more bits were consumed than the data holds.
    bool overrun() const { return consumed() > totalBits_; }
    // True once every bit of the data was consumed (or more).
    bool exhausted() const { return consumed() >= totalBits_; }
    // Bits left in the data.
    uint64_t left() const { return consumed() >= totalBits_ ? 0 : totalBits_ - consumed(); }
    bool sourceFailed() const { return source_.failed(); }

private:
    uint64_t consumed() const { return fedBits_ - static_cast<uint64_t>(count_); }

    // Tops the buffered bits up to at least 56. Where eight bytes are at hand they go in
    // at once: the bits below the counted ones then hold the start of the next byte,
    // which the next load puts in the same place again.
    void fill() {
        if (len_ - pos_ < 8) return fillSlowly();
        uint64_t word;
        memcpy(&word, buffer_ + pos_, sizeof word);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        word = __builtin_bswap64(word);
#endif
        bits_ |= word >> count_;
        int bytes = (63 - count_) >> 3;
        pos_ += static_cast<size_t>(bytes);
        count_ += bytes * 8;
        fedBits_ += static_cast<uint64_t>(bytes) * 8;
    }

    // Byte by byte at the end of the buffer, reading the next piece of data when needed.
    __attribute__((noinline)) void fillSlowly() {
        while (count_ <= 56) {
            if (pos_ == len_) {
                pos_ = 0;
                len_ = source_.read(buffer_, sizeof buffer_);
                if (len_ == 0) {
                    // Past the end: zeros, so that a damaged stream ends in overrun().
                    count_ += 8;
                    fedBits_ += 8;
                    continue;
                }
                if (len_ >= 8) return fill();
            }
            bits_ |= static_cast<uint64_t>(buffer_[pos_++]) << (56 - count_);
            count_ += 8;
            fedBits_ += 8;
        }
    }

    PackedInput& source_;
    uint64_t totalBits_;
    uint64_t fedBits_ = 0;  // bits taken from the data (and zeros past it) into bits_
    uint64_t bits_ = 0;
    int count_ = 0;  // bits of bits_ not yet consumed, from the top
    unsigned char buffer_[64 * 1024];
    size_t pos_ = 0;
    size_t len_ = 0;
};

class HuffmanTable {
public:
    static constexpr int MaxSymbols = 306;

    void build(const unsigned char* lengths, int count) {
        uint32_t lengthCount[16] = {};
        for (int i = 0; i < count; ++i) ++lengthCount[lengths[i] & 15];
        lengthCount[0] = 0;
        size_ = count;
        memset(symbols_, 0, sizeof symbols_);
        limit_[0] = 0;
        position_[0] = 0;
        uint32_t upper = 0;
        for (int i = 1; i < 16; ++i) {
            upper += lengthCount[i];
            limit_[i] = upper << (16 - i);
            upper *= 2;
            position_[i] = position_[i - 1] + lengthCount[i - 1];
        }
        uint32_t next[16];
        memcpy(next, position_, sizeof next);
        for (int i = 0; i < count; ++i) {
            int len = lengths[i] & 15;
            if (len) symbols_[next[len]++] = static_cast<uint16_t>(i);
        }
        // The first QuickBits bits decide most symbols at once. The limits grow with the
        // length, so one pass over the codes in order finds each code's length.
        int len = 1;
        for (uint32_t code = 0; code < (1u << QuickBits); ++code) {
            uint32_t field = code << (16 - QuickBits);
            while (len < 16 && field >= limit_[len]) ++len;
            quick_[code] = len > QuickBits ? 0 : static_cast<uint16_t>(symbolAt(field, len) << 4 | len);
        }
    }

    int decode(BitInput& in) const {
        uint32_t field = in.peek16() & 0xFFFE;
        uint32_t quick = quick_[field >> (16 - QuickBits)];
        if (quick & 15) {
            in.skip(static_cast<int>(quick & 15));
            return static_cast<int>(quick >> 4);
        }
        return decodeLong(in, field);
    }

private:
    static constexpr int QuickBits = 10;

    // Codes longer than QuickBits, kept out of line so that decode() stays small.
    __attribute__((noinline)) int decodeLong(BitInput& in, uint32_t field) const {
        int len = QuickBits + 1;
        while (len < 15 && field >= limit_[len]) ++len;
        in.skip(len);
        return symbolAt(field, len);
    }

    uint16_t symbolAt(uint32_t field, int len) const {
        uint32_t distance = (field - limit_[len - 1]) >> (16 - len);
        uint32_t pos = position_[len] + distance;
        if (pos >= static_cast<uint32_t>(size_)) pos = 0;
        return symbols_[pos];
    }

    uint32_t limit_[16] = {};
    uint32_t position_[16] = {};
    uint16_t symbols_[MaxSymbols] = {};
    // Symbol << 4 | code length for the codes of at most QuickBits bits, 0 for longer ones.
    uint16_t quick_[1 << QuickBits] = {};
    int size_ = 0;
};
