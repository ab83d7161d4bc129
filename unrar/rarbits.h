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
        consumed_ += static_cast<uint64_t>(n);
    }
    uint32_t read(int n) {
        if (n == 0) return 0;
        uint32_t v = peek(n);
        skip(n);
        return v;
    }
    void alignToByte() { skip(static_cast<int>((8 - consumed_ % 8) % 8)); }
    // True once more bits were consumed than the data holds.
    bool overrun() const { return consumed_ > totalBits_; }
    // Bits left in the data.
    uint64_t left() const { return consumed_ >= totalBits_ ? 0 : totalBits_ - consumed_; }
    bool sourceFailed() const { return source_.failed(); }

private:
    void fill() {
        while (count_ <= 56) {
            if (pos_ == len_) {
                pos_ = 0;
                len_ = source_.read(buffer_, sizeof buffer_);
                if (len_ == 0) {
                    // Past the end: zeros, so that a damaged stream ends in overrun().
                    count_ += 8;
                    continue;
                }
            }
            bits_ |= static_cast<uint64_t>(buffer_[pos_++]) << (56 - count_);
            count_ += 8;
        }
    }

    PackedInput& source_;
    uint64_t totalBits_;
    uint64_t consumed_ = 0;
    uint64_t bits_ = 0;
    int count_ = 0;
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
        // The first QuickBits bits decide most symbols at once.
        for (uint32_t code = 0; code < (1u << QuickBits); ++code) {
            uint32_t field = code << (16 - QuickBits);
            int len = 1;
            while (len < 16 && field >= limit_[len]) ++len;
            if (len > QuickBits) {
                quickLength_[code] = 0;
                continue;
            }
            quickLength_[code] = static_cast<uint8_t>(len);
            quickSymbol_[code] = symbolAt(field, len);
        }
    }

    int decode(BitInput& in) const {
        uint32_t field = in.peek16() & 0xFFFE;
        uint32_t quick = field >> (16 - QuickBits);
        if (quickLength_[quick]) {
            in.skip(quickLength_[quick]);
            return quickSymbol_[quick];
        }
        int len = QuickBits + 1;
        while (len < 15 && field >= limit_[len]) ++len;
        in.skip(len);
        return symbolAt(field, len);
    }

private:
    static constexpr int QuickBits = 10;

    uint16_t symbolAt(uint32_t field, int len) const {
        uint32_t distance = (field - limit_[len - 1]) >> (16 - len);
        uint32_t pos = position_[len] + distance;
        if (pos >= static_cast<uint32_t>(size_)) pos = 0;
        return symbols_[pos];
    }

    uint32_t limit_[16] = {};
    uint32_t position_[16] = {};
    uint16_t symbols_[MaxSymbols] = {};
    uint8_t quickLength_[1 << QuickBits] = {};
    uint16_t quickSymbol_[1 << QuickBits] = {};
    int size_ = 0;
};
