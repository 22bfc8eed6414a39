#include "looks/color_effect_data.h"

namespace lumetra {

ColorEffectSettings colorEffectSettings(int variant) {
    ColorEffectSettings s;
    auto darkLens = [&s] { s.lensAmount = s.lensRadius = -100.0f; };
    switch (variant) {
        case 3: s.useTechnicolorC = true; break;
        case 4: s.useRelief = true; s.reliefMultiply = true; break;
        case 5: s.useRelief = true; s.reliefMultiply = false; break;
        case 6: s.useGradientA = true; break;
        case 7: s.useTechnicolorA = true; darkLens(); break;
        case 8: s.useDuotoneYellow = true; break;
        case 9: s.useCurves = true; darkLens(); break;
        case 10: darkLens(); s.temperature = 12000.0f; s.green = 1.3f; break;
        case 11: s.temperature = 6504.0f; s.green = 0.5f; break;
        case 12: s.useGradientB = true; break;
        case 13: s.temperature = 4568.6f; s.green = 0.767f; break;
        case 14: darkLens(); s.temperature = 4568.0f; s.green = 1.5f; break;
        case 15: s.useDuotoneGrey = true; break;
        default: break;
    }
    return s;
}

CurvePointSet colorEffectCurve() {
    return {{{0.0f, 0.0f}, {0.349f, 0.1725f}, {0.7019f, 0.7411f}, {0.8705f, 1.0f}},
            {{0.0f, 0.0f}, {0.2509f, 0.2509f}, {0.7254f, 0.8313f}, {1.0f, 1.0f}},
            {{0.0f, 0.0901f}, {1.0f, 0.8509f}}};
}

}  // namespace lumetra
