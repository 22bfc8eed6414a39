#include "looks/hsv_rows.h"

#include <array>

#include "core/vector_clones.h"

namespace lumetra {

namespace {

#if LUMETRA_AVX2_INTRINSICS

struct Hsv8 {
    __m256i h, s, v;
};

LUMETRA_AVX2 inline __m256i splat(int32_t v) { return _mm256_set1_epi32(v); }

// floor(n / d) in eight lanes, for numerators of at most 24 significant
// bits (here at most 16: a channel within 0..32768, shifted) and divisors
// 1..32768, both exact in single precision. The division is then rounded
// from the exact quotient, and rounding never passes a float: the floor k
// and k + 1 are floats, so the estimate lies in k..k + 1 and truncates to
// k, or to k + 1 when the remainder comes out negative. A mask is -1 where
// it holds, so adding it subtracts one.
LUMETRA_AVX2 inline __m256i quotient8(__m256i numerator, __m256i divisor) {
    const __m256i q = _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(numerator), _mm256_cvtepi32_ps(divisor)));
    const __m256i rest = _mm256_sub_epi32(numerator, _mm256_mullo_epi32(q, divisor));
    return _mm256_add_epi32(q, _mm256_cmpgt_epi32(_mm256_setzero_si256(), rest));
}

// rgbToHsv15: the same comparisons pick the sector's base and rising
// difference (every rising difference is at least 0).
LUMETRA_AVX2 inline Hsv8 toHsv8(__m256i r, __m256i g, __m256i b) {
    const __m256i v = _mm256_max_epi32(r, _mm256_max_epi32(g, b));
    const __m256i d = _mm256_sub_epi32(v, _mm256_min_epi32(r, _mm256_min_epi32(g, b)));
    const __m256i blueOverGreen = _mm256_cmpgt_epi32(b, g);  // not greenOverBlue
    const __m256i redFirst = _mm256_cmpgt_epi32(r, g), redOverBlue = _mm256_cmpgt_epi32(r, b);
    const __m256i greenOverRed = _mm256_cmpgt_epi32(g, r), blueOverRed = _mm256_cmpgt_epi32(b, r);
    const __m256i warmBase = _mm256_andnot_si256(
        redFirst, _mm256_blendv_epi8(_mm256_and_si256(greenOverRed, splat(8192)), splat(4096), redOverBlue));
    const __m256i warmRising = _mm256_blendv_epi8(
        _mm256_blendv_epi8(_mm256_sub_epi32(b, r), _mm256_sub_epi32(g, r), redOverBlue), _mm256_sub_epi32(g, b), redFirst);
    const __m256i coolBase =
        _mm256_blendv_epi8(_mm256_blendv_epi8(splat(20480), splat(16384), blueOverRed), splat(12288), greenOverRed);
    const __m256i coolRising = _mm256_blendv_epi8(
        _mm256_blendv_epi8(_mm256_sub_epi32(r, b), _mm256_sub_epi32(r, g), blueOverRed), _mm256_sub_epi32(b, g), greenOverRed);
    const __m256i base = _mm256_blendv_epi8(warmBase, coolBase, blueOverGreen);
    const __m256i rising = _mm256_blendv_epi8(warmRising, coolRising, blueOverGreen);
    const __m256i h = _mm256_add_epi32(base, quotient8(_mm256_slli_epi32(rising, 12), _mm256_max_epi32(d, splat(1))));
    const __m256i s = quotient8(_mm256_slli_epi32(d, 15), _mm256_max_epi32(v, splat(1)));
    return {h, s, v};
}

// A table of eight lanes read by sector (h >> 12, at most 6 here): lanes
// 5 to 7 hold what sector 5 takes, as "5 and up" does.
using SectorLanes = std::array<int32_t, 8>;
LUMETRA_AVX2 inline __m256i bySector(const SectorLanes& lanes, __m256i sector) {
    return _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes.data())), sector);
}

struct SaturationLanes {
    SectorLanes a, b;
};
SaturationLanes saturationLanes(const HueSaturation& k) {
    SaturationLanes lanes{};
    for (size_t i = 0; i < 8; ++i) {
        const SectorRamp& ramp = k[i < 5 ? i : 5];
        lanes.a[i] = ramp.a;
        lanes.b[i] = ramp.b;
    }
    return lanes;
}

// changeSaturation.
LUMETRA_AVX2 inline void changeSaturation8(const SaturationLanes& k, Hsv8& q) {
    const __m256i sector = _mm256_srai_epi32(q.h, 12);
    const __m256i fraction = _mm256_and_si256(q.h, splat(4095));
    const __m256i change = _mm256_srai_epi32(
        _mm256_add_epi32(_mm256_mullo_epi32(bySector(k.a, sector), fraction), bySector(k.b, sector)), 12);
    const __m256i s = _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_add_epi32(change, splat(32768)), q.s), 15);
    q.s = _mm256_min_epi32(s, splat(32768));
}

// hsvToRgb15. Every value a channel can take is m plus some of c and the
// step: v = m + c, rising = m + step, falling = m + c - step. So each
// channel adds c where its sector takes v or falling, adds the step where
// it takes rising and subtracts it where it takes falling.
struct ChannelLanes {
    SectorLanes withChroma, withStep, lessStep;
};
// Sectors 0 to 5: red v, falling, m, m, rising, v; green rising, v, v,
// falling, m, m; blue m, m, rising, v, v, falling.
constexpr ChannelLanes kRed{{-1, -1, 0, 0, 0, -1, -1, -1}, {0, 0, 0, 0, -1, 0, 0, 0}, {0, -1, 0, 0, 0, 0, 0, 0}};
constexpr ChannelLanes kGreen{{0, -1, -1, -1, 0, 0, 0, 0}, {-1, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, -1, 0, 0, 0, 0}};
constexpr ChannelLanes kBlue{{0, 0, 0, -1, -1, -1, -1, -1}, {0, 0, -1, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, -1, -1, -1}};

LUMETRA_AVX2 inline __m256i channel8(const ChannelLanes& lanes, __m256i sector, __m256i m, __m256i c, __m256i step) {
    const __m256i added = _mm256_add_epi32(_mm256_and_si256(bySector(lanes.withChroma, sector), c),
                                           _mm256_and_si256(bySector(lanes.withStep, sector), step));
    return _mm256_sub_epi32(_mm256_add_epi32(m, added), _mm256_and_si256(bySector(lanes.lessStep, sector), step));
}

LUMETRA_AVX2 inline void toRgb8(const Hsv8& q, __m256i& r, __m256i& g, __m256i& b) {
    const __m256i c = _mm256_srai_epi32(_mm256_mullo_epi32(q.v, q.s), 15);
    const __m256i m = _mm256_sub_epi32(q.v, c);
    const __m256i step = _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_and_si256(q.h, splat(4095)), c), 12);
    const __m256i sector = _mm256_srai_epi32(q.h, 12);
    r = channel8(kRed, sector, m, c, step);
    g = channel8(kGreen, sector, m, c, step);
    b = channel8(kBlue, sector, m, c, step);
}

// mix15(a, b, t) with the products wrapping as there.
LUMETRA_AVX2 inline __m256i mix8(__m256i a, __m256i b, __m256i t) {
    const __m256i rest = _mm256_sub_epi32(splat(32768), t);
    return _mm256_srai_epi32(_mm256_add_epi32(_mm256_mullo_epi32(rest, a), _mm256_mullo_epi32(t, b)), 15);
}

// The passes take kBatch groups of eight pixels a step, stage by stage. One
// group's chain (two quotients, then four dependent 32-bit products) is
// long, and the processor overlaps too little of the next group's to hide
// it; four independent chains written side by side keep its ports busy
// (about a sixth faster than one group a step).
constexpr int kBatch = 4;

LUMETRA_AVX2 inline void changeSaturationGroups(int32_t* r, int32_t* g, int32_t* b, int groups,
                                                const SaturationLanes& k) {
    Hsv8 q[kBatch];
    __m256i red[kBatch], green[kBatch], blue[kBatch];
    for (int j = 0; j < groups; ++j) q[j] = toHsv8(load8(r + 8 * j), load8(g + 8 * j), load8(b + 8 * j));
    for (int j = 0; j < groups; ++j) changeSaturation8(k, q[j]);
    for (int j = 0; j < groups; ++j) toRgb8(q[j], red[j], green[j], blue[j]);
    for (int j = 0; j < groups; ++j) store8(r + 8 * j, red[j]), store8(g + 8 * j, green[j]), store8(b + 8 * j, blue[j]);
}

LUMETRA_AVX2 int changeSaturationAvx2(int32_t* r, int32_t* g, int32_t* b, int n, const SaturationLanes& k) {
    int i = 0;
    for (; i + 8 * kBatch <= n; i += 8 * kBatch) changeSaturationGroups(r + i, g + i, b + i, kBatch, k);
    for (; i + 8 <= n; i += 8) changeSaturationGroups(r + i, g + i, b + i, 1, k);
    return i;
}

LUMETRA_AVX2 inline void hueTintGroups(int32_t* r, int32_t* g, int32_t* b, int groups, const SaturationLanes& k,
                                       int32_t hue, __m256i weight) {
    Hsv8 q[kBatch];
    __m256i red[kBatch], green[kBatch], blue[kBatch], tintRed[kBatch], tintGreen[kBatch], tintBlue[kBatch];
    for (int j = 0; j < groups; ++j) q[j] = toHsv8(load8(r + 8 * j), load8(g + 8 * j), load8(b + 8 * j));
    for (int j = 0; j < groups; ++j) changeSaturation8(k, q[j]);
    for (int j = 0; j < groups; ++j) toRgb8(q[j], red[j], green[j], blue[j]);
    for (int j = 0; j < groups; ++j) {
        q[j].h = splat(hue);
        toRgb8(q[j], tintRed[j], tintGreen[j], tintBlue[j]);
    }
    for (int j = 0; j < groups; ++j) {
        store8(r + 8 * j, mix8(red[j], tintRed[j], weight)), store8(g + 8 * j, mix8(green[j], tintGreen[j], weight));
        store8(b + 8 * j, mix8(blue[j], tintBlue[j], weight));
    }
}

LUMETRA_AVX2 int hueTintAvx2(int32_t* r, int32_t* g, int32_t* b, int n, const SaturationLanes& k, int32_t hue,
                             int32_t weight) {
    const __m256i t = splat(weight);
    int i = 0;
    for (; i + 8 * kBatch <= n; i += 8 * kBatch) hueTintGroups(r + i, g + i, b + i, kBatch, k, hue, t);
    for (; i + 8 <= n; i += 8) hueTintGroups(r + i, g + i, b + i, 1, k, hue, t);
    return i;
}
#endif

}  // namespace

int changeSaturationRows(int32_t* r, int32_t* g, int32_t* b, int n, const HueSaturation& k) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx2()) return changeSaturationAvx2(r, g, b, n, saturationLanes(k));
#endif
    (void)r, (void)g, (void)b, (void)n, (void)k;
    return 0;
}

int hueTintRows(int32_t* r, int32_t* g, int32_t* b, int n, const HueSaturation& k, int32_t hue, int32_t weight) {
#if LUMETRA_AVX2_INTRINSICS
    // The tint's hue is a constant of the look; a sector beyond 7 would
    // wrap in the lane tables, so such a hue keeps the per-pixel rule.
    if (cpuHasAvx2() && hue >= 0 && hue < 8 * 4096) return hueTintAvx2(r, g, b, n, saturationLanes(k), hue, weight);
#endif
    (void)r, (void)g, (void)b, (void)n, (void)k, (void)hue, (void)weight;
    return 0;
}

}  // namespace lumetra
