// Integer helpers of the photo tools: truncations that stay defined for
// every double, and the guard that keeps C++ exceptions inside the library.
// The wrapping 32-bit arithmetic is core/q15.h's.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "core/divide.h"
#include "core/q15.h"

namespace lumetra::pt {

// The exports are C functions at global scope that see this namespace
// through a using-directive; these bring core's wrapping arithmetic along.
using lumetra::wrapAdd;
using lumetra::wrapDiv;
using lumetra::wrapMul;
using lumetra::wrapShiftLeft;
using lumetra::wrapSub;

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
