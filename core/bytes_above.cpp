#include "core/bytes_above.h"

#include <algorithm>
#include <vector>

#include "core/image.h"
#include "core/vector_clones.h"

namespace lumetra {

namespace {

// Samples above each threshold among `count` bytes of a row, a fourth
// channel skipped, one at a time.
void addAboveOneByOne(const uint8_t* bytes, int count, int channels, const ThresholdSet& set, AboveCounts& above) {
    for (int i = 0; i < count; ++i) {
        if (channels == 4 && i % 4 == 3) continue;
        for (int j = 0; j < kThresholdsPerSet; ++j) above[j] += bytes[i] > set[j] ? 1u : 0u;
    }
}

#if LUMETRA_AVX2_INTRINSICS

// Bytes are compared as signed after flipping their top bit, which keeps
// their order; an alpha byte becomes 0 before the flip, so -128, above no
// threshold. Each compare gives -1 where the sample is above, subtracted
// from a byte counter; a counter takes at most 255 blocks of 32 bytes
// before its sums move to 64 bits.
LUMETRA_AVX2 int addAboveByVectors(const uint8_t* bytes, int count, int channels, const ThresholdSet& set,
                                   AboveCounts& above) {
    constexpr int kBlocksPerFlush = 255;
    const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80));
    const __m256i colours =
        channels == 4 ? _mm256_set1_epi32(0x00ffffff) : _mm256_set1_epi8(static_cast<char>(0xff));
    __m256i limits[kThresholdsPerSet];
    for (int j = 0; j < kThresholdsPerSet; ++j)
        limits[j] = _mm256_set1_epi8(static_cast<char>(set[static_cast<size_t>(j)] ^ 0x80));
    int i = 0;
    while (i + 32 <= count) {
        __m256i counters[kThresholdsPerSet];
        for (auto& c : counters) c = _mm256_setzero_si256();
        for (int block = 0; block < kBlocksPerFlush && i + 32 <= count; ++block, i += 32) {
            const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i));
            const __m256i ordered = _mm256_xor_si256(_mm256_and_si256(raw, colours), flip);
            for (int j = 0; j < kThresholdsPerSet; ++j)
                counters[j] = _mm256_sub_epi8(counters[j], _mm256_cmpgt_epi8(ordered, limits[j]));
        }
        for (int j = 0; j < kThresholdsPerSet; ++j) {
            const __m256i sums = _mm256_sad_epu8(counters[j], _mm256_setzero_si256());
            above[static_cast<size_t>(j)] += static_cast<uint64_t>(_mm256_extract_epi64(sums, 0)) +
                                            static_cast<uint64_t>(_mm256_extract_epi64(sums, 1)) +
                                            static_cast<uint64_t>(_mm256_extract_epi64(sums, 2)) +
                                            static_cast<uint64_t>(_mm256_extract_epi64(sums, 3));
        }
    }
    return i;
}

LUMETRA_AVX512_WARNINGS_OFF
// Eight consecutive thresholds t .. t + 7 at once, 64 bytes a step. With d
// a byte's distance above t (0 at or below it), the byte lies above t + j
// exactly when d > j: bit j of (1 << min(d, 8)) - 1. A bit transpose of
// each group of eight bytes (the affine transform whose matrix is the
// group, applied to the unit bytes) gathers bit j of the group's bytes
// into its byte j, whose popcount is then how many of the eight lie above
// t + j. Alpha bytes are taken as t, above none. Byte counters gain at
// most 8 a step, so 31 steps before they move to 32-bit lanes, where lane
// i counts threshold i % 8.
LUMETRA_AVX512_BITS int addAboveRun(const uint8_t* bytes, int count, int channels, uint8_t t, AboveCounts& above) {
    constexpr int kStepsPerFlush = 31;
    const __mmask64 colours = channels == 4 ? 0x7777777777777777ull : ~0ull;
    const __m512i first = _mm512_set1_epi8(static_cast<char>(t));
    const __m512i eight = _mm512_set1_epi8(8);
    // (1 << k) - 1 for k = 0..8 in each 16-byte lane, for the shuffle.
    const long long lowBitsFirst = 0x7f3f1f0f07030100ll, lowBitsLast = 0xff;
    const __m512i lowBits = _mm512_set4_epi64(lowBitsLast, lowBitsFirst, lowBitsLast, lowBitsFirst);
    const __m512i unitBytes = _mm512_set1_epi64(static_cast<long long>(0x8040201008040201ull));
    __m512i sums = _mm512_setzero_si512();
    int i = 0;
    while (i + 64 <= count) {
        __m512i counters = _mm512_setzero_si512();
        for (int step = 0; step < kStepsPerFlush && i + 64 <= count; ++step, i += 64) {
            const __m512i raw = _mm512_loadu_si512(bytes + i);
            const __m512i distance = _mm512_min_epu8(_mm512_maskz_subs_epu8(colours, raw, first), eight);
            const __m512i below = _mm512_shuffle_epi8(lowBits, distance);
            const __m512i transposed = _mm512_gf2p8affine_epi64_epi8(unitBytes, below, 0);
            counters = _mm512_add_epi8(counters, _mm512_popcnt_epi8(transposed));
        }
        const __m512i low = _mm512_add_epi32(_mm512_cvtepu8_epi32(_mm512_extracti32x4_epi32(counters, 0)),
                                             _mm512_cvtepu8_epi32(_mm512_extracti32x4_epi32(counters, 1)));
        const __m512i high = _mm512_add_epi32(_mm512_cvtepu8_epi32(_mm512_extracti32x4_epi32(counters, 2)),
                                              _mm512_cvtepu8_epi32(_mm512_extracti32x4_epi32(counters, 3)));
        sums = _mm512_add_epi32(sums, _mm512_add_epi32(low, high));
    }
    alignas(64) uint32_t lanes[16];
    _mm512_store_si512(lanes, sums);
    for (int lane = 0; lane < 16; ++lane) above[static_cast<size_t>(lane % 8)] += lanes[lane];
    return i;
}
LUMETRA_AVX512_WARNINGS_ON

#endif

}  // namespace

bool countBytesAbove(const IplImage* picture, const ThresholdSet* sets, int setCount, AboveCounts* above) {
#if LUMETRA_AVX2_INTRINSICS
    if (!cpuHasAvx2()) return false;
    for (int s = 0; s < setCount; ++s) above[s] = {};
    const int channels = picture->nChannels;
    const int rowBytes = picture->width * channels;
    // A set whose thresholds all lie among eight consecutive values (a clip
    // point's eight bins, also where they are held at 0 or 255) is counted
    // as that run, each threshold then reading its value's count.
    const auto runStart = [](const ThresholdSet& set) {
        const auto [low, high] = std::minmax_element(set.begin(), set.end());
        const int first = std::min<int>(*low, 255 - (kThresholdsPerSet - 1));
        return *high - first < kThresholdsPerSet ? first : -1;
    };
    std::vector<int> starts(static_cast<size_t>(std::max(setCount, 0)), -1);
    if (cpuHasAvx512Bits())
        for (int s = 0; s < setCount; ++s) starts[static_cast<size_t>(s)] = runStart(sets[s]);
    // Row by row, each set in turn while the row is in the L1 cache.
    for (int y = 0; y < picture->height; ++y) {
        const uint8_t* row = rowOf(picture, y);
        for (int s = 0; s < setCount; ++s) {
            int done = 0;
            if (const int first = starts[static_cast<size_t>(s)]; first >= 0) {
                AboveCounts run{};
                done = addAboveRun(row, rowBytes, channels, static_cast<uint8_t>(first), run);
                for (size_t j = 0; j < kThresholdsPerSet; ++j)
                    above[s][j] += run[static_cast<size_t>(sets[s][j] - first)];
            }
            done += addAboveByVectors(row + done, rowBytes - done, channels, sets[s], above[s]);
            addAboveOneByOne(row + done, rowBytes - done, channels, sets[s], above[s]);
        }
    }
    return true;
#else
    (void)picture, (void)sets, (void)setCount, (void)above;
    return false;
#endif
}

}  // namespace lumetra
