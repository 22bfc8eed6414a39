// "bw_color": grey, stretched by the levels of the variant's clip
// fractions; variant 1 adds a darkening vignette of half the larger side.
#include "engine/routines.h"
#include "looks/color_data.h"
#include "looks/look_steps.h"

namespace lumetra {

void applyBwColor(const IplImage* src, IplImage* dst, int variant, const EffectRegion* region) {
    if (!lookPicturesUsable(src, dst)) return;
    const ClipFractions clips = bwColorClips(variant);
    const AutoLevels levels = measureAutoLevels(src, region, clips.lower, clips.upper);
    const CanvasWindow window = canvasWindow(region, src);
    const auto grey = source(src) | toGrey() | applyLevels(levels.scale) | clampBelow(0);

    if (variant == 1)
        pixelWalk(dst, window, grey | vignette12(prepareVignette(-80, -100, window.width, window.height)));
    else
        pixelWalk(dst, window, grey);
}

}  // namespace lumetra
