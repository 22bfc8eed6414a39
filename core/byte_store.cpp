#include "core/byte_store.h"

#include <algorithm>

#include "core/vector_clones.h"

namespace lumetra {

namespace {

#if LUMETRA_AVX2_INTRINSICS
// 32 values a step. The signed pack to 16 bits keeps every value's side of
// 0 and of 255 (it saturates at -32768 and 32767), and the unsigned pack to
// bytes then clamps to 0..255 exactly. Both packs work within 128-bit
// halves, so one permute restores the order.
LUMETRA_AVX2 size_t packClamped(const int32_t* values, uint8_t* out, size_t count) {
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i* v = reinterpret_cast<const __m256i*>(values + i);
        const __m256i low = _mm256_packs_epi32(_mm256_loadu_si256(v), _mm256_loadu_si256(v + 1));
        const __m256i high = _mm256_packs_epi32(_mm256_loadu_si256(v + 2), _mm256_loadu_si256(v + 3));
        const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(low, high), order);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), bytes);
    }
    return i;
}
#endif

size_t packedCount(const int32_t* values, uint8_t* out, size_t count) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx2()) return packClamped(values, out, count);
#endif
    (void)values, (void)out, (void)count;
    return 0;
}

}  // namespace

void storeClampedBytes(const int32_t* values, uint8_t* out, size_t count) {
    for (size_t i = packedCount(values, out, count); i < count; ++i)
        out[i] = static_cast<uint8_t>(std::clamp<int32_t>(values[i], 0, 255));
}

}  // namespace lumetra
