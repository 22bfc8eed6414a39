// Integer division truncating toward zero, our one rule for every quotient
// of the pixel code.
#pragma once

#include <cstdint>

namespace lumetra {

// Signed 32-bit division truncating toward zero, done in double: both
// operands are exact in double and the quotient cannot round across an
// integer, so the result equals the integer division, and the loops using
// it vectorise (x86 has no vector integer division). The divisor is never
// zero: callers raise a zero divisor to one first.
inline int32_t divideTruncating(int32_t numerator, int32_t divisor) {
    return static_cast<int32_t>(static_cast<double>(numerator) / static_cast<double>(divisor));
}

// The same quotient for every int32 pair with a nonzero divisor, where a
// record's unchecked values may hold INT32_MIN: dividing it by -1 wraps to
// INT32_MIN instead of overflowing.
inline int32_t wrapDiv(int32_t numerator, int32_t divisor) {
    if (divisor == -1) return static_cast<int32_t>(0u - static_cast<uint32_t>(numerator));
    return divideTruncating(numerator, divisor);
}

// divideTruncating for 0 <= numerator <= 2^30 and
// 0 < divisor <= 32768 with a quotient of at most 32768, at twice the lanes.
// Exact: the divisor is exact in single precision and the numerator and the
// division each err by at most 2^-24 relative, so the estimate lies within
// 2^-8 of the true quotient and truncates to it or a neighbour, which the
// remainder test corrects.
inline int32_t quotientOfUnits(int32_t numerator, int32_t divisor) {
    int32_t q = static_cast<int32_t>(static_cast<float>(numerator) / static_cast<float>(divisor));
    const int32_t rest = numerator - q * divisor;
    q -= static_cast<int32_t>(rest < 0);
    q += static_cast<int32_t>(rest >= divisor);
    return q;
}

// 1 / divisor raised by a factor 1 + 2^-50, so that several quotients by
// one positive whole divisor share one division: for a whole numerator n
// with |n| < 2^49, exact in double, trunc(n * raisedReciprocal(d)) is
// trunc(n / d). The division, the raise and the product each round by at
// most 2^-53 relative, so the product exceeds n / d in size by a factor
// between 1 + 2^-51 and 1 + 2^-49: a whole quotient truncates to itself,
// and any other lies at least 1 / d from every whole number, more than the
// excess |n / d| 2^-49 < 1 / d.
inline double raisedReciprocal(double divisor) { return 1.0 / divisor * (1.0 + 0x1p-50); }

}  // namespace lumetra
