// Small pictures with a known histogram for tracing a look by hand.
#pragma once

#include <array>
#include <cstdint>

#include "support/pictures.h"

namespace lumetra::test {

// 10 x 10: pixels 0-10 (row-major) are grey 20, 11-21 grey 220, the rest
// grey 120, except the traced pixel at `at` (index 27, column 7, row 2) with
// the bytes `traced` (blue, green, red). With clips of 0.1 (threshold
// trunc(100 * 0.1f * 3) = 30) the levels are lo = 20/255, hi = 220/255.
inline OwnedImage tracePicture(std::array<uint8_t, 3> traced) {
    return makePicture(10, 10, 3, 3, [traced](int x, int y, int c) -> uint8_t {
        const int i = y * 10 + x;
        if (i == 27) return traced[static_cast<size_t>(c)];
        return i < 11 ? 20 : i < 22 ? 220 : 120;
    });
}

}  // namespace lumetra::test
