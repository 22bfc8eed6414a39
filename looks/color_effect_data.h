// Data of "ColorEffect": the settings of each variant, the technicolor
// presets, the finishing curve, the gradient tables and matrix and the
// duotone colour pairs.
#pragma once

#include <array>
#include <cstdint>

#include "core/q15.h"
#include "looks/curves.h"

namespace lumetra {

// The photo-tool settings a variant fills in, and its finishing steps.
struct ColorEffectSettings {
    float green = 1.0f;           // green/magenta factor of the white balance
    float temperature = 6504.0f;  // kelvin
    float lensAmount = 0.0f;      // truncated to the lens correction amount
    float lensRadius = 0.0f;      // and its radius exponent
    float brightness = 0.0f;
    float light = 0.0f;
    float dark = 0.0f;
    bool useCurves = false;
    bool useTechnicolorA = false;
    bool useTechnicolorC = false;
    bool useRelief = false;
    bool reliefMultiply = false;  // shading multiplied into the colours, else grey relief
    bool useGradientA = false;
    bool useGradientB = false;
    bool useDuotoneYellow = false;
    bool useDuotoneGrey = false;
};

// Variants 3..15 have their own rows; every other value keeps the defaults.
ColorEffectSettings colorEffectSettings(int variant);

// Six two-colour mixing coefficients.
using TechnicolorPreset = std::array<float, 6>;
constexpr TechnicolorPreset kTechnicolorA{0.992f, 0.137f, 0.314f, 0.204f, 0.98f, 0.725f};
constexpr TechnicolorPreset kTechnicolorC{1.0f, 0.835f, 0.835f, 0.0f, 0.588f, 1.0f};

// The finishing tone curve of variant 9.
CurvePointSet colorEffectCurve();

// Gradient colours at diagonal positions 0, 1/4, 1/2, 3/4 and 1, from the
// top-left corner to the bottom-right one.
using GradientStops = std::array<Rgb15, 5>;
// Blue to orange (variant 6).
constexpr GradientStops kGradientA{{{0, 0, 32768}, {8000, 7000, 24576}, {16000, 14000, 16384},
                                    {24000, 21000, 8192}, {32000, 28000, 0}}};
// Blue-green, green, yellow, orange, red (variant 12).
constexpr GradientStops kGradientB{{{0, 8000, 25000}, {0, 32768, 0}, {32768, 32768, 0}, {32768, 8000, 0},
                                    {32768, 0, 0}}};

// The soft-light base: 70 % grey (0.299, 0.587, 0.114) and 30 % the colour,
// Q15, rows red, green, blue over columns R, G, B.
constexpr std::array<std::array<int32_t, 3>, 3> kGradientBase{
    {{16688, 13464, 2614}, {6858, 23294, 2614}, {6858, 13464, 12445}}};

// A duotone's bright and dark colours, bytes.
struct ByteColor {
    uint8_t r, g, b;
};
struct DuotonePair {
    ByteColor bright;
    ByteColor dark;
};
constexpr DuotonePair kDuotoneYellow{{255, 255, 0}, {80, 40, 160}};
constexpr DuotonePair kDuotoneGrey{{255, 255, 255}, {0, 0, 0}};

}  // namespace lumetra
