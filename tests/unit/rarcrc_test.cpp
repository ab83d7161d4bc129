// CRC32: the known check values, and the fast version against the table version on
// every length and alignment that reaches each of its paths.
#include "unrar/rarcrc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

std::vector<unsigned char> randomBytes(size_t size) {
    std::mt19937 random(1234);
    std::vector<unsigned char> bytes(size);
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
    return bytes;
}

}  // namespace

TEST(RarCrc, KnownValues) {
    struct Case {
        const char* text;
        uint32_t crc;
    };
    const Case cases[] = {
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(rarCrc32(0, c.text, strlen(c.text)), c.crc);
        EXPECT_EQ(rarCrc32Portable(0, c.text, strlen(c.text)), c.crc);
    }
}

// Lengths up to four folding steps past the smallest one, each at every offset
// from a 16-byte boundary, continued from a non-zero CRC: the folding, the single
// 16-byte steps and the tails all meet the tables' result.
TEST(RarCrc, FastVersionMatchesTheTablesEverywhere) {
    if (!rarCrc32IsAccelerated()) GTEST_SKIP() << "no carry-less multiply on this processor: only the tables run";
    const std::vector<unsigned char> bytes = randomBytes(1024);
    alignas(16) unsigned char aligned[640];
    for (size_t align = 0; align < 16; ++align) {
        for (size_t length = 0; align + length <= sizeof aligned; ++length) {
            std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length), aligned + align);
            ASSERT_EQ(rarCrc32(0x12345678u, aligned + align, length),
                      rarCrc32Portable(0x12345678u, aligned + align, length))
                << "length " << length << " at offset " << align;
        }
    }
}

// A large buffer in uneven pieces gives the CRC of the whole, as extraction feeds it.
TEST(RarCrc, PiecesContinueTheWhole) {
    const std::vector<unsigned char> bytes = randomBytes(3 << 20);
    const uint32_t whole = rarCrc32Portable(0, bytes.data(), bytes.size());
    EXPECT_EQ(rarCrc32(0, bytes.data(), bytes.size()), whole);
    uint32_t crc = 0;
    size_t at = 0;
    for (size_t piece : {size_t(1), size_t(63), size_t(64), size_t(65537), size_t(262144), size_t(1 << 20)}) {
        crc = rarCrc32(crc, bytes.data() + at, piece);
        at += piece;
    }
    crc = rarCrc32(crc, bytes.data() + at, bytes.size() - at);
    EXPECT_EQ(crc, whole);
}
