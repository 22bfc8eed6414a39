// Halftone duotone: the grey of the picture, smoothed by a Gaussian of
// sigma = height / 320, multiplied by a screen of sine cells, stretched
// between its 10 % and 90 % points and painted from the dark colour of the
// pair (t = 0) to the bright one (t = 256).
#include <opencv2/imgproc/imgproc_c.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "looks/color_effect_steps.h"
#include "looks/row_walk.h"

namespace lumetra {

namespace {

using Histogram = std::array<int64_t, 256>;

void greyOf(const IplImage* picture, IplImage* grey) {
    for (int y = 0; y < picture->height; ++y) {
        const uint8_t* in = rowOf(picture, y);
        uint8_t* out = rowOf(grey, y);
        for (int x = 0; x < picture->width; ++x)
            out[x] = static_cast<uint8_t>((9798 * in[3 * x + 2] + 19234 * in[3 * x + 1] + 3736 * in[3 * x]) >> 15);
    }
}

// The screen's weight along one side: the mean of cos over each cell of
// angle a, w[i] = trunc((sin((i + 1) a) - sin(i a)) / a * 32768), each sine
// argument rounded to a float.
std::vector<int32_t> screenWeights(int count, double a) {
    std::vector<int32_t> w(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double next = sinf(static_cast<float>(double(i + 1) * a));
        const double here = sinf(static_cast<float>(double(i) * a));
        w[size_t(i)] = static_cast<int32_t>((next - here) / a * 32768.0);
    }
    return w;
}

// g = (g * f) >> 15 with the screen factor f = (((wy wx >> 15) + 32768)
// * 5461 >> 15) + 21846 of about 2/3..1; counts the new grey levels.
LUMETRA_VECTOR_CLONES void screenRow(uint8_t* __restrict row, int width, int32_t wy, const int32_t* __restrict wx) {
    for (int x = 0; x < width; ++x) {
        const int32_t f = (((((wy * wx[x]) >> 15) + 32768) * 5461) >> 15) + 21846;
        row[x] = static_cast<uint8_t>((row[x] * f) >> 15);
    }
}

Histogram screen(IplImage* grey) {
    const int width = grey->width, height = grey->height;
    const double a = 80.0 * 6.2831854820251465 / std::max(width, height);
    const std::vector<int32_t> wx = screenWeights(width, a), wy = screenWeights(height, a);
    Histogram counts{};
    for (int y = 0; y < height; ++y) {
        uint8_t* row = rowOf(grey, y);
        screenRow(row, width, wy[size_t(y)], wx.data());
        for (int x = 0; x < width; ++x) ++counts[row[x]];
    }
    return counts;
}

// The stretch t(g) on 0..256: (g - lo) * (2^23 / (hi - lo)) >> 15 between
// the first level with more than 10 % of the pixels at or below it and the
// last one with more than 10 % above it. When these points meet or cross
// (one or two grey levels) the ramp is the identity, g * 256 / 255.
std::array<int32_t, 256> stretchOf(const Histogram& counts, int64_t pixels) {
    std::array<int64_t, 256> below{};  // C[k]: pixels at or below level k
    int64_t sum = 0;
    for (int k = 0; k < 256; ++k) below[k] = sum += counts[k];
    const double n = double(pixels);
    int lo = 0;
    for (int k = 0; k < 256; ++k)
        if (double(below[k]) / n > 0.1) {
            lo = k;
            break;
        }
    int hi = 255;
    for (int k = 255; k >= 1; --k)
        if (double(pixels - below[k]) / n > 0.1) {
            hi = k;
            break;
        }
    std::array<int32_t, 256> t{};
    if (hi <= lo) {
        for (int g = 0; g < 256; ++g) t[g] = g * 256 / 255;
        return t;
    }
    const int32_t scale = 0x800000 / (hi - lo);
    for (int g = 0; g < 256; ++g) t[g] = std::clamp(((g - lo) * scale) >> 15, 0, 256);
    return t;
}

}  // namespace

HalftoneDuotone::HalftoneDuotone(const IplImage* like)
    : grey_(createImageLike(like, 1)), smoothed_(createImageLike(like, 1)) {}

void HalftoneDuotone::apply(IplImage* picture, const DuotonePair& pair) {
    greyOf(picture, grey_.get());
    const float sigma = static_cast<float>(double(picture->height) / 80.0 / 4.0);
    const int aperture = 2 * static_cast<int>(double(sigma) + 1.0) + 1;
    cvSmooth(grey_.get(), smoothed_.get(), CV_GAUSSIAN, aperture, aperture, sigma, 0.0);
    const auto t = stretchOf(screen(smoothed_.get()), int64_t{picture->width} * picture->height);

    // Each level's colour: (bright * t + (256 - t) * dark) >> 8.
    std::array<std::array<uint8_t, 3>, 256> paint;
    const auto mix = [](int bright, int dark, int32_t w) { return static_cast<uint8_t>((bright * w + (256 - w) * dark) >> 8); };
    for (int g = 0; g < 256; ++g)
        paint[g] = {mix(pair.bright.b, pair.dark.b, t[g]), mix(pair.bright.g, pair.dark.g, t[g]),
                    mix(pair.bright.r, pair.dark.r, t[g])};
    for (int y = 0; y < picture->height; ++y) {
        const uint8_t* in = rowOf(smoothed_.get(), y);
        uint8_t* out = rowOf(picture, y);
        for (int x = 0; x < picture->width; ++x) {
            out[3 * x] = paint[in[x]][0];
            out[3 * x + 1] = paint[in[x]][1];
            out[3 * x + 2] = paint[in[x]][2];
        }
    }
}

}  // namespace lumetra
