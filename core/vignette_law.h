// The radial vignette law: a gain that follows the fourth-power cosine
// falloff 1 / (1 + d^2/R^2)^2 of a lens (or its inverse, to brighten), mixed
// with 1 by a strength. The looks carry it in 32-bit words that wrap, the
// photo tools in 64-bit words within their own bounds; the Word parameter
// says which, and both take the same steps.
#pragma once

#include <cmath>
#include <cstdint>
#include <type_traits>

namespace lumetra::vignette_law {

// An amount of 1 or more brightens towards the edges, anything less darkens.
constexpr bool brightens(int amount) { return amount >= 1; }

// The Q8 strength |amount| * 256 / 100 (256 = full effect), in 64 bits.
constexpr int64_t strength(int amount) {
    const int64_t percent = amount < 0 ? -static_cast<int64_t>(amount) : amount;
    return percent * 256 / 100;
}

// The reference length R = trunc(side * 2^(exponent / 100)), in double: the
// caller bounds it.
inline double referenceLength(int32_t side, int exponent) { return std::trunc(side * std::pow(2.0, exponent * 0.01)); }

// The Q30 reciprocal 0x40000000 / R^2 (R^2 at least 1): 0 once R passes
// 32768.
constexpr int64_t inverseRadius2(int64_t radius2) { return 0x40000000 / radius2; }

// q = ((R^2 + d^2) * inverse) >> 18, about 4096 (1 + d^2/R^2). Unsigned, so
// a spread up to 2^34 stays defined.
constexpr int64_t spreadQ12(uint64_t spread, uint64_t inverse) {
    return static_cast<int64_t>((spread * inverse) >> 18);
}

// a * b in Word arithmetic: a 32-bit product wraps.
template <class Word>
constexpr Word wrappingProduct(Word a, Word b) {
    using Bits = std::make_unsigned_t<Word>;
    return static_cast<Word>(static_cast<Bits>(a) * static_cast<Bits>(b));
}

// f = q^2 >> 9, about 32768 (1 + d^2/R^2)^2, when brightening; when
// darkening 0x40000000 / f, about 32768 / (1 + d^2/R^2)^2, the falloff
// itself, and `atZero` where f is 0 (a q too small, or wrapped to nothing).
template <class Word>
constexpr Word falloff(Word q, bool brighten, Word atZero) {
    const Word f = wrappingProduct(q, q) >> 9;
    if (brighten) return f;
    return f != 0 ? Word{0x40000000} / f : atZero;
}

// The gain in Q15 (Q = 15) or Q12 (Q = 12, f taken >> 3 first):
// ((f - one) * strength + round) >> 8, that is one + (f - one) * strength
// / 256, with `round` half a unit of the shift.
template <int Q, class Word>
constexpr Word gain(Word f, Word strength) {
    static_assert(Q == 15 || Q == 12, "the gain is Q15 or Q12");
    using Bits = std::make_unsigned_t<Word>;
    constexpr int drop = 15 - Q;
    constexpr Word one = Word{1} << Q;
    constexpr Word round = Word{0x800000} >> drop;
    const Word scaled = wrappingProduct(static_cast<Word>((f >> drop) - one), strength);
    return static_cast<Word>(static_cast<Bits>(scaled) + static_cast<Bits>(round)) >> 8;
}

}  // namespace lumetra::vignette_law
