// CRC32 (reflected, polynomial 0xEDB88320): carry-less multiply folding on x86-64
// processors that have PCLMULQDQ, eight lookup tables elsewhere and for the tails.
#include "unrar/rarcrc.h"

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#define RARCRC_CLMUL 1
#endif

namespace {

struct Tables {
    uint32_t t[8][256];
    Tables() {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (uint32_t i = 0; i < 256; ++i)
            for (int k = 1; k < 8; ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    }
};

// Both versions work on the register (the CRC inverted), so they can hand over to
// each other in the middle of a buffer.
uint32_t tableUpdate(uint32_t reg, const unsigned char* p, size_t size) {
    static const Tables tables;
    const uint32_t(&t)[8][256] = tables.t;
    for (; size >= 8; size -= 8, p += 8) {
        // Little-endian byte order of the words, whatever the machine's.
        uint32_t lo = reg ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
        uint32_t hi = uint32_t(p[4]) | uint32_t(p[5]) << 8 | uint32_t(p[6]) << 16 | uint32_t(p[7]) << 24;
        reg = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][hi & 0xFF] ^
              t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    }
    while (size--) reg = t[0][(reg ^ *p++) & 0xFF] ^ (reg >> 8);
    return reg;
}

#ifdef RARCRC_CLMUL

bool processorHasClmul() {
    unsigned eax, ebx, ecx, edx;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_PCLMUL);
}

// Compiled for processors with carry-less multiply; called only when there is one.
#define CLMUL_TARGET __attribute__((target("pclmul,sse2")))

CLMUL_TARGET inline __m128i load(const unsigned char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// One fold: the lane multiplied forward by its two constants and added to the data
// it lands on.
CLMUL_TARGET inline __m128i fold(__m128i lane, __m128i k, __m128i data) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(lane, k, 0x00), _mm_clmulepi64_si128(lane, k, 0x11)), data);
}

// Folds four 128-bit lanes over 64 bytes a step, the lanes into one, then reduces
// the 128 bits to the 32-bit register (Barrett). Multiplying a lane by x^n mod P
// moves it n bits further along the message; the constants are those powers for
// the bit-reflected polynomial, each shifted left by one for the reflected product:
//   k1, k2 = x^(512+32), x^(512-32)   k3, k4 = x^(128+32), x^(128-32)   k5 = x^64
//   mu = floor(x^64 / P), and P itself (33 bits).
// `size` is at least 64 and a multiple of 16.
CLMUL_TARGET uint32_t clmulUpdate(uint32_t reg, const unsigned char* p, size_t size) {
    const __m128i k1k2 = _mm_set_epi64x(0x1c6e41596, 0x154442bd4);
    const __m128i k3k4 = _mm_set_epi64x(0x0ccaa009e, 0x1751997d0);
    const __m128i k5 = _mm_set_epi64x(0, 0x163cd6124);
    const __m128i poly = _mm_set_epi64x(0x1f7011641, 0x1db710641);
    const __m128i low32 = _mm_set_epi32(0, -1, 0, -1);

    __m128i x1 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(reg)));
    __m128i x2 = load(p + 16), x3 = load(p + 32), x4 = load(p + 48);
    p += 64;
    size -= 64;
    for (; size >= 64; size -= 64, p += 64) {
        x1 = fold(x1, k1k2, load(p));
        x2 = fold(x2, k1k2, load(p + 16));
        x3 = fold(x3, k1k2, load(p + 32));
        x4 = fold(x4, k1k2, load(p + 48));
    }
    x1 = fold(fold(fold(x1, k3k4, x2), k3k4, x3), k3k4, x4);
    for (; size >= 16; size -= 16, p += 16) x1 = fold(x1, k3k4, load(p));

    // 128 bits to 64, then to 32, then the Barrett reduction modulo P.
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k3k4, 0x10));
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 4), _mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5, 0x00));
    __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), poly, 0x00);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(_mm_xor_si128(x1, t), 4)));
}

#else

bool processorHasClmul() { return false; }

#endif

bool useClmul() {
    static const bool has = processorHasClmul();
    return has;
}

}  // namespace

uint32_t rarCrc32Portable(uint32_t crc, const void* data, size_t size) {
    return ~tableUpdate(~crc, static_cast<const unsigned char*>(data), size);
}

uint32_t rarCrc32(uint32_t crc, const void* data, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    uint32_t reg = ~crc;
#ifdef RARCRC_CLMUL
    if (useClmul() && size >= 64) {
        size_t bulk = size & ~size_t(15);
        reg = clmulUpdate(reg, p, bulk);
        p += bulk;
        size -= bulk;
    }
#endif
    return ~tableUpdate(reg, p, size);
}

bool rarCrc32IsAccelerated() { return useClmul(); }
