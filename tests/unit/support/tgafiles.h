// Writing TGA pictures for tests: headers, raw bytes and solid-colour pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An 18-byte TGA header.
std::vector<uint8_t> tgaHeader(uint8_t mapType, uint8_t type, uint16_t w, uint16_t h, uint8_t bits,
                               uint8_t descriptor = 0);

// Writes the bytes to the file and returns its name.
std::string writeFile(const std::string& name, const std::vector<uint8_t>& bytes);

// A w x h uncompressed 32-bit TGA, every pixel the colour 0xRRGGBB and opaque.
std::string writeSolidTga(const std::string& name, uint16_t w, uint16_t h, uint32_t rgb);
