// "johnny": the photo soft-lit by a texture, turned into a warm duotone of
// its lightness, recombined with the untouched source by multiply and soft
// light, curved, soft-lit by a second texture and curved again; then pulled
// toward grey, lit pale yellow, or rebuilt from a monochrome base.
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/signature_data.h"
#include "looks/signature_layers.h"
#include "looks/signature_steps.h"
#include "looks/signature_walk.h"

namespace lumetra {

namespace {
constexpr Rgb15 kPaleYellow{32640, 32640, 26112};  // bytes (255, 255, 204)
}  // namespace

void applyJohnny(const IplImage* src, const IplImage* picture1, const IplImage* picture2, const IplImage* picture3,
                 IplImage* dst, int variant, const EffectRegion* region) {
    if (variant < 1 || variant > 3 || !lookPicturesUsable(src, dst)) return;
    const CanvasWindow window = canvasWindow(region, src);
    if (!hasArea(window)) return;
    const StretchedLayer first(picture1, 3, window);
    const StretchedLayer second(picture2, 3, window);
    const StretchedLayer mono = variant == 3 ? StretchedLayer(picture3, 4, window) : StretchedLayer();
    if (!first || !second || (variant == 3 && !mono)) return;

    const CurveLutSet j1 = signatureLuts(SignatureCurve::j1);
    const CurveLutSet j2 = signatureLuts(SignatureCurve::j2);
    const auto core = source(src) | keep<0>() | clampBelow(0) | clampAbove(kOne15) |
                      step<SoftLight>(first.sampler<3>(), kOne15) | lightnessDuotone() |
                      step<Multiply>(scratch<0>(), 16384) | step<SoftLight>(scratch<0>(), kOne15) | applyCurves(j1) |
                      step<SoftLight>(second.sampler<3>(), kOne15) | applyCurves(j2);
    switch (variant) {
        case 1:
            // W, the clamped grey mix, is kept; p comes back and moves 75 % toward it.
            signatureWalk(dst, window,
                      core | keep<1>() | matrix(greyMixMatrix(0.81f, 0.07f, 0.12f)) | clampAbove(kOne15) | keep<2>() |
                          source(scratch<1>()) | step<Opacity>(scratch<2>(), 24576));
            break;
        case 2:
            signatureWalk(dst, window, core | step<SoftLight>(constant(kPaleYellow), 22937));
            break;
        default: {
            const CurveLutSet j3 = signatureLuts(SignatureCurve::j3);
            signatureWalk(dst, window,
                      core | matrix(greyMixMatrix(-0.04f, 1.13f, -0.09f)) | addEach(-1966) | keep<1>() |
                          applyCurves(j3) | matrix(kChromaMatrix) | step<Add>(scratch<1>(), kOne15) |
                          step<Overlay>(mono.sampler<4>(), 16384));
            break;
        }
    }
}

}  // namespace lumetra
