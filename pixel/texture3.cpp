// "texture3": a mask picture chooses, pixel by pixel, between two curve
// looks of one source value Q: look A where the mask is black, look B where
// it is white. Q is the photo itself or, for some indexes, the photo with
// its saturation lowered.
#include "engine/routines.h"
#include "pixel/texture_data.h"
#include "pixel/texture_steps.h"

namespace lumetra {

namespace {

// The mask's weight m: the green channel of its sample, plus 1 above 127,
// so white (32640) weighs 32641 and leaves a trace of look A.
template <PixelValue Mask>
class MaskWeight : public PixelTerm {
public:
    explicit MaskWeight(Mask mask) : mask_(std::move(mask)) {}
    void start(const WalkFrame& frame) { mask_.start(frame); }
    void rowStart(const RowSpot& spot) { mask_.rowStart(spot); }
    int32_t value(const PixelContext& at) const {
        const int32_t green = mask_.value(at).g;
        return green > 127 ? green + 1 : green;
    }

private:
    Mask mask_;
};
template <PixelValue Mask>
MaskWeight<Mask> maskWeight(Mask mask) {
    return MaskWeight<Mask>(std::move(mask));
}

// Q (slot 0) through both looks: p = A(Q), then p = mix15(p, B(Q), m).
template <PixelOperation PreStep>
void runLooks(const IplImage* src, IplImage* dst, const CanvasWindow& window, PreStep toQ, const CurveLutSet& a,
              const CurveLutSet& b, const IplImage* mask, const LayerTransform& stretch) {
    pixelWalk(dst, window,
              source(src) | toQ | keep<0>() | applyCurves(a) |
                  step<Opacity>(curved(scratch<0>(), b), maskWeight(layer<3>(mask, stretch))));
}

// Q = src.
struct Unchanged : PixelOp {
    template <class Px>
    void apply(Px&, PixelContext&) const {}
};

}  // namespace

void applyTexture3(const IplImage* src, IplImage* dst, const IplImage* mask, int index, const EffectRegion* region) {
    const CanvasWindow window = canvasWindow(region, src);
    if (!textureCanvasUsable(src, dst, window) || !textureUsable(mask, 3)) return;
    const Texture3Looks& looks = texture3Looks(index);
    const CurveLutSet a = buildCurveLutSet(looks.a);
    const CurveLutSet b = buildCurveLutSet(looks.b);
    const LayerTransform stretch = fitLayer(mask->width, mask->height, window.width, window.height, kFitStretch);
    switch (index) {
        case 2:  // saturation times 18023 / 32768 (0.55)
            return runLooks(src, dst, window, hsvSaturation(everyHue(-14745)), a, b, mask, stretch);
        case 4:
            return runLooks(src, dst, window, matrix(saturationMatrix(0.5)), a, b, mask, stretch);
        case 7:  // saturation times 21300 / 32768 (0.65)
            return runLooks(src, dst, window, hsvSaturation(everyHue(-11468)), a, b, mask, stretch);
        default:
            return runLooks(src, dst, window, Unchanged{}, a, b, mask, stretch);
    }
}

}  // namespace lumetra
