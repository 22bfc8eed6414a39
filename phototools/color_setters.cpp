// Colour setters of the ColorMap: global hue and saturation, per-hue
// anchors, two-colour mixing and blend opacity. They only fill the record;
// the colour step of the renderer reads it.
#include "phototools/color_map.h"
#include "phototools/fixed.h"

namespace lumetra::pt {

namespace {

// Percent to the 256 = 1.0 scale around 1.0: -100 -> 0, +100 -> 512.
int32_t saturationFactor(int percent) { return wrapAdd(wrapMul(percent, 256) / 100, kSaturationOne); }

// A coefficient on 0..1 in Q15; outside values are held to the range.
int32_t technicolorCoefficient(float c) {
    const double held = c > 1.0f ? 1.0 : (c >= 0.0f ? static_cast<double>(c) : 0.0);
    return static_cast<int32_t>(held * 32768);
}

}  // namespace

}  // namespace lumetra::pt

using namespace lumetra::pt;

extern "C" {

LUMETRA_API void LUMETRA_CALL ptAdjustColorGlobalSP(ColorMap* m, int hue, int saturation) {
    if (!m || (hue == 0 && saturation == 0)) return;
    // A negative hue is raised by whole turns first, so the rotation is
    // always a non-negative angle below 360 degrees.
    int64_t degrees = hue;
    if (degrees < 0) degrees += (-degrees / 360 + 1) * 360;
    m->hueRotation = static_cast<int32_t>(degrees % 360) * 10;
    m->saturation = saturationFactor(saturation);
    m->adjustFlags |= kAdjustTone;
}

LUMETRA_API ColorMap* LUMETRA_CALL ptAdjustColor(ColorMap* m, const int hue[12], const int sat[12],
                                                 const int light[12]) {
    if (!m || !hue || !sat || !light) return m;
    for (int i = 0; i < 12; ++i) {
        m->hueShift[i] = wrapMul(hue[i], 4);
        m->hueSat[i] = saturationFactor(sat[i]);
        m->hueLight[i] = wrapMul(light[i], 16384) / 100;
    }
    m->adjustFlags |= kAdjustPerHue;
    return m;
}

LUMETRA_API ColorMap* LUMETRA_CALL ptTechnicolor(ColorMap* m, float c0, float c1, float c2, float c3, float c4,
                                                 float c5) {
    if (!m) return m;
    const float c[6] = {c0, c1, c2, c3, c4, c5};
    for (int k = 0; k < 6; ++k) m->technicolor[k] = technicolorCoefficient(c[k]);
    m->renderFlags |= kRenderTechnicolor;
    return m;
}

LUMETRA_API ColorMap* LUMETRA_CALL ptBlend(ColorMap* m, int opacity) {
    if (!m || opacity == 0) return m;
    m->blendOpacity = opacity;
    m->adjustFlags |= kAdjustBlend;
    return m;
}

}  // extern "C"
