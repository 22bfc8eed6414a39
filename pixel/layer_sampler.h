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
// The vertical step is truncated to a whole byte before the horizontal one
// (core::bilinear15 with FirstAxis::Down, shifts 15 and 0).
//
// The walk's order makes this cheap: the column positions and fractions are
// fixed for the whole call (start); at each row (rowStart) the vertical step
// runs once for the layer columns the row can touch, then the horizontal
// step once per destination column into a row of samples, both as plain
// vectorisable loops; a pixel's sample is then a read.
#pragma once

#include <opencv2/core/core_c.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/bilinear.h"
#include "core/image.h"
#include "core/vector_clones.h"
#include "pixel/pixel_walk.h"

namespace lumetra {

// Where a canvas coordinate falls on a layer axis of `size` pixels, in Q15,
// with the edge clamp (the bound itself is not reachable).
inline int32_t layerCoordinate15(int32_t canvas, int32_t scale, int32_t offset, int size) {
    const int32_t bound = size << 15;
    return std::clamp(wrapAdd(wrapMul(canvas, scale), offset), 0, bound - 1);
}

// Horizontal step of the sampler on two vertically interpolated bytes.
inline int32_t horizontal15(int32_t left, int32_t right, int32_t fx) { return core::lerpSum15(left, right, fx); }
inline int32_t colourSample15(int32_t s) { return s >> 8; }
inline int32_t alphaSample15(int32_t s) { return (s >= 128 * kOne15 ? s + kOne15 : s) >> 8; }

// The vertical step for one row pair: whole byte values, channel by channel.
void verticalPass(const uint8_t* top, const uint8_t* bottom, int32_t fy, int count, int16_t* out);

// Each vertically interpolated byte v of the row, packed with the step d to
// the same channel of the next column: ((v << 7) << 16) | (d & 0xffff). One
// read then gives both neighbours of a sample, the left one already in Q15.
void packNeighbours(const int16_t* vertical, int channels, int count, uint32_t* packed);

// A prepared row as the horizontal step reads it, from some destination
// column on: the packed pairs, and each column's first pair and fraction.
struct PreparedRow {
    const uint32_t* packed;
    int packedSize;  // elements of packed, the spare one included
    const int32_t* pairIndex;
    const int32_t* fraction;
};

// The horizontal step, column by column: column col reads the packed pairs
// from pairIndex[col] (Channels of them) with fraction[col]. Since v << 15
// is a multiple of 256, (v (32768 - fx) + (v + d) fx) >> 8 = (v << 7) +
// ((d fx) >> 8). Interleaved rows get Channels samples per column; a split
// row (4 channels) gets B, G, R in `colour` and the alpha, with the alpha
// rule applied, three times in `cover`. The alpha rule: s >> 8 >= 16384
// means s >= 128 * 32768, and (s + 32768) >> 8 = (s >> 8) + 128. Every
// output and `packed` hold one spare element past their end (one
// 4-lane load or store per column).
void horizontalColumns3(const PreparedRow& row, int width, int32_t* colour);
void horizontalColumns4(const PreparedRow& row, int width, int32_t* samples);
void horizontalColumnsSplit(const PreparedRow& row, int width, int32_t* colour, int32_t* cover);

// One sample of a sampled row (Channels values, B, G, R[, A]).
template <int Channels>
inline PixelOf<Channels> sampleAt(const int32_t* v) {
    PixelOf<Channels> s{};
    s.b = v[0];
    s.g = v[1];
    s.r = v[2];
    if constexpr (Channels == 4) s.a = v[3];
    return s;
}

// How a sampled row is laid out. `interleaved`: Channels values per column
// (B, G, R[, A]). `colourThenCover` (4 channels only): the row's colour
// values, 3 per column, then its cover (alpha) repeated 3 times per column,
// so a row kernel that weights each colour byte by its cover runs as one
// flat loop over bytes. Either way the column set-up is done once per call
// and the row's two passes (vertical per layer column, horizontal per
// destination column) run before the row's pixels.
enum class SampleLayout { interleaved, colourThenCover };

// A layer picture of `Channels` channels (3 or 4) sampled as a term: its
// value is Rgb15 (3 channels) or Rgba15 (4 channels). The picture must be a
// byte picture with sides up to kMaxLayerSide (see canFitLayer).
template <int Channels>
class LayerSampler : public PixelTerm {
public:
    using Sample = PixelOf<Channels>;

    LayerSampler(const IplImage* layer, const LayerTransform& transform,
                 SampleLayout layout = SampleLayout::interleaved)
        : layer_(layer), transform_(transform), split_(Channels == 4 && layout == SampleLayout::colourThenCover) {}

    void start(const WalkFrame& frame) {
        columns_ = std::max(frame.width, 0);
        const size_t width = static_cast<size_t>(columns_);
        columnOffset_.resize(width);
        columnFraction_.resize(width);
        int first = columns_ > 0 ? layer_->width - 1 : 0, last = 0;
        for (size_t col = 0; col < width; ++col) {
            const int32_t lx = layerCoordinate15(wrapAdd(frame.x, static_cast<int32_t>(col)), transform_.scaleX,
                                                 transform_.offsetX, layer_->width);
            const core::Split15 at = core::split15(lx);
            first = std::min(first, at.whole);
            last = std::max(last, at.whole);
            columnOffset_[col] = at.whole;
            columnFraction_[col] = at.fraction;
        }
        // The vertical buffer holds the columns first..last and one more to
        // the right (x1), which repeats the edge column at the layer's border.
        firstColumn_ = first;
        bufferColumns_ = last - first + 2;
        vertical_.assign(static_cast<size_t>(bufferColumns_) * Channels, 0);
        packed_.assign(static_cast<size_t>(bufferColumns_ - 1) * Channels + 1, 0);  // one spare
        for (size_t col = 0; col < width; ++col) columnOffset_[col] = (columnOffset_[col] - first) * Channels;
        samples_.assign(width * (split_ ? 3 : Channels) + 1, 0);  // one spare
        cover_.assign(split_ ? width * 3 + 1 : 0, 0);
    }

    void rowStart(const RowSpot& spot) {
        prepareRow(spot);
        sampleColumns(0, columns_, samples_.data(), cover_.data());
    }

    // The row's first half: the vertical step over the layer columns the
    // row touches, packed in neighbour pairs.
    void prepareRow(const RowSpot& spot) {
        const int32_t ly = layerCoordinate15(spot.y, transform_.scaleY, transform_.offsetY, layer_->height);
        const core::Split15 at = core::split15(ly);
        const int y0 = at.whole;
        const int y1 = std::min(y0 + 1, layer_->height - 1);
        const int32_t fy = at.fraction;
        const int realColumns = std::min(bufferColumns_, layer_->width - firstColumn_);
        verticalPass(rowOf(layer_, y0) + firstColumn_ * Channels, rowOf(layer_, y1) + firstColumn_ * Channels, fy,
                     realColumns * Channels, vertical_.data());
        if (realColumns < bufferColumns_) {  // x1 past the right edge: repeat the edge column
            int16_t* edge = vertical_.data() + (realColumns - 1) * Channels;
            std::copy(edge, edge + Channels, edge + Channels);
        }
        packNeighbours(vertical_.data(), Channels, static_cast<int>(packed_.size()) - 1, packed_.data());
    }

    // The second half for destination columns first .. first + count - 1 of
    // a prepared row, in this sampler's layout: `samples` (and, split,
    // `cover`) must hold one spare element past what is written. A row
    // kernel samples a few hundred columns at a time so its samples stay
    // in the L1 cache.
    void sampleColumns(int first, int count, int32_t* samples, int32_t* cover) const {
        if constexpr (Channels == 3)
            horizontalColumns3(preparedRow(first), count, samples);
        else if (split_)
            horizontalColumnsSplit(preparedRow(first), count, samples, cover);
        else
            horizontalColumns4(preparedRow(first), count, samples);
    }

    // The prepared row (prepareRow) from destination column `first` on.
    PreparedRow preparedRow(int first) const {
        return {packed_.data(), static_cast<int>(packed_.size()), columnOffset_.data() + first,
                columnFraction_.data() + first};
    }

    // The sample for the pixel's column (set up for this row by rowStart).
    // Interleaved layout only.
    Sample value(const PixelContext& at) const { return sampleColumn(at.col); }

    Sample sampleColumn(int col) const { return sampleAt<Channels>(samples_.data() + col * Channels); }

    // The current row's samples, Channels Q15 values per destination column
    // in picture order (B, G, R[, A]): what row kernels read. In the split
    // layout, 3 colour values per column (B, G, R).
    const int32_t* rowSamples() const { return samples_.data(); }
    // Split layout: the current row's cover, 3 equal values per column.
    const int32_t* rowCover() const { return cover_.data(); }

private:
    const IplImage* layer_;
    LayerTransform transform_;
    bool split_;
    int columns_ = 0;
    int firstColumn_ = 0;
    int bufferColumns_ = 0;
    std::vector<int16_t> vertical_;
    std::vector<int32_t> columnOffset_;  // after start: the column's first packed pair
    std::vector<int32_t> columnFraction_;
    std::vector<uint32_t> packed_;
    std::vector<int32_t> samples_;
    std::vector<int32_t> cover_;
};

}  // namespace lumetra
