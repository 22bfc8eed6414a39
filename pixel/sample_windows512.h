// The layer sampler's 512-bit horizontal step, shared by the sampler and
// by the blend passes that take their samples on the way, and the moves
// between B, G, R planes and samples interleaved per column. Where a layer
// is stretched wider than the row it is read from, sixteen columns' packed
// pairs lie within 32 entries of the first (or the last) column's: windows
// of two registers loaded there, one per channel and each a channel further
// on so that one set of offsets serves all, give every channel by one
// permutation instead of a load per column.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/vector_clones.h"
#include "pixel/layer_sampler.h"

#if LUMETRA_AVX2_INTRINSICS
namespace lumetra {

LUMETRA_AVX512_WARNINGS_OFF
// The sixteen columns from `col` of a prepared row whose packed pairs come
// `Stride` (the layer's channels) to a column: the first entry of their
// window, with each column's offset from it, or -1 where their pairs
// spread wider than a window (or the row is too short for one). Every
// window read from the start, Stride - 1 channels on at most, stays inside
// `packed`.
template <int Stride>
LUMETRA_AVX512_VBMI inline int32_t windowStart(const PreparedRow& row, int col, __m512i& offset) {
    const int32_t lastStart = row.packedSize - 32 - (Stride - 1);
    if (lastStart < 0) return -1;
    const int32_t start = std::min({row.pairIndex[col], row.pairIndex[col + 15], lastStart});
    offset = _mm512_sub_epi32(_mm512_loadu_si512(row.pairIndex + col), _mm512_set1_epi32(start));
    return _mm512_cmpgt_epu32_mask(offset, _mm512_set1_epi32(31)) == 0 ? start : -1;
}

// The words (fx, 256) of the sixteen columns from `col`: one madd of a
// pair by them gives d fx + (v << 7) 256 = (v << 15) + d fx, within 24 bits.
LUMETRA_AVX512_VBMI inline __m512i windowWeights(const PreparedRow& row, int col) {
    return _mm512_or_si512(_mm512_loadu_si512(row.fraction + col), _mm512_set1_epi32(256 << 16));
}

// One channel of the sixteen columns, from the window at `window`: as
// v << 15 is a multiple of 256, the shift by 8 leaves the sample,
// (v << 7) + ((d fx) >> 8).
LUMETRA_AVX512_VBMI inline __m512i horizontal16(const uint32_t* window, __m512i offset, __m512i weights) {
    const __m512i pairs =
        _mm512_permutex2var_epi32(_mm512_loadu_si512(window), offset, _mm512_loadu_si512(window + 16));
    return _mm512_srai_epi32(_mm512_madd_epi16(pairs, weights), 8);
}

// Three planes of sixteen values (B, G, R) as three blocks of 16 lanes,
// B, G, R per column: block k's B and G come through the first two-plane
// permutation, its R through the second. One plane repeated three times
// per column takes one permutation per block (spread).
struct WeaveLanes {
    int32_t first[3][16];
    int32_t second[3][16];
    int32_t spread[3][16];
};
constexpr WeaveLanes weaveLanes() {
    WeaveLanes lanes{};
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 16; ++j) {
            const int element = 16 * k + j, column = element / 3, channel = element % 3;
            lanes.first[k][j] = channel == 1 ? 16 + column : column;
            lanes.second[k][j] = channel == 2 ? 16 + column : j;
            lanes.spread[k][j] = column;
        }
    return lanes;
}
inline constexpr WeaveLanes kWeaveLanes = weaveLanes();

LUMETRA_AVX512_VBMI inline __m512i wovenBlock(const __m512i (&planes)[3], int k) {
    const __m512i blueGreen = _mm512_permutex2var_epi32(planes[0], _mm512_loadu_si512(kWeaveLanes.first[k]), planes[1]);
    return _mm512_permutex2var_epi32(blueGreen, _mm512_loadu_si512(kWeaveLanes.second[k]), planes[2]);
}

// The reverse: channel c's sixteen values out of three blocks of B, G, R
// per column, by a permutation of the first two blocks (lane p takes its
// value's place 3 p + c where that lies below 32) and one of that with the
// third (lane p keeps it, or takes place 3 p + c - 32 of the third).
struct ChannelLanes {
    int32_t firstTwo[3][16];
    int32_t withThird[3][16];
};
constexpr ChannelLanes channelLanes() {
    ChannelLanes lanes{};
    for (int c = 0; c < 3; ++c)
        for (int p = 0; p < 16; ++p) {
            const int place = 3 * p + c;
            lanes.firstTwo[c][p] = place < 32 ? place : 0;
            lanes.withThird[c][p] = place < 32 ? p : 16 + place - 32;
        }
    return lanes;
}
inline constexpr ChannelLanes kChannelLanes = channelLanes();

LUMETRA_AVX512_VBMI inline __m512i channelOfBlocks(const __m512i (&blocks)[3], int c) {
    const __m512i firstTwo =
        _mm512_permutex2var_epi32(blocks[0], _mm512_loadu_si512(kChannelLanes.firstTwo[c]), blocks[1]);
    return _mm512_permutex2var_epi32(firstTwo, _mm512_loadu_si512(kChannelLanes.withThird[c]), blocks[2]);
}
LUMETRA_AVX512_WARNINGS_ON

}  // namespace lumetra
#endif
