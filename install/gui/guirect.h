// GuiRect: a rectangle of the panel, top-left corner and size, in pixels.
#pragma once

#include <cstdint>

struct GuiRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;

    GuiRect() = default;
    GuiRect(int32_t x_, int32_t y_, int32_t w_, int32_t h_) : x(x_), y(y_), w(w_), h(h_) {}

    int32_t right() const { return x + w; }
    int32_t bottom() const { return y + h; }

    // The far edges belong to the rectangle.
    bool contains(int32_t px, int32_t py) const { return px >= x && py >= y && px <= x + w && py <= y + h; }

    void centreIn(const GuiRect& outer) {
        x = (outer.w - w) / 2 + outer.x;
        y = (outer.h - h) / 2 + outer.y;
    }

    void deflate(int32_t n) {
        x += n;
        y += n;
        w -= 2 * n;
        h -= 2 * n;
    }

    bool operator==(const GuiRect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
    bool operator!=(const GuiRect& o) const { return !(*this == o); }
};
