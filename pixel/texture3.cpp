// "texture3": a mask picture chooses, pixel by pixel, between two curve
// looks of one source value Q: look A where the mask is black, look B where
// it is white. Q is the photo itself or, for some indexes, the photo with
// its saturation lowered.
#include "core/vector_clones.h"
#include "pixel/routines.h"
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

// Both looks of Q = p: p = A(Q), X = B(Q), then p = mix15(p, X, m).
template <PixelValue Weight>
class TwoLooks : public PixelOp {
public:
    TwoLooks(const CurveLutSet& a, const CurveLutSet& b, Weight m) : a_(a), b_(b), m_(std::move(m)) {}
    void start(const WalkFrame& frame) { m_.start(frame); }
    void rowStart(const RowSpot& spot) { m_.rowStart(spot); }
    template <class Px>
    void apply(Px& p, PixelContext& at) const {
        Rgb15 x{p.r, p.g, p.b};
        a_.apply(p, at);
        b_.apply(x, at);
        mixIn(p, x, m_.value(at));
    }

    // Over a row: each look through the curves' row form, then the mix.
    [[gnu::always_inline]] friend void applyRow(TwoLooks& op, const RowPlanes& row) {
        alignas(64) int32_t xPlanes[3][kRunLength];
        const RowPlanes x{xPlanes[0], xPlanes[1], xPlanes[2], row.width, row.first, row.x, row.y};
        for (int col = 0; col < row.width; ++col) {
            x.r[col] = row.r[col];
            x.g[col] = row.g[col];
            x.b[col] = row.b[col];
        }
        applyRow(op.a_, row);
        applyRow(op.b_, x);
        for (int col = 0; col < row.width; ++col) {
            const PixelContext at{row.first + col, 0, row.y, {}};
            Rgb15 p{row.r[col], row.g[col], row.b[col]};
            mixIn(p, Rgb15{x.r[col], x.g[col], x.b[col]}, op.m_.value(at));
            row.r[col] = p.r;
            row.g[col] = p.g;
            row.b[col] = p.b;
        }
    }

private:
    template <class Px>
    static void mixIn(Px& p, const Rgb15& x, int32_t m) {
        Rgb15 colour{p.r, p.g, p.b};
        blendInto<Opacity>(colour, x, m);
        p.r = colour.r;
        p.g = colour.g;
        p.b = colour.b;
    }

    CurvesStep a_;
    CurvesStep b_;
    Weight m_;
};
template <PixelValue Weight>
TwoLooks<Weight> twoLooks(const CurveLutSet& a, const CurveLutSet& b, Weight m) {
    return TwoLooks<Weight>(a, b, std::move(m));
}

// Q = src.
struct Unchanged : PixelOp {
    template <class Px>
    void apply(Px&, PixelContext&) const {}
};

template <PixelOperation PreStep>
LUMETRA_AVX2_CLONES void runLooks(const IplImage* src, IplImage* dst, const CanvasWindow& window, PreStep toQ,
                                const CurveLutSet& a, const CurveLutSet& b, const IplImage* mask,
                                const LayerTransform& stretch) {
    lookWalk(src, dst, window, toQ | twoLooks(a, b, maskWeight(layer<3>(mask, stretch))));
}

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
