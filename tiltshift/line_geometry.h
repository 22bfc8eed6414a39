// Geometry both tilt-shift families share: squared distances held inside 63
// bits, and the sharp line as a Q15 slope along the axis it spans most.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace lumetra::tiltshift {

// Distances held to 2^31 - 1 pixels, so two squares add up inside 63 bits.
inline int64_t heldSquare(int64_t d) {
    const int64_t held = std::min<int64_t>(d < 0 ? -d : d, std::numeric_limits<int32_t>::max());
    return held * held;
}

// The line through two distinct points. When it runs closer to horizontal
// (|dy| <= |dx|) a pixel's offset is measured along Y from the line's Y at
// its column, otherwise along X from the line's X at its row.
struct SharpLine {
    bool acrossRows;
    int64_t slope;   // Q15: dy / dx, or dx / dy
    int64_t start;   // the line's Y at column 0, or X at row 0
    double cos2;     // the squared cosine between that axis and the line's normal

    SharpLine(int x1, int y1, int x2, int y2) {
        const int64_t dx = int64_t{x2} - x1, dy = int64_t{y2} - y1;
        const double dx2 = static_cast<double>(dx) * static_cast<double>(dx);
        const double dy2 = static_cast<double>(dy) * static_cast<double>(dy);
        acrossRows = std::llabs(dy) <= std::llabs(dx);
        if (acrossRows) {
            slope = (dy * 32768) / dx;
            start = y1 - ((x1 * slope) >> 15);
            cos2 = dx2 / (dx2 + dy2);
        } else {
            slope = (dx * 32768) / dy;
            start = x1 - ((y1 * slope) >> 15);
            cos2 = dy2 / (dx2 + dy2);
        }
    }
    // The line's position on the measured axis at the other coordinate.
    int64_t lineAt(int64_t other) const { return ((other * slope) >> 15) + start; }
    // |offset| of pixel (x, y) from the line along the measured axis.
    int64_t offset(int64_t x, int64_t y) const {
        return acrossRows ? std::llabs(y - lineAt(x)) : std::llabs(x - lineAt(y));
    }
};

}  // namespace lumetra::tiltshift
