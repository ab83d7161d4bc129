// GuiImage: a pixel surface (pictures read from TGA files, font atlases, the back
// buffer) and the clipped blending of one surface onto another.
//
// Pixel formats: 4 = 32 bits, bytes blue, green, red, alpha; 5 = 24 bits, bytes
// blue, green, red; 0 = no pixels yet. Storage is bottom-up: storage row 0 is the
// bottom row of the picture. Drawing positions are top-down (y = 0 is the top row
// of the destination); draw and drawRect convert.
//
// TGA files read by loadTga (all numbers little-endian):
//   offset 0   identification length (must be 0 for the pixels to line up; not checked)
//   offset 1   colour-map type: must be 0
//   offset 2   image type: 2 (uncompressed true-colour) or 3 (uncompressed grey)
//   offset 12  width, 16 bits; offset 14 height, 16 bits
//   offset 16  bits per pixel: 24 or 32; offset 17 descriptor (not consulted)
//   offset 18  width x height pixels, bottom row first, in storage order
// The descriptor is not consulted, so a file stored top-down shows upside down.
#pragma once

#include <cstdint>
#include <string>

#include "gui/guirect.h"

enum GuiPixelFormat : uint32_t {
    GUI_FORMAT_NONE = 0,
    GUI_FORMAT_32 = 4,
    GUI_FORMAT_24 = 5,
};

// Blends width x height pixels. Both pointers address the lower-left pixel of
// their region; each row advances upward by its stride.
using GuiBlendFn = void (*)(const uint8_t* src, int32_t srcStride, float opacity, uint8_t* dst, int32_t dstStride,
                            float inverseOpacity, int32_t width, int32_t height);

// 32-bit source onto 24-bit destination: per-pixel alpha times the opacity.
void blendAlpha32To24(const uint8_t* src, int32_t srcStride, float opacity, uint8_t* dst, int32_t dstStride,
                      float inverseOpacity, int32_t width, int32_t height);
// 24-bit source onto 24-bit destination: constant opacity.
void crossFade24To24(const uint8_t* src, int32_t srcStride, float opacity, uint8_t* dst, int32_t dstStride,
                     float inverseOpacity, int32_t width, int32_t height);
// The blend function for a pairing of formats, or null when there is none.
GuiBlendFn findBlend(uint32_t srcFormat, uint32_t dstFormat);

class GuiImage {
public:
    // Larger pictures are refused by loadTga: no picture of the panel comes close.
    static constexpr uint16_t MAX_TGA_SIDE = 4096;

    GuiImage() = default;
    GuiImage(const GuiImage&) = delete;
    GuiImage& operator=(const GuiImage&) = delete;
    virtual ~GuiImage();

    // Sets the size and format. The buffer is reallocated (uninitialised) only
    // when the byte size changes; otherwise its bytes are kept. padRows pads each
    // row to a multiple of 4 bytes. False, with the image left empty, when the
    // size does not fit 16 bits per dimension or memory runs out.
    bool create(int32_t width, int32_t height, uint32_t format, bool padRows);
    uint32_t getSizeBytes() const { return static_cast<uint32_t>(stride) * height; }
    // All bytes 0: black, and transparent for format 4.
    void clear();

    // Records the path; deferred reads nothing now (the picture is read on its
    // first use as a source), otherwise reads it at once.
    bool load(const std::string& path, bool deferred);
    // Reads the recorded path if there are no pixels yet; the result is not reported.
    void ensureLoaded();
    // Reads an uncompressed 24- or 32-bit TGA file (format above). False, with the
    // image unchanged, for a file that cannot be opened, another kind of TGA, a
    // size of 0 or above MAX_TGA_SIDE, or fewer pixel bytes than the header announces.
    bool loadTga(const std::string& path);

    // Address of column x of storage row y.
    uint8_t* getData(int32_t x, int32_t y) const;
    uint16_t getWidth() const { return width; }
    uint16_t getHeight() const { return height; }
    uint16_t getStride() const { return stride; }
    uint32_t getFormat() const { return format; }
    const uint8_t* getPixels() const { return pix; }
    const std::string& getPath() const { return path; }

    // Blends the whole source with its top-left corner at (x, y) of this image,
    // limited to clip (top-down). False when nothing could be drawn for lack of a
    // blend function or of pixels.
    bool draw(GuiImage& source, int32_t x, int32_t y, float opacity, const GuiRect& clip);
    // The same for a part of the source, given in the source's storage
    // coordinates: x its left column, y the storage row of its bottom edge.
    bool drawRect(GuiImage& source, int32_t x, int32_t y, const GuiRect& sourceRect, float opacity,
                  const GuiRect& clip);

private:
    uint32_t bytesPerPixel() const;
    // draw and drawRect once the source is loaded.
    bool blit(const GuiImage& source, int32_t x, int32_t y, const GuiRect& sourceRect, float opacity,
              const GuiRect& clip);

    uint16_t width = 0;
    uint16_t stride = 0;
    uint16_t height = 0;
    uint32_t format = GUI_FORMAT_NONE;
    uint8_t* pix = nullptr;
    std::string path;
};
