// The tone-table vocabulary shared by every tone setter of the photo tools.
#pragma once

#include <cstdint>

#include "lumetra.h"

namespace lumetra::pt {

constexpr int kToneSize = PT_CURVE_SIZE;  // entries of a curve, outputs 0..1023
constexpr int kToneMax = kToneSize - 1;
constexpr double kInv1023 = 0.0009775171065493646;  // i * kInv1023 = i / 1023 as the curves sample it

using CurveTable = int32_t[kToneSize];

// A curve value in double as a table entry: beyond 1023 -> 1023, below 0
// (or not a number) -> 0, else truncated.
int clampCurveValue(double v);
inline int clamp10(int v) { return v < 0 ? 0 : (v > kToneMax ? kToneMax : v); }

// table[i] = curve[table[i]]: the curve acts after every curve composed
// before it. Sets the tone bit of adjustFlags.
void composeCurve(const int32_t* curve, ColorMap& m);

// The tone setters build a curve from a rule on the index and compose it.
template <class Rule>
void composeRule(ColorMap& m, Rule rule) {
    CurveTable curve;
    for (int i = 0; i < kToneSize; ++i) curve[i] = rule(i);
    composeCurve(curve, m);
}

}  // namespace lumetra::pt
