#include "pixel/luminance_shifts.h"

#include "core/vector_clones.h"

namespace lumetra {

namespace {

#if LUMETRA_AVX2_INTRINSICS

// The luminance of eight B, G, R byte pixels (24 bytes) as luminance15 takes
// it from bytes << 7: (9798 r + 19234 g + 3736 b) >> 8, with b and r paired
// in one word for one multiply-add. Each 128-bit half shuffles its own four
// pixels: the low half from bytes 0..15, the high from bytes 8..23, so no
// byte past the eighth pixel is read.
LUMETRA_AVX2 inline __m256i byteLuminance8(const uint8_t* p) {
    const __m256i bytes = _mm256_setr_m128i(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8)));
    const __m256i blueRed = _mm256_shuffle_epi8(
        bytes, _mm256_setr_epi8(0, -1, 2, -1, 3, -1, 5, -1, 6, -1, 8, -1, 9, -1, 11, -1,  //
                                4, -1, 6, -1, 7, -1, 9, -1, 10, -1, 12, -1, 13, -1, 15, -1));
    const __m256i green = _mm256_shuffle_epi8(
        bytes, _mm256_setr_epi8(1, -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1,  //
                                5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1, 14, -1, -1, -1));
    const __m256i sum = _mm256_add_epi32(_mm256_madd_epi16(blueRed, _mm256_set1_epi32(3736 | (9798 << 16))),
                                         _mm256_madd_epi16(green, _mm256_set1_epi32(19234)));
    return _mm256_srai_epi32(sum, 8);
}

// The luminance of eight B, G, R samples (24 values, each below 2^15, so
// no product or sum wraps): lanes picked from the three loads by blends,
// then put in order.
LUMETRA_AVX2 inline __m256i sampleLuminance8(const int32_t* p) {
    const __m256i c0 = load8(p), c1 = load8(p + 8), c2 = load8(p + 16);
    const __m256i blue = _mm256_permutevar8x32_epi32(
        _mm256_blend_epi32(_mm256_blend_epi32(c0, c1, 0x92), c2, 0x24), _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5));
    const __m256i green = _mm256_permutevar8x32_epi32(
        _mm256_blend_epi32(_mm256_blend_epi32(c0, c1, 0x24), c2, 0x49), _mm256_setr_epi32(1, 4, 7, 2, 5, 0, 3, 6));
    const __m256i red = _mm256_permutevar8x32_epi32(
        _mm256_blend_epi32(_mm256_blend_epi32(c0, c1, 0x49), c2, 0x92), _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7));
    const __m256i redGreen = _mm256_add_epi32(_mm256_mullo_epi32(red, _mm256_set1_epi32(9798)),
                                              _mm256_mullo_epi32(green, _mm256_set1_epi32(19234)));
    const __m256i sum = _mm256_add_epi32(redGreen, _mm256_mullo_epi32(blue, _mm256_set1_epi32(3736)));
    return _mm256_srai_epi32(sum, 15);
}

LUMETRA_AVX2 int shiftColumns(const uint8_t* base, const int32_t* colour, int32_t* shifts, int width, bool baseFirst) {
    int col = 0;
    for (; col + 8 <= width; col += 8) {
        const __m256i ofBase = byteLuminance8(base + 3 * col), ofSample = sampleLuminance8(colour + 3 * col);
        const __m256i shift = baseFirst ? _mm256_sub_epi32(ofBase, ofSample) : _mm256_sub_epi32(ofSample, ofBase);
        int32_t* out = shifts + 3 * col;
        store8(out, _mm256_permutevar8x32_epi32(shift, _mm256_setr_epi32(0, 0, 0, 1, 1, 1, 2, 2)));
        store8(out + 8, _mm256_permutevar8x32_epi32(shift, _mm256_setr_epi32(2, 3, 3, 3, 4, 4, 4, 5)));
        store8(out + 16, _mm256_permutevar8x32_epi32(shift, _mm256_setr_epi32(5, 5, 6, 6, 6, 7, 7, 7)));
    }
    return col;
}
#endif

}  // namespace

int luminanceShiftColumns(const uint8_t* base, const int32_t* colour, int32_t* shifts, int width, bool baseFirst) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx2()) return shiftColumns(base, colour, shifts, width, baseFirst);
#endif
    (void)base, (void)colour, (void)shifts, (void)width, (void)baseFirst;
    return 0;
}

}  // namespace lumetra
