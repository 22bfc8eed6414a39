#include "phototools/warp_rows.h"

#include <algorithm>
#include <cstring>

#include "core/bilinear.h"
#include "core/byte_rows.h"
#include "core/q15.h"
#include "core/vector_clones.h"

namespace lumetra::pt {

namespace {

// Held positions, split into the upper-left neighbour's row, its byte in
// the row and the fractions. The row's offset is left to fetch: a 64-bit
// product per lane would cost more than the whole pass.
LUMETRA_VECTOR_CLONES
void positions(const WarpSource& source, const WarpRun& run, int first, int n, int32_t* __restrict row,
               int32_t* __restrict column, int32_t* __restrict fx, int32_t* __restrict fy) {
    for (int i = 0; i < n; ++i) {
        const uint32_t along = static_cast<uint32_t>(first + i);
        const int32_t x = std::clamp(static_cast<int32_t>(run.x0 + static_cast<uint32_t>(run.dx) * along), 0, source.xMax);
        const int32_t y = std::clamp(static_cast<int32_t>(run.y0 + static_cast<uint32_t>(run.dy) * along), 0, source.yMax);
        row[i] = y >> 15;
        column[i] = (x >> 15) * 3;
        fx[i] = x & 32767;
        fy[i] = y & 32767;
    }
}

// B, G, R of the pixel at p in the low three bytes. The left neighbour's
// fourth byte belongs to the right neighbour; the right one is read from
// one byte before it and shifted, so no read passes its last byte.
inline uint32_t leftWord(const uint8_t* p) {
    uint32_t w;
    std::memcpy(&w, p, 4);
    return w;  // the top byte is masked off when used
}
inline uint32_t rightWord(const uint8_t* p) {
    uint32_t w;
    std::memcpy(&w, p + 2, 4);
    return w >> 8;
}

void fetch(const WarpSource& source, std::ptrdiff_t below, int n, const int32_t* row, const int32_t* column,
           uint32_t* upperLeft, uint32_t* upperRight, uint32_t* lowerLeft, uint32_t* lowerRight) {
    const uint8_t* data = source.data;
    const std::ptrdiff_t step = source.step;
    for (int i = 0; i < n; ++i) {
        const uint8_t* p = data + row[i] * step + column[i];
        upperLeft[i] = leftWord(p);
        upperRight[i] = rightWord(p);
        lowerLeft[i] = leftWord(p + below);
        lowerRight[i] = rightWord(p + below);
    }
}

// Channel c (0 blue, 1 green, 2 red) of each pixel, or all three with
// c = kAllChannels.
constexpr int kAllChannels = 3;

template <int C>
[[gnu::always_inline]] inline void interpolateBody(int n, const uint32_t* __restrict upperLeft,
                                                   const uint32_t* __restrict upperRight,
                                                   const uint32_t* __restrict lowerLeft,
                                                   const uint32_t* __restrict lowerRight, const int32_t* __restrict fx,
                                                   const int32_t* __restrict fy, int32_t* __restrict r,
                                                   int32_t* __restrict g, int32_t* __restrict b) {
    using core::lerpSum15;
    for (int i = 0; i < n; ++i) {
        const auto channel = [&](int c) {
            const auto at = [c](uint32_t w) { return static_cast<int32_t>((w >> (8 * c)) & 255u); };
            const int32_t top = lerpSum15(at(upperLeft[i]), at(upperRight[i]), fx[i]) >> 8;
            const int32_t bottom = lerpSum15(at(lowerLeft[i]), at(lowerRight[i]), fx[i]) >> 8;
            return lerpSum15(top, bottom, fy[i]) >> 15;
        };
        if constexpr (C == kAllChannels) {
            b[i] = channel(0);
            g[i] = channel(1);
            r[i] = channel(2);
        } else {
            (C == 0 ? b : (C == 1 ? g : r))[i] = channel(C);
        }
    }
}

template <int C>
LUMETRA_VECTOR_CLONES void interpolate(int n, const uint32_t* __restrict upperLeft, const uint32_t* __restrict upperRight,
                                       const uint32_t* __restrict lowerLeft, const uint32_t* __restrict lowerRight,
                                       const int32_t* __restrict fx, const int32_t* __restrict fy,
                                       int32_t* __restrict r, int32_t* __restrict g, int32_t* __restrict b) {
    interpolateBody<C>(n, upperLeft, upperRight, lowerLeft, lowerRight, fx, fy, r, g, b);
}

// The leading pixels of a run that walks the source's own pixels: one
// whole pixel a step along a row from a whole position. Both fractions are
// 0 there, so each channel interpolates to its byte << 7; it holds while
// the position stays at or below xMax (past it the held position carries a
// fraction) and no lane wraps.
int pixelWalkLength(const WarpSource& source, const WarpRun& run, int n) {
    const int32_t x0 = static_cast<int32_t>(run.x0), y0 = static_cast<int32_t>(run.y0);
    if (run.dx != 32768 || run.dy != 0 || (x0 & 32767) != 0 || (y0 & 32767) != 0) return 0;
    if (x0 < 0 || x0 > source.xMax || y0 < 0 || y0 > source.yMax) return 0;
    return std::min(n, (source.xMax - x0) / 32768 + 1);
}

// n > 0 pixels of such a walk.
template <int C>
void readWalked(const WarpSource& source, const WarpRun& run, int n, int32_t* r, int32_t* g, int32_t* b) {
    const int32_t row = static_cast<int32_t>(run.y0) >> 15, column = static_cast<int32_t>(run.x0) >> 15;
    const uint8_t* p = source.data + row * source.step + column * 3;
    if constexpr (C == kAllChannels) {
        readPlanes15(p, n, r, g, b);
    } else {
        int32_t* out = C == 0 ? b : (C == 1 ? g : r);
        for (int i = 0; i < n; ++i) out[i] = colourToQ15(p[3 * i + C]);
    }
}

}  // namespace

template <int C>
void WarpRows::readInto(const WarpSource& source, const WarpRun& walk, int n, int32_t* r, int32_t* g, int32_t* b) {
    const int walked = pixelWalkLength(source, walk, n);
    if (walked > 0) readWalked<C>(source, walk, walked, r, g, b);
    const WarpRun run{walk.x0 + static_cast<uint32_t>(walk.dx) * static_cast<uint32_t>(walked),
                      walk.y0 + static_cast<uint32_t>(walk.dy) * static_cast<uint32_t>(walked), walk.dx, walk.dy};
    r += walked, g += walked, b += walked, n -= walked;
    const std::ptrdiff_t below = source.down ? source.step : 0;
    for (int first = 0; first < n; first += kBlock) {
        const int count = std::min(kBlock, n - first);
        positions(source, run, first, count, row_.data(), column_.data(), fx_.data(), fy_.data());
        fetch(source, below, count, row_.data(), column_.data(), upperLeft_.data(), upperRight_.data(),
              lowerLeft_.data(), lowerRight_.data());
        interpolate<C>(count, upperLeft_.data(), upperRight_.data(), lowerLeft_.data(), lowerRight_.data(),
                       fx_.data(), fy_.data(), r + first, g + first, b + first);
    }
}

void WarpRows::read(const WarpSource& source, const WarpRun& run, int n, int32_t* r, int32_t* g, int32_t* b) {
    readInto<kAllChannels>(source, run, n, r, g, b);
}

void WarpRows::readChannels(const WarpSource& source, const WarpRun& red, const WarpRun& green, const WarpRun& blue,
                            int n, int32_t* r, int32_t* g, int32_t* b) {
    readInto<2>(source, red, n, r, g, b);
    readInto<1>(source, green, n, r, g, b);
    readInto<0>(source, blue, n, r, g, b);
}

}  // namespace lumetra::pt
