// "lomo": levels and a saturation tied to the picture's own contrast, a
// full-strength darkening vignette, then the variant's curves.
// "lomo2": the variant's curves alone.
#include "looks/lomo_data.h"
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/row_walk.h"
#include "pixel/channel_tables.h"

namespace lumetra {

namespace {
LUMETRA_VECTOR_CLONES void lomoWalk(const IplImage* src, IplImage* dst, const CanvasWindow& window,
                                  const ColorMatrix15& saturation, ColorScale stretch, const VignetteShape& shape,
                                  const CurveLutSet& curves) {
    lookWalk(src, dst, window,
             fused(matrix(saturation) | applyLevels(stretch) | clampBelow(0)) | vignette15(shape) | applyCurves(curves));
}
}  // namespace

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

    lomoWalk(src, dst, window, saturationMatrix(saturation), levels.scale, shape, curves);
}

void applyLomo2(const IplImage* src, IplImage* dst, int variant, const EffectRegion*) {
    if (!lookPicturesUsable(src, dst)) return;
    const CurveLutSet curves = buildCurveLutSet(lomo2Points(variant >= 1 && variant <= 20 ? variant : 17));
    applyChannelTables(src, dst, tabulateChannels(applyCurves(curves)));
}

}  // namespace lumetra
