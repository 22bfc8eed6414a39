#include "pixel/blend_words.h"

#include <type_traits>

#include "core/vector_clones.h"

namespace lumetra {

#if LUMETRA_AVX2_INTRINSICS
namespace {

// The formulas on a base a = byte << 7 and a sample b (both 0..32640) in
// 16-bit lanes. (a b) >> 14 is the unsigned high half of 2a x 2b, both
// below 2^16. The upper halves of overlay and hard light,
// 2 (a + b) - m - 32767, lie in 1..32768 and come out exactly from
// arithmetic that wraps at 16 bits; 32768 only over a white base (a byte
// of 255 either way, see mixWords).
LUMETRA_AVX2 inline __m256i halfProduct(__m256i a, __m256i b) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(a, a), _mm256_add_epi16(b, b));
}
LUMETRA_AVX2 inline __m256i screenHalf(__m256i a, __m256i b, __m256i m) {
    const __m256i sum = _mm256_add_epi16(a, b);
    return _mm256_sub_epi16(_mm256_sub_epi16(_mm256_add_epi16(sum, sum), m), _mm256_set1_epi16(32767));
}
// Lanes of x below 16384 (x is 0..32640, so signed compares hold).
LUMETRA_AVX2 inline __m256i belowHalf(__m256i x) { return _mm256_cmpgt_epi16(_mm256_set1_epi16(16384), x); }

template <class F>
struct Words;
template <>
struct Words<Overlay> {
    LUMETRA_AVX2 static __m256i formula(__m256i a, __m256i b) {
        const __m256i m = halfProduct(a, b);
        return _mm256_blendv_epi8(screenHalf(a, b, m), m, belowHalf(a));
    }
};
template <>
struct Words<HardLight> {
    LUMETRA_AVX2 static __m256i formula(__m256i a, __m256i b) {
        const __m256i m = halfProduct(a, b);
        return _mm256_blendv_epi8(screenHalf(a, b, m), m, belowHalf(b));
    }
};
template <>
struct Words<Opacity> {
    LUMETRA_AVX2 static __m256i formula(__m256i, __m256i b) { return b; }
};
template <>
struct Words<Darken> {
    LUMETRA_AVX2 static __m256i formula(__m256i a, __m256i b) { return _mm256_min_epi16(a, b); }
};
template <>
struct Words<Lighten> {
    LUMETRA_AVX2 static __m256i formula(__m256i a, __m256i b) { return _mm256_max_epi16(a, b); }
};
// (a b) >> 15 is the unsigned high half of 2a x b.
template <>
struct Words<Multiply> {
    LUMETRA_AVX2 static __m256i formula(__m256i a, __m256i b) { return _mm256_mulhi_epu16(_mm256_add_epi16(a, a), b); }
};
// a + b - ((a b) >> 15) lies in 0..32767, so arithmetic that wraps at 16
// bits gives it.
template <>
struct Words<Screen> {
    LUMETRA_AVX2 static __m256i formula(__m256i a, __m256i b) {
        return _mm256_sub_epi16(_mm256_add_epi16(a, b), Words<Multiply>::formula(a, b));
    }
};
template <>
struct Words<LinearDodge> {
    LUMETRA_AVX2 static __m256i formula(__m256i a, __m256i b) {
        return _mm256_min_epu16(_mm256_add_epi16(a, b), _mm256_set1_epi16(32767));
    }
};
// a + b - 32767 held at 0 is the unsigned saturating a + b less 32767.
template <>
struct Words<LinearBurn> {
    LUMETRA_AVX2 static __m256i formula(__m256i a, __m256i b) {
        return _mm256_subs_epu16(_mm256_add_epi16(a, b), _mm256_set1_epi16(32767));
    }
};
// 2 b - 32768 fits a signed word and the max with a is not negative; 2 b
// fits an unsigned one, hence the unsigned min.
template <>
struct Words<PinLight> {
    LUMETRA_AVX2 static __m256i formula(__m256i a, __m256i b) {
        const __m256i twice = _mm256_add_epi16(b, b);
        return _mm256_min_epu16(_mm256_max_epi16(a, _mm256_add_epi16(twice, _mm256_set1_epi16(-32768))), twice);
    }
};
template <>
struct Words<Difference> {
    LUMETRA_AVX2 static __m256i formula(__m256i a, __m256i b) { return _mm256_abs_epi16(_mm256_sub_epi16(a, b)); }
};
// a + b - ((a b) >> 14) lies in 0..32640.
template <>
struct Words<Exclude> {
    LUMETRA_AVX2 static __m256i formula(__m256i a, __m256i b) {
        return _mm256_sub_epi16(_mm256_add_epi16(a, b), halfProduct(a, b));
    }
};
// The lower half's term a - ((a a) >> 15) is byte << 7 less byte^2 >> 1,
// with byte^2 below 2^16 in one unsigned word product. The chosen term
// (0..8192) is scaled by 2 b - 32767 (which fits a signed word): the
// signed high half of that times twice the term is the product's floor
// shift by 15.
LUMETRA_AVX2 inline __m256i softLightWords(__m256i a, __m256i b, __m256i upperTerm) {
    const __m256i bytes = _mm256_srli_epi16(a, 7);
    const __m256i lower = _mm256_sub_epi16(a, _mm256_srli_epi16(_mm256_mullo_epi16(bytes, bytes), 1));
    const __m256i term = _mm256_blendv_epi8(upperTerm, lower, belowHalf(b));
    const __m256i strength = _mm256_sub_epi16(_mm256_add_epi16(b, b), _mm256_set1_epi16(32767));
    return _mm256_add_epi16(a, _mm256_mulhi_epi16(strength, _mm256_add_epi16(term, term)));
}
// The upper half's term, squareRoot15(a) - a, takes the single-precision
// root of byte << 22 (exact as a float) in 32-bit lanes, as squareRoot15
// does.
LUMETRA_AVX2 inline __m256i rootOfBytes8(__m128i bytes) {
    const __m256i scaled = _mm256_slli_epi32(_mm256_cvtepu16_epi32(bytes), 22);
    return _mm256_cvttps_epi32(_mm256_sqrt_ps(_mm256_cvtepi32_ps(scaled)));
}
template <>
struct Words<SoftLight> {
    LUMETRA_AVX2 static __m256i formula(__m256i a, __m256i b) {
        const __m256i bytes = _mm256_srli_epi16(a, 7);
        const __m256i roots = _mm256_permute4x64_epi64(
            _mm256_packs_epi32(rootOfBytes8(_mm256_castsi256_si128(bytes)),
                               rootOfBytes8(_mm256_extracti128_si256(bytes, 1))),
            _MM_SHUFFLE(3, 1, 2, 0));
        return softLightWords(a, b, _mm256_sub_epi16(roots, a));
    }
};
template <>
struct Words<HardMix> {
    LUMETRA_AVX2 static __m256i formula(__m256i a, __m256i b) {
        const __m256i below = _mm256_cmpgt_epi16(_mm256_sub_epi16(_mm256_set1_epi16(32767), a), b);
        return _mm256_andnot_si256(below, _mm256_set1_epi16(32767));
    }
};

// The mix and its shift to a byte, a + ((t (f - a)) >> 15) >> 7, as
// ((32768 - t) a + t f) >> 22: the multiple 32768 a passes the floor
// shift unchanged, so the two are equal, and with a and f in 0..32767 and
// t in 1..32767 each is one pair product sum. f is held to 32767 first:
// it is 32768 only over a white base a = 32640, where below t = 32768
// either value mixes to 32640 plus at most 127, a byte of 255. At t =
// 32768 the mix is f itself, and 32767 and 32768 both store 255.
template <bool Full>
LUMETRA_AVX2 inline __m256i mixWords(__m256i a, __m256i f, __m256i weights) {
    const __m256i held = _mm256_min_epu16(f, _mm256_set1_epi16(32767));
    if constexpr (Full) return _mm256_srli_epi16(held, 7);
    // The unpacks pair words 0-3 and 8-11, then 4-7 and 12-15; the pack
    // puts them back in order.
    const __m256i low = _mm256_srli_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(a, held), weights), 22);
    const __m256i high = _mm256_srli_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(a, held), weights), 22);
    return _mm256_packs_epi32(low, high);
}

// Sixteen colour samples (0..32640) as words, in order.
LUMETRA_AVX2 inline __m256i samplesAsWords(const int32_t* colour) {
    return _mm256_permute4x64_epi64(_mm256_packs_epi32(load8(colour), load8(colour + 8)), _MM_SHUFFLE(3, 1, 2, 0));
}

LUMETRA_AVX2 inline __m256i baseWords(const uint8_t* base) {
    return _mm256_slli_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(base))), 7);
}

// Sixteen words stored as bytes, each held to 0..255.
LUMETRA_AVX2 inline void storeWords(uint8_t* out, __m256i words) {
    const __m256i packed = _mm256_packus_epi16(words, words);  // bytes 0-7 and 8-15 in the two lanes
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm256_castsi256_si128(_mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 1, 2, 0))));
}

// Each 32-bit lane holding the words low, high: a multiply-add's weights.
LUMETRA_AVX2 inline __m256i pairWeights(int32_t low, int32_t high) {
    const uint32_t pair = (static_cast<uint32_t>(high) << 16) | (static_cast<uint32_t>(low) & 0xffffu);
    return _mm256_set1_epi32(static_cast<int32_t>(pair));
}

template <class F, bool Full>
LUMETRA_AVX2 int blendWordsAvx2(const uint8_t* base, const int32_t* colour, uint8_t* out, int count, int32_t t) {
    const __m256i weights = pairWeights(kOne15 - t, t);
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m256i a = baseWords(base + i);
        storeWords(out + i, mixWords<Full>(a, Words<F>::formula(a, samplesAsWords(colour + i)), weights));
    }
    return i;
}

// "color" and "luminosity": f = c + shift, c the sample (color) or the base
// (luminosity), which may leave 16 bits, so the pass keeps 32-bit lanes but
// takes its products as multiply-adds of words (one operation each) and
// stores bytes directly. The mix and its shift to a byte is
// ((32768 - t) a + t c + t shift) >> 22, equal to it as in mixWords; with
// a, c in 0..32640 and |shift| <= 32640 every sum stays inside 32 bits.
// At t = 32768 the mix is f itself.
template <class F, bool Full>
LUMETRA_AVX2 inline __m256i shiftedMix8(__m256i a, __m256i c, __m256i shift, __m256i weights, __m256i shiftWeight) {
    if constexpr (Full) return _mm256_srai_epi32(_mm256_add_epi32(c, shift), 7);
    // t shift: the shift's low word times t (its high word weighs 0).
    const __m256i shifted = _mm256_madd_epi16(shift, shiftWeight);
    if constexpr (std::is_same_v<F, Luminosity>)  // c = a: 32768 a + t shift
        return _mm256_srai_epi32(_mm256_add_epi32(_mm256_slli_epi32(a, 15), shifted), 22);
    const __m256i baseAndSample = _mm256_or_si256(a, _mm256_slli_epi32(c, 16));
    return _mm256_srai_epi32(_mm256_add_epi32(_mm256_madd_epi16(baseAndSample, weights), shifted), 22);
}

template <class F, bool Full>
LUMETRA_AVX2 int blendShiftWordsAvx2(const uint8_t* base, const int32_t* colour, const int32_t* shifts,
                                     uint8_t* out, int count, int32_t t) {
    constexpr bool kFromSample = std::is_same_v<F, Color>;
    const __m256i weights = pairWeights(kOne15 - t, t), shiftWeight = pairWeights(t, 0);
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        const __m256i a0 = _mm256_slli_epi32(_mm256_cvtepu8_epi32(bytes), 7);
        const __m256i a1 = _mm256_slli_epi32(_mm256_cvtepu8_epi32(_mm_srli_si128(bytes, 8)), 7);
        const __m256i c0 = kFromSample ? load8(colour + i) : a0, c1 = kFromSample ? load8(colour + i + 8) : a1;
        const __m256i low = shiftedMix8<F, Full>(a0, c0, load8(shifts + i), weights, shiftWeight);
        const __m256i high = shiftedMix8<F, Full>(a1, c1, load8(shifts + i + 8), weights, shiftWeight);
        // The packs leave the bytes' quarters as 0-3, 8-11 | 4-7, 12-15.
        const __m256i words = _mm256_packs_epi32(low, high);
        const __m256i packed =
            _mm256_permutevar8x32_epi32(_mm256_packus_epi16(words, words), _mm256_setr_epi32(0, 4, 1, 5, 0, 0, 0, 0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm256_castsi256_si128(packed));
    }
    return i;
}

}  // namespace
#endif

template <class F>
int blendWords(const uint8_t* base, const int32_t* colour, uint8_t* out, int count, int32_t t) {
#if LUMETRA_AVX2_INTRINSICS
    if (t < 1 || t > kOne15 || !cpuHasAvx2()) return 0;
    int done = 0;
    if constexpr (std::is_same_v<F, SoftLight>) done = softLightWords512(base, colour, out, count, t);
    const auto avx2 = t == kOne15 ? blendWordsAvx2<F, true> : blendWordsAvx2<F, false>;
    return done + avx2(base + done, colour + done, out + done, count - done, t);
#endif
    (void)base, (void)colour, (void)out, (void)count, (void)t;
    return 0;
}

template <class F>
int blendShiftWords(const uint8_t* base, const int32_t* colour, const int32_t* shifts, uint8_t* out, int count,
                    int32_t t) {
#if LUMETRA_AVX2_INTRINSICS
    if (t >= 1 && t <= kOne15 && cpuHasAvx2())
        return t == kOne15 ? blendShiftWordsAvx2<F, true>(base, colour, shifts, out, count, t)
                           : blendShiftWordsAvx2<F, false>(base, colour, shifts, out, count, t);
#endif
    (void)base, (void)colour, (void)shifts, (void)out, (void)count, (void)t;
    return 0;
}

template int blendShiftWords<Color>(const uint8_t*, const int32_t*, const int32_t*, uint8_t*, int, int32_t);
template int blendShiftWords<Luminosity>(const uint8_t*, const int32_t*, const int32_t*, uint8_t*, int, int32_t);

#define LUMETRA_BLEND_WORDS(F) template int blendWords<F>(const uint8_t*, const int32_t*, uint8_t*, int, int32_t);
LUMETRA_BLEND_WORDS(Opacity)
LUMETRA_BLEND_WORDS(Darken)
LUMETRA_BLEND_WORDS(Lighten)
LUMETRA_BLEND_WORDS(Multiply)
LUMETRA_BLEND_WORDS(Screen)
LUMETRA_BLEND_WORDS(LinearDodge)
LUMETRA_BLEND_WORDS(LinearBurn)
LUMETRA_BLEND_WORDS(Overlay)
LUMETRA_BLEND_WORDS(HardLight)
LUMETRA_BLEND_WORDS(PinLight)
LUMETRA_BLEND_WORDS(SoftLight)
LUMETRA_BLEND_WORDS(HardMix)
LUMETRA_BLEND_WORDS(Difference)
LUMETRA_BLEND_WORDS(Exclude)
#undef LUMETRA_BLEND_WORDS

}  // namespace lumetra
