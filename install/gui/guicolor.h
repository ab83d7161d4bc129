// GuiColor: a colour as four floats, each made from a byte divided by 256.
#pragma once

#include <cstdint>

struct GuiColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    GuiColor() = default;
    // Components from bytes; dividing by 256 (not 255) lets packed() give every byte back.
    GuiColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha)
        : r(red / 256.0f), g(green / 256.0f), b(blue / 256.0f), a(alpha / 256.0f) {}

    // The colour as a 32-bit pixel: alpha << 24 | red << 16 | green << 8 | blue
    // (blue, green, red, alpha in memory).
    uint32_t packed() const {
        return static_cast<uint32_t>(toByte(a)) << 24 | static_cast<uint32_t>(toByte(r)) << 16 |
               static_cast<uint32_t>(toByte(g)) << 8 | static_cast<uint32_t>(toByte(b));
    }

private:
    // Times 256, truncated; out-of-range floats are held to a byte.
    static uint8_t toByte(float v) {
        const float scaled = v * 256.0f;
        if (!(scaled > 0.0f)) return 0;
        if (scaled >= 255.0f) return 255;
        return static_cast<uint8_t>(scaled);
    }
};
