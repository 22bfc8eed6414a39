#include "core/bytes_above.h"

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

#endif

}  // namespace

bool countBytesAbove(const IplImage* picture, const ThresholdSet* sets, int setCount, AboveCounts* above) {
#if LUMETRA_AVX2_INTRINSICS
    if (!cpuHasAvx2()) return false;
    for (int s = 0; s < setCount; ++s) above[s] = {};
    const int channels = picture->nChannels;
    const int rowBytes = picture->width * channels;
    // Row by row, each set in turn while the row is in the L1 cache.
    for (int y = 0; y < picture->height; ++y) {
        const uint8_t* row = rowOf(picture, y);
        for (int s = 0; s < setCount; ++s) {
            const int done = addAboveByVectors(row, rowBytes, channels, sets[s], above[s]);
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
