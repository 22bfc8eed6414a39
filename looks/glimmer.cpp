// "glimmer": a transparent overlay laid over the photo by its own alpha, a
// tone curve, a texture overlaid at 10 %, a second curve, then the variant's
// finish with a third picture, a warm screen or a last curve.
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/signature_data.h"
#include "looks/signature_layers.h"
#include "looks/signature_steps.h"
#include "looks/signature_walk.h"

namespace lumetra {

namespace {

constexpr Rgb15 kWarmScreen{26112, 6528, 0};  // bytes (204, 51, 0)

}  // namespace

void applyGlimmer(const IplImage* src, const IplImage* picture1, const IplImage* picture2, const IplImage* picture3,
                  IplImage* dst, int variant, const EffectRegion* region) {
    if (variant < 1 || variant > 4 || !lookPicturesUsable(src, dst)) return;
    const CanvasWindow window = canvasWindow(region, src);
    if (!hasArea(window)) return;
    const StretchedLayer overlay(picture1, 4, window);
    const StretchedLayer texture(picture2, 3, window);
    const StretchedLayer finish =
        variant == 4 ? StretchedLayer() : StretchedLayer(picture3, variant == 1 ? 3 : 4, window);
    if (!overlay || !texture || (variant != 4 && !finish)) return;

    const CurveLutSet g1 = signatureLuts(SignatureCurve::g1);
    const CurveLutSet g2 = signatureLuts(SignatureCurve::g2);
    const auto core = source(src) | step<Opacity>(overlay.sampler<4>(), kOne15) | applyCurves(g1) |
                      step<Overlay>(texture.sampler<3>(), 3276) | applyCurves(g2);
    switch (variant) {
        case 1:
            signatureWalk(dst, window, core | step<LinearBurn>(finish.sampler<3>(), 8192));
            break;
        case 2:
            signatureWalk(dst, window, core | step<SoftLight>(finish.sampler<4>(), 16384));
            break;
        case 3: {
            const CurveLutSet g3 = signatureLuts(SignatureCurve::g3);
            signatureWalk(dst, window,
                      core | step<Screen>(constant(kWarmScreen), 16384) | step<Overlay>(finish.sampler<4>(), kOne15) |
                          applyCurves(g3));
            break;
        }
        default: {
            const CurveLutSet g4 = signatureLuts(SignatureCurve::g4);
            signatureWalk(dst, window, core | applyCurves(g4));
            break;
        }
    }
}

}  // namespace lumetra
