// The pyramid family's entry points: checks, then one named rendering.
#include <cmath>
#include <new>

#include "tiltshift/shift_render.h"

using namespace lumetra;
using namespace lumetra::tiltshift;

namespace {

// What every apply needs before rendering: a context, an 8-bit BGR
// destination, a finite strength and a usable view.
bool readyToApply(TiltShiftContext* context, IplImage* dst, float strength, const EffectRegion* region,
                  ShiftView& view) {
    if (!context || !isBytePicture(dst, 3) || !std::isfinite(strength)) return false;
    return makeShiftView(*context, dst, region, view);
}

// A smaller outer value stands for twice the inner one; the blur must grow
// outwards, so an outer value that is still not past the inner one refuses.
bool sharpZone(int inner, int outer, int64_t& outerUsed) {
    outerUsed = outer < inner ? int64_t{inner} * 2 : outer;
    return outerUsed > inner;
}

// The row tables are made before any pixel is written: without memory for
// them the destination is left as it was.
template <class Form>
void renderGuarded(TiltShiftContext& context, IplImage* dst, const ShiftView& view, const BlurRange& range,
                   Form& form, bool intoLevel0) {
    try {
        renderShift(context, dst, view, range, form, intoLevel0);
    } catch (const std::bad_alloc&) {
    }
}

}  // namespace

extern "C" LUMETRA_API TiltShiftContext* LUMETRA_CALL doShiftStart(IplImage* src) {
    if (!isBytePicture(src, 3)) return nullptr;
    try {
        auto context = std::make_unique<TiltShiftContext>();
        buildSplineWeights(context->weights);
        buildTransferTables(context->tables);
        context->levels = buildPyramid(context->tables, context->weights, src);
        if (context->levels.empty()) return nullptr;
        return context.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

extern "C" LUMETRA_API void LUMETRA_CALL AppplyShiftRound(TiltShiftContext* context, IplImage* dst, float strength,
                                                         int centreX, int centreY, int inner, int outer,
                                                         EffectRegion* region, int keep) {
    ShiftView view;
    int64_t outerUsed = 0;
    if (!readyToApply(context, dst, strength, region, view) || !sharpZone(inner, outer, outerUsed)) return;
    const BlurRange range = blurRangeFor(*context, strength, view);
    DiscBlur disc(centreX, centreY, inner, outerUsed, range);
    renderGuarded(*context, dst, view, range, disc, keep == 0 && !region);
}

extern "C" LUMETRA_API void LUMETRA_CALL AppplyShiftLine(TiltShiftContext* context, IplImage* dst, float strength,
                                                        int x1, int y1, int x2, int y2, int inner, int outer,
                                                        EffectRegion* region, int keep) {
    ShiftView view;
    int64_t outerUsed = 0;
    if (!readyToApply(context, dst, strength, region, view) || !sharpZone(inner, outer, outerUsed)) return;
    if (x1 == x2 && y1 == y2) return;
    const BlurRange range = blurRangeFor(*context, strength, view);
    LineBlur line(x1, y1, x2, y2, inner, outerUsed, range);
    renderGuarded(*context, dst, view, range, line, keep == 0 && !region);
}

extern "C" LUMETRA_API void LUMETRA_CALL AppplyShiftBlur(TiltShiftContext* context, IplImage* dst, float strength,
                                                        EffectRegion* region) {
    ShiftView view;
    if (!readyToApply(context, dst, strength, region, view)) return;
    BlurRange range = blurRangeFor(*context, strength, view);
    range.minBlur = 0;  // every pixel takes the full blur
    EvenBlur even(range);
    renderGuarded(*context, dst, view, range, even, false);
}

extern "C" LUMETRA_API void LUMETRA_CALL doShiftEnd(TiltShiftContext* context) { delete context; }
