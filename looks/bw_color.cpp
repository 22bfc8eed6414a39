// "bw_color": grey, stretched by the levels of the variant's clip
// fractions; variant 1 adds a darkening vignette of half the larger side.
#include "looks/color_data.h"
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/row_walk.h"

namespace lumetra {

namespace {
LUMETRA_VECTOR_CLONES void bwColorWalk(const IplImage* src, IplImage* dst, const CanvasWindow& window, ColorScale stretch,
                                     bool vignetted) {
    const auto grey = fused(toGrey() | applyLevels(stretch) | clampBelow(0));
    if (vignetted)
        lookWalk(src, dst, window, grey | vignette12(prepareVignette(-80, -100, window.width, window.height)));
    else
        lookWalk(src, dst, window, grey);
}
}  // namespace

void applyBwColor(const IplImage* src, IplImage* dst, int variant, const EffectRegion* region) {
    if (!lookPicturesUsable(src, dst)) return;
    const ClipFractions clips = bwColorClips(variant);
    const AutoLevels levels = measureAutoLevels(src, region, clips.lower, clips.upper);
    const CanvasWindow window = canvasWindow(region, src);
    bwColorWalk(src, dst, window, levels.scale, variant == 1);
}

}  // namespace lumetra
