// Rendering of the pyramid family: where destination pixels sit in the
// picture, which levels a strength reaches, and the per-pixel mix of the two
// levels around a blur value b (0..32767).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tiltshift/context.h"
#include "tiltshift/line_geometry.h"

namespace lumetra::tiltshift {

// The optional view rectangle as a scale and an offset: destination pixel
// (x, y) shows picture pixel (((x + left) * scale) >> 15, likewise y), held
// to the picture.
struct ShiftView {
    int64_t scale = 32768;
    int64_t left = 0;
    int64_t top = 0;
    int32_t regionMinSide = 0;  // 0 without a region
};

// The levels and blur values a strength reaches.
struct BlurRange {
    int coarsest = 0;     // T, the coarsest level used
    int32_t maxBlur = 0;  // 0..32767
    int32_t minBlur = 0;  // 0..32768; at or past maxBlur means maxBlur
};

// The view of a destination, or false when it cannot be shown: a region
// without area, or no region and a destination of another size.
bool makeShiftView(const TiltShiftContext& context, const IplImage* dst, const EffectRegion* region,
                   ShiftView& view);

BlurRange blurRangeFor(const TiltShiftContext& context, float strength, const ShiftView& view);

// 0 below 256, otherwise floor(log2(b)) - 7.
inline int blurOctave(int32_t b) {
    if (b < 256) return 0;
    return std::bit_width(static_cast<uint32_t>(b)) - 8;
}

// Blur-value sources, one per form: prepare() takes the picture column of
// every destination column, fill() writes blur[x] for one picture row.
class DiscBlur {
public:
    DiscBlur(int centreX, int centreY, int64_t inner, int64_t outer, const BlurRange& range);
    void prepare(const std::vector<int32_t>& columns);
    void fill(int32_t pictureY, int32_t* blur) const;

private:
    int64_t centreX_, centreY_;
    float slope_;
    int64_t innerBlur_;
    BlurRange range_;
    std::vector<int64_t> dx2_;
};

class LineBlur {
public:
    LineBlur(int x1, int y1, int x2, int y2, int64_t inner, int64_t outer, const BlurRange& range);
    void prepare(const std::vector<int32_t>& columns);
    void fill(int32_t pictureY, int32_t* blur) const;

private:
    SharpLine line_;
    int64_t cos_, k_, innerBlur_;
    int nb_;
    BlurRange range_;
    std::vector<int32_t> columns_;
    std::vector<int64_t> lineAt_;  // across rows: the line's Y at each column
};

class EvenBlur {
public:
    explicit EvenBlur(const BlurRange& range) : blur_(range.maxBlur) {}
    void prepare(const std::vector<int32_t>& columns) { width_ = columns.size(); }
    void fill(int32_t pictureY, int32_t* blur) const;

private:
    int32_t blur_;
    std::size_t width_ = 0;
};

// Renders every destination pixel with the form's blur values. With
// intoLevel0 (no region) the 16-bit result also replaces level 0.
template <class Form>
void renderShift(TiltShiftContext& context, IplImage* dst, const ShiftView& view, const BlurRange& range,
                 Form& form, bool intoLevel0);
extern template void renderShift<DiscBlur>(TiltShiftContext&, IplImage*, const ShiftView&, const BlurRange&,
                                           DiscBlur&, bool);
extern template void renderShift<LineBlur>(TiltShiftContext&, IplImage*, const ShiftView&, const BlurRange&,
                                           LineBlur&, bool);
extern template void renderShift<EvenBlur>(TiltShiftContext&, IplImage*, const ShiftView&, const BlurRange&,
                                           EvenBlur&, bool);

}  // namespace lumetra::tiltshift
