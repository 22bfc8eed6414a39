// 64-bit products of 32-bit lanes in 512-bit passes, taken on the even and
// the odd lanes apart: the multiplies read the low half of each 64-bit
// lane, so the odd lanes are moved down first, and the results are put
// back in place, or their masks interleaved, afterwards.
#pragma once

#include "core/vector_clones.h"

#if LUMETRA_AVX2_INTRINSICS
namespace lumetra {

// A 32-bit vector's odd lanes moved down into the 64-bit lanes' low halves.
LUMETRA_AVX512_VBMI inline __m512i oddLanes(__m512i v) { return _mm512_srli_epi64(v, 32); }

// Signed 64-bit lanes from the even (low) or odd 32-bit lanes.
LUMETRA_AVX512_VBMI inline __m512i evenWide(__m512i v) { return _mm512_srai_epi64(_mm512_slli_epi64(v, 32), 32); }
LUMETRA_AVX512_VBMI inline __m512i oddWide(__m512i v) { return _mm512_srai_epi64(v, 32); }

// 32-bit lanes from the low halves of 64-bit results for the even and the
// odd lanes: exact where each result fits 32 bits.
LUMETRA_AVX512_VBMI inline __m512i interleaved(__m512i even, __m512i odd) {
    return _mm512_mask_blend_epi32(0xaaaa, even, _mm512_slli_epi64(odd, 32));
}

// The mask of sixteen lanes from the even and the odd lanes' masks.
LUMETRA_AVX512_VBMI inline __mmask16 interleavedMask(__mmask8 even, __mmask8 odd) {
    const __m512i ones = _mm512_set1_epi64(-1);
    return _mm512_movepi32_mask(interleaved(_mm512_maskz_mov_epi64(even, ones), _mm512_maskz_mov_epi64(odd, ones)));
}

}  // namespace lumetra
#endif
