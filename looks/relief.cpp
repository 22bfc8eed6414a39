// Relief shading. The shade of an interior pixel comes from the luminance
// sums of its 3 x 3 neighbourhood in the picture before the step:
//   gy = top row - bottom row, gx = left column - right column,
//   n = gx + gy + k, q = sqrt(gx^2 + gy^2 + k^2) stored as a float,
//   grey:       v = trunc(n * 147.2095947265625 / q)   (0 when n <= 0)
//   multiplied: f = trunc(n * 2355.353515625 / q), c = (c * f) >> 12.
// A flat area has n = q = k: grey 147, colours times 2355 / 4096.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "looks/color_effect_steps.h"
#include "looks/row_walk.h"

namespace lumetra {

namespace {

constexpr double kGreyScale = 147.2095947265625;
constexpr double kMultiplyScale = 2355.353515625;

// L = (9798 R + 19234 G + 3736 B) >> 10 of each pixel of a row.
void rowLuminance(const uint8_t* __restrict in, int32_t* __restrict out, int width) {
    for (int x = 0; x < width; ++x) out[x] = (9798 * in[3 * x + 2] + 19234 * in[3 * x + 1] + 3736 * in[3 * x]) >> 10;
}

// The shade of columns 1..width-2 from the luminance of the rows above,
// at and below, scaled by `scale`.
LUMETRA_VECTOR_CLONES void shadeFactors(const int32_t* __restrict above, const int32_t* __restrict here,
                                      const int32_t* __restrict below, int32_t* __restrict factor, int width,
                                      int32_t k, double scale) {
    const double kk = double(k) * k;
    for (int x = 1; x < width - 1; ++x) {
        const int32_t gy = (above[x - 1] + above[x] + above[x + 1]) - (below[x - 1] + below[x] + below[x + 1]);
        const int32_t gx = (above[x - 1] + here[x - 1] + below[x - 1]) - (above[x + 1] + here[x + 1] + below[x + 1]);
        const int32_t n = gx + gy + k;
        const float q = static_cast<float>(std::sqrt(double(gx) * gx + double(gy) * gy + kk));
        const int32_t shade = static_cast<int32_t>(double(n) * scale / double(q));
        factor[x] = n > 0 ? shade : 0;
    }
}

void copyPixel(uint8_t* row, int to, int from) { std::memcpy(row + 3 * to, row + 3 * from, 3); }

// Row 0 repeats row 1 and the last row the one before it; then the first
// and last pixel of every row repeat their neighbours. A 1-pixel-high
// picture has no row to repeat, a 1-pixel-wide one no column.
void repeatBorders(IplImage* picture) {
    const int width = picture->width, height = picture->height;
    if (height > 1) {
        std::memcpy(rowOf(picture, 0), rowOf(picture, 1), 3 * size_t(width));
        std::memcpy(rowOf(picture, height - 1), rowOf(picture, height - 2), 3 * size_t(width));
    }
    if (width > 1)
        for (int y = 0; y < height; ++y) {
            copyPixel(rowOf(picture, y), 0, 1);
            copyPixel(rowOf(picture, y), width - 1, width - 2);
        }
}

}  // namespace

ReliefShading::ReliefShading(int width, float strength, bool multiply)
    : k_(static_cast<int32_t>(16384.0 / std::max(double(strength), 1.0))),
      multiply_(multiply),
      luma_(3 * size_t(std::max(width, 1))),
      factor_(size_t(std::max(width, 1))) {}

void ReliefShading::shadeRow(const uint8_t* in, uint8_t* out, const int32_t* above, const int32_t* here,
                             const int32_t* below) {
    const int width = static_cast<int>(factor_.size());
    shadeFactors(above, here, below, factor_.data(), width, k_, multiply_ ? kMultiplyScale : kGreyScale);
    if (multiply_) {
        for (int x = 1; x < width - 1; ++x)
            for (int c = 0; c < 3; ++c) out[3 * x + c] = static_cast<uint8_t>((in[3 * x + c] * factor_[x]) >> 12);
    } else {
        for (int x = 1; x < width - 1; ++x) out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = static_cast<uint8_t>(factor_[x]);
    }
}

void ReliefShading::apply(IplImage* picture) {
    const int width = picture->width, height = picture->height;
    if (width >= 3 && height >= 3) {
        // Row y is written once the luminance of row y + 1 is taken, so the
        // ring always holds the rows as they were before the step.
        int32_t* rows[3] = {luma_.data(), luma_.data() + width, luma_.data() + 2 * width};
        rowLuminance(rowOf(picture, 0), rows[0], width);
        rowLuminance(rowOf(picture, 1), rows[1], width);
        for (int y = 1; y < height - 1; ++y) {
            rowLuminance(rowOf(picture, y + 1), rows[2], width);
            uint8_t* row = rowOf(picture, y);
            shadeRow(row, row, rows[0], rows[1], rows[2]);
            std::rotate(rows, rows + 1, rows + 3);
        }
    }
    repeatBorders(picture);
}

}  // namespace lumetra
