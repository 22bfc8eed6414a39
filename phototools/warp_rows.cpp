#include "phototools/warp_rows.h"

#include <algorithm>
#include <climits>
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

#if LUMETRA_AVX2_INTRINSICS
LUMETRA_AVX2 inline __m256i lerpSum8(__m256i near, __m256i far, __m256i f) {
    return _mm256_add_epi32(_mm256_slli_epi32(near, 15), _mm256_mullo_epi32(_mm256_sub_epi32(far, near), f));
}

// The four neighbours' words of eight pixels, channel c in byte c.
struct Neighbours8 {
    __m256i upperLeft, upperRight, lowerLeft, lowerRight;
};

template <int Channel>
LUMETRA_AVX2 inline __m256i byteOf8(__m256i words) {
    return _mm256_and_si256(_mm256_srli_epi32(words, 8 * Channel), _mm256_set1_epi32(255));
}

// interpolateBody's channel on eight pixels.
template <int Channel>
LUMETRA_AVX2 inline __m256i channel8(const Neighbours8& w, __m256i fx, __m256i fy) {
    const __m256i top =
        _mm256_srai_epi32(lerpSum8(byteOf8<Channel>(w.upperLeft), byteOf8<Channel>(w.upperRight), fx), 8);
    const __m256i bottom =
        _mm256_srai_epi32(lerpSum8(byteOf8<Channel>(w.lowerLeft), byteOf8<Channel>(w.lowerRight), fx), 8);
    return _mm256_srai_epi32(lerpSum8(top, bottom, fy), 15);
}

// The same read, eight pixels a step in registers: positions, the four
// neighbours' words gathered at the byte offsets the scalar fetch reads
// (so no gather passes the picture's last byte either), and the
// interpolation of each channel. Offsets are 32-bit: the caller checks
// the picture is small enough.
template <int C>
LUMETRA_AVX2 int gatherEights(const WarpSource& source, const WarpRun& run, std::ptrdiff_t below, int n,
                              int32_t* r, int32_t* g, int32_t* b) {
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i dx = _mm256_set1_epi32(run.dx), dy = _mm256_set1_epi32(run.dy);
    // Positions wrap at 32 bits, as the scalar ones do.
    __m256i x = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(run.x0)), _mm256_mullo_epi32(lanes, dx));
    __m256i y = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(run.y0)), _mm256_mullo_epi32(lanes, dy));
    const __m256i dx8 = _mm256_slli_epi32(dx, 3), dy8 = _mm256_slli_epi32(dy, 3);
    const __m256i xMax = _mm256_set1_epi32(source.xMax), yMax = _mm256_set1_epi32(source.yMax);
    const __m256i step = _mm256_set1_epi32(static_cast<int32_t>(source.step));
    const __m256i fractionBits = _mm256_set1_epi32(32767);
    const int* upper = reinterpret_cast<const int*>(source.data);
    const int* upperRight = reinterpret_cast<const int*>(source.data + 2);
    const int* lower = reinterpret_cast<const int*>(source.data + below);
    const int* lowerRight = reinterpret_cast<const int*>(source.data + below + 2);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i heldX = _mm256_min_epi32(_mm256_max_epi32(x, _mm256_setzero_si256()), xMax);
        const __m256i heldY = _mm256_min_epi32(_mm256_max_epi32(y, _mm256_setzero_si256()), yMax);
        const __m256i column = _mm256_srli_epi32(heldX, 15);
        const __m256i offset = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srli_epi32(heldY, 15), step),
                                                _mm256_add_epi32(column, _mm256_slli_epi32(column, 1)));
        const __m256i fx = _mm256_and_si256(heldX, fractionBits), fy = _mm256_and_si256(heldY, fractionBits);
        const __m256i ul = _mm256_i32gather_epi32(upper, offset, 1);
        const __m256i ur = _mm256_srli_epi32(_mm256_i32gather_epi32(upperRight, offset, 1), 8);
        const __m256i ll = _mm256_i32gather_epi32(lower, offset, 1);
        const __m256i lr = _mm256_srli_epi32(_mm256_i32gather_epi32(lowerRight, offset, 1), 8);
        const Neighbours8 words{ul, ur, ll, lr};
        if constexpr (C == kAllChannels) {
            store8(b + i, channel8<0>(words, fx, fy));
            store8(g + i, channel8<1>(words, fx, fy));
            store8(r + i, channel8<2>(words, fx, fy));
        } else {
            store8((C == 0 ? b : (C == 1 ? g : r)) + i, channel8<C>(words, fx, fy));
        }
        x = _mm256_add_epi32(x, dx8);
        y = _mm256_add_epi32(y, dy8);
    }
    return i;
}
#endif

// The pixels gatherEights has read (none without AVX2, or where a byte
// offset in the picture could pass 32 bits).
template <int C>
int gatheredByEights(const WarpSource& source, const WarpRun& run, std::ptrdiff_t below, int n, int32_t* r,
                     int32_t* g, int32_t* b) {
#if LUMETRA_AVX2_INTRINSICS
    const int64_t lastOffset = int64_t{source.yMax >> 15} * source.step + int64_t{source.xMax >> 15} * 3 + below + 2;
    if (cpuHasAvx2() && source.step <= INT32_MAX && lastOffset <= INT32_MAX - 4)
        return gatherEights<C>(source, run, below, n, r, g, b);
#endif
    (void)source, (void)run, (void)below, (void)n, (void)r, (void)g, (void)b;
    return 0;
}

// run moved on by k pixels.
WarpRun advanced(const WarpRun& run, int k) {
    return {run.x0 + static_cast<uint32_t>(run.dx) * static_cast<uint32_t>(k),
            run.y0 + static_cast<uint32_t>(run.dy) * static_cast<uint32_t>(k), run.dx, run.dy};
}

}  // namespace

template <int C>
void WarpRows::readInto(const WarpSource& source, const WarpRun& walk, int n, int32_t* r, int32_t* g, int32_t* b) {
    const int walked = pixelWalkLength(source, walk, n);
    if (walked > 0) readWalked<C>(source, walk, walked, r, g, b);
    const std::ptrdiff_t below = source.down ? source.step : 0;
    const int gathered = gatheredByEights<C>(source, advanced(walk, walked), below, n - walked, r + walked,
                                             g + walked, b + walked);
    const int done = walked + gathered;
    const WarpRun run = advanced(walk, done);
    r += done, g += done, b += done, n -= done;
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
