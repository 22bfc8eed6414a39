// "vignetting" and "vignetting2": levels and a saturation scaled from the
// measured range, then a darkening towards the edges: a radial falloff, or
// a mask picture stretched over the canvas.
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/row_walk.h"
#include "pixel/sample_windows512.h"

namespace lumetra {

namespace {

#if LUMETRA_AVX2_INTRINSICS
LUMETRA_AVX512_WARNINGS_OFF
// maskedRun sixteen columns a step: two permutations per channel take its
// samples out of the three loads of interleaved ones (channelOfBlocks).
LUMETRA_AVX512_VBMI int maskedRun512(const RowPlanes& row, const int32_t* samples) {
    int32_t* const planes[3] = {row.b, row.g, row.r};
    int col = 0;
    for (; col + 16 <= row.width; col += 16) {
        const int32_t* s = samples + 3 * col;
        const __m512i blocks[3] = {_mm512_loadu_si512(s), _mm512_loadu_si512(s + 16), _mm512_loadu_si512(s + 32)};
        for (int c = 0; c < 3; ++c) {
            const __m512i sample = channelOfBlocks(blocks, c);
            const __m512i value = _mm512_loadu_si512(planes[c] + col);
            _mm512_storeu_si512(planes[c] + col,
                                _mm512_srai_epi32(_mm512_mullo_epi32(value, _mm512_srai_epi32(sample, 7)), 8));
        }
    }
    return col;
}
LUMETRA_AVX512_WARNINGS_ON
#endif

// Each channel of a run times its mask sample: the samples lie in B, G, R
// order per column.
inline void maskedRun(const RowPlanes& row, const int32_t* samples) {
    int col = 0;
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx512Vbmi()) col = maskedRun512(row, samples);
#endif
    for (; col < row.width; ++col) {
        row.b[col] = (row.b[col] * (samples[3 * col] >> 7)) >> 8;
        row.g[col] = (row.g[col] * (samples[3 * col + 1] >> 7)) >> 8;
        row.r[col] = (row.r[col] * (samples[3 * col + 2] >> 7)) >> 8;
    }
}

// Each channel scaled by the mask's bilinear sample on the byte scale:
// (c * m) >> 8, so 255 keeps 255/256 and 0 gives black.
class MaskStep : public PixelOp {
public:
    explicit MaskStep(LayerSampler<3> mask) : mask_(std::move(mask)) {}
    void start(const WalkFrame& frame) { mask_.start(frame); }
    void rowStart(const RowSpot& spot) { mask_.rowStart(spot); }
    template <class Px>
    void apply(Px& p, PixelContext& at) const {
        const Rgb15 m = mask_.value(at);
        p.r = (p.r * (m.r >> 7)) >> 8;
        p.g = (p.g * (m.g >> 7)) >> 8;
        p.b = (p.b * (m.b >> 7)) >> 8;
    }
    friend void applyRow(MaskStep& step, const RowPlanes& row) {
        maskedRun(row, step.mask_.rowSamples() + 3 * row.first);
    }

private:
    LayerSampler<3> mask_;
};
MaskStep multiplyByMask(LayerSampler<3> mask) { return MaskStep(std::move(mask)); }

// The levels stretch and the saturation matrix of the measured range times
// saturationScale (the product stored as a float).
struct VignettingBase {
    ColorScale stretch;
    ColorMatrix15 saturation;
};
VignettingBase measureBase(const IplImage* src, const EffectRegion* region, float lowClip, float highClip,
                           float saturationScale) {
    const AutoLevels levels = measureAutoLevels(src, region, lowClip, highClip);
    const float s = static_cast<float>(static_cast<double>(levels.range) * saturationScale);
    return {levels.scale, saturationMatrix(s)};
}

LUMETRA_VECTOR_CLONES void radialWalk(const IplImage* src, IplImage* dst, const CanvasWindow& window,
                                    const VignettingBase& base, const VignetteShape& shape) {
    lookWalk(src, dst, window,
             fused(matrix(base.saturation) | applyLevels(base.stretch) | clampBelow(0)) | vignette12(shape));
}

LUMETRA_AVX2_CLONES void maskWalk(const IplImage* src, IplImage* dst, const CanvasWindow& window,
                                const VignettingBase& base, const IplImage* mask, const LayerTransform& stretch) {
    lookWalk(src, dst, window,
             fused(matrix(base.saturation) | applyLevels(base.stretch) | clampBelow(0)) |
                 multiplyByMask(layer<3>(mask, stretch)));
}

}  // namespace

void applyVignetting2(const IplImage* src, IplImage* dst, int amount, int radiusExp, float lowClip, float highClip,
                      float saturationScale, const EffectRegion* region) {
    if (!lookPicturesUsable(src, dst)) return;
    const VignettingBase base = measureBase(src, region, lowClip, highClip, saturationScale);
    const CanvasWindow window = canvasWindow(region, src);
    const VignetteShape shape = prepareVignette(amount, radiusExp, window.width, window.height);

    radialWalk(src, dst, window, base, shape);
}

void applyVignetting(const IplImage* src, IplImage* dst, const IplImage* mask, float lowClip, float highClip,
                     float saturationScale, const EffectRegion* region) {
    if (!mask) return applyVignetting2(src, dst, -100, 0, lowClip, highClip, saturationScale, region);
    if (!lookPicturesUsable(src, dst) || !isBytePicture(mask, 3)) return;
    const CanvasWindow window = canvasWindow(region, src);
    if (!canFitLayer(mask->width, mask->height, window.width, window.height, kFitStretch)) return;
    const VignettingBase base = measureBase(src, region, lowClip, highClip, saturationScale);
    const LayerTransform stretch = fitLayer(mask->width, mask->height, window.width, window.height, kFitStretch);

    maskWalk(src, dst, window, base, mask, stretch);
}

}  // namespace lumetra
