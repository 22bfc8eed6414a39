// Integer helpers of the photo tools: 32-bit arithmetic that wraps where the
// record's values can overflow it, truncations that stay defined for every
// double, and the guard that keeps C++ exceptions inside the library.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace lumetra::pt {

// 32-bit two's-complement arithmetic, wrapping instead of overflowing.
inline int32_t wrapAdd(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }
inline int32_t wrapSub(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b)); }
inline int32_t wrapMul(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b)); }
inline int32_t wrapShl(int32_t a, int s) { return static_cast<int32_t>(static_cast<uint32_t>(a) << s); }
// Truncating division that stays defined for INT32_MIN / -1 (it wraps).
inline int32_t wrapDiv(int32_t a, int32_t b) { return (b == -1) ? wrapSub(0, a) : a / b; }

// A double truncated toward zero into 32 bits; values beyond the range
// saturate and not-a-number gives 0.
inline int32_t truncToInt(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

inline int64_t clamp64(int64_t v, int64_t low, int64_t high) { return v < low ? low : (v > high ? high : v); }
inline int32_t saturate32(int64_t v) {
    return static_cast<int32_t>(clamp64(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Runs an export's body; anything thrown (memory exhausted) ends in
// `nothingDone` instead of crossing the C boundary.
template <class Result, class Body>
Result guarded(Result nothingDone, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return nothingDone;
    }
}
template <class Body>
void guarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

}  // namespace lumetra::pt
