// The tone stage's row pass in 512-bit vectors, four groups of sixteen
// pixels a step, where the processor has AVX-512: toneRowBody's rule with
// the table's pairs fetched by two 64-bit gathers a group and the offsets
// scaled in 32-bit lanes.
#include "core/vector_clones.h"
#include "phototools/color_step.h"
#include "phototools/color_lanes512.h"

namespace lumetra::pt {

#if LUMETRA_AVX2_INTRINSICS
LUMETRA_AVX512_WARNINGS_OFF
namespace {

using I = __m512i;

// Groups of sixteen pixels, G at a time with their steps interleaved, so
// that one group's arithmetic runs while another's gathers wait.
template <bool Ranked, int G>
LUMETRA_AVX512_VBMI inline void toneGroups(int32_t* r, int32_t* g, int32_t* b, int i, const uint64_t* toneScale,
                                           uint8_t* ranking, uint8_t* flag, int32_t* lum) {
    const I zero = _mm512_setzero_si512(), white = all(kWhite15);
    // The low (multiplier) and high (toned L) words of sixteen pairs held in
    // two registers, pixels 0..7 and 8..15.
    const I lowWords = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
    const I highWords = _mm512_setr_epi32(1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31);
    I channels[G][3], incoming[G], first[G], second[G];
    for (int q = 0; q < G; ++q) {
        const int at = i + 16 * q;
        channels[q][0] = _mm512_loadu_si512(r + at);
        channels[q][1] = _mm512_loadu_si512(g + at);
        channels[q][2] = _mm512_loadu_si512(b + at);
        incoming[q] = luminance16(channels[q][0], channels[q][1], channels[q][2]);
    }
    for (int q = 0; q < G; ++q) {
        first[q] = _mm512_i32gather_epi64(_mm512_castsi512_si256(incoming[q]), toneScale, 8);
        second[q] = _mm512_i32gather_epi64(_mm512_extracti64x4_epi64(incoming[q], 1), toneScale, 8);
    }
    for (int q = 0; q < G; ++q) {
        const int at = i + 16 * q;
        if constexpr (Ranked)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(ranking + at),
                             _mm512_cvtepi32_epi8(rankingCode16(channels[q][0], channels[q][1], channels[q][2])));
    }
    for (int q = 0; q < G; ++q) {
        const int at = i + 16 * q;
        const I mult = _mm512_permutex2var_epi32(first[q], lowWords, second[q]);
        const I l = _mm512_permutex2var_epi32(first[q], highWords, second[q]);
        // The offsets (c - incoming) mult >> 15 split in 32-bit lanes: the
        // multiplier is below 2^28.3 in size (the envelope, below 2^28.3 at
        // saturation 32767, times a reciprocal of at most 8256, >> 13), so
        // d high and d low fit (d is below 2^16 in size).
        I offsets[3];
        for (int c = 0; c < 3; ++c) offsets[c] = splitShifted<15>(_mm512_sub_epi32(channels[q][c], incoming[q]), mult);
        // The max and min channels' offsets are the largest and smallest,
        // swapped for a negative multiplier.
        const I largest = _mm512_max_epi32(offsets[0], _mm512_max_epi32(offsets[1], offsets[2]));
        const I smallest = _mm512_min_epi32(offsets[0], _mm512_min_epi32(offsets[1], offsets[2]));
        const __mmask16 falling = _mm512_movepi32_mask(mult);
        const I ofMax = _mm512_mask_blend_epi32(falling, largest, smallest);
        const I ofMin = _mm512_mask_blend_epi32(falling, smallest, largest);
        const __mmask16 over = _mm512_cmpgt_epi32_mask(_mm512_add_epi32(l, ofMax), white);
        const __mmask16 outside = over | _mm512_cmplt_epi32_mask(_mm512_add_epi32(l, ofMin), zero);
        int32_t* const planes[3] = {r, g, b};
        for (int c = 0; c < 3; ++c) {
            const I held = _mm512_min_epi32(_mm512_max_epi32(_mm512_add_epi32(l, offsets[c]), zero), white);
            _mm512_storeu_si512(planes[c] + at, _mm512_mask_blend_epi32(outside, held, offsets[c]));
        }
        _mm512_storeu_si512(lum + at, l);
        const __m128i flags = _mm_mask_mov_epi8(_mm_maskz_mov_epi8(outside, _mm_set1_epi8(kFlagUnder)), over,
                                                _mm_set1_epi8(kFlagOver));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(flag + at), flags);
    }
}

template <bool Ranked>
LUMETRA_AVX512_VBMI int toneVectors(int32_t* r, int32_t* g, int32_t* b, int n, const uint64_t* toneScale,
                                    uint8_t* ranking, uint8_t* flag, int32_t* lum) {
    return inGroups<4>(n, [&](int i, auto groups) LUMETRA_AVX512_VBMI {
        toneGroups<Ranked, groups.value>(r, g, b, i, toneScale, ranking, flag, lum);
    });
}

}  // namespace
LUMETRA_AVX512_WARNINGS_ON
#endif

int toneRow512(int32_t* r, int32_t* g, int32_t* b, int n, const uint64_t* toneScale, uint8_t* ranking, uint8_t* flag,
               int32_t* lum) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx512Vbmi())
        return ranking ? toneVectors<true>(r, g, b, n, toneScale, ranking, flag, lum)
                       : toneVectors<false>(r, g, b, n, toneScale, ranking, flag, lum);
#endif
    (void)r, (void)g, (void)b, (void)n, (void)toneScale, (void)ranking, (void)flag, (void)lum;
    return 0;
}

}  // namespace lumetra::pt
