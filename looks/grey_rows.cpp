#include "looks/grey_rows.h"

#include <array>

#include "core/byte_shuffles.h"
#include "core/vector_clones.h"

namespace lumetra {

namespace {

#if LUMETRA_AVX2_INTRINSICS
// The shuffles that spread 16 grey bytes over the three channels of 48
// (output block k).
constexpr auto kSpread = [] {
    std::array<std::array<uint8_t, 16>, 3> masks{};
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 16; ++j) masks[k][j] = static_cast<uint8_t>((16 * k + j) / 3);
    return masks;
}();

// The grey of eight pixels: luminance15 of byte << 7 channels is
// (9798 R + 19234 G + 3736 B) << 7 >> 15, that is the byte sum >> 8. The
// multiply-adds take R, G word pairs and B words with a zero high half.
LUMETRA_AVX2 inline __m256i grey8(__m128i redGreenPairs, __m128i blue8) {
    const __m256i redGreen = _mm256_madd_epi16(_mm256_cvtepu8_epi16(redGreenPairs), _mm256_set1_epi32(19234 << 16 | 9798));
    const __m256i blue = _mm256_madd_epi16(_mm256_cvtepu8_epi32(blue8), _mm256_set1_epi32(3736));
    return _mm256_srai_epi32(_mm256_add_epi32(redGreen, blue), 8);
}

// Levels and the floor, then toByte15's value before its clamp (v >> 7; the
// saturating packs clamp it).
LUMETRA_AVX2 inline __m256i levelled8(__m256i grey, __m256i offset, __m256i scale, __m256i floor) {
    const __m256i v = _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_add_epi32(grey, offset), scale), 10);
    return _mm256_srai_epi32(_mm256_max_epi32(v, floor), 7);
}

LUMETRA_AVX2 int greyLevelsAvx2(const uint8_t* in, int n, ColorScale stretch, int32_t floor, uint8_t* out) {
    const __m256i offset = _mm256_set1_epi32(stretch.offset), scale = _mm256_set1_epi32(stretch.scale);
    const __m256i floors = _mm256_set1_epi32(floor);
    int col = 0;
    for (; col + 16 <= n; col += 16) {
        const Channels16 bytes = unweave16(in + 3 * col);
        const __m128i blue = bytes.c[0], green = bytes.c[1], red = bytes.c[2];
        const __m256i low = levelled8(grey8(_mm_unpacklo_epi8(red, green), blue), offset, scale, floors);
        const __m256i high =
            levelled8(grey8(_mm_unpackhi_epi8(red, green), _mm_srli_si128(blue, 8)), offset, scale, floors);
        const __m256i words = _mm256_packs_epi32(low, high);
        const __m128i grey = _mm256_castsi256_si128(inOrder(_mm256_packus_epi16(words, words)));
        for (size_t k = 0; k < 3; ++k)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * col + 16 * static_cast<int>(k)),
                             shuffled(grey, kSpread[k]));
    }
    return col;
}
#endif

}  // namespace

int greyLevelsRows(const uint8_t* in, int n, ColorScale stretch, int32_t floor, uint8_t* out) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx2()) return greyLevelsAvx2(in, n, stretch, floor, out);
#endif
    (void)in, (void)n, (void)stretch, (void)floor, (void)out;
    return 0;
}

}  // namespace lumetra
