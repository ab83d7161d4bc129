// Writing TGA pictures for tests.
#include "tgafiles.h"

#include <fstream>

std::vector<uint8_t> tgaHeader(uint8_t mapType, uint8_t type, uint16_t w, uint16_t h, uint8_t bits,
                               uint8_t descriptor) {
    std::vector<uint8_t> bytes(18, 0);
    bytes[1] = mapType;
    bytes[2] = type;
    bytes[12] = static_cast<uint8_t>(w);
    bytes[13] = static_cast<uint8_t>(w >> 8);
    bytes[14] = static_cast<uint8_t>(h);
    bytes[15] = static_cast<uint8_t>(h >> 8);
    bytes[16] = bits;
    bytes[17] = descriptor;
    return bytes;
}

std::string writeFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return name;
}

std::string writeSolidTga(const std::string& name, uint16_t w, uint16_t h, uint32_t rgb) {
    std::vector<uint8_t> bytes = tgaHeader(0, 2, w, h, 32);
    for (int i = 0; i < w * h; ++i) {
        bytes.push_back(static_cast<uint8_t>(rgb));
        bytes.push_back(static_cast<uint8_t>(rgb >> 8));
        bytes.push_back(static_cast<uint8_t>(rgb >> 16));
        bytes.push_back(255);
    }
    return writeFile(name, bytes);
}
