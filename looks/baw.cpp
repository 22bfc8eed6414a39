// "baw": a fixed grey mix a little brighter than grey, then per-channel
// curves that tint it (a split-toned black and white). The whole picture
// is processed; a region changes nothing.
#include "looks/bw_data.h"
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/row_walk.h"

namespace lumetra {

namespace {
LUMETRA_VECTOR_CLONES void bawWalk(const IplImage* src, IplImage* dst, const CurveLutSet& curves) {
    lookWalk(src, dst, canvasWindow(nullptr, src),
             matrix(kBawGreyMix) | clampBelow(0) | clampAbove(kOne15) | applyCurves(curves));
}
}  // namespace

void applyBaw(const IplImage* src, IplImage* dst, int variant, const EffectRegion*) {
    if (!lookPicturesUsable(src, dst) || (variant != 1 && variant != 2)) return;
    bawWalk(src, dst, buildCurveLutSet(bawPoints(variant)));
}

}  // namespace lumetra
