// What the 512-bit colour passes share, sixteen pixels a step: a value in
// every lane, products split in 32-bit lanes, the group loop, and a
// pixel's luminance and the code of its ranking.
#pragma once

#include <type_traits>

#include "core/vector_clones.h"

#if LUMETRA_AVX2_INTRINSICS
namespace lumetra::pt {

LUMETRA_AVX512_VBMI inline __m512i all(int32_t v) { return _mm512_set1_epi32(v); }

// (a * b) >> S split at 2^S as a (b >> S) + ((a (b mod 2^S)) >> S), b mod
// 2^S being 0..2^S - 1 whatever b's sign: exact where both products fit
// 32 bits, the second as unsigned where Unsigned (a >= 0).
template <int S, bool Unsigned = false>
LUMETRA_AVX512_VBMI inline __m512i splitShifted(__m512i a, __m512i b) {
    const __m512i low = _mm512_mullo_epi32(a, _mm512_and_si512(b, all((1 << S) - 1)));
    const __m512i lowShifted = Unsigned ? _mm512_srli_epi32(low, S) : _mm512_srai_epi32(low, S);
    return _mm512_add_epi32(_mm512_mullo_epi32(a, _mm512_srai_epi32(b, S)), lowShifted);
}

// Runs groups(i, G) for G groups of sixteen pixels from column i, G at a
// time while that many remain, then one at a time; returns the columns
// done, a multiple of 16. G comes as a type, std::integral_constant.
template <int G, class Groups>
LUMETRA_AVX512_VBMI inline int inGroups(int n, Groups groups) {
    int i = 0;
    for (; i + 16 * G <= n; i += 16 * G) groups(i, std::integral_constant<int, G>{});
    for (; i + 16 <= n; i += 16) groups(i, std::integral_constant<int, 1>{});
    return i;
}

// luminance15 of channels 0..65535, whose products do not wrap.
LUMETRA_AVX512_VBMI inline __m512i luminance16(__m512i red, __m512i green, __m512i blue) {
    const __m512i sum = _mm512_add_epi32(
        _mm512_add_epi32(_mm512_mullo_epi32(red, _mm512_set1_epi32(9798)), _mm512_mullo_epi32(green, _mm512_set1_epi32(19234))),
        _mm512_mullo_epi32(blue, _mm512_set1_epi32(3736)));
    return _mm512_srai_epi32(sum, 15);
}

// rankingCode by masks.
LUMETRA_AVX512_VBMI inline __m512i rankingCode16(__m512i red, __m512i green, __m512i blue) {
    const __m512i one = _mm512_set1_epi32(1);
    const __mmask16 greenUnderRed = _mm512_cmple_epi32_mask(green, red);
    const __mmask16 redUnderGreen = _mm512_cmple_epi32_mask(red, green);
    __m512i greenLow = _mm512_mask_add_epi32(_mm512_set1_epi32(3), greenUnderRed, _mm512_set1_epi32(3), one);
    greenLow = _mm512_mask_add_epi32(greenLow, greenUnderRed & _mm512_cmple_epi32_mask(blue, red), greenLow, one);
    __m512i greenHigh = _mm512_maskz_mov_epi32(redUnderGreen, one);
    greenHigh = _mm512_mask_add_epi32(greenHigh, redUnderGreen & _mm512_cmple_epi32_mask(red, blue), greenHigh, one);
    return _mm512_mask_blend_epi32(_mm512_cmple_epi32_mask(green, blue), greenHigh, greenLow);
}

}  // namespace lumetra::pt
#endif
