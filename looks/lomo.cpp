// "lomo": levels and a saturation tied to the picture's own contrast, a
// full-strength darkening vignette, then the variant's curves.
// "lomo2": the variant's curves alone.
#include "engine/routines.h"
#include "looks/lomo_data.h"
#include "looks/look_steps.h"
#include "pixel/channel_tables.h"

namespace lumetra {

void applyLomo(const IplImage* src, IplImage* dst, int variant, const EffectRegion* region) {
    if (!lookPicturesUsable(src, dst)) return;
    // Sets 1 to 4 by number; every other value, 5 included, takes set 5.
    const bool ownSet = static_cast<unsigned>(variant) - 1u < 4u;
    const CurveLutSet curves = buildCurveLutSet(lomoPoints(ownSet ? variant : 5));
    const AutoLevels levels = measureAutoLevels(src, region, 0.1f, variant == 3 ? 0.2f : 0.1f);
    // Only variant 5 itself weakens the saturation; the fallbacks keep it.
    const float saturation =
        variant == 5 ? static_cast<float>(levels.range * static_cast<double>(0.3f)) : levels.range;
    const CanvasWindow window = canvasWindow(region, src);
    const VignetteShape shape = prepareVignette(-100, 0, window.width, window.height);

    pixelWalk(dst, window,
              source(src) | matrix(saturationMatrix(saturation)) | applyLevels(levels.scale) | clampBelow(0) |
                  vignette15(shape) | applyCurves(curves));
}

void applyLomo2(const IplImage* src, IplImage* dst, int variant, const EffectRegion*) {
    if (!lookPicturesUsable(src, dst)) return;
    const CurveLutSet curves = buildCurveLutSet(lomo2Points(variant >= 1 && variant <= 20 ? variant : 17));
    applyChannelTables(src, dst, tabulateChannels(applyCurves(curves)));
}

}  // namespace lumetra
