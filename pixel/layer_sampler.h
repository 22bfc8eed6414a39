// Bilinear Q15 sampling of a layer picture at canvas positions.
//
// For a canvas position (X, Y) and a LayerTransform t:
//   ly = clamp(Y * t.scaleY + t.offsetY, 0, (layer height << 15) - 1),
//   y0 = ly >> 15, fy = ly & 32767, y1 = min(y0 + 1, height - 1);
//   lx likewise with x0, fx, x1. Per byte channel p:
//   s = ((p(x0,y0)(32768-fy) + p(x0,y1) fy) >> 15) (32768-fx)
//     + ((p(x1,y0)(32768-fy) + p(x1,y1) fy) >> 15) fx
// and the value is s >> 8 (a byte c on a pixel centre gives c << 7); alpha
// first adds 32768 when s >= 128 * 32768, so full cover samples to 32768.
// The vertical step is truncated to a whole byte before the horizontal one.
//
// The walk's order makes this cheap: the column positions and fractions are
// fixed for the whole call (start), the vertical step runs once per row for
// the layer columns the row can touch (rowStart), and a pixel's sample is
// then two reads and a multiply-add per channel.
#pragma once

#include <opencv2/core/core_c.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/image.h"
#include "pixel/pixel_walk.h"

namespace lumetra {

// Where a canvas coordinate falls on a layer axis of `size` pixels, in Q15,
// with the edge clamp (the bound itself is not reachable).
inline int32_t layerCoordinate15(int32_t canvas, int32_t scale, int32_t offset, int size) {
    const int32_t bound = size << 15;
    return std::clamp(wrapAdd(wrapMul(canvas, scale), offset), 0, bound - 1);
}

// Horizontal step of the sampler on two vertically interpolated bytes.
inline int32_t horizontal15(int32_t left, int32_t right, int32_t fx) { return left * (kOne15 - fx) + right * fx; }
inline int32_t colourSample15(int32_t s) { return s >> 8; }
inline int32_t alphaSample15(int32_t s) { return (s >= 128 * kOne15 ? s + kOne15 : s) >> 8; }

// A layer picture of `Channels` channels (3 or 4) sampled as a term: its
// value is Rgb15 (3 channels) or Rgba15 (4 channels). The picture must be a
// byte picture with sides up to kMaxLayerSide (see canFitLayer).
template <int Channels>
class LayerSampler : public PixelTerm {
public:
    using Sample = PixelOf<Channels>;

    LayerSampler(const IplImage* layer, const LayerTransform& transform) : layer_(layer), transform_(transform) {}

    void start(const WalkFrame& frame) {
        const size_t width = static_cast<size_t>(std::max(frame.width, 0));
        columnOffset_.resize(width);
        columnFraction_.resize(width);
        int first = frame.width > 0 ? layer_->width - 1 : 0, last = 0;
        for (size_t col = 0; col < width; ++col) {
            const int32_t lx = layerCoordinate15(wrapAdd(frame.x, static_cast<int32_t>(col)), transform_.scaleX,
                                                 transform_.offsetX, layer_->width);
            first = std::min(first, lx >> 15);
            last = std::max(last, lx >> 15);
            columnOffset_[col] = lx >> 15;
            columnFraction_[col] = lx & 32767;
        }
        // The row buffer holds the columns first..last and one more to the
        // right (x1), which repeats the edge column at the layer's border.
        firstColumn_ = first;
        bufferColumns_ = last - first + 2;
        rowBuffer_.assign(static_cast<size_t>(bufferColumns_) * Channels, 0);
        for (int32_t& offset : columnOffset_) offset = (offset - first) * Channels;
    }

    void rowStart(const RowSpot& spot) {
        const int32_t ly = layerCoordinate15(spot.y, transform_.scaleY, transform_.offsetY, layer_->height);
        const int y0 = ly >> 15;
        const int y1 = std::min(y0 + 1, layer_->height - 1);
        const int32_t fy = ly & 32767;
        const int lastLayerColumn = layer_->width - 1;
        const int realColumns = std::min(bufferColumns_, lastLayerColumn - firstColumn_ + 1);
        verticalPass(rowOf(layer_, y0) + firstColumn_ * Channels, rowOf(layer_, y1) + firstColumn_ * Channels, fy,
                     realColumns * Channels, rowBuffer_.data());
        if (realColumns < bufferColumns_) {  // x1 past the right edge: repeat the edge column
            int32_t* edge = rowBuffer_.data() + (realColumns - 1) * Channels;
            std::copy(edge, edge + Channels, edge + Channels);
        }
    }

    // The sample for the pixel's column (set up for this row by rowStart).
    Sample value(const PixelContext& at) const { return sampleColumn(at.col); }

    Sample sampleColumn(int col) const {
        const int32_t* left = rowBuffer_.data() + columnOffset_[col];
        const int32_t* right = left + Channels;
        const int32_t fx = columnFraction_[col];
        Sample s{};
        s.b = colourSample15(horizontal15(left[0], right[0], fx));
        s.g = colourSample15(horizontal15(left[1], right[1], fx));
        s.r = colourSample15(horizontal15(left[2], right[2], fx));
        if constexpr (Channels == 4) s.a = alphaSample15(horizontal15(left[3], right[3], fx));
        return s;
    }

    // Raw access for row kernels: the vertically interpolated bytes of the
    // current row and the per-column offset and fraction into them.
    const int32_t* rowBuffer() const { return rowBuffer_.data(); }
    const int32_t* columnOffsets() const { return columnOffset_.data(); }
    const int32_t* columnFractions() const { return columnFraction_.data(); }

private:
    static void verticalPass(const uint8_t* top, const uint8_t* bottom, int32_t fy, int count, int32_t* out) {
        for (int i = 0; i < count; ++i) out[i] = (top[i] * (kOne15 - fy) + bottom[i] * fy) >> 15;
    }

    const IplImage* layer_;
    LayerTransform transform_;
    int firstColumn_ = 0;
    int bufferColumns_ = 0;
    std::vector<int32_t> rowBuffer_;
    std::vector<int32_t> columnOffset_;
    std::vector<int32_t> columnFraction_;
};

}  // namespace lumetra
