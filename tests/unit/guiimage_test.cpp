// Tests of GuiImage: the two blend functions, clipped drawing and TGA reading.
#include "gui/guiimage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/tgafiles.h"

namespace {

// The weights and sums exactly as the blending is defined, to compare against.
uint8_t expectedAlpha(uint8_t dst, uint8_t src, uint8_t alpha, float opacity) {
    const int o = static_cast<int>(opacity * 256);
    const int k = (o * alpha) >> 8;
    const int v = (dst * (256 - k) + src * k) >> 8;
    return static_cast<uint8_t>(v > 255 ? 255 : v);
}

uint8_t expectedFade(uint8_t dst, uint8_t src, float opacity) {
    const int wd = static_cast<int>((1 - opacity) * 256);
    const int ws = static_cast<int>(opacity * 256);
    return static_cast<uint8_t>((dst * wd + src * ws) >> 8);
}

// A 24-bit image whose every pixel is (blue, green, red) = (col, row, tag), top-down rows.
void fillPattern24(GuiImage& image, int w, int h, uint8_t tag) {
    ASSERT_TRUE(image.create(w, h, GUI_FORMAT_24, false));
    for (int topRow = 0; topRow < h; ++topRow)
        for (int col = 0; col < w; ++col) {
            uint8_t* p = image.getData(col, h - 1 - topRow);
            p[0] = static_cast<uint8_t>(col);
            p[1] = static_cast<uint8_t>(topRow);
            p[2] = tag;
        }
}

void fill24(GuiImage& image, int w, int h, uint8_t value) {
    ASSERT_TRUE(image.create(w, h, GUI_FORMAT_24, true));
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) std::fill_n(image.getData(col, row), 3, value);
}

// Pixel (col, topRow) of a 24-bit image in top-down coordinates.
std::vector<uint8_t> at(const GuiImage& image, int col, int topRow) {
    const uint8_t* p = image.getData(col, image.getHeight() - 1 - topRow);
    return {p[0], p[1], p[2]};
}

const GuiRect everywhere(-100000, -100000, 200000, 200000);

}  // namespace

TEST(GuiImageBlend, AlphaBlendMatchesTheFixedPointFormulaForEveryAlphaAndOpacity) {
    for (float opacity : {1.0f, 0.75f, 0.5f, 0.3f, 0.01f}) {
        for (int alpha = 0; alpha < 256; ++alpha) {
            const uint8_t src[4] = {10, 128, 255, static_cast<uint8_t>(alpha)};
            uint8_t dst[3] = {255, 77, 0};
            blendAlpha32To24(src, 4, opacity, dst, 3, 1 - opacity, 1, 1);
            EXPECT_EQ(dst[0], expectedAlpha(255, 10, alpha, opacity)) << alpha << " " << opacity;
            EXPECT_EQ(dst[1], expectedAlpha(77, 128, alpha, opacity));
            EXPECT_EQ(dst[2], expectedAlpha(0, 255, alpha, opacity));
        }
    }
    // Alpha 255 at full opacity still keeps 1/256 of the destination: white on black is 254.
    const uint8_t white[4] = {255, 255, 255, 255};
    uint8_t black[3] = {0, 0, 0};
    blendAlpha32To24(white, 4, 1.0f, black, 3, 0.0f, 1, 1);
    EXPECT_EQ(black[0], 254);
    // Alpha 0 leaves the destination alone.
    const uint8_t clear[4] = {255, 255, 255, 0};
    uint8_t grey[3] = {99, 99, 99};
    blendAlpha32To24(clear, 4, 1.0f, grey, 3, 0.0f, 1, 1);
    EXPECT_EQ(grey[0], 99);
}

TEST(GuiImageBlend, WideAlphaRowsGiveTheFormulasBytesAndLeaveTheRowsEndAlone) {
    // Rows of 13 pixels: twelve go four at a time, the last one alone; every
    // alpha and many colour pairs pass through both paths. The byte after each
    // row (stride padding) must keep its value.
    const int32_t width = 13;
    const int32_t srcStride = width * 4;
    const int32_t dstStride = width * 3 + 1;
    const int32_t rows = 256 / width + 1;
    for (float opacity : {1.0f, 0.8f, 0.33f}) {
        std::vector<uint8_t> src(static_cast<size_t>(srcStride * rows)), dst(static_cast<size_t>(dstStride * rows));
        uint32_t seed = 7;
        for (uint8_t& b : src) b = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
        for (uint8_t& b : dst) b = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
        for (int i = 0; i < width * rows; ++i)
            src[static_cast<size_t>((i / width) * srcStride + (i % width) * 4 + 3)] = static_cast<uint8_t>(i);
        const std::vector<uint8_t> before = dst;
        blendAlpha32To24(src.data(), srcStride, opacity, dst.data(), dstStride, 1 - opacity, width, rows);
        for (int row = 0; row < rows; ++row) {
            for (int col = 0; col < width; ++col) {
                const uint8_t* sp = &src[static_cast<size_t>(row * srcStride + col * 4)];
                for (int c = 0; c < 3; ++c) {
                    const size_t at = static_cast<size_t>(row * dstStride + col * 3 + c);
                    ASSERT_EQ(dst[at], expectedAlpha(before[at], sp[c], sp[3], opacity)) << row << "," << col;
                }
            }
            const size_t pad = static_cast<size_t>(row * dstStride + width * 3);
            EXPECT_EQ(dst[pad], before[pad]);
        }
    }
}

TEST(GuiImageBlend, CrossFadeMatchesTheFormulaAndHalfOfBlackOnWhiteIs127) {
    for (float opacity : {1.0f, 0.9f, 0.5f, 0.25f, 0.0f}) {
        for (int s = 0; s < 256; s += 5) {
            const uint8_t src[3] = {static_cast<uint8_t>(s), 0, 255};
            uint8_t dst[3] = {200, 255, 0};
            crossFade24To24(src, 3, opacity, dst, 3, 1 - opacity, 1, 1);
            EXPECT_EQ(dst[0], expectedFade(200, static_cast<uint8_t>(s), opacity));
            EXPECT_EQ(dst[1], expectedFade(255, 0, opacity));
            EXPECT_EQ(dst[2], expectedFade(0, 255, opacity));
        }
    }
    GuiImage white, black;
    fill24(white, 3, 2, 255);
    fill24(black, 3, 2, 0);
    EXPECT_TRUE(white.draw(black, 0, 0, 0.5f, everywhere));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col) EXPECT_EQ(at(white, col, row), (std::vector<uint8_t>{127, 127, 127}));
}

TEST(GuiImageBlend, WideRowsGiveTheSameBytesAsTheFormulaForEveryPairOfValues) {
    // 256 x 256 value pairs in rows of 85 pixels plus one byte, so both the wide
    // steps and the leftover bytes of each row are covered.
    const int32_t width = 85;
    const int32_t stride = 256;
    for (float opacity : {1.0f, 0.77f, 0.5f, 0.1f}) {
        std::vector<uint8_t> src(stride * 256), dst(stride * 256), want(stride * 256);
        for (int row = 0; row < 256; ++row)
            for (int i = 0; i < stride; ++i) {
                src[row * stride + i] = static_cast<uint8_t>(i);
                dst[row * stride + i] = static_cast<uint8_t>(row);
                want[row * stride + i] = i < width * 3
                                             ? expectedFade(static_cast<uint8_t>(row), static_cast<uint8_t>(i), opacity)
                                             : static_cast<uint8_t>(row);
            }
        crossFade24To24(src.data(), stride, opacity, dst.data(), stride, 1 - opacity, width, 256);
        ASSERT_EQ(dst, want) << opacity;
    }
}

TEST(GuiImageBlend, OpacitiesOutsideZeroToOneStayWithinTheBytes) {
    const uint8_t src[4] = {255, 255, 255, 255};
    uint8_t dst[3] = {100, 100, 100};
    blendAlpha32To24(src, 4, 3.0f, dst, 3, -2.0f, 1, 1);
    EXPECT_EQ(dst[0], expectedAlpha(100, 255, 255, 1.0f));
    uint8_t fade[3] = {100, 100, 100};
    crossFade24To24(src, 3, -1.0f, fade, 3, 2.0f, 1, 1);
    EXPECT_EQ(fade[0], 100);
}

TEST(GuiImageDraw, OnlyTheTwoPairingsDrawOntoAnything) {
    EXPECT_NE(findBlend(GUI_FORMAT_32, GUI_FORMAT_24), nullptr);
    EXPECT_NE(findBlend(GUI_FORMAT_24, GUI_FORMAT_24), nullptr);
    GuiImage target32, source32, source24;
    ASSERT_TRUE(target32.create(4, 4, GUI_FORMAT_32, false));
    target32.clear();
    ASSERT_TRUE(source32.create(4, 4, GUI_FORMAT_32, false));
    std::fill_n(source32.getData(0, 0), source32.getSizeBytes(), 0xFF);
    fill24(source24, 4, 4, 0xFF);
    EXPECT_FALSE(target32.draw(source32, 0, 0, 1.0f, everywhere));
    EXPECT_FALSE(target32.draw(source24, 0, 0, 1.0f, everywhere));
    for (uint32_t i = 0; i < target32.getSizeBytes(); ++i) ASSERT_EQ(target32.getData(0, 0)[i], 0);
    EXPECT_EQ(findBlend(GUI_FORMAT_24, GUI_FORMAT_32), nullptr);
    EXPECT_EQ(findBlend(200, GUI_FORMAT_24), nullptr);
}

TEST(GuiImageDraw, NegativePositionShowsTheLowerRightPartWithRowsInOrder) {
    GuiImage target, picture;
    fill24(target, 30, 20, 0);
    fillPattern24(picture, 20, 10, 7);
    EXPECT_TRUE(target.draw(picture, -10, -5, 1.0f, GuiRect(0, 0, 30, 20)));
    // The top visible row is the picture's sixth from the top, the first column its eleventh.
    EXPECT_EQ(at(target, 0, 0), (std::vector<uint8_t>{10, 5, 7}));
    EXPECT_EQ(at(target, 9, 4), (std::vector<uint8_t>{19, 9, 7}));
    EXPECT_EQ(at(target, 10, 0), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_EQ(at(target, 0, 5), (std::vector<uint8_t>{0, 0, 0}));

    // The same with a 32-bit picture: the alpha blend keeps the row order too.
    GuiImage target2, picture32;
    fill24(target2, 30, 20, 0);
    ASSERT_TRUE(picture32.create(20, 10, GUI_FORMAT_32, false));
    for (int topRow = 0; topRow < 10; ++topRow)
        for (int col = 0; col < 20; ++col) {
            uint8_t* p = picture32.getData(col, 9 - topRow);
            p[0] = static_cast<uint8_t>(col * 10);
            p[1] = static_cast<uint8_t>(topRow * 20);
            p[2] = 200;
            p[3] = 255;
        }
    EXPECT_TRUE(target2.draw(picture32, -10, -5, 1.0f, GuiRect(0, 0, 30, 20)));
    EXPECT_EQ(at(target2, 0, 0), (std::vector<uint8_t>{expectedAlpha(0, 100, 255, 1), expectedAlpha(0, 100, 255, 1),
                                                       expectedAlpha(0, 200, 255, 1)}));
}

TEST(GuiImageDraw, ClipsAtEveryEdgeAndNeverWritesOutside) {
    GuiImage target, picture;
    fill24(target, 20, 20, 0);
    fillPattern24(picture, 30, 4, 9);
    // Sticking out of the clip on the left and the right: the whole clip width is drawn.
    EXPECT_TRUE(target.draw(picture, -5, 8, 1.0f, GuiRect(3, 0, 10, 20)));
    for (int col = 0; col < 20; ++col) {
        const bool inside = col >= 3 && col < 13;
        EXPECT_EQ(at(target, col, 8)[2], inside ? 9 : 0) << col;
        if (inside) {
            EXPECT_EQ(at(target, col, 8)[0], col + 5);
        }
    }
    EXPECT_EQ(at(target, 5, 7)[2], 0);
    EXPECT_EQ(at(target, 5, 12)[2], 0);

    // Beyond the top and bottom of the image itself, with a clip larger than it.
    GuiImage tall;
    fillPattern24(tall, 2, 40, 3);
    fill24(target, 20, 20, 0);
    EXPECT_TRUE(target.draw(tall, 18, -10, 1.0f, everywhere));
    EXPECT_EQ(at(target, 18, 0), (std::vector<uint8_t>{0, 10, 3}));
    EXPECT_EQ(at(target, 19, 19), (std::vector<uint8_t>{1, 29, 3}));
    // Entirely outside, at extreme positions: nothing is drawn and nothing breaks.
    EXPECT_TRUE(target.draw(tall, INT32_MAX - 1, INT32_MIN + 1, 1.0f, everywhere));
    EXPECT_TRUE(target.draw(tall, 5, 5, 1.0f, GuiRect(4, 4, 0, 10)));
    EXPECT_EQ(at(target, 5, 5)[2], 0);
}

TEST(GuiImageDraw, DrawRectTakesStorageRowsAndShowsTheUpperPartWhenClippedBelow) {
    GuiImage target, sheet;
    fill24(target, 10, 10, 0);
    fillPattern24(sheet, 8, 8, 5);
    // Storage rows 2..5 are top-down rows 5..2; columns 3..6.
    const GuiRect cell(3, 2, 4, 4);
    EXPECT_TRUE(target.drawRect(sheet, 1, 1, cell, 1.0f, everywhere));
    EXPECT_EQ(at(target, 1, 1), (std::vector<uint8_t>{3, 2, 5}));
    EXPECT_EQ(at(target, 4, 4), (std::vector<uint8_t>{6, 5, 5}));
    // Clipped at the bottom edge: the upper two rows of the cell appear.
    fill24(target, 10, 10, 0);
    EXPECT_TRUE(target.drawRect(sheet, 0, 0, cell, 1.0f, GuiRect(0, 0, 10, 2)));
    EXPECT_EQ(at(target, 0, 0), (std::vector<uint8_t>{3, 2, 5}));
    EXPECT_EQ(at(target, 0, 1), (std::vector<uint8_t>{3, 3, 5}));
    EXPECT_EQ(at(target, 0, 2)[2], 0);
    // A rectangle reaching past the source reads only the source's own pixels.
    fill24(target, 10, 10, 0);
    EXPECT_TRUE(target.drawRect(sheet, 0, 0, GuiRect(6, 6, 5, 5), 1.0f, everywhere));
    EXPECT_EQ(at(target, 0, 3), (std::vector<uint8_t>{6, 0, 5}));
    EXPECT_EQ(at(target, 1, 4), (std::vector<uint8_t>{7, 1, 5}));
    EXPECT_EQ(at(target, 2, 3)[2], 0);
}

TEST(GuiImageCreate, SameByteSizeKeepsTheBytesAndStridesArePackedOrPadded) {
    GuiImage image;
    ASSERT_TRUE(image.create(4, 2, GUI_FORMAT_24, false));
    EXPECT_EQ(image.getStride(), 12);
    image.getData(0, 0)[0] = 42;
    ASSERT_TRUE(image.create(2, 4, GUI_FORMAT_24, false));
    EXPECT_EQ(image.getData(0, 0)[0], 42);
    ASSERT_TRUE(image.create(5, 3, GUI_FORMAT_24, true));
    EXPECT_EQ(image.getStride(), 16);
    EXPECT_EQ(image.getSizeBytes(), 48u);
    EXPECT_FALSE(image.create(70000, 1, GUI_FORMAT_24, true));
    EXPECT_EQ(image.getFormat(), GUI_FORMAT_NONE);
    EXPECT_EQ(image.getPixels(), nullptr);
}

// --- TGA files -----------------------------------------------------------------

namespace {

// A w x h TGA whose pixel i has every colour byte i and alpha 255 - i.
std::string writeTga(const std::string& name, uint8_t type, uint16_t w, uint16_t h, uint8_t bits, size_t cut = 0) {
    std::vector<uint8_t> bytes = tgaHeader(0, type, w, h, bits);
    for (int i = 0; i < w * h; ++i) {
        for (int c = 0; c < 3; ++c) bytes.push_back(static_cast<uint8_t>(i));
        if (bits == 32) bytes.push_back(static_cast<uint8_t>(255 - i));
    }
    bytes.resize(bytes.size() - cut);
    return writeFile(name, bytes);
}

}  // namespace

TEST(GuiImageTga, UncompressedTrueColourAndGreyTypesLoadInStorageOrder) {
    GuiImage image;
    ASSERT_TRUE(image.loadTga(writeTga("a32.tga", 2, 3, 2, 32)));
    EXPECT_EQ(image.getFormat(), GUI_FORMAT_32);
    EXPECT_EQ(image.getWidth(), 3);
    EXPECT_EQ(image.getHeight(), 2);
    EXPECT_EQ(image.getStride(), 12);
    EXPECT_EQ(image.getData(1, 1)[0], 4);
    EXPECT_EQ(image.getData(1, 1)[3], 251);
    ASSERT_TRUE(image.loadTga(writeTga("a24.tga", 2, 3, 2, 24)));
    EXPECT_EQ(image.getFormat(), GUI_FORMAT_24);
    EXPECT_EQ(image.getData(2, 1)[2], 5);
    // Type 3 with 24 bits loads as a colour picture.
    ASSERT_TRUE(image.loadTga(writeTga("g24.tga", 3, 2, 2, 24)));
    EXPECT_EQ(image.getFormat(), GUI_FORMAT_24);
}

TEST(GuiImageTga, OtherKindsGarbageTruncationAndAbsurdSizesAreRejectedAndChangeNothing) {
    GuiImage image;
    ASSERT_TRUE(image.loadTga(writeTga("good.tga", 2, 2, 2, 24)));
    const std::vector<uint8_t> before(image.getPixels(), image.getPixels() + image.getSizeBytes());
    std::vector<uint8_t> mapped = tgaHeader(1, 2, 2, 2, 24);
    mapped.resize(18 + 12, 7);
    const std::vector<std::string> bad = {
        writeTga("rle.tga", 10, 2, 2, 24),
        writeTga("b16.tga", 2, 2, 2, 16),
        writeTga("b8.tga", 3, 2, 2, 8),
        writeFile("mapped.tga", mapped),
        writeTga("short.tga", 2, 4, 4, 32, 1),
        writeFile("hugeheader.tga", tgaHeader(0, 2, 5000, 5000, 32)),
        writeFile("maxsize.tga", tgaHeader(0, 2, 65535, 65535, 32)),
        writeFile("empty.tga", tgaHeader(0, 2, 0, 7, 24)),
        writeFile("tiny.tga", {0, 0, 2, 0}),
        writeFile("text.tga", std::vector<uint8_t>({'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't',
                                                    'u', 'r', 'e', ' ', 'a', 't', ' ', 'a', 'l', 'l'})),
        "does-not-exist.tga",
    };
    for (const std::string& path : bad) {
        EXPECT_FALSE(image.loadTga(path)) << path;
        EXPECT_EQ(image.getWidth(), 2) << path;
        EXPECT_EQ(image.getFormat(), GUI_FORMAT_24) << path;
        EXPECT_EQ(std::vector<uint8_t>(image.getPixels(), image.getPixels() + image.getSizeBytes()), before) << path;
    }
}

TEST(GuiImageTga, DeferredPicturesAreReadOnFirstDrawAndRetriedWhileMissing) {
    std::remove("later.tga");
    GuiImage target, picture;
    fill24(target, 4, 4, 0);
    EXPECT_TRUE(picture.load("later.tga", true));
    EXPECT_EQ(picture.getPixels(), nullptr);
    EXPECT_FALSE(target.draw(picture, 0, 0, 1.0f, everywhere));
    writeTga("later.tga", 2, 2, 2, 24);
    EXPECT_TRUE(target.draw(picture, 0, 0, 1.0f, everywhere));
    EXPECT_EQ(picture.getWidth(), 2);
    // Storage row 0 (pixels 0 and 1) is the bottom row of the picture.
    EXPECT_EQ(at(target, 0, 1)[0], 0);
    EXPECT_EQ(at(target, 0, 0)[0], 2);
    EXPECT_FALSE(picture.load("missing.tga", false));
}

TEST(GuiImageTga, FilesWrittenByImageMagickLoadAsTheFormatAllows) {
    const char* convert = "/usr/bin/convert-im6.q16";
    if (std::FILE* probe = std::fopen(convert, "rb")) {
        std::fclose(probe);
    } else {
        GTEST_SKIP() << "no ImageMagick";
    }
    // A vertical gradient from red to blue.
    auto make = [&](const std::string& options, const std::string& name) {
        const std::string command = std::string(convert) + " -size 4x3 gradient:red-blue " + options + " " + name;
        return std::system(command.c_str()) == 0;
    };
    ASSERT_TRUE(make("-compress None", "im24.tga"));
    ASSERT_TRUE(make("-alpha set -channel A -evaluate set 50% +channel -compress None", "im32.tga"));
    ASSERT_TRUE(make("-compress RLE", "imrle.tga"));
    ASSERT_TRUE(make("-orient TopLeft -compress None", "imtop.tga"));
    ASSERT_TRUE(make("-colorspace Gray -compress None", "imgrey.tga"));
    ASSERT_TRUE(make("-type Palette -compress None", "impal.tga"));

    // ImageMagick writes the gradient's top (red) row first in both files and
    // only the descriptor differs. The descriptor is not consulted: the first row
    // of the file is the bottom row in storage, so both show red at the bottom,
    // and a file meant top-down shows upside down.
    for (const char* name : {"im24.tga", "imtop.tga"}) {
        GuiImage target, picture;
        fill24(target, 4, 3, 0);
        ASSERT_TRUE(picture.loadTga(name)) << name;
        target.draw(picture, 0, 0, 1.0f, everywhere);
        EXPECT_EQ(at(target, 3, 0), (std::vector<uint8_t>{255, 0, 0})) << name;
        EXPECT_EQ(at(target, 3, 2), (std::vector<uint8_t>{0, 0, 255})) << name;
    }
    GuiImage picture;
    ASSERT_TRUE(picture.loadTga("im32.tga"));
    EXPECT_EQ(picture.getFormat(), GUI_FORMAT_32);
    EXPECT_NEAR(picture.getData(0, 0)[3], 128, 1);
    EXPECT_FALSE(picture.loadTga("imrle.tga"));
    EXPECT_FALSE(picture.loadTga("imgrey.tga"));
    EXPECT_FALSE(picture.loadTga("impal.tga"));
}
