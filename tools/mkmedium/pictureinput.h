// Pictures as publishers have them: PNG and JPEG files are turned into the TGA
// files that setup reads (uncompressed, bottom row first, 24 bits or, where
// the picture is laid over other artwork or has transparency, 32), at the size
// each screen needs. A TGA stays as it is for the picture check.
#pragma once

#include "tools/mkmedium/mediumreport.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// What a file's first bytes say it is: "PNG", "JPEG", "GIF", "BMP", "WebP", or
// "" when they name none of these (a TGA has no signature).
std::string pictureKind(const std::string& bytes);

// Pixels top row first, four bytes each: blue, green, red, alpha.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint8_t> bgra;
    bool opaque() const;
};

// Decodes a PNG or JPEG file's bytes; false with `error` set when it cannot.
bool decodePicture(const std::string& bytes, const std::string& kind, Pixels& pixels, std::string& error);

// The TGA file setup reads: type 2, no image ID, bottom row first, 32 bits with
// alpha or 24 without.
std::string tgaFile(const Pixels& pixels, bool withAlpha);

// Writes pixels as a PNG file; false when it cannot.
bool writePng(const std::filesystem::path& path, const Pixels& pixels);

// In the Media folder of a medium being made: every catalogue picture given as
// PNG or JPEG becomes its TGA, and the source file is removed. A file whose
// content is not what its name says is named as what it is.
void convertPictures(const std::filesystem::path& mediaFolder, MediumReport& report);
