#pragma once

#include <cstdint>

// A rectangle given by its edges, right and bottom exclusive, as slot and
// template rectangles are stored (QRect's right() is inclusive, so it is not
// used for them).
struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool isEmpty() const { return left == right || top == bottom; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Rect& o) const { return !(*this == o); }
};
