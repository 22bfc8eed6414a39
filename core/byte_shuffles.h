// AVX2 pieces shared by the passes that move rows of B, G, R bytes: the
// byte shuffles that weave and unweave 16 pixels, and the order the
// saturating packs leave their results in.
#pragma once

#include <array>
#include <cstdint>

#include "core/vector_clones.h"

#if LUMETRA_AVX2_INTRINSICS
namespace lumetra {

// Byte shuffle masks for 16 pixels of B, G, R: masks[k][c][j] is the byte
// that shuffle (k, c) moves to place j, or 0x80 (cleared) where
// source(k, c, j) is negative.
using ShuffleMasks = std::array<std::array<std::array<uint8_t, 16>, 3>, 3>;
template <class Source>
constexpr ShuffleMasks shuffleMasks(Source source) {
    ShuffleMasks masks{};
    for (int k = 0; k < 3; ++k)
        for (int c = 0; c < 3; ++c)
            for (int j = 0; j < 16; ++j) {
                const int from = source(k, c, j);
                masks[k][c][j] = from < 0 ? 0x80 : static_cast<uint8_t>(from);
            }
    return masks;
}

// Weaving: mask (k, c) takes channel c's 16 bytes to their places in output
// block k (bytes 16k to 16k + 15).
inline constexpr ShuffleMasks kWeave = shuffleMasks([](int k, int c, int j) {
    const int place = 16 * k + j;
    return place % 3 == c ? place / 3 : -1;
});

// Unweaving: mask (k, c) takes the bytes of channel c found in input block k
// to their places among the channel's 16.
inline constexpr ShuffleMasks kUnweave = shuffleMasks([](int k, int c, int j) {
    const int place = 3 * j + c;
    return place / 16 == k ? place % 16 : -1;
});

LUMETRA_AVX2 inline __m128i shuffled(__m128i bytes, const std::array<uint8_t, 16>& mask) {
    return _mm_shuffle_epi8(bytes, _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask.data())));
}

// The blue, green and red bytes of the 16 pixels at in (48 bytes).
struct Channels16 {
    __m128i c[3];
};
LUMETRA_AVX2 inline Channels16 unweave16(const uint8_t* in) {
    __m128i blocks[3];
    for (size_t k = 0; k < 3; ++k) blocks[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * k));
    Channels16 out{};
    for (size_t c = 0; c < 3; ++c)
        out.c[c] = _mm_or_si128(_mm_or_si128(shuffled(blocks[0], kUnweave[0][c]), shuffled(blocks[1], kUnweave[1][c])),
                                shuffled(blocks[2], kUnweave[2][c]));
    return out;
}

// The saturating packs work within 128-bit halves; this permute puts the
// 32-bit groups they leave back in order.
LUMETRA_AVX2 inline __m256i inOrder(__m256i packed) {
    return _mm256_permutevar8x32_epi32(packed, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

}  // namespace lumetra
#endif
