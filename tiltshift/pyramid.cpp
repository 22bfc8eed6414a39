#include "tiltshift/pyramid.h"

#include <algorithm>
#include <cstddef>

#include "core/vector_clones.h"

namespace lumetra::tiltshift {

namespace {

// Outer taps, x in 1/256 pixel (256..512).
int64_t outerTap(int64_t x) { return ((x * x * 256) + 22369621 - x * 131072 - (x * x * x) / 6) >> 8; }
// Inner taps, x in 1/256 pixel (0..256).
int64_t innerTap(int64_t x) { return (((x * x * x) >> 1) + 11184810 - x * x * 256) >> 8; }

inline uint16_t reduce5(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) {
    return static_cast<uint16_t>(((a + e) >> 4) + ((b + d) >> 2) + ((3 * c) >> 3));
}

// One output value of a row: columns 2k - 2 .. 2k + 2, mirrored at the edges.
inline void reduceAt(const uint16_t* in, int n, int k, uint16_t* out) {
    int cols[5];
    for (int t = 0; t < 5; ++t) cols[t] = mirrorIndex(2 * k - 2 + t, n) * 3;
    for (int c = 0; c < 3; ++c)
        out[k * 3 + c] = reduce5(in[cols[0] + c], in[cols[1] + c], in[cols[2] + c], in[cols[3] + c], in[cols[4] + c]);
}

// One row halved; away from the edges the five columns are consecutive.
LUMETRA_VECTOR_CLONES
void reduceRow(const uint16_t* in, int n, uint16_t* out, int outWidth) {
    const int firstInside = 1, lastInside = std::min(outWidth - 1, (n - 3) / 2);
    int k = 0;
    for (; k < std::min(firstInside, outWidth); ++k) reduceAt(in, n, k, out);
    for (; k <= lastInside; ++k) {
        const uint16_t* p = in + (2 * k - 2) * 3;
        for (int c = 0; c < 3; ++c) out[k * 3 + c] = reduce5(p[c], p[3 + c], p[6 + c], p[9 + c], p[12 + c]);
    }
    for (; k < outWidth; ++k) reduceAt(in, n, k, out);
}

LUMETRA_VECTOR_CLONES
void reduceColumns(const uint16_t* r0, const uint16_t* r1, const uint16_t* r2, const uint16_t* r3,
                   const uint16_t* r4, uint16_t* out, int values) {
    for (int i = 0; i < values; ++i) out[i] = reduce5(r0[i], r1[i], r2[i], r3[i], r4[i]);
}

// Weights times values: at most 65536 * 65535, which fits 32 unsigned bits.
LUMETRA_VECTOR_CLONES
void expandRow(const uint16_t* r0, const uint16_t* r1, const uint16_t* r2, const uint16_t* r3,
               SplineWeights weights, uint16_t* out, int values) {
    const uint32_t w0 = weights.w[0], w1 = weights.w[1], w2 = weights.w[2], w3 = weights.w[3];
    for (int i = 0; i < values; ++i) {
        const uint32_t sum = w0 * r0[i] + w1 * r1[i] + w2 * r2[i] + w3 * r3[i];
        out[i] = static_cast<uint16_t>(sum >> 16);
    }
}

}  // namespace

void buildSplineWeights(SplineWeightTable& table) {
    for (int i = 0; i <= 128; ++i) {
        const int64_t w0 = outerTap(256 + i);
        const int64_t w2 = innerTap(256 - i);
        const int64_t w3 = outerTap(512 - i);
        const int64_t w1 = 65536 - w0 - w2 - w3;  // every entry sums to exactly 1
        table[i].w = {static_cast<uint16_t>(w0), static_cast<uint16_t>(w1), static_cast<uint16_t>(w2),
                      static_cast<uint16_t>(w3)};
    }
}

OwnedImage reduceLevel(const IplImage* level) {
    const int width = level->width, height = level->height;
    const int outWidth = (width + 1) / 2, outHeight = (height + 1) / 2;
    OwnedImage out = createImage(outWidth, outHeight, IPL_DEPTH_16U, 3);
    if (!out) return nullptr;
    const std::size_t rowValues = static_cast<std::size_t>(outWidth) * 3;
    std::vector<uint16_t> rows;
    try {
        rows.resize(rowValues * height);
    } catch (...) {
        return nullptr;
    }
    for (int y = 0; y < height; ++y) reduceRow(row16(level, y), width, rows.data() + rowValues * y, outWidth);
    for (int k = 0; k < outHeight; ++k) {
        const uint16_t* r[5];
        for (int t = 0; t < 5; ++t) r[t] = rows.data() + rowValues * mirrorIndex(2 * k - 2 + t, height);
        reduceColumns(r[0], r[1], r[2], r[3], r[4], row16(out.get(), k), static_cast<int>(rowValues));
    }
    return out;
}

OwnedImage expandRows(const SplineWeightTable& weights, const IplImage* reduced, int index, int height) {
    OwnedImage out = createImage(reduced->width, height, IPL_DEPTH_16U, 3);
    if (!out) return nullptr;
    const int rows = reduced->height;
    for (int y = 0; y < height; ++y) {
        const int q = y >> index;
        const int f = static_cast<int>((static_cast<uint32_t>(y) << (8 - index)) & 255);
        expandRow(row16(reduced, mirrorIndex(q - 1, rows)), row16(reduced, q), row16(reduced, mirrorIndex(q + 1, rows)),
                  row16(reduced, mirrorIndex(q + 2, rows)), weightsForFraction(weights, f), row16(out.get(), y),
                  reduced->width * 3);
    }
    return out;
}

std::vector<OwnedImage> buildPyramid(const TransferTables& tables, const SplineWeightTable& weights,
                                     const IplImage* src) {
    std::vector<OwnedImage> levels;
    OwnedImage base = createImage(src->width, src->height, IPL_DEPTH_16U, 3);
    if (!base) return {};
    encodedToLinear(tables, src, base.get());
    levels.push_back(std::move(base));
    OwnedImage previousReduced;  // the last level made, before re-expansion
    const IplImage* last = levels[0].get();
    while (last->width >= kMinReducibleSide && last->height >= kMinReducibleSide &&
           static_cast<int>(levels.size()) < kMaxLevels) {
        OwnedImage reduced = reduceLevel(last);
        if (!reduced) return {};
        OwnedImage expanded = expandRows(weights, reduced.get(), static_cast<int>(levels.size()), src->height);
        if (!expanded) return {};
        levels.push_back(std::move(expanded));
        previousReduced = std::move(reduced);
        last = previousReduced.get();
    }
    return levels;
}

}  // namespace lumetra::tiltshift
