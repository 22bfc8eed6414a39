// The per-hue row pass in 512-bit vectors, two groups of sixteen pixels a
// step, where the processor has AVX-512: perHueRowBody's rule with the
// anchors read by register permutations rather than gathers, products
// split into two 32-bit ones where both fit (else taken in 64 bits on the
// even and odd lanes apart), and every choice made by a mask register.
#include "phototools/color_step.h"

#include "core/divide.h"
#include "core/lanes512.h"
#include "core/vector_clones.h"
#include "phototools/color_lanes512.h"

namespace lumetra::pt {

#if LUMETRA_AVX2_INTRINSICS
LUMETRA_AVX512_WARNINGS_OFF
namespace {

using I = __m512i;
LUMETRA_AVX512_VBMI inline I load16(const int32_t* p) { return _mm512_loadu_si512(p); }

// The anchors of one setting as doubles, the low anchor's values in one
// table and the high anchor's in the other, twelve of sixteen entries each.
struct AnchorTables {
    __m512d low[2], high[2];
};

LUMETRA_AVX512_VBMI inline AnchorTables anchorTables(const HueAnchors& anchors, int setting) {
    const double* low = anchors.low[setting];
    const double* high = anchors.high[setting];
    return {{_mm512_load_pd(low), _mm512_load_pd(low + 8)}, {_mm512_load_pd(high), _mm512_load_pd(high + 8)}};
}

// raisedReciprocal in eight lanes.
LUMETRA_AVX512_VBMI inline __m512d raisedReciprocal(__m512d divisor) {
    return _mm512_mul_pd(_mm512_div_pd(_mm512_set1_pd(1.0), divisor), _mm512_set1_pd(1.0 + 0x1p-50));
}

// Eight lanes of weightedQuotient, the anchors picked by `index`, by one
// raised reciprocal shared by the settings: each numerator is whole
// and below 2^34 in size, exact in double, so the product truncates to the
// quotient (see raisedReciprocal).
LUMETRA_AVX512_VBMI inline __m256i weightedQuotient8(__m512d wa, __m512d wb, __m512d reciprocal, I index,
                                                     const AnchorTables& t) {
    const __m512d va = _mm512_permutex2var_pd(t.low[0], index, t.low[1]);
    const __m512d vb = _mm512_permutex2var_pd(t.high[0], index, t.high[1]);
    // Both products are exact, so the fused sum rounds nothing either.
    return _mm512_cvttpd_epi32(_mm512_mul_pd(_mm512_fmadd_pd(wa, va, _mm512_mul_pd(wb, vb)), reciprocal));
}

// The low (h = 0) or high half of a vector; the extract takes its half
// as an immediate.
LUMETRA_AVX512_VBMI inline __m256i halfOf(I v, int h) {
    return h ? _mm512_extracti64x4_epi64(v, 1) : _mm512_castsi512_si256(v);
}

LUMETRA_AVX512_VBMI inline I joined(__m256i low, __m256i high) {
    return _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
}

// The weighted quotients of the settings in `tables` in sixteen lanes,
// eight at a time in double.
template <int N>
LUMETRA_AVX512_VBMI inline void wideQuotients(I wa, I wb, I divisor, I anchor, const AnchorTables* const (&tables)[N],
                                              I (&quotients)[N]) {
    __m256i halves[N][2];
    for (int h = 0; h < 2; ++h) {
        const __m512d waD = _mm512_cvtepi32_pd(halfOf(wa, h));
        const __m512d wbD = _mm512_cvtepi32_pd(halfOf(wb, h));
        const __m512d reciprocal = raisedReciprocal(_mm512_cvtepi32_pd(halfOf(divisor, h)));
        const I index = _mm512_cvtepu32_epi64(halfOf(anchor, h));
        for (int q = 0; q < N; ++q) halves[q][h] = weightedQuotient8(waD, wbD, reciprocal, index, *tables[q]);
    }
    for (int q = 0; q < N; ++q) quotients[q] = joined(halves[q][0], halves[q][1]);
}

// A narrow setting's anchors in single precision (HueAnchors::narrow).
struct NarrowTable {
    __m512 low, high;
};
LUMETRA_AVX512_VBMI inline NarrowTable narrowTable(const HueAnchors& anchors, int setting) {
    return {_mm512_load_ps(anchors.narrowLow[setting]), _mm512_load_ps(anchors.narrowHigh[setting])};
}

// weightedQuotient in sixteen lanes of single precision, for anchors within
// +-512 and sums below 2^15: each product is below 2^24 and so is their
// sum (the weights add up to the sum), all exact; the quotient, a weighted
// mean of the anchors, lies within +-512, so its rounding moves it by at
// most 2^-15, less than the 1 / sum that separates a quotient that is not
// whole from every whole number: it truncates as the exact one does.
LUMETRA_AVX512_VBMI inline I narrowQuotient(__m512 wa, __m512 wb, __m512 divisor, I anchor, const NarrowTable& t) {
    const __m512 va = _mm512_permutexvar_ps(anchor, t.low), vb = _mm512_permutexvar_ps(anchor, t.high);
    return _mm512_cvttps_epi32(_mm512_div_ps(_mm512_fmadd_ps(wa, va, _mm512_mul_ps(wb, vb)), divisor));
}

// A setting's anchors as 32-bit integers, sixteen to a register.
struct AnchorInts {
    I low, high;
};
LUMETRA_AVX512_VBMI inline AnchorInts anchorInts(const AnchorTables& t) {
    return {joined(_mm512_cvtpd_epi32(t.low[0]), _mm512_cvtpd_epi32(t.low[1])),
            joined(_mm512_cvtpd_epi32(t.high[0]), _mm512_cvtpd_epi32(t.high[1]))};
}

// weightedQuotient in sixteen 32-bit lanes for sums below 2^15: the
// numerator is then below 2^31 in size (weights adding up to the sum times
// anchors within 2^16), the single-precision estimate of its size's
// quotient errs by under 2^-7, so it truncates to the quotient or a
// neighbour, which one step by the remainder puts right; the sign then
// follows the numerator's, as truncation does.
LUMETRA_AVX512_VBMI inline I correctedQuotient(I wa, I wb, I divisor, __m512 divisorF, I anchor, const AnchorInts& t) {
    const I numerator = _mm512_add_epi32(_mm512_mullo_epi32(wa, _mm512_permutexvar_epi32(anchor, t.low)),
                                         _mm512_mullo_epi32(wb, _mm512_permutexvar_epi32(anchor, t.high)));
    const I size = _mm512_abs_epi32(numerator);
    I q = _mm512_cvttps_epi32(_mm512_div_ps(_mm512_cvtepi32_ps(size), divisorF));
    const I rest = _mm512_sub_epi32(size, _mm512_mullo_epi32(q, divisor));
    q = _mm512_mask_sub_epi32(q, _mm512_cmplt_epi32_mask(rest, _mm512_setzero_si512()), q, all(1));
    q = _mm512_mask_add_epi32(q, _mm512_cmpge_epi32_mask(rest, divisor), q, all(1));
    return _mm512_mask_sub_epi32(q, _mm512_cmplt_epi32_mask(numerator, _mm512_setzero_si512()), _mm512_setzero_si512(), q);
}

// The three channels moved to L + (c - incoming) mult >> 15, narrowed to
// 32 bits with saturation, which keeps every comparison with 0 and 32767;
// falling marks a negative multiplier. mult comes as 64-bit lanes, even
// and odd apart, below 2^37 in size, so an offset (c - incoming below 2^16
// in size) times it is below 2^53. Returns whether the offsets were split
// in 32-bit lanes (below 2^30 in size, none of them wide).
LUMETRA_AVX512_VBMI inline bool movedChannels(I red, I green, I blue, I incoming, I newL, I multEven, I multOdd,
                                              I* moved, __mmask16& falling) {
    const I channels[3] = {red, green, blue};
    // Where every multiplier is below 2^29 in size, as it is unless the
    // saturation is extreme, the offset splits in 32-bit lanes
    // (splitShifted): d high below 2^30 and d low below 2^31 in size (d
    // is below 2^16), so nothing wraps and nothing saturates.
    const I bias = _mm512_set1_epi64(1 << 29), span = _mm512_set1_epi64(1 << 30);
    if (_mm512_cmplt_epu64_mask(_mm512_add_epi64(multEven, bias), span) == 0xff &&
        _mm512_cmplt_epu64_mask(_mm512_add_epi64(multOdd, bias), span) == 0xff) {
        const I mult = interleaved(multEven, multOdd);
        falling = _mm512_movepi32_mask(mult);
        for (int c = 0; c < 3; ++c)
            moved[c] = _mm512_add_epi32(newL, splitShifted<15>(_mm512_sub_epi32(channels[c], incoming), mult));
        return true;
    }
    const I lowHalves = _mm512_set1_epi64(0xffffffff);
    const I weave = _mm512_setr_epi32(0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
    const I evenL = _mm512_and_si512(newL, lowHalves), oddL = oddLanes(newL);
    for (int c = 0; c < 3; ++c) {
        const I d = _mm512_sub_epi32(channels[c], incoming);
        const I evenOffset = _mm512_srai_epi64(_mm512_mullo_epi64(evenWide(d), multEven), 15);
        const I oddOffset = _mm512_srai_epi64(_mm512_mullo_epi64(oddWide(d), multOdd), 15);
        const __m256i even = _mm512_cvtsepi64_epi32(_mm512_add_epi64(evenL, evenOffset));
        const __m256i odd = _mm512_cvtsepi64_epi32(_mm512_add_epi64(oddL, oddOffset));
        moved[c] = _mm512_permutex2var_epi32(_mm512_castsi256_si512(even), weave, _mm512_castsi256_si512(odd));
    }
    // The multiplier's sign bits, in the high halves of its 64-bit lanes.
    falling = _mm512_movepi32_mask(_mm512_mask_blend_epi32(0xaaaa, _mm512_srli_epi64(multEven, 32), multOdd));
    return false;
}

// Groups a step: more spill more than they overlap.
constexpr int kPerHueGroups = 2;

// What the pass holds for a call.
struct PerHueSetup {
    AnchorTables lightTable, shiftTable, satTable;
    NarrowTable narrowShift, narrowSat;
    AnchorInts lightInts;
    bool narrow;
    const int32_t* tonedInverse;
    I rotation, envelopeScale;
    // The rotation's own turn, 0..3599: (rotation + shift) mod 3600 is
    // (turn + shift) mod 3600.
    I rotationTurn;
};

// What a group of sixteen pixels carries from one stage to the next.
struct PerHueLanes {
    I red, green, blue, incoming, chroma, inv, l, plainL;
    I wa, wb, divisor, anchor, sum;
    __mmask16 grey, weighted, oddRank;
    I lightQ, shiftQ, satQ;
};

// The incoming colour: luminance, ranking, table entries and the two
// anchors around the hue with their weights.
template <bool Tone>
LUMETRA_AVX512_VBMI inline void perHueFront(PerHueLanes& x, const int32_t* r, const int32_t* g, const int32_t* b,
                                            uint8_t* ranking, const PerHueSetup& s) {
    const I one = all(1), zero = _mm512_setzero_si512();
    x.red = load16(r), x.green = load16(g), x.blue = load16(b);
    x.incoming = luminance16(x.red, x.green, x.blue);
    const I hi = _mm512_max_epi32(x.red, _mm512_max_epi32(x.green, x.blue));
    const I lo = _mm512_min_epi32(x.red, _mm512_min_epi32(x.green, x.blue));
    const I dmax = _mm512_sub_epi32(hi, x.incoming), dmin = _mm512_sub_epi32(lo, x.incoming);
    const I dmid = _mm512_sub_epi32(
        _mm512_sub_epi32(_mm512_add_epi32(x.red, _mm512_add_epi32(x.green, x.blue)), _mm512_add_epi32(hi, lo)),
        x.incoming);
    x.chroma = _mm512_sub_epi32(dmax, dmin);

    const I k = rankingCode16(x.red, x.green, x.blue);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(ranking), _mm512_cvtepi32_epi8(k));
    x.oddRank = _mm512_test_epi32_mask(k, one);

    const I tonedAndInverse = _mm512_i32gather_epi32(x.incoming, s.tonedInverse, 4);
    x.inv = _mm512_and_si512(tonedAndInverse, all(0xffff));
    x.l = _mm512_min_epi32(x.incoming, all(kWhite15));
    x.plainL = Tone ? _mm512_srli_epi32(tonedAndInverse, 16) : x.l;

    const I avg = _mm512_srai_epi32(_mm512_add_epi32(dmax, dmin), 1);
    const __mmask16 upper = _mm512_cmpgt_epi32_mask(dmid, avg);
    x.wa = _mm512_sub_epi32(dmid, _mm512_mask_blend_epi32(upper, dmin, avg));
    x.wb = _mm512_sub_epi32(_mm512_mask_blend_epi32(upper, avg, dmax), dmid);
    x.sum = _mm512_add_epi32(x.wa, x.wb);
    const I twiceK = _mm512_add_epi32(k, k);
    x.anchor = _mm512_mask_add_epi32(twiceK, upper, twiceK, one);
    x.divisor = _mm512_mask_mov_epi32(one, _mm512_cmpgt_epi32_mask(x.sum, zero), x.sum);
    x.grey = _mm512_cmpeq_epi32_mask(dmax, zero);
    x.weighted = _kandn_mask16(x.grey, _mm512_cmpneq_epi32_mask(x.sum, zero));
}

// The three settings' weighted quotients.
LUMETRA_AVX512_VBMI inline void perHueQuotients(PerHueLanes& x, const PerHueSetup& s) {
    if (s.narrow && _mm512_cmplt_epu32_mask(x.sum, all(1 << 15)) == 0xffff) {
        const __m512 waF = _mm512_cvtepi32_ps(x.wa), wbF = _mm512_cvtepi32_ps(x.wb);
        const __m512 divisorF = _mm512_cvtepi32_ps(x.divisor);
        x.lightQ = correctedQuotient(x.wa, x.wb, x.divisor, divisorF, x.anchor, s.lightInts);
        x.shiftQ = narrowQuotient(waF, wbF, divisorF, x.anchor, s.narrowShift);
        x.satQ = narrowQuotient(waF, wbF, divisorF, x.anchor, s.narrowSat);
    } else {
        const AnchorTables* const tables[3] = {&s.lightTable, &s.shiftTable, &s.satTable};
        I quotients[3];
        wideQuotients(x.wa, x.wb, x.divisor, x.anchor, tables, quotients);
        x.lightQ = quotients[0], x.shiftQ = quotients[1], x.satQ = quotients[2];
    }
}

// The new L and the offsets scaled, stored with flags, L and each pixel's
// rotation part; returns the lanes flagged kFlagWide.
template <bool Tone>
LUMETRA_AVX512_VBMI inline __mmask16 perHueBack(const PerHueLanes& x, int32_t* r, int32_t* g, int32_t* b,
                                                int32_t* part, uint8_t* flag, int32_t* lum, const PerHueSetup& s) {
    const I zero = _mm512_setzero_si512(), white = all(kWhite15), turnUnits = all(3600);
    const I lowHalves = _mm512_set1_epi64(0xffffffff);
    // The lit L, each product split at its shift (splitShifted): the
    // spread (below 2^28) times the reciprocal (below 2^14) at 2^18, its
    // low part's product below 2^32 unsigned; the chroma (below 2^16) times
    // the slope (below 2^24) at 2^15; the light (within 2^16) times that
    // (below 2^25), or times the chroma, at 2^15.
    I lit;
    if constexpr (Tone) {
        const I toned = x.plainL;
        const I spread = _mm512_mullo_epi32(toned, _mm512_sub_epi32(white, toned));
        const I slope = splitShifted<18, true>(x.inv, spread);
        lit = _mm512_add_epi32(toned, splitShifted<15>(x.lightQ, splitShifted<15>(x.chroma, slope)));
    } else {
        lit = _mm512_add_epi32(x.l, splitShifted<15>(x.lightQ, x.chroma));
    }
    const I litL = _mm512_min_epi32(_mm512_max_epi32(lit, zero), white);
    const I newL = _mm512_mask_blend_epi32(x.weighted, x.plainL, litL);
    const I factor = _mm512_mask_mov_epi32(_mm512_maskz_mov_epi32(_knot_mask16(x.grey), all(256)), x.weighted, x.satQ);

    // The multiplier in 64 bits (below 2^37 in size), even and odd lanes.
    // The envelope is computed rather than read, a gather the pass
    // would wait on: E(L) (below 2^29) times 109 s (below 2^22) >> 22,
    // as its table holds it, below 2^29 in size.
    const I spanE = _mm512_add_epi32(_mm512_mullo_epi32(_mm512_sub_epi32(all(38390), newL), newL), all(4913920));
    const I envelopeEven = _mm512_srai_epi64(_mm512_mul_epi32(spanE, s.envelopeScale), 22);
    const I envelopeOdd = _mm512_srai_epi64(_mm512_mul_epi32(oddLanes(spanE), s.envelopeScale), 22);
    const I envEven = _mm512_srai_epi64(_mm512_mul_epi32(envelopeEven, factor), 8);
    const I envOdd = _mm512_srai_epi64(_mm512_mul_epi32(envelopeOdd, oddLanes(factor)), 8);
    const I multEven = _mm512_srai_epi64(_mm512_mullo_epi64(envEven, _mm512_and_si512(x.inv, lowHalves)), 13);
    const I multOdd = _mm512_srai_epi64(_mm512_mullo_epi64(envOdd, oddLanes(x.inv)), 13);

    const I channels[3] = {x.red, x.green, x.blue};
    I moved[3];
    __mmask16 falling;
    const bool split = movedChannels(x.red, x.green, x.blue, x.incoming, newL, multEven, multOdd, moved, falling);
    // The offsets move with the channel, the same way for every
    // channel, so those of max and min are the largest and smallest
    // (swapped for a negative multiplier).
    const I largest = _mm512_max_epi32(moved[0], _mm512_max_epi32(moved[1], moved[2]));
    const I smallest = _mm512_min_epi32(moved[0], _mm512_min_epi32(moved[1], moved[2]));
    const I ofMax = _mm512_mask_blend_epi32(falling, largest, smallest);
    const I ofMin = _mm512_mask_blend_epi32(falling, smallest, largest);
    const __mmask16 over = _mm512_cmpgt_epi32_mask(ofMax, white);
    const __mmask16 outside = over | _mm512_cmplt_epi32_mask(ofMin, zero);
    // Only a positive multiplier leaves the range, so ofMax and ofMin
    // are the largest and smallest moved channels there. A channel
    // moved less than 2^30 either way was not narrowed: its offset is
    // moved - L, well within the restore passes' 2^31. Split offsets are
    // all below 2^30 in size.
    const __mmask16 wide = split ? 0
                                 : outside & (_mm512_cmpge_epi32_mask(ofMax, all(kRestorableReach)) |
                                              _mm512_cmple_epi32_mask(ofMin, all(-kRestorableReach)));

    // Pixels left in range take L + offset held to 0..32767; the others
    // their offsets, or their input where those are wide.
    int32_t* const planes[3] = {r, g, b};
    for (int c = 0; c < 3; ++c) {
        const I held = _mm512_min_epi32(_mm512_max_epi32(moved[c], zero), white);
        I left = _mm512_sub_epi32(moved[c], newL);
        if (!split) left = _mm512_mask_blend_epi32(wide, left, channels[c]);
        _mm512_storeu_si512(planes[c], _mm512_mask_blend_epi32(outside, held, left));
    }
    _mm512_storeu_si512(lum, newL);
    __m128i flags = _mm_maskz_mov_epi8(outside, _mm_set1_epi8(kFlagUnder));
    flags = _mm_mask_mov_epi8(flags, over, _mm_set1_epi8(kFlagOver));
    if (!split) flags = _mm_mask_mov_epi8(flags, wide, _mm_set1_epi8(kFlagWide));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(flag), flags);

    // partOf: the turn by rotation plus the weighted shift. Narrow shifts
    // (within +-512) leave turn + shift within a turn of 0..3599, which the
    // two steps below bring back. Others are within 2^16, so turn + shift
    // is below 2^24 in size, exact in single precision; its quotient by
    // 3600 estimated by the rounded reciprocal errs by under 10^-5, so the
    // floor is the quotient's or a neighbour, which the same steps put
    // right.
    const I weightedShift = _mm512_maskz_mov_epi32(x.weighted, x.shiftQ);
    const I rot = _mm512_add_epi32(s.rotation, weightedShift);
    I turn = _mm512_add_epi32(s.rotationTurn, weightedShift);
    if (!s.narrow) {
        const I quotient =
            _mm512_cvt_roundps_epi32(_mm512_mul_ps(_mm512_cvtepi32_ps(turn), _mm512_set1_ps(1.0f / 3600.0f)),
                                     _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
        turn = _mm512_sub_epi32(turn, _mm512_mullo_epi32(quotient, turnUnits));
    }
    turn = _mm512_mask_add_epi32(turn, _mm512_cmplt_epi32_mask(turn, zero), turn, turnUnits);
    turn = _mm512_mask_sub_epi32(turn, _mm512_cmpge_epi32_mask(turn, turnUnits), turn, turnUnits);
    const I mirrored = _mm512_maskz_sub_epi32(_mm512_cmpneq_epi32_mask(turn, zero), turnUnits, turn);
    I partOf = _mm512_mask_blend_epi32(x.oddRank, turn, mirrored);
    partOf = _mm512_mask_mov_epi32(partOf, _mm512_cmpeq_epi32_mask(rot, zero), all(-1));
    _mm512_storeu_si512(part, partOf);
    return wide;
}

// G groups of sixteen pixels from column i, each stage run for every
// group before the next, so that one group's divisions overlap another's.
template <bool Tone, int G>
LUMETRA_AVX512_VBMI inline __mmask16 perHueGroups(int32_t* r, int32_t* g, int32_t* b, int i, const PerHueSetup& s,
                                                  int32_t* part, uint8_t* ranking, uint8_t* flag, int32_t* lum) {
    PerHueLanes lanes[G];
#pragma GCC unroll 4
    for (int q = 0; q < G; ++q) {
        const int at = i + 16 * q;
        perHueFront<Tone>(lanes[q], r + at, g + at, b + at, ranking + at, s);
    }
#pragma GCC unroll 4
    for (int q = 0; q < G; ++q) perHueQuotients(lanes[q], s);
    __mmask16 wide = 0;
#pragma GCC unroll 4
    for (int q = 0; q < G; ++q) {
        const int at = i + 16 * q;
        wide |= perHueBack<Tone>(lanes[q], r + at, g + at, b + at, part + at, flag + at, lum + at, s);
    }
    return wide;
}

template <bool Tone>
LUMETRA_AVX512_VBMI int perHueVectors(int32_t* r, int32_t* g, int32_t* b, int n, const PerHueInputs& in,
                                      int32_t* part, uint8_t* ranking, uint8_t* flag, int32_t* lum, bool& anyWide) {
    const HueAnchors& anchors = *in.anchors;
    const PerHueSetup setup{anchorTables(anchors, 0), anchorTables(anchors, 1), anchorTables(anchors, 2),
                            narrowTable(anchors, 0), narrowTable(anchors, 1), anchorInts(anchorTables(anchors, 0)), anchors.narrow, in.tonedInverse,
                            all(in.rotation), all(109 * in.saturation), all(((in.rotation % 3600) + 3600) % 3600)};
    __mmask16 wideSeen = 0;
    const int done = inGroups<kPerHueGroups>(n, [&](int i, auto groups) LUMETRA_AVX512_VBMI {
        wideSeen |= perHueGroups<Tone, groups.value>(r, g, b, i, setup, part, ranking, flag, lum);
    });
    anyWide = anyWide || wideSeen != 0;
    return done;
}

}  // namespace
LUMETRA_AVX512_WARNINGS_ON
#endif

int perHueRow512(int32_t* r, int32_t* g, int32_t* b, int n, const PerHueInputs& in, int32_t* part,
                 uint8_t* ranking, uint8_t* flag, int32_t* lum, bool tone, bool& anyWide) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx512Vbmi())
        return tone ? perHueVectors<true>(r, g, b, n, in, part, ranking, flag, lum, anyWide)
                    : perHueVectors<false>(r, g, b, n, in, part, ranking, flag, lum, anyWide);
#endif
    (void)r, (void)g, (void)b, (void)n, (void)in, (void)part, (void)ranking, (void)flag, (void)lum, (void)tone;
    (void)anyWide;
    return 0;
}

}  // namespace lumetra::pt
