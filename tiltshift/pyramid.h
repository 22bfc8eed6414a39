// The tilt-shift pyramid: cubic B-spline weights, the five-tap reduction and
// the vertical re-expansion that stores every level at the picture's height.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/image.h"
#include "tiltshift/transfer.h"

namespace lumetra::tiltshift {

// Four taps at distances 1 + f, f, 1 - f, 2 - f (f = i / 256), in 1/65536.
struct SplineWeights {
    std::array<uint16_t, 4> w;
};
using SplineWeightTable = std::array<SplineWeights, 129>;

void buildSplineWeights(SplineWeightTable& table);

// The weights for a fraction f of 0..255: fractions past one half use the
// mirrored entry with its taps in reverse order.
inline SplineWeights weightsForFraction(const SplineWeightTable& table, int f) {
    if (f <= 128) return table[f];
    const SplineWeights& m = table[256 - f];
    return {{m.w[3], m.w[2], m.w[1], m.w[0]}};
}

// Indexes outside 0..n-1 reflect about the edge: -1 -> 0, -2 -> 1,
// n -> n - 1, n + 1 -> n - 2.
inline int mirrorIndex(int i, int n) {
    if (i < 0) return -i - 1;
    if (i >= n) return 2 * n - 1 - i;
    return i;
}

constexpr int kMaxLevels = 9;
constexpr int kMinReducibleSide = 6;

// Halves a 16-bit 3-channel picture ((w + 1) / 2 x (h + 1) / 2): rows first,
// then columns, with the 1-4-6-4-1 style five-tap filter. Null without memory.
OwnedImage reduceLevel(const IplImage* level);

// Level `index` (reduced, 16-bit) stretched back to `height` rows with the
// spline weights. Null without memory.
OwnedImage expandRows(const SplineWeightTable& weights, const IplImage* reduced, int index, int height);

// Level 0 (src through the forward table) and the re-expanded levels above
// it; empty when memory runs out.
std::vector<OwnedImage> buildPyramid(const TransferTables& tables, const SplineWeightTable& weights,
                                     const IplImage* src);

}  // namespace lumetra::tiltshift
