#include "phototools/flagged_pixels.h"

#include <array>

#include "core/lanes512.h"
#include "core/vector_clones.h"
#include "phototools/color_step.h"

namespace lumetra::pt {

namespace {

// Where a list's next entry goes, field by field: column, r, g, b, L.
inline std::array<int32_t*, 5> nextEntry(const PixelList& list) {
    return {list.index + list.count, list.r + list.count, list.g + list.count, list.b + list.count,
            list.l + list.count};
}

#if LUMETRA_AVX2_INTRINSICS
// For each mask of 8 lanes, the set lanes in order, then zeros: the
// permutation that packs the chosen lanes to the front.
constexpr std::array<std::array<uint8_t, 8>, 256> kLeftPack = [] {
    std::array<std::array<uint8_t, 8>, 256> table{};
    for (int mask = 0; mask < 256; ++mask) {
        int k = 0;
        auto& lanes = table[static_cast<size_t>(mask)];
        for (int lane = 0; lane < 8; ++lane)
            if (mask & (1 << lane)) lanes[static_cast<size_t>(k++)] = static_cast<uint8_t>(lane);
    }
    return table;
}();

LUMETRA_AVX2 inline void storePacked(int32_t* at, __m256i lanes, __m256i pack) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), _mm256_permutevar8x32_epi32(lanes, pack));
}

// The lanes of mask appended to list; each store writes 8 lanes, and the
// ones past the chosen are overwritten by the next append or left spare.
LUMETRA_AVX2 inline void appendLanes(PixelList& list, unsigned mask, __m256i columns, __m256i r, __m256i g, __m256i b,
                                     __m256i l) {
    const __m256i pack = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(kLeftPack[mask].data())));
    const __m256i fields[5] = {columns, r, g, b, l};
    for (size_t k = 0; k < 5; ++k) storePacked(nextEntry(list)[k], fields[k], pack);
    list.count += __builtin_popcount(mask);
}

// Eight flags at a time, without a branch per pixel: the flagged lanes
// are packed to the front of each list.
LUMETRA_AVX2 int gatherEights(const uint8_t* flag, int n, const int32_t* r, const int32_t* g, const int32_t* b,
                              const int32_t* lum, PixelList& over, PixelList& under) {
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i flags = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(flag + i));
        const unsigned overMask = _mm_movemask_epi8(_mm_cmpeq_epi8(flags, _mm_set1_epi8(kFlagOver))) & 0xffu;
        const unsigned underMask = _mm_movemask_epi8(_mm_cmpeq_epi8(flags, _mm_set1_epi8(kFlagUnder))) & 0xffu;
        if ((overMask | underMask) == 0) continue;
        const __m256i columns = _mm256_add_epi32(_mm256_set1_epi32(i), lanes);
        const __m256i red = load8(r + i), green = load8(g + i), blue = load8(b + i), l = load8(lum + i);
        if (overMask) appendLanes(over, overMask, columns, red, green, blue, l);
        if (underMask) appendLanes(under, underMask, columns, red, green, blue, l);
    }
    return i;
}
#endif

#if LUMETRA_AVX2_INTRINSICS
LUMETRA_AVX512_WARNINGS_OFF
// alsoUnderBlack's test on the even lanes: dmin (32767 - l) <= (-l - 1) dmax.
LUMETRA_AVX512_VBMI inline __mmask8 underOnEven(__m512i dmin, __m512i span, __m512i below, __m512i dmax) {
    return _mm512_cmple_epi64_mask(_mm512_mul_epi32(dmin, span), _mm512_mul_epi32(below, dmax));
}

// The lanes of `mask` stored packed from `to`, no further than their count.
LUMETRA_AVX512_VBMI inline void storePacked16(int32_t* to, __mmask16 mask, __m512i lanes) {
    const __mmask16 front = static_cast<__mmask16>((1u << __builtin_popcount(mask)) - 1u);
    _mm512_mask_storeu_epi32(to, front, _mm512_maskz_compress_epi32(mask, lanes));
}

// The lanes of `mask` appended to `list`.
LUMETRA_AVX512_VBMI inline void appendLanes16(PixelList& list, __mmask16 mask, __m512i columns, __m512i r,
                                              __m512i g, __m512i b, __m512i l) {
    const __m512i fields[5] = {columns, r, g, b, l};
    for (size_t k = 0; k < 5; ++k) storePacked16(nextEntry(list)[k], mask, fields[k]);
    list.count += __builtin_popcount(mask);
}

// alsoUnderBlack on sixteen entries at a time, its 64-bit products taken on
// the even and odd lanes apart.
LUMETRA_AVX512_VBMI int alsoUnderBlack16(const PixelList& over, PixelList& both) {
    int j = 0;
    for (; j + 16 <= over.count; j += 16) {
        const __m512i l = _mm512_loadu_si512(over.l + j);
        const __m512i r = _mm512_loadu_si512(over.r + j), g = _mm512_loadu_si512(over.g + j);
        const __m512i b = _mm512_loadu_si512(over.b + j);
        const __m512i dmax = _mm512_max_epi32(r, _mm512_max_epi32(g, b));
        const __m512i dmin = _mm512_min_epi32(r, _mm512_min_epi32(g, b));
        const __m512i span = _mm512_sub_epi32(_mm512_set1_epi32(kWhite15), l);
        const __m512i below = _mm512_sub_epi32(_mm512_set1_epi32(-1), l);
        const __mmask8 even = underOnEven(dmin, span, below, dmax);
        const __mmask8 odd = underOnEven(oddLanes(dmin), oddLanes(span), oddLanes(below), oddLanes(dmax));
        const __mmask16 mask = interleavedMask(even, odd);
        if (mask) appendLanes16(both, mask, _mm512_loadu_si512(over.index + j), r, g, b, l);
    }
    return j;
}

// gatherEights sixteen flags at a time.
LUMETRA_AVX512_VBMI int gatherSixteens(const uint8_t* flag, int n, const int32_t* r, const int32_t* g,
                                       const int32_t* b, const int32_t* lum, PixelList& over, PixelList& under) {
    const __m512i lanes = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i flags = _mm_loadu_si128(reinterpret_cast<const __m128i*>(flag + i));
        const __mmask16 overMask = _mm_cmpeq_epi8_mask(flags, _mm_set1_epi8(kFlagOver));
        const __mmask16 underMask = _mm_cmpeq_epi8_mask(flags, _mm_set1_epi8(kFlagUnder));
        if ((overMask | underMask) == 0) continue;
        const __m512i columns = _mm512_add_epi32(_mm512_set1_epi32(i), lanes);
        const __m512i red = _mm512_loadu_si512(r + i), green = _mm512_loadu_si512(g + i);
        const __m512i blue = _mm512_loadu_si512(b + i), l = _mm512_loadu_si512(lum + i);
        if (overMask) appendLanes16(over, overMask, columns, red, green, blue, l);
        if (underMask) appendLanes16(under, underMask, columns, red, green, blue, l);
    }
    return i;
}
LUMETRA_AVX512_WARNINGS_ON
#endif

// The columns gatherSixteens or gatherEights has done (none without AVX2).
int gatheredInVectors(const uint8_t* flag, int n, const int32_t* r, const int32_t* g, const int32_t* b,
                     const int32_t* lum, PixelList& over, PixelList& under) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx512Vbmi()) return gatherSixteens(flag, n, r, g, b, lum, over, under);
    if (cpuHasAvx2()) return gatherEights(flag, n, r, g, b, lum, over, under);
#endif
    (void)flag, (void)n, (void)r, (void)g, (void)b, (void)lum, (void)over, (void)under;
    return 0;
}

// The entries alsoUnderBlack16 has done (none without AVX-512).
int alsoUnderBlackInVectors(const PixelList& over, PixelList& both) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx512Vbmi()) return alsoUnderBlack16(over, both);
#endif
    (void)over, (void)both;
    return 0;
}

}  // namespace

void gatherAlsoUnderBlack(const PixelList& over, PixelList& both) {
    for (int j = alsoUnderBlackInVectors(over, both); j < over.count; ++j)
        if (alsoUnderBlack(over.l[j], over.r[j], over.g[j], over.b[j]))
            both.push(over.index[j], over.r[j], over.g[j], over.b[j], over.l[j]);
}

void gatherFlagged(const uint8_t* flag, int n, const int32_t* r, const int32_t* g, const int32_t* b,
                   const int32_t* lum, PixelList& over, PixelList& under) {
    for (int i = gatheredInVectors(flag, n, r, g, b, lum, over, under); i < n; ++i) {
        if (flag[i] == kFlagOver) over.push(i, r[i], g[i], b[i], lum[i]);
        if (flag[i] == kFlagUnder) under.push(i, r[i], g[i], b[i], lum[i]);
    }
}

}  // namespace lumetra::pt
