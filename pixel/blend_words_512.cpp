// The 512-bit passes of the byte path, where the processor has AVX-512
// VBMI: soft light's 16-bit pass, and "color" and "luminosity" over whole
// pixels.
#include "pixel/blend_words.h"

#include <array>
#include <type_traits>

#include "core/vector_clones.h"
#include "pixel/sample_windows512.h"

namespace lumetra {

#if LUMETRA_AVX2_INTRINSICS
LUMETRA_AVX512_WARNINGS_OFF
namespace {

// Soft light with the upper half's terms looked up rather than rooted,
// thirty-two channels a step in 512-bit vectors. The 256 terms (0..8192)
// lie in a plane of low and a plane of high bytes, four 64-byte registers
// each, read by two 128-entry byte permutations and a select on the
// index's top bit. Each word lane's index repeats the base byte in both
// its bytes, so the low plane's lookup gives the term's low byte in every
// byte and the high plane's its high byte: taking the low lane from one
// and the high from the other forms the term.
const std::array<uint8_t, 512> kRootTermBytes = [] {
    std::array<uint8_t, 512> planes{};
    for (int32_t byte = 0; byte < 256; ++byte) {
        const int32_t a = colourToQ15(static_cast<uint8_t>(byte));
        const int32_t term = squareRoot15(a) - a;
        planes[static_cast<size_t>(byte)] = static_cast<uint8_t>(term & 0xff);
        planes[static_cast<size_t>(256 + byte)] = static_cast<uint8_t>(term >> 8);
    }
    return planes;
}();

// pairWeights in sixteen lanes.
LUMETRA_AVX512_VBMI inline __m512i wordPairs16(int32_t low, int32_t high) {
    const uint32_t pair = (static_cast<uint32_t>(high) << 16) | (static_cast<uint32_t>(low) & 0xffffu);
    return _mm512_set1_epi32(static_cast<int32_t>(pair));
}

LUMETRA_AVX512_VBMI inline __m512i planeLookup(const __m512i* plane, __m512i index) {
    const __m512i bottom = _mm512_permutex2var_epi8(plane[0], index, plane[1]);
    const __m512i top = _mm512_permutex2var_epi8(plane[2], index, plane[3]);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), bottom, top);
}

// The formula and the mix as softLightWords and mixWords take them, in
// 32 word lanes; the unpacks and the pack stay within 128-bit lanes, so
// the words come back in order.
template <bool Full>
LUMETRA_AVX512_VBMI int softLightWordsVbmi(const uint8_t* base, const int32_t* colour, uint8_t* out, int count,
                                           int32_t t) {
    __m512i planes[8];
    for (size_t k = 0; k < 8; ++k) planes[k] = _mm512_loadu_si512(kRootTermBytes.data() + 64 * k);
    const __m512i weights = wordPairs16(kOne15 - t, t);
    const __m512i evenWords = _mm512_setr_epi64(0x0006000400020000, 0x000e000c000a0008, 0x0016001400120010,
                                                0x001e001c001a0018, 0x0026002400220020, 0x002e002c002a0028,
                                                0x0036003400320030, 0x003e003c003a0038);
    int i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m512i bytes = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(base + i)));
        const __m512i index = _mm512_or_si512(bytes, _mm512_slli_epi16(bytes, 8));
        const __m512i upper =
            _mm512_mask_blend_epi8(0xaaaaaaaaaaaaaaaaull, planeLookup(planes, index), planeLookup(planes + 4, index));
        const __m512i a = _mm512_slli_epi16(bytes, 7);
        const __m512i b = _mm512_permutex2var_epi16(_mm512_loadu_si512(colour + i), evenWords,
                                                    _mm512_loadu_si512(colour + i + 16));
        const __m512i lower = _mm512_sub_epi16(a, _mm512_srli_epi16(_mm512_mullo_epi16(bytes, bytes), 1));
        const __m512i term = _mm512_mask_blend_epi16(_mm512_cmplt_epu16_mask(b, _mm512_set1_epi16(16384)), upper, lower);
        const __m512i strength = _mm512_sub_epi16(_mm512_add_epi16(b, b), _mm512_set1_epi16(32767));
        const __m512i f = _mm512_add_epi16(a, _mm512_mulhi_epi16(strength, _mm512_add_epi16(term, term)));
        const __m512i held = _mm512_min_epu16(f, _mm512_set1_epi16(32767));
        __m512i mixed;
        if constexpr (Full) {
            mixed = _mm512_srli_epi16(held, 7);
        } else {
            const __m512i low = _mm512_srli_epi32(_mm512_madd_epi16(_mm512_unpacklo_epi16(a, held), weights), 22);
            const __m512i high = _mm512_srli_epi32(_mm512_madd_epi16(_mm512_unpackhi_epi16(a, held), weights), 22);
            mixed = _mm512_packs_epi32(low, high);
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm512_cvtepi16_epi8(mixed));
    }
    return i;
}

// "color" and "luminosity" sixteen columns (48 channels) a step in
// 512-bit vectors, each pixel's luminance shift taken on the way: the
// base's from its bytes, gathered by one byte permutation into B, R word
// pairs and another into G words, each summed by multiply-adds as
// byteLuminance8 does; the samples' from their B, G, R lanes, picked by
// two-register permutations, with R and B paired in words. The shift is
// spread to its pixel's three channels and mixed, at one weight as
// shiftedMix8 does or at each channel's covered weight as blendBytes does,
// and each result is held to 0..255 as the packs or the clamp hold it.
struct PixelBytes {
    int8_t blueRed[64], green[64];
};
constexpr PixelBytes pixelBytes() {
    PixelBytes bytes{};
    for (int p = 0; p < 16; ++p) {
        bytes.blueRed[4 * p] = static_cast<int8_t>(3 * p);
        bytes.blueRed[4 * p + 2] = static_cast<int8_t>(3 * p + 2);
        bytes.green[4 * p] = static_cast<int8_t>(3 * p + 1);
    }
    return bytes;
}
constexpr PixelBytes kPixelBytes = pixelBytes();

LUMETRA_AVX512_VBMI inline __m512i lanesOf(const int32_t (&lanes)[16]) { return _mm512_loadu_si512(lanes); }

template <class F, bool Full>
LUMETRA_AVX512_VBMI inline __m512i shiftedMix16(__m512i a, __m512i c, __m512i shift, __m512i weights,
                                                __m512i shiftWeight) {
    __m512i mixed;
    if constexpr (Full) {
        mixed = _mm512_srai_epi32(_mm512_add_epi32(c, shift), 7);
    } else {
        const __m512i shifted = _mm512_madd_epi16(shift, shiftWeight);
        if constexpr (std::is_same_v<F, Luminosity>)
            mixed = _mm512_srai_epi32(_mm512_add_epi32(_mm512_slli_epi32(a, 15), shifted), 22);
        else
            mixed = _mm512_srai_epi32(
                _mm512_add_epi32(_mm512_madd_epi16(_mm512_or_si512(a, _mm512_slli_epi32(c, 16)), weights), shifted),
                22);
    }
    return mixed;
}

// At the weight t = (opacity cover) >> 15 (0..32768), a + ((t (f - a)) >>
// 15) >> 7: with f - a within +-65280 the product fits 32 bits.
template <class F>
LUMETRA_AVX512_VBMI inline __m512i coveredMix16(__m512i a, __m512i c, __m512i shift, __m512i cover, __m512i opacity) {
    const __m512i f = _mm512_add_epi32(c, shift);
    const __m512i t = _mm512_srli_epi32(_mm512_mullo_epi32(opacity, cover), 15);
    const __m512i moved = _mm512_srai_epi32(_mm512_mullo_epi32(t, _mm512_sub_epi32(f, a)), 15);
    return _mm512_srai_epi32(_mm512_add_epi32(a, moved), 7);
}

// What one call of the shift passes holds for every step.
struct ShiftConstants {
    __m512i weights, shiftWeight, opacity, blueRedWeights, greenWeight, blueRedBytes, greenBytes;
    bool baseFirst;
};
template <class F>
LUMETRA_AVX512_VBMI inline ShiftConstants shiftConstants(int32_t t) {
    return {wordPairs16(kOne15 - t, t),
            wordPairs16(t, 0),
            _mm512_set1_epi32(t),
            wordPairs16(3736, 9798),
            wordPairs16(19234, 0),
            _mm512_loadu_si512(kPixelBytes.blueRed),
            _mm512_loadu_si512(kPixelBytes.green),
            F::shift({kOne15 - 1, kOne15 - 1, kOne15 - 1}, {0, 0, 0}) > 0};
}

// One step of sixteen columns: `samples` holds their B, G, R planes (for
// the luminance), `woven` the same as 48 lanes of B, G, R per column (for
// the mix; "color" alone reads them).
template <class F, bool Full, bool Covered>
LUMETRA_AVX512_VBMI inline void shiftStep(const ShiftConstants& k, const uint8_t* bytes, const __m512i (&samples)[3],
                                          const __m512i (&woven)[3], const int32_t* cover, uint8_t* out) {
    constexpr bool kFromSample = std::is_same_v<F, Color>;
    const __m512i pixels = _mm512_maskz_loadu_epi8(0xffffffffffffull, bytes);  // 48 bytes
    const __m512i ofBase = _mm512_srai_epi32(
        _mm512_add_epi32(
            _mm512_madd_epi16(_mm512_maskz_permutexvar_epi8(0x5555555555555555ull, k.blueRedBytes, pixels),
                              k.blueRedWeights),
            _mm512_madd_epi16(_mm512_maskz_permutexvar_epi8(0x1111111111111111ull, k.greenBytes, pixels),
                              k.greenWeight)),
        8);
    const __m512i blueRed = _mm512_or_si512(samples[0], _mm512_slli_epi32(samples[2], 16));
    const __m512i ofSample = _mm512_srai_epi32(
        _mm512_add_epi32(_mm512_madd_epi16(blueRed, k.blueRedWeights), _mm512_madd_epi16(samples[1], k.greenWeight)),
        15);
    const __m512i shift = k.baseFirst ? _mm512_sub_epi32(ofBase, ofSample) : _mm512_sub_epi32(ofSample, ofBase);
    for (int b = 0; b < 3; ++b) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * b));
        const __m512i a = _mm512_slli_epi32(_mm512_cvtepu8_epi32(block), 7);
        const __m512i spread = _mm512_permutexvar_epi32(lanesOf(kWeaveLanes.spread[b]), shift);
        const __m512i from = kFromSample ? woven[b] : a;
        __m512i mixed;
        if constexpr (Covered)
            mixed = coveredMix16<F>(a, from, spread, _mm512_loadu_si512(cover + 16 * b), k.opacity);
        else
            mixed = shiftedMix16<F, Full>(a, from, spread, k.weights, k.shiftWeight);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * b),
                         _mm512_cvtusepi32_epi8(_mm512_max_epi32(mixed, _mm512_setzero_si512())));
    }
}

// The samples as the sampler left them, interleaved: their planes picked
// by two-register permutations.
template <class F, bool Full, bool Covered>
LUMETRA_AVX512_VBMI int shiftColumnsVbmi(const uint8_t* base, const int32_t* colour, const int32_t* cover,
                                         uint8_t* out, int columns, int32_t t) {
    const ShiftConstants k = shiftConstants<F>(t);
    int col = 0;
    for (; col + 16 <= columns; col += 16) {
        const int32_t* samples = colour + 3 * col;
        const __m512i woven[3] = {_mm512_loadu_si512(samples), _mm512_loadu_si512(samples + 16),
                                  _mm512_loadu_si512(samples + 32)};
        const __m512i planes[3] = {channelOfBlocks(woven, 0), channelOfBlocks(woven, 1), channelOfBlocks(woven, 2)};
        shiftStep<F, Full, Covered>(k, base + 3 * col, planes, woven, Covered ? cover + 3 * col : nullptr,
                                    out + 3 * col);
    }
    return col;
}

// The samples taken on the way from a 3-channel layer's prepared row, by
// their windows: planes for the luminance, woven from them for "color"'s
// mix. Two groups of sixteen columns a step, each stage for both before
// the next, so that one group's permutations overlap the other's
// arithmetic (one group a step measured no faster than storing the
// samples). Stops at the first group without a window.
template <class F, bool Full>
LUMETRA_AVX512_VBMI int shiftSampledVbmi(const uint8_t* base, const PreparedRow& row, uint8_t* out, int columns,
                                         int32_t t) {
    const ShiftConstants k = shiftConstants<F>(t);
    int col = 0;
    for (; col + 32 <= columns; col += 32) {
        __m512i offset[2];
        const int32_t start[2] = {windowStart<3>(row, col, offset[0]), windowStart<3>(row, col + 16, offset[1])};
        if (start[0] < 0 || start[1] < 0) break;
        __m512i planes[2][3];
        for (int g = 0; g < 2; ++g) {
            const __m512i weights = windowWeights(row, col + 16 * g);
            for (int c = 0; c < 3; ++c) planes[g][c] = horizontal16(row.packed + start[g] + c, offset[g], weights);
        }
        __m512i woven[2][3];
        for (int g = 0; g < 2; ++g)
            for (int b = 0; b < 3; ++b)
                woven[g][b] = std::is_same_v<F, Color> ? wovenBlock(planes[g], b) : planes[g][b];
        for (int g = 0; g < 2; ++g) {
            const int first = 3 * (col + 16 * g);
            shiftStep<F, Full, false>(k, base + first, planes[g], woven[g], nullptr, out + first);
        }
    }
    return col;
}

}  // namespace
LUMETRA_AVX512_WARNINGS_ON
#endif

int softLightWords512(const uint8_t* base, const int32_t* colour, uint8_t* out, int count, int32_t t) {
#if LUMETRA_AVX2_INTRINSICS
    if (t >= 1 && t <= kOne15 && cpuHasAvx512Vbmi())
        return t == kOne15 ? softLightWordsVbmi<true>(base, colour, out, count, t)
                           : softLightWordsVbmi<false>(base, colour, out, count, t);
#endif
    (void)base, (void)colour, (void)out, (void)count, (void)t;
    return 0;
}

template <class F>
int blendShiftColumns(const uint8_t* base, const int32_t* colour, const int32_t* cover, uint8_t* out, int columns,
                      int32_t t) {
#if LUMETRA_AVX2_INTRINSICS
    if (t >= 0 && t <= kOne15 && cpuHasAvx512Vbmi()) {
        if (cover) return shiftColumnsVbmi<F, false, true>(base, colour, cover, out, columns, t);
        if (t == kOne15) return shiftColumnsVbmi<F, true, false>(base, colour, cover, out, columns, t);
        if (t >= 1) return shiftColumnsVbmi<F, false, false>(base, colour, cover, out, columns, t);
    }
#endif
    (void)base, (void)colour, (void)cover, (void)out, (void)columns, (void)t;
    return 0;
}

template int blendShiftColumns<Color>(const uint8_t*, const int32_t*, const int32_t*, uint8_t*, int, int32_t);
template int blendShiftColumns<Luminosity>(const uint8_t*, const int32_t*, const int32_t*, uint8_t*, int, int32_t);

template <class F>
int blendShiftSampled(const uint8_t* base, const PreparedRow& row, uint8_t* out, int columns, int32_t t) {
#if LUMETRA_AVX2_INTRINSICS
    if (t >= 1 && t <= kOne15 && cpuHasAvx512Vbmi())
        return t == kOne15 ? shiftSampledVbmi<F, true>(base, row, out, columns, t)
                           : shiftSampledVbmi<F, false>(base, row, out, columns, t);
#endif
    (void)base, (void)row, (void)out, (void)columns, (void)t;
    return 0;
}
template int blendShiftSampled<Color>(const uint8_t*, const PreparedRow&, uint8_t*, int, int32_t);
template int blendShiftSampled<Luminosity>(const uint8_t*, const PreparedRow&, uint8_t*, int, int32_t);

}  // namespace lumetra
