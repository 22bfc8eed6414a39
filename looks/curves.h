// Tone curves: a few control points per channel, sampled by a natural cubic
// spline into 1024-entry Q15 tables that a Q15 value indexes with a 5-bit
// interpolation fraction.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace lumetra {

// Input and output level on the 0..1 scale, as 32-bit floats.
struct CurvePoint {
    float x;
    float y;
};

// At least two points, x strictly ascending.
using CurvePointList = std::vector<CurvePoint>;

// One list per channel; each shapes its own channel only.
struct CurvePointSet {
    CurvePointList red;
    CurvePointList green;
    CurvePointList blue;
};

constexpr int kCurveLutSize = 1024;

// Entry i holds the curve's output for input i / 1023, on 0..32767.
using CurveLut = std::array<int32_t, kCurveLutSize>;

// Indexed in picture order: 0 shapes blue, 1 green, 2 red.
struct CurveLutSet {
    std::array<CurveLut, 3> lut;
    const CurveLut& blue() const { return lut[0]; }
    const CurveLut& green() const { return lut[1]; }
    const CurveLut& red() const { return lut[2]; }
};

// The natural spline through `points`, sampled at i / 1023; flat at the end
// values outside the points' x range. Lists with fewer than two points give
// a flat table at the one y given, or at 0 for an empty list.
CurveLut buildCurveLut(const CurvePointList& points);
CurveLutSet buildCurveLutSet(const CurvePointSet& points);

// The table read at a Q15 value with linear interpolation between entries;
// from 32736 up it extrapolates the last segment by at most 31/32 of a step.
// A negative value reads entry 0, as if clamped (a grey mix lowered by a
// constant can pass one).
inline int32_t lookupCurve(const CurveLut& t, int32_t v) {
    if (v < 0) return t[0];
    const uint32_t idx = static_cast<uint32_t>(v >> 5);
    uint32_t f = static_cast<uint32_t>(v & 31);
    if (idx < kCurveLutSize - 1) {
        const uint32_t sum = (32 - f) * static_cast<uint32_t>(t[idx]) + f * static_cast<uint32_t>(t[idx + 1]);
        return static_cast<int32_t>(sum >> 5);
    }
    if (idx > kCurveLutSize - 1) f = 31;
    const uint32_t sum = (32 + f) * static_cast<uint32_t>(t[1023]) - f * static_cast<uint32_t>(t[1022]);
    return static_cast<int32_t>(sum >> 5);
}

}  // namespace lumetra
