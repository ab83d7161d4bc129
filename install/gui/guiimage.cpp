// GuiImage: pixel surfaces, TGA reading, the blend table and clipped blending.
//
// Sections: blend functions and table; creating and reading; clipped drawing.
#include "gui/guiimage.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// --- Blend functions and table ----------------------------------------------

namespace {

// An opacity as an 8-bit fixed-point weight: times 256, truncated toward zero.
// Opacities outside 0..1 (and NaN) are held to the range, so the arithmetic
// below can never leave a byte.
int32_t fixedWeight(float opacity) {
    const float scaled = opacity * 256.0f;
    if (!(scaled > 0.0f)) return 0;
    if (scaled >= 256.0f) return 256;
    return static_cast<int32_t>(scaled);
}

}  // namespace

void blendAlpha32To24(const uint8_t* src, int32_t srcStride, float opacity, uint8_t* dst, int32_t dstStride,
                      float /*inverseOpacity*/, int32_t width, int32_t height) {
    if (!src || !dst || width <= 0 || height <= 0) return;
    const uint32_t o = static_cast<uint32_t>(fixedWeight(opacity));
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* s = src + static_cast<ptrdiff_t>(row) * srcStride;
        uint8_t* d = dst + static_cast<ptrdiff_t>(row) * dstStride;
        int32_t col = 0;
#if defined(__SSE2__)
        // Four pixels at a time in 16-bit lanes: the same products, sums and
        // shifts as below, bit for bit (no sum exceeds 255 * 256). Each 3-byte
        // destination pixel is read and written as 4 bytes, so the loop stops
        // while a fifth pixel still follows in the row.
        const __m128i zero = _mm_setzero_si128();
        const __m128i opacityLanes = _mm_set1_epi16(static_cast<short>(o));
        const __m128i full = _mm_set1_epi16(256);
        for (; col + 5 <= width; col += 4, s += 16, d += 12) {
            uint32_t px[4];
            for (int i = 0; i < 4; ++i) std::memcpy(&px[i], d + 3 * i, 4);
            const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(px));
            const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
            __m128i halves[2];
            for (int half = 0; half < 2; ++half) {
                const __m128i s16 = half ? _mm_unpackhi_epi8(sv, zero) : _mm_unpacklo_epi8(sv, zero);
                const __m128i d16 = half ? _mm_unpackhi_epi8(dv, zero) : _mm_unpacklo_epi8(dv, zero);
                const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s16, 0xFF), 0xFF);
                const __m128i k = _mm_srli_epi16(_mm_mullo_epi16(alpha, opacityLanes), 8);
                const __m128i keep = _mm_sub_epi16(full, k);
                halves[half] = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(d16, keep), _mm_mullo_epi16(s16, k)), 8);
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(px), _mm_packus_epi16(halves[0], halves[1]));
            // In order, so that each pixel's fourth byte is overwritten by the
            // next one; the last pixel writes its three bytes only.
            for (int i = 0; i < 3; ++i) std::memcpy(d + 3 * i, &px[i], 4);
            std::memcpy(d + 9, &px[3], 3);
        }
#endif
        for (; col < width; ++col, s += 4, d += 3) {
            // k <= 256, so each result is at most 255 * 256 >> 8 = 255.
            const uint32_t k = (o * s[3]) >> 8;
            const uint32_t keep = 256 - k;
            d[0] = static_cast<uint8_t>((d[0] * keep + s[0] * k) >> 8);
            d[1] = static_cast<uint8_t>((d[1] * keep + s[1] * k) >> 8);
            d[2] = static_cast<uint8_t>((d[2] * keep + s[2] * k) >> 8);
        }
    }
}

void crossFade24To24(const uint8_t* src, int32_t srcStride, float opacity, uint8_t* dst, int32_t dstStride,
                     float inverseOpacity, int32_t width, int32_t height) {
    if (!src || !dst || width <= 0 || height <= 0) return;
    // Both weights are truncated, so wd + ws <= 256 and the sums fit 16 bits.
    const uint16_t wd = static_cast<uint16_t>(fixedWeight(inverseOpacity));
    const uint16_t ws = static_cast<uint16_t>(fixedWeight(opacity));
    const int32_t rowBytes = width * 3;
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* s = src + static_cast<ptrdiff_t>(row) * srcStride;
        uint8_t* d = dst + static_cast<ptrdiff_t>(row) * dstStride;
        int32_t i = 0;
#if defined(__SSE2__)
        // Sixteen bytes at a time in 16-bit lanes: the same products, sums and
        // shifts as below, bit for bit (the sums never exceed 255 * 256).
        const __m128i zero = _mm_setzero_si128();
        const __m128i wdLanes = _mm_set1_epi16(static_cast<short>(wd));
        const __m128i wsLanes = _mm_set1_epi16(static_cast<short>(ws));
        for (; i + 16 <= rowBytes; i += 16) {
            const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
            const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(dv, zero), wdLanes),
                                                            _mm_mullo_epi16(_mm_unpacklo_epi8(sv, zero), wsLanes)),
                                              8);
            const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(dv, zero), wdLanes),
                                                            _mm_mullo_epi16(_mm_unpackhi_epi8(sv, zero), wsLanes)),
                                              8);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
        }
#endif
        for (; i < rowBytes; ++i) d[i] = static_cast<uint8_t>(static_cast<uint16_t>(d[i] * wd + s[i] * ws) >> 8);
    }
}

namespace {
// Indexed by [source format][destination format]; every other pairing is empty.
struct BlendTable {
    GuiBlendFn fn[8][8];
};
constexpr BlendTable makeBlendTable() {
    BlendTable table{};
    table.fn[GUI_FORMAT_32][GUI_FORMAT_24] = blendAlpha32To24;
    table.fn[GUI_FORMAT_24][GUI_FORMAT_24] = crossFade24To24;
    return table;
}
constexpr BlendTable blendTable = makeBlendTable();
}  // namespace

GuiBlendFn findBlend(uint32_t srcFormat, uint32_t dstFormat) {
    if (srcFormat >= 8 || dstFormat >= 8) return nullptr;
    return blendTable.fn[srcFormat][dstFormat];
}

// --- Creating and reading ------------------------------------------------------

GuiImage::~GuiImage() { delete[] pix; }

uint32_t GuiImage::bytesPerPixel() const {
    switch (format) {
    case GUI_FORMAT_32:
        return 4;
    case GUI_FORMAT_24:
        return 3;
    default:
        return 0;
    }
}

bool GuiImage::create(int32_t newWidth, int32_t newHeight, uint32_t newFormat, bool padRows) {
    const int64_t bits = newFormat == GUI_FORMAT_32 ? 32 : newFormat == GUI_FORMAT_24 ? 24 : 0;
    const int64_t newStride = padRows ? (newWidth * bits + 31) / 32 * 4 : newWidth * bits / 8;
    const bool fits = bits != 0 && newWidth >= 0 && newHeight >= 0 && newWidth <= UINT16_MAX &&
                      newHeight <= UINT16_MAX && newStride <= UINT16_MAX;
    if (!fits) {
        delete[] pix;
        pix = nullptr;
        width = stride = height = 0;
        format = GUI_FORMAT_NONE;
        return false;
    }
    const uint32_t newSize = static_cast<uint32_t>(newStride * newHeight);
    if (newSize != getSizeBytes() || (newSize != 0 && !pix)) {
        delete[] pix;
        pix = newSize ? new (std::nothrow) uint8_t[newSize] : nullptr;
        if (newSize && !pix) {
            width = stride = height = 0;
            format = GUI_FORMAT_NONE;
            return false;
        }
    }
    width = static_cast<uint16_t>(newWidth);
    height = static_cast<uint16_t>(newHeight);
    stride = static_cast<uint16_t>(newStride);
    format = newFormat;
    return true;
}

void GuiImage::clear() {
    if (pix) std::memset(pix, 0, getSizeBytes());
}

bool GuiImage::load(const std::string& newPath, bool deferred) {
    path = newPath;
    if (deferred) return true;
    return loadTga(path);
}

void GuiImage::ensureLoaded() {
    if (!pix && !path.empty()) loadTga(path);
}

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

bool GuiImage::loadTga(const std::string& tgaPath) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(tgaPath.c_str(), "rb"));
    if (!file) return false;
    uint8_t header[18];
    if (std::fread(header, 1, sizeof header, file.get()) != sizeof header) return false;
    const uint8_t colourMapType = header[1];
    const uint8_t imageType = header[2];
    const uint16_t fileWidth = static_cast<uint16_t>(header[12] | header[13] << 8);
    const uint16_t fileHeight = static_cast<uint16_t>(header[14] | header[15] << 8);
    const uint8_t bitsPerPixel = header[16];
    if (colourMapType != 0 || (imageType != 2 && imageType != 3)) return false;
    if (bitsPerPixel != 24 && bitsPerPixel != 32) return false;
    if (fileWidth == 0 || fileHeight == 0 || fileWidth > MAX_TGA_SIDE || fileHeight > MAX_TGA_SIDE) return false;

    // Read into a fresh buffer so that a short file leaves the image as it was.
    const uint32_t newFormat = bitsPerPixel == 32 ? GUI_FORMAT_32 : GUI_FORMAT_24;
    const uint32_t newStride = fileWidth * (bitsPerPixel / 8u);
    const size_t newSize = static_cast<size_t>(newStride) * fileHeight;
    std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[newSize]);
    if (!pixels) return false;
    if (std::fread(pixels.get(), 1, newSize, file.get()) != newSize) return false;

    delete[] pix;
    pix = pixels.release();
    width = fileWidth;
    height = fileHeight;
    stride = static_cast<uint16_t>(newStride);
    format = newFormat;
    return true;
}

uint8_t* GuiImage::getData(int32_t x, int32_t y) const {
    uint8_t* data = pix + static_cast<ptrdiff_t>(y) * stride + static_cast<ptrdiff_t>(x) * bytesPerPixel();
    assert(data >= pix && data < pix + getSizeBytes() && "guiimage");
    return data;
}

// --- Clipped drawing ------------------------------------------------------------

bool GuiImage::draw(GuiImage& source, int32_t x, int32_t y, float opacity, const GuiRect& clip) {
    source.ensureLoaded();
    return blit(source, x, y, GuiRect(0, 0, source.width, source.height), opacity, clip);
}

bool GuiImage::drawRect(GuiImage& source, int32_t x, int32_t y, const GuiRect& sourceRect, float opacity,
                        const GuiRect& clip) {
    source.ensureLoaded();
    return blit(source, x, y, sourceRect, opacity, clip);
}

bool GuiImage::blit(const GuiImage& source, int32_t x, int32_t y, const GuiRect& sourceRect, float opacity,
                    const GuiRect& clip) {
    const GuiBlendFn blend = findBlend(source.format, format);
    if (!blend || !source.pix || !pix) return false;

    // Keep the source rectangle inside the source: columns cut on the left move
    // the placement right, storage rows cut at the top move it down. 64-bit
    // arithmetic, so no position, however far off, can overflow.
    int64_t left = std::max<int64_t>(sourceRect.x, 0);
    int64_t right = std::min<int64_t>(int64_t{sourceRect.x} + sourceRect.w, source.width);
    int64_t bottom = std::max<int64_t>(sourceRect.y, 0);
    int64_t top = std::min<int64_t>(int64_t{sourceRect.y} + sourceRect.h, source.height);
    if (right <= left || top <= bottom) return true;
    const int64_t px = int64_t{x} + (left - sourceRect.x);
    const int64_t py = int64_t{y} + (int64_t{sourceRect.y} + sourceRect.h - top);
    const int64_t pw = right - left;
    const int64_t ph = top - bottom;

    // The visible part: the placement within the clip and within this image.
    const int64_t vx = std::max<int64_t>({px, clip.x, 0});
    const int64_t vy = std::max<int64_t>({py, clip.y, 0});
    const int64_t vr = std::min<int64_t>({px + pw, int64_t{clip.x} + clip.w, width});
    const int64_t vb = std::min<int64_t>({py + ph, int64_t{clip.y} + clip.h, height});
    if (vr <= vx || vb <= vy) return true;

    // The placement's rows below the visible part are the first storage rows of the source.
    const int64_t skippedBelow = (py + ph) - vb;
    const int32_t srcCol = static_cast<int32_t>(left + (vx - px));
    const int32_t srcRow = static_cast<int32_t>(bottom + skippedBelow);
    const int32_t dstRow = static_cast<int32_t>(height - vb);
    blend(source.getData(srcCol, srcRow), source.stride, opacity, getData(static_cast<int32_t>(vx), dstRow), stride,
          1.0f - opacity, static_cast<int32_t>(vr - vx), static_cast<int32_t>(vb - vy));
    return true;
}
