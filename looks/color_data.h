// Data of the colour looks "color", "color2" and "bw_color": hue-dependent
// saturation tables, tint colours, point sets and clip fractions, each
// laid out as its table lists it. Out-of-range variants fall back here.
#pragma once

#include "core/q15.h"
#include "core/sepia.h"
#include "looks/curves.h"
#include "looks/hsv.h"
#include "looks/levels.h"

namespace lumetra {

// "color": the saturation change of the variant, then its tint: either the
// pixel with its hue replaced, mixed in, or a colour laid over with
// "overlay"; both at a Q15 weight.
struct ColorLook {
    HueSaturation saturation;
    bool replaceHue;
    int32_t hue;     // with replaceHue
    Rgb15 overlay;   // otherwise
    int32_t weight;
};
// Variants 1..5; every other value gives 5.
const ColorLook& colorLook(int variant);

// "color2": the point sets of variants 2..9, the single curves of 11 and
// 12, and the saturation change of variants 2..10.
CurvePointSet color2Points(int variant);
CurvePointList color2Curve(int variant);
const HueSaturation& color2Saturation(int variant);

// The gradient map of "color2" 1, by brightness: blue to yellow.
constexpr Rgb15 kGradientDark{0, 0, 32767};
constexpr Rgb15 kGradientLight{32767, 32767, 0};

// The sepia matrix in Q15.
constexpr ColorMatrix15 kSepiaMatrix = sepiaMatrix15();

// "bw_color": the fractions clipped at the dark and bright ends by the
// levels stretch; variants 1..5, every other value (0.01, 0.01).
struct ClipFractions {
    float lower;
    float upper;
};
ClipFractions bwColorClips(int variant);

}  // namespace lumetra
