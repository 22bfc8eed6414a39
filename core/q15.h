// The working pixel: int32 channels on the Q15 scale (32768 = 1.0), red
// first, the rules that carry bytes in and out of it, and the 32-bit
// arithmetic that wraps. A byte survives a read and a store unchanged, for
// colour and for alpha.
#pragma once

#include <algorithm>
#include <cstdint>

namespace lumetra {

constexpr int32_t kOne15 = 32768;

struct Rgb15 {
    int32_t r, g, b;
};

struct Rgba15 : Rgb15 {
    int32_t a;
};

// Colour byte to Q15: 255 becomes 32640, not 32768.
constexpr int32_t colourToQ15(uint8_t c) { return int32_t{c} << 7; }

// Alpha byte to Q15: 255 becomes exactly 32768 (full cover).
constexpr int32_t alphaToQ15(uint8_t a) { return (int32_t{a} + (a >> 7)) << 7; }

// Q15 colour to byte: clamp to 0..32767, then drop the 7 fraction bits.
constexpr uint8_t toByte15(int32_t v) { return static_cast<uint8_t>(std::clamp<int32_t>(v, 0, 32767) >> 7); }
constexpr uint8_t toByte15(int64_t v) { return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 32767) >> 7); }

// Q15 alpha to byte: the 32-bit pattern shifted as unsigned; anything past
// 127 is capped at 256 and lowered by one, so 32768 maps back to 255.
constexpr uint8_t alphaToByte15(int32_t v) {
    uint32_t q = static_cast<uint32_t>(v) >> 7;
    if (q > 127) q = std::min<uint32_t>(q, 256) - 1;
    return static_cast<uint8_t>(q);
}

// 32-bit two's-complement arithmetic that wraps modulo 2^32: our rule
// wherever a sum, difference, product or shift can leave the int range
// (unchecked record fields, far-off canvas positions), with none of the
// undefined behaviour of signed overflow.
constexpr int32_t wrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t wrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
constexpr int32_t wrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
constexpr int32_t wrapShiftLeft(int32_t a, int bits) { return static_cast<int32_t>(static_cast<uint32_t>(a) << bits); }
// A 64-bit intermediate kept to its low 32 bits.
constexpr int32_t wrapTo32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

// A percentage as a Q15 weight: (p << 15) / 100, so 100 -> 32768, 1 -> 327.
// The shift wraps at 32 bits for percentages no caller would pass.
constexpr int32_t opacity15(int percent) { return wrapShiftLeft(percent, 15) / 100; }

// Q15 mix of a base value a toward b by weight t (0 keeps a, 32768 gives b).
// Exact in 32 bits while t lies in 0..32768 and |a|, |b| stay below 65536;
// past that (a value pushed far out of range by earlier steps) it wraps.
constexpr int32_t mix15(int32_t a, int32_t b, int32_t t) {
    return wrapAdd(wrapMul(kOne15 - t, a), wrapMul(t, b)) >> 15;
}

// The same mix with 64-bit products, for values or weights that would leave
// the 32-bit range (an unclamped formula result, an opacity far past 100 %).
// The result saturates at the int32 range, which every store clamps anyway.
constexpr int32_t mix15Wide(int64_t a, int64_t b, int64_t t) {
    const int64_t mixed = ((kOne15 - t) * a + t * b) >> 15;
    return static_cast<int32_t>(std::clamp<int64_t>(mixed, INT32_MIN, INT32_MAX));
}

// The same mix for a base a in 0..32767, a weight t in 0..32768 and any
// int32 b (an unclamped formula result), in 32 bits. Exact: t * (b >> 15) *
// 32768 and 32768 a are multiples of 32768, so they pass the floor shift
// unchanged, and what remains, t ((b & 32767) - a), lies within 32768 *
// 32767. Two products, where the mix of the two parts takes three.
constexpr int32_t mix15Split(int32_t a, int32_t b, int32_t t) {
    return t * (b >> 15) + a + ((t * ((b & 32767) - a)) >> 15);
}

// Weights 0.299, 0.587, 0.114 in Q15; they sum to 32768, so a grey value is
// its own luminance. Far out of range the products wrap.
constexpr int32_t luminance15(const Rgb15& p) {
    return wrapAdd(wrapAdd(wrapMul(9798, p.r), wrapMul(19234, p.g)), wrapMul(3736, p.b)) >> 15;
}

}  // namespace lumetra
