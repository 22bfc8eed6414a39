// The hue rotation's row pass in 512-bit vectors, four groups of sixteen
// pixels a step, where the processor has AVX-512: rotateRowBody's rule with
// every choice made by a mask register. The compiled loop picks by vector
// masks and spills; here a ranking or sector becomes one set bit (1 << k),
// and each choice among rankings or sectors is one test of that bit
// against the set of them that choose alike. Run one group at a time, the
// divisions and conversions leave the pass waiting on their latency.
#include "phototools/color_step.h"

#include "core/vector_clones.h"
#include "phototools/color_lanes512.h"

namespace lumetra::pt {

#if LUMETRA_AVX2_INTRINSICS
LUMETRA_AVX512_WARNINGS_OFF
namespace {

using I = __m512i;

// Lanes whose bit (1 << k, or 1 << sector) lies in `set`, a set of
// values as bits (0x21: 0 and 5).
LUMETRA_AVX512_VBMI inline __mmask16 in(I bit, int32_t set) { return _mm512_test_epi32_mask(bit, all(set)); }

// n / 600 for 0 <= n < 2^25, as (n >> 3) / 75: n >> 3 is exact in
// single precision, and so is 75; their quotient, below 2^22 / 75, is
// rounded by less than 2^-24 of itself, under 1/75, the least distance
// from a whole number of a quotient that is not whole, so it truncates
// to the exact one's floor.
LUMETRA_AVX512_VBMI inline I sixHundredths(I n) {
    return _mm512_cvttps_epi32(_mm512_div_ps(_mm512_cvtepi32_ps(_mm512_srai_epi32(n, 3)), _mm512_set1_ps(75.0f)));
}

// quotientOfUnits in sixteen lanes.
LUMETRA_AVX512_VBMI inline I quotientOfUnits16(I numerator, I divisor) {
    I q = _mm512_cvttps_epi32(_mm512_div_ps(_mm512_cvtepi32_ps(numerator), _mm512_cvtepi32_ps(divisor)));
    const I rest = _mm512_sub_epi32(numerator, _mm512_mullo_epi32(q, divisor));
    q = _mm512_mask_sub_epi32(q, _mm512_cmplt_epi32_mask(rest, _mm512_setzero_si512()), q, all(1));
    return _mm512_mask_add_epi32(q, _mm512_cmpge_epi32_mask(rest, divisor), q, all(1));
}

// The turned max, mid and min; a channel takes the one its ranking puts
// it at, or keeps its input where the pixel does not turn.
struct Turned {
    I max, mid, min;
    __mmask16 active;
    LUMETRA_AVX512_VBMI I channel(I input, __mmask16 isMax, __mmask16 isMid) const {
        const I value = _mm512_mask_mov_epi32(_mm512_mask_blend_epi32(isMid, min, mid), isMax, max);
        return _mm512_mask_blend_epi32(active, input, value);
    }
};

// What a group of sixteen pixels carries from one stage to the next.
struct RotationLanes {
    I red, green, blue, rankBit;
    __mmask16 redMax, greenMax, redMid, greenMid, active;
    I vmax, vmin, whole, rest, chroma, numerator, divisor, hue, sector, product, upStep;
};

// G groups of sixteen pixels from column i, each stage run for every group
// before the next, so that one group's divisions and conversions overlap
// another's. Parts come per pixel (parts) or by the ranking's order
// (evenPart, oddPart); either way -1 or 0..3599.
template <bool ByParts, int G>
LUMETRA_AVX512_VBMI inline void rotateGroups(int32_t* r, int32_t* g, int32_t* b, int i, const uint8_t* ranking,
                                             const int32_t* parts, int32_t evenPart, int32_t oddPart) {
    const I zero = _mm512_setzero_si512(), one = all(1), units = all(600), six = all(6);
    RotationLanes v[G];
    for (int q = 0; q < G; ++q) {
        RotationLanes& x = v[q];
        const int at = i + 16 * q;
        x.red = _mm512_loadu_si512(r + at), x.green = _mm512_loadu_si512(g + at), x.blue = _mm512_loadu_si512(b + at);
        const I k = _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(ranking + at)));
        // The channels holding max, mid and min in each ranking (kRankings);
        // a ranking past 5 has no bit in any set and takes blue, blue, green.
        x.rankBit = _mm512_sllv_epi32(one, k);
        x.redMax = in(x.rankBit, 0x21), x.greenMax = in(x.rankBit, 0x06);
        x.redMid = in(x.rankBit, 0x12), x.greenMid = in(x.rankBit, 0x09);
        x.vmax = _mm512_mask_blend_epi32(x.redMax, _mm512_mask_blend_epi32(x.greenMax, x.blue, x.green), x.red);
        const I vmid = _mm512_mask_blend_epi32(x.redMid, _mm512_mask_blend_epi32(x.greenMid, x.blue, x.green), x.red);
        x.vmin = _mm512_mask_blend_epi32(in(x.rankBit, 0x03),
                                         _mm512_mask_blend_epi32(in(x.rankBit, 0x0c), x.green, x.red), x.blue);

        I part;
        if constexpr (ByParts) part = _mm512_loadu_si512(parts + at);
        else part = _mm512_mask_blend_epi32(_mm512_test_epi32_mask(k, one), all(evenPart), all(oddPart));
        // part / 600 for 0..3599 is (part * 874) >> 19 (the product errs by
        // under 0.0013 of a unit, less than the 1/600 a remainder of 599
        // leaves); -1 splits to 0 and -1 as the division does.
        x.whole = _mm512_srli_epi32(_mm512_mullo_epi32(_mm512_max_epi32(part, zero), all(874)), 19);
        x.rest = _mm512_sub_epi32(part, _mm512_mullo_epi32(x.whole, units));
        x.chroma = _mm512_sub_epi32(x.vmax, x.vmin);
        const __mmask16 coloured = _mm512_cmpgt_epi32_mask(x.chroma, zero);
        x.active = coloured & _mm512_cmpge_epi32_mask(x.rest, zero);
        x.numerator = _mm512_mullo_epi32(_mm512_sub_epi32(vmid, x.vmin), units);
        x.divisor = _mm512_mask_mov_epi32(one, coloured, x.chroma);
    }
    for (int q = 0; q < G; ++q) v[q].hue = quotientOfUnits16(v[q].numerator, v[q].divisor);
    for (int q = 0; q < G; ++q) {
        RotationLanes& x = v[q];
        const I turned = _mm512_maskz_add_epi32(x.active, x.rest, x.hue);
        const __mmask16 carry = _mm512_cmpge_epi32_mask(turned, units);
        const I f = _mm512_mask_sub_epi32(turned, carry, turned, units);
        x.sector = _mm512_mask_add_epi32(x.whole, carry, x.whole, one);
        x.sector = _mm512_mask_sub_epi32(x.sector, _mm512_cmpge_epi32_mask(x.sector, six), x.sector, six);
        x.product = _mm512_mullo_epi32(x.chroma, f);
    }
    // The product, chroma (0..32767) times f (0..599) where the pixel
    // turns, is below 2^25 and at least 0; other lanes' are discarded.
    for (int q = 0; q < G; ++q) v[q].upStep = sixHundredths(v[q].product);
    for (int q = 0; q < G; ++q) {
        const RotationLanes& x = v[q];
        const int at = i + 16 * q;
        const __mmask16 exact = _mm512_cmpeq_epi32_mask(x.product, _mm512_mullo_epi32(x.upStep, units));
        const I up = _mm512_add_epi32(x.vmin, x.upStep);
        const I downFrom = _mm512_sub_epi32(x.vmax, x.upStep);
        const I down = _mm512_mask_sub_epi32(downFrom, _knot_mask16(exact), downFrom, one);

        // Sector s gives max, mid, min {vmax, up, vmin}, {down, vmax, vmin},
        // {vmin, vmax, up}, {vmin, down, vmax}, {up, vmin, vmax},
        // {vmax, vmin, down} (kPick).
        const I sectorBit = _mm512_sllv_epi32(one, x.sector);
        I newMax = _mm512_mask_mov_epi32(x.vmin, in(sectorBit, 0x10), up);
        newMax = _mm512_mask_mov_epi32(newMax, in(sectorBit, 0x02), down);
        newMax = _mm512_mask_mov_epi32(newMax, in(sectorBit, 0x21), x.vmax);
        I newMid = _mm512_mask_mov_epi32(x.vmin, in(sectorBit, 0x08), down);
        newMid = _mm512_mask_mov_epi32(newMid, in(sectorBit, 0x06), x.vmax);
        newMid = _mm512_mask_mov_epi32(newMid, in(sectorBit, 0x01), up);
        I newMin = _mm512_mask_mov_epi32(x.vmax, in(sectorBit, 0x20), down);
        newMin = _mm512_mask_mov_epi32(newMin, in(sectorBit, 0x04), up);
        newMin = _mm512_mask_mov_epi32(newMin, in(sectorBit, 0x03), x.vmin);

        const Turned turned3{newMax, newMid, newMin, x.active};
        _mm512_storeu_si512(r + at, turned3.channel(x.red, x.redMax, x.redMid));
        _mm512_storeu_si512(g + at, turned3.channel(x.green, x.greenMax, x.greenMid));
        _mm512_storeu_si512(b + at, turned3.channel(x.blue, in(x.rankBit, 0x18), in(x.rankBit, 0x24)));
    }
}

template <bool ByParts>
LUMETRA_AVX512_VBMI int rotateVectors(int32_t* r, int32_t* g, int32_t* b, int n, const uint8_t* ranking,
                                      const int32_t* parts, int32_t evenPart, int32_t oddPart) {
    return inGroups<4>(n, [&](int i, auto groups) LUMETRA_AVX512_VBMI {
        rotateGroups<ByParts, groups.value>(r, g, b, i, ranking, parts, evenPart, oddPart);
    });
}

}  // namespace
LUMETRA_AVX512_WARNINGS_ON
#endif

int rotateRow512(int32_t* r, int32_t* g, int32_t* b, int n, const uint8_t* ranking, const int32_t* parts,
                 int32_t evenPart, int32_t oddPart) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx512Vbmi())
        return parts ? rotateVectors<true>(r, g, b, n, ranking, parts, 0, 0)
                     : rotateVectors<false>(r, g, b, n, ranking, nullptr, evenPart, oddPart);
#endif
    (void)r, (void)g, (void)b, (void)n, (void)ranking, (void)parts, (void)evenPart, (void)oddPart;
    return 0;
}

}  // namespace lumetra::pt
