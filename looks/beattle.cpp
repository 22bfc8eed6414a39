// "beattle": a lifting curve and a paper picture screened over at full
// strength, then the variant's finish, mostly weighted by the alpha of a
// second picture (the mask A2).
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/signature_data.h"
#include "looks/signature_layers.h"
#include "looks/signature_steps.h"
#include "looks/signature_walk.h"

namespace lumetra {

void applyBeattle(const IplImage* src, const IplImage* picture1, const IplImage* picture2, const IplImage* picture3,
                  IplImage* dst, int variant, const EffectRegion* region) {
    if (variant < 1 || variant > 5 || !lookPicturesUsable(src, dst)) return;
    const CanvasWindow window = canvasWindow(region, src);
    if (!hasArea(window)) return;
    const StretchedLayer paper(picture1, 3, window);
    const StretchedLayer masked(picture2, 4, window);
    const bool takesThird = variant == 1 || variant == 5;
    const StretchedLayer third = takesThird ? StretchedLayer(picture3, 3, window) : StretchedLayer();
    if (!paper || !masked || (takesThird && !third)) return;

    const CurveLutSet b0 = signatureLuts(SignatureCurve::b0);
    const CurveLutSet b1 = signatureLuts(SignatureCurve::b1);
    const auto core = source(src) | applyCurves(b0) | step<Screen>(paper.sampler<3>(), kOne15);
    switch (variant) {
        case 1:
            signatureWalk(dst, window,
                      core | keep<0>() | step<Difference>(curvesOf(b1, scratch<0>()), masked.alphaMask()) |
                          matrix(greyMixMatrix(0.98f, 0.68f, -0.66f)) | addEach(-1638) | clampBelow(0) |
                          clampAbove(kOne15) | step<Overlay>(third.sampler<3>(), 16384));
            break;
        case 2:
            signatureWalk(dst, window, core | step<Lighten>(masked.sampler<4>(), kOne15));
            break;
        case 3:
            signatureWalk(dst, window, core | step<Lighten>(curvesOf(b1, image(src)), masked.alphaMask()));
            break;
        case 4: {
            const CurveLutSet b2 = signatureLuts(SignatureCurve::b2);
            signatureWalk(dst, window,
                      core | keep<1>() | saturateKeepLightness(16384) | keep<2>() | applyCurves(b2) |
                          step<Add>(greyOf(scratch<2>()), kOne15) |
                          step<SoftLight>(curvesOf(b1, scratch<1>()), masked.alphaMask()));
            break;
        }
        default: {
            const CurveLutSet b3 = signatureLuts(SignatureCurve::b3);
            const CurveLutSet b4 = signatureLuts(SignatureCurve::b4);
            signatureWalk(dst, window,
                      core | keep<0>() | step<Dodge>(curvesOf(b4, scratch<0>()), masked.alphaMask()) |
                          matrix(greyMixMatrix(-0.04f, 1.13f, -0.09f)) | addEach(-1966) | keep<2>() |
                          applyCurves(b3) | matrix(kChromaMatrix) | step<Add>(scratch<2>(), kOne15) |
                          step<Overlay>(third.sampler<3>(), 16384));
            break;
        }
    }
}

}  // namespace lumetra
