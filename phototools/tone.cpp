// Tone setters: each builds a 1024-entry curve from its rule and composes
// it into the map's tone table (exposure in stops multiplies the gains
// instead). A neutral value leaves the map untouched.
#include <cmath>

#include "phototools/color_map.h"
#include "phototools/curves.h"
#include "phototools/fixed.h"

namespace lumetra::pt {

namespace {

// A circular arc through (0,0) and (1,1) whose bulge grows with |amount|.
void brightness(ColorMap& m, int amount) {
    const double k = 141.421356237 / amount;
    composeRule(m, [&](int i) {
        const double t = i * kInv1023;
        const double r = std::sqrt(1 - 1.41421356237 * k + 2.82842712474 * t * k + 0.5 * k * k);
        const double base = 1 - t - 0.707106781188095 * k;
        return clampCurveValue((amount >= 1 ? base + r : base - r) * 1023.0);
    });
}

// Exposure in hundredths of a stop, on the gains.
void realExposure(ColorMap& m, int stops100) {
    const float x = static_cast<float>(stops100 * 0.009999999776482582);
    const float factor = static_cast<float>(std::pow(2.0, static_cast<double>(x)));
    for (int32_t& g : m.gain) g = truncToInt(g * static_cast<double>(factor));
    m.renderFlags |= kRenderGains;
}

// A parabola lifting the middle tones; the product wraps at 32 bits as
// amounts beyond the sliders' range make it.
void exposure(ColorMap& m, int amount) {
    composeRule(m, [amount](int i) { return clamp10(wrapMul(wrapMul(1023 - i, i), amount) / 65536 + i); });
}

// Highlights flatten (or steepen) the top with slope TH at white, shadows
// the bottom with slope TS at black; both halves meet at (0.5, 0.5).
void lightDark(ColorMap& m, int highlights, int shadows) {
    int32_t dh = wrapSub(0, highlights);
    if (dh > 0) dh = wrapMul(dh, 68) / 100;  // positive values are scaled to 68 %
    int32_t ds = shadows;
    if (ds > 0) ds = wrapMul(ds, 68) / 100;
    const double th = std::tan(wrapAdd(dh, 100) * 0.00785398163397425);
    const double ts = std::tan(wrapAdd(ds, 100) * 0.00785398163397425);
    composeRule(m, [th, ts](int i) {
        const double t = i * kInv1023;
        if (i < 512) return clampCurveValue(((ts - 1) * 4 * t * t * t + (1 - ts) * 4 * t * t + ts * t) * 1023.0);
        return clampCurveValue(
            ((th - 1) * 4 * t * t * t + (1 - th) * 8 * t * t + (5 * th - 4) * t + 1 - th) * 1023.0);
    });
}

// An S curve around 511; negative amounts flatten, at most by -33.
void contrast(ColorMap& m, int amount) {
    const int32_t cc = amount < -33 ? -33 : amount;
    composeRule(m, [cc](int i) {
        const int32_t cubic = (1024 - i) * i * (i - 511) / 128;
        return clamp10(wrapMul(cubic, cc) / 131072 + i);
    });
}

// Stretches black..white (0..255 on the byte scale) to the full range.
void whiteBlackPoint(ColorMap& m, int white, int black) {
    const int32_t w = wrapMul(white, 1023) / 255;
    const int32_t b = wrapMul(black, 1023) / 255;
    composeRule(m, [w, b](int i) {
        if (i <= b) return 0;
        if (i >= w) return kToneMax;
        return wrapDiv(wrapMul(wrapSub(i, b), 1023), wrapSub(w, b));  // b < i < w: a positive divisor
    });
}

}  // namespace

}  // namespace lumetra::pt

using namespace lumetra::pt;

extern "C" {

LUMETRA_API ColorMap* LUMETRA_CALL ptBrightnessSP(ColorMap* m, int amount) {
    if (m && amount != 0) brightness(*m, amount);
    return m;
}

LUMETRA_API ColorMap* LUMETRA_CALL ptRealExposure(ColorMap* m, int stops100) {
    if (m && stops100 != 0) realExposure(*m, stops100);
    return m;
}

LUMETRA_API ColorMap* LUMETRA_CALL ptExposureSP(ColorMap* m, int amount) {
    if (m && amount != 0) exposure(*m, amount);
    return m;
}

LUMETRA_API ColorMap* LUMETRA_CALL ptLightDarkSP(ColorMap* m, int highlights, int shadows) {
    if (m && (highlights != 0 || shadows != 0)) lightDark(*m, highlights, shadows);
    return m;
}

LUMETRA_API ColorMap* LUMETRA_CALL ptContrastSP(ColorMap* m, int amount) {
    if (m && amount != 0) contrast(*m, amount);
    return m;
}

LUMETRA_API ColorMap* LUMETRA_CALL ptWhiteBlackPoint(ColorMap* m, int white, int black) {
    if (m && !(white == 255 && black == 0) && white >= black) whiteBlackPoint(*m, white, black);
    return m;
}

LUMETRA_API ColorMap* LUMETRA_CALL ptFillLightSP(ColorMap* m, int) { return m; }

}  // extern "C"
