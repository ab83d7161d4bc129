// Test helpers shared by the native and the Wine tests of unrar: the test-archive
// manifest (tests/data/rar/MANIFEST.tsv) and SHA-256 of extracted files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

struct ManifestEntry {
    std::string path;  // '/' between components, UTF-8
    std::string type;  // file, dir or link
    uint64_t size = 0;
    std::string sha256;
};

struct ManifestArchive {
    std::string name;
    std::string kind;  // extract, volume, encrypted, malformed, ...
    std::vector<ManifestEntry> entries;
};

// The archives in manifest order.
inline std::vector<ManifestArchive> readRarManifest(const std::string& path) {
    std::vector<ManifestArchive> archives;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> cols;
        std::stringstream ss(line);
        std::string col;
        while (std::getline(ss, col, '\t')) cols.push_back(col);
        if (cols.size() < 6) continue;
        if (archives.empty() || archives.back().name != cols[0]) archives.push_back({cols[0], cols[1], {}});
        if (cols[2] != "-") archives.back().entries.push_back({cols[2], cols[3], std::stoull(cols[4]), cols[5]});
    }
    return archives;
}

// SHA-256 (FIPS 180-4) of a whole file as lower-case hex; empty when unreadable.
inline std::string sha256File(const std::filesystem::path& path) {
    static const uint32_t k[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
        0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
        0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
        0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
        0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
        0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
        0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};
    uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    auto rotr = [](uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
    auto block = [&](const unsigned char* p) {
        uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = uint32_t(p[4 * i]) << 24 | uint32_t(p[4 * i + 1]) << 16 | uint32_t(p[4 * i + 2]) << 8 | p[4 * i + 3];
        for (int i = 16; i < 64; ++i)
            w[i] = w[i - 16] + (rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3)) + w[i - 7] +
                   (rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10));
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
        for (int i = 0; i < 64; ++i) {
            uint32_t t1 = hh + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
            uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            hh = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
        h[5] += f;
        h[6] += g;
        h[7] += hh;
    };
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::string();
    unsigned char buf[64];
    uint64_t total = 0;
    size_t n;
    for (;;) {
        in.read(reinterpret_cast<char*>(buf), 64);
        n = static_cast<size_t>(in.gcount());
        if (n < 64) break;
        block(buf);
        total += 64;
    }
    total += n;
    unsigned char last[128] = {};
    memcpy(last, buf, n);
    last[n] = 0x80;
    size_t len = n + 1 + 8 <= 64 ? 64 : 128;
    for (int i = 0; i < 8; ++i) last[len - 1 - i] = static_cast<unsigned char>((total * 8) >> (8 * i));
    block(last);
    if (len == 128) block(last + 64);
    std::string hex;
    char part[9];
    for (uint32_t v : h) {
        snprintf(part, sizeof part, "%08x", v);
        hex += part;
    }
    return hex;
}

// Everything below `root`, relative with '/' separators, with its kind ('f', 'd'
// or 'l'); links are not followed.
inline std::map<std::string, char> treeOf(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::map<std::string, char> tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        char kind = it->is_symlink() ? 'l' : it->is_directory() ? 'd' : 'f';
        tree[it->path().lexically_relative(root).generic_u8string()] = kind;
    }
    return tree;
}

// An empty folder of that name below the current one; its absolute path.
inline std::string freshFolder(const std::string& name) {
    std::filesystem::remove_all(name);
    std::filesystem::create_directories(name);
    return std::filesystem::absolute(name).string();
}
