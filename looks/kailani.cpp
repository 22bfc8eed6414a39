// "kailani": a warm curve, the pixel overlaid on itself, a light picture by
// soft light, 70 % saturation at the same lightness; then the variant's
// curves, a second picture, or a monochrome rebuilt from its chroma.
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/signature_data.h"
#include "looks/signature_layers.h"
#include "looks/signature_steps.h"
#include "looks/signature_walk.h"

namespace lumetra {

void applyKailani(const IplImage* src, const IplImage* picture1, const IplImage* picture2, IplImage* dst,
                  int variant, const EffectRegion* region) {
    if (!lookPicturesUsable(src, dst)) return;
    if (variant < 1 || variant > 5) variant = 1;
    const CanvasWindow window = canvasWindow(region, src);
    if (!hasArea(window)) return;
    const StretchedLayer light(picture1, 4, window);
    const bool takesSecond = variant == 3 || variant == 4;
    const StretchedLayer second =
        takesSecond ? StretchedLayer(picture2, variant == 3 ? 4 : 3, window) : StretchedLayer();
    if (!light || (takesSecond && !second)) return;

    const CurveLutSet k0 = signatureLuts(SignatureCurve::k0);
    const auto core = source(src) | applyCurves(k0) | keep<0>() | step<Overlay>(scratch<0>(), kOne15) |
                      step<SoftLight>(light.sampler<4>(), kOne15) | saturateKeepLightness(22938);
    switch (variant) {
        case 1: {
            const CurveLutSet k1 = signatureLuts(SignatureCurve::k1);
            signatureWalk(dst, window, core | applyCurves(k1));
            break;
        }
        case 2: {
            const CurveLutSet k3 = signatureLuts(SignatureCurve::k3);
            const CurveLutSet k2 = signatureLuts(SignatureCurve::k2);
            signatureWalk(dst, window, core | applyCurves(k3) | applyCurves(k2));
            break;
        }
        case 3: {
            const CurveLutSet k3 = signatureLuts(SignatureCurve::k3);
            const CurveLutSet k4 = signatureLuts(SignatureCurve::k4);
            signatureWalk(dst, window,
                      core | applyCurves(k3) | applyCurves(k4) | step<LinearDodge>(second.sampler<4>(), 13107));
            break;
        }
        case 4: {
            const CurveLutSet k5 = signatureLuts(SignatureCurve::k5);
            signatureWalk(dst, window,
                      core | matrix(greyMixMatrix(-0.04f, 1.13f, -0.09f)) | addEach(-1966) | clampBelow(0) |
                          clampAbove(kOne15) | keep<0>() | applyCurves(k5) | matrix(kChromaMatrix) |
                          step<Add>(scratch<0>(), kOne15) | step<Overlay>(second.sampler<3>(), 16384));
            break;
        }
        default: {
            const CurveLutSet k6 = signatureLuts(SignatureCurve::k6);
            const LevelsTable512 levels = levelsLut512(20, 255, 1.3f);
            signatureWalk(dst, window,
                      core | keep<0>() | applyCurves(k6) | matrix(kChromaMatrix) | step<Add>(scratch<0>(), kOne15) |
                          clampBelow(0) | clampAbove(32767) | levels512(levels));
            break;
        }
    }
}

}  // namespace lumetra
