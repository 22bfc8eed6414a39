#include "pixel/layer_sampler.h"

#include "pixel/sample_windows512.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumetra {

// near + floor((far - near) fy / 32768) is the high half of the 16-bit
// product 2 (far - near) fy: |2 (far - near)| <= 510 and 0 <= fy < 32768
// both fit, so sixteen lanes take one multiply.
LUMETRA_VECTOR_CLONES
void verticalPass(const uint8_t* __restrict top, const uint8_t* __restrict bottom, int32_t fy, int count,
                  int16_t* __restrict out) {
    const int16_t fraction = static_cast<int16_t>(fy);
    for (int i = 0; i < count; ++i) {
        const auto twiceStep = static_cast<int16_t>((bottom[i] - top[i]) * 2);
        out[i] = static_cast<int16_t>(top[i] + ((twiceStep * fraction) >> 16));
    }
}

LUMETRA_VECTOR_CLONES
void packNeighbours(const int16_t* __restrict vertical, int channels, int count, uint32_t* __restrict packed) {
    for (int i = 0; i < count; ++i)
        packed[i] = (static_cast<uint32_t>(static_cast<uint16_t>(vertical[i])) << 23) |
                    static_cast<uint16_t>(vertical[i + channels] - vertical[i]);
}

namespace {

[[maybe_unused]] int32_t horizontal(uint32_t pair, int32_t fraction) {
    const auto left15 = static_cast<int32_t>(pair >> 16);
    const int32_t step = static_cast<int16_t>(pair & 0xffffu);
    return left15 + ((step * fraction) >> 8);
}

[[maybe_unused]] int32_t withAlphaRule(int32_t sample) { return sample + (sample >= 16384 ? 128 : 0); }

#if defined(__SSE2__)
// The four packed pairs at `pair` for one column: madd multiplies the low
// halves (the signed steps d, |d| <= 255) by the fraction (below 32768, so
// a positive int16) and the high halves (v << 7) by 0, giving d fx exactly.
inline __m128i horizontal4(const uint32_t* pair, int32_t fraction) {
    const __m128i pairs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pair));
    const __m128i steps = _mm_madd_epi16(pairs, _mm_set1_epi32(fraction));
    return _mm_add_epi32(_mm_srli_epi32(pairs, 16), _mm_srai_epi32(steps, 8));
}

inline __m128i withAlphaRule(__m128i samples) {
    return _mm_add_epi32(samples, _mm_and_si128(_mm_cmpgt_epi32(samples, _mm_set1_epi32(16383)),
                                                _mm_set1_epi32(128)));
}

inline void store4(int32_t* out, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v); }
#endif

#if LUMETRA_AVX2_INTRINSICS
// horizontal4 for two columns at once, col in the low and col + 1 in the
// high half, each half with its own fraction.
// `fractions` holds the fractions from some column on; `spread` picks the
// two of col and col + 1 into four lanes each.
LUMETRA_AVX2 inline __m256i horizontal8(const uint32_t* packed, const int32_t* pairIndex, __m256i fractions, int col,
                                        __m256i spread) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(packed + pairIndex[col]));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(packed + pairIndex[col + 1]));
    const __m256i pairs = _mm256_inserti128_si256(_mm256_castsi128_si256(first), second, 1);
    const __m256i steps = _mm256_madd_epi16(pairs, _mm256_permutevar8x32_epi32(fractions, spread));
    return _mm256_add_epi32(_mm256_srli_epi32(pairs, 16), _mm256_srai_epi32(steps, 8));
}

LUMETRA_AVX2 inline __m256i horizontal8(const uint32_t* packed, const int32_t* pairIndex, const int32_t* fraction,
                                        int col) {
    return horizontal8(packed, pairIndex,
                       _mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(fraction + col))), col,
                       _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1));
}

// One pair of columns (col, col + 1) computed by horizontal8: its six
// colour values, and with a cover its alpha three times per column, each
// as one 8-lane store whose two spare lanes fall on the next column's
// place.
template <bool WithCover>
LUMETRA_AVX2 inline void storePair3(__m256i v, int col, int32_t* colour, int32_t* cover) {
    const __m256i gather6 = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(colour + col * 3), _mm256_permutevar8x32_epi32(v, gather6));
    if constexpr (WithCover) {
        const __m256i alpha = _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(3, 3, 3, 7, 7, 7, 7, 7));
        const __m256i bonus =
            _mm256_and_si256(_mm256_cmpgt_epi32(alpha, _mm256_set1_epi32(16383)), _mm256_set1_epi32(128));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(cover + col * 3), _mm256_add_epi32(alpha, bonus));
    }
}

// Four columns an iteration, then pairs: the loop is bound by the
// instructions issued, and four fractions take one load. The last pair
// (and an odd column) is left to the 4-lane path, since a pair's stores
// reach two lanes past it.
template <bool WithCover>
LUMETRA_AVX2 int horizontalPairs3(const uint32_t* packed, const int32_t* pairIndex, const int32_t* fraction,
                                  int width, int32_t* colour, int32_t* cover) {
    int col = 0;
    for (; col + 4 < width; col += 4) {
        const __m256i fractions =
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(fraction + col)));
        const __m256i first =
            horizontal8(packed, pairIndex, fractions, col, _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1));
        const __m256i second =
            horizontal8(packed, pairIndex, fractions, col + 2, _mm256_setr_epi32(2, 2, 2, 2, 3, 3, 3, 3));
        storePair3<WithCover>(first, col, colour, cover);
        storePair3<WithCover>(second, col + 2, colour, cover);
    }
    for (; col + 2 < width; col += 2)
        storePair3<WithCover>(horizontal8(packed, pairIndex, fraction, col), col, colour, cover);
    return col;
}

LUMETRA_AVX2 int horizontalPairs4(const uint32_t* packed, const int32_t* pairIndex, const int32_t* fraction,
                                  int width, int32_t* samples) {
    const __m256i alphaLanes = _mm256_setr_epi32(0, 0, 0, 128, 0, 0, 0, 128);
    int col = 0;
    for (; col + 2 <= width; col += 2) {
        const __m256i v = horizontal8(packed, pairIndex, fraction, col);
        const __m256i bonus = _mm256_and_si256(_mm256_cmpgt_epi32(v, _mm256_set1_epi32(16383)), alphaLanes);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(samples + col * 4), _mm256_add_epi32(v, bonus));
    }
    return col;
}

LUMETRA_AVX512_WARNINGS_OFF
LUMETRA_AVX512_VBMI inline void storeWoven(const __m512i (&planes)[3], int32_t* out) {
    for (int k = 0; k < 3; ++k) _mm512_storeu_si512(out + 16 * k, wovenBlock(planes, k));
}

// Sixteen columns a step by their windows (sample_windows512.h); steps
// whose pairs spread wider (a layer shrunk) take the column path. The
// packed stride is 3, or 4 with a cover.
template <bool WithCover>
LUMETRA_AVX512_VBMI int horizontalWindows(const PreparedRow& row, int width, int32_t* colour, int32_t* cover) {
    int col = 0;
    for (; col + 16 <= width; col += 16) {
        __m512i offset;
        const int32_t start = windowStart<WithCover ? 4 : 3>(row, col, offset);
        if (start < 0) {
            for (int c = col; c < col + 16; ++c) {
                const __m128i v = horizontal4(row.packed + row.pairIndex[c], row.fraction[c]);
                store4(colour + c * 3, v);  // lane 3 falls on the next column's place
                if constexpr (WithCover) store4(cover + c * 3, withAlphaRule(_mm_shuffle_epi32(v, 0xff)));
            }
            continue;
        }
        const __m512i weights = windowWeights(row, col);
        __m512i planes[3];
        for (int c = 0; c < 3; ++c) planes[c] = horizontal16(row.packed + start + c, offset, weights);
        storeWoven(planes, colour + 3 * col);
        if constexpr (WithCover) {
            const __m512i alpha = horizontal16(row.packed + start + 3, offset, weights);
            const __mmask16 bonus = _mm512_cmpgt_epi32_mask(alpha, _mm512_set1_epi32(16383));
            const __m512i ruled = _mm512_mask_add_epi32(alpha, bonus, alpha, _mm512_set1_epi32(128));
            for (int k = 0; k < 3; ++k)
                _mm512_storeu_si512(cover + 3 * col + 16 * k,
                                    _mm512_permutexvar_epi32(_mm512_loadu_si512(kWeaveLanes.spread[k]), ruled));
        }
    }
    return col;
}
LUMETRA_AVX512_WARNINGS_ON
#endif

// The columns a vector pass has done (none without AVX2).
int pairedColumns3(const PreparedRow& row, int width, int32_t* colour, int32_t* cover) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx512Vbmi())
        return cover ? horizontalWindows<true>(row, width, colour, cover)
                     : horizontalWindows<false>(row, width, colour, nullptr);
    if (cpuHasAvx2())
        return cover ? horizontalPairs3<true>(row.packed, row.pairIndex, row.fraction, width, colour, cover)
                     : horizontalPairs3<false>(row.packed, row.pairIndex, row.fraction, width, colour, nullptr);
#endif
    (void)row, (void)width, (void)colour, (void)cover;
    return 0;
}

int pairedColumns4(const PreparedRow& row, int width, int32_t* samples) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx2()) return horizontalPairs4(row.packed, row.pairIndex, row.fraction, width, samples);
#endif
    (void)row, (void)width, (void)samples;
    return 0;
}

}  // namespace

void horizontalColumns3(const PreparedRow& row, int width, int32_t* colour) {
    const uint32_t* packed = row.packed;
    const int32_t *pairIndex = row.pairIndex, *fraction = row.fraction;
    for (int col = pairedColumns3(row, width, colour, nullptr); col < width; ++col) {
#if defined(__SSE2__)
        store4(colour + col * 3, horizontal4(packed + pairIndex[col], fraction[col]));  // lane 3 is spare
#else
        for (int c = 0; c < 3; ++c) colour[col * 3 + c] = horizontal(packed[pairIndex[col] + c], fraction[col]);
#endif
    }
}

void horizontalColumns4(const PreparedRow& row, int width, int32_t* samples) {
    const uint32_t* packed = row.packed;
    const int32_t *pairIndex = row.pairIndex, *fraction = row.fraction;
    for (int col = pairedColumns4(row, width, samples); col < width; ++col) {
#if defined(__SSE2__)
        // The alpha rule on lane 3 (A) only.
        const __m128i v = horizontal4(packed + pairIndex[col], fraction[col]);
        const __m128i alphaBonus = _mm_and_si128(_mm_cmpgt_epi32(v, _mm_set1_epi32(16383)), _mm_set_epi32(128, 0, 0, 0));
        store4(samples + col * 4, _mm_add_epi32(v, alphaBonus));
#else
        for (int c = 0; c < 3; ++c) samples[col * 4 + c] = horizontal(packed[pairIndex[col] + c], fraction[col]);
        samples[col * 4 + 3] = withAlphaRule(horizontal(packed[pairIndex[col] + 3], fraction[col]));
#endif
    }
}

void horizontalColumnsSplit(const PreparedRow& row, int width, int32_t* colour, int32_t* cover) {
    const uint32_t* packed = row.packed;
    const int32_t *pairIndex = row.pairIndex, *fraction = row.fraction;
    for (int col = pairedColumns3(row, width, colour, cover); col < width; ++col) {
#if defined(__SSE2__)
        const __m128i v = horizontal4(packed + pairIndex[col], fraction[col]);
        store4(colour + col * 3, v);  // lane 3 is spare
        store4(cover + col * 3, withAlphaRule(_mm_shuffle_epi32(v, 0xff)));
#else
        for (int c = 0; c < 3; ++c) colour[col * 3 + c] = horizontal(packed[pairIndex[col] + c], fraction[col]);
        const int32_t alpha = withAlphaRule(horizontal(packed[pairIndex[col] + 3], fraction[col]));
        for (int c = 0; c < 3; ++c) cover[col * 3 + c] = alpha;
#endif
    }
}

}  // namespace lumetra
