// What Wine played, read back from the WAV file that an ALSA file sink writes
// (the sink is configured by the test's environment).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace wintest {

// The left channel of a 16-bit stereo WAV file as the sink wrote it; the
// sizes in its header may be unset when the device was never closed.
inline std::vector<int16_t> readSinkLeft(const std::string& path) {
    std::vector<int16_t> left;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return left;
    std::vector<char> bytes;
    char block[65536];
    size_t n;
    while ((n = std::fread(block, 1, sizeof(block), f)) > 0) bytes.insert(bytes.end(), block, block + n);
    std::fclose(f);
    if (bytes.size() < 44 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) return left;
    short channels, bits;
    int rate;
    std::memcpy(&channels, bytes.data() + 22, 2);
    std::memcpy(&rate, bytes.data() + 24, 4);
    std::memcpy(&bits, bytes.data() + 34, 2);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(bits, 16);
    const std::string text(bytes.begin(), bytes.end());
    const size_t data = text.find("data", 12);
    if (data == std::string::npos || channels != 2 || bits != 16) return left;
    const char* end = bytes.data() + bytes.size();
    for (const char* p = bytes.data() + data + 8; p + 4 <= end; p += 4) {
        int16_t sample;
        std::memcpy(&sample, p, 2);
        left.push_back(sample);
    }
    return left;
}

// True when no sample is louder than the faintest noise.
inline bool silentAt(const std::vector<int16_t>& s) {
    for (int16_t v : s)
        if (std::abs(int(v)) > 100) return false;
    return true;
}

}  // namespace wintest
