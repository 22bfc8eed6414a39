#include <gtest/gtest.h>

#include <algorithm>

#include "pixel/layer_sampler.h"
#include "pixel/terms.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

// The sampler written straight from its definition, one pixel at a time.
Rgba15 referenceSample(const IplImage* layer, const LayerTransform& t, int32_t canvasX, int32_t canvasY) {
    const int32_t lx = std::clamp(canvasX * t.scaleX + t.offsetX, 0, (layer->width << 15) - 1);
    const int32_t ly = std::clamp(canvasY * t.scaleY + t.offsetY, 0, (layer->height << 15) - 1);
    const int x0 = lx >> 15, y0 = ly >> 15, fx = lx & 32767, fy = ly & 32767;
    const int x1 = std::min(x0 + 1, layer->width - 1), y1 = std::min(y0 + 1, layer->height - 1);
    const int n = layer->nChannels;
    int32_t s[4] = {};
    for (int k = 0; k < n; ++k) {
        auto p = [&](int i, int j) { return int32_t{rowOf(layer, j)[i * n + k]}; };
        const int32_t left = (p(x0, y0) * (32768 - fy) + p(x0, y1) * fy) >> 15;
        const int32_t right = (p(x1, y0) * (32768 - fy) + p(x1, y1) * fy) >> 15;
        s[k] = left * (32768 - fx) + right * fx;
    }
    Rgba15 v{};
    v.b = s[0] >> 8;
    v.g = s[1] >> 8;
    v.r = s[2] >> 8;
    v.a = n == 4 ? (s[3] >= 4194304 ? s[3] + 32768 : s[3]) >> 8 : 0;
    return v;
}

// Samples every pixel of a width x height walk at canvas origin (x, y).
template <int Channels>
void expectMatchesReference(const IplImage* layer, const LayerTransform& t, int width, int height, int32_t x,
                            int32_t y) {
    LayerSampler<Channels> sampler(layer, t);
    sampler.start({width, height, x, y});
    for (int row = 0; row < height; ++row) {
        sampler.rowStart({row, y + row});
        for (int col = 0; col < width; ++col) {
            const PixelContext at{col, x + col, y + row, {}};
            const auto got = sampler.value(at);
            const Rgba15 want = referenceSample(layer, t, x + col, y + row);
            ASSERT_EQ(got.r, want.r) << "col " << col << " row " << row;
            ASSERT_EQ(got.g, want.g);
            ASSERT_EQ(got.b, want.b);
            if constexpr (Channels == 4) {
                ASSERT_EQ(got.a, want.a);
            }
        }
    }
}

TEST(LayerSampler, MatchesTheBilinearDefinitionForEveryFit) {
    const OwnedImage layer3 = test::makePicture(13, 9, 3, /*padding=*/5);
    const OwnedImage layer4 = test::makePicture(13, 9, 4, /*padding=*/3);
    for (int mode = 0; mode < 4; ++mode) {
        const LayerTransform t = fitLayer(13, 9, 40, 30, mode);
        expectMatchesReference<3>(layer3.get(), t, 40, 30, 0, 0);
        expectMatchesReference<4>(layer4.get(), t, 40, 30, 0, 0);
    }
}

TEST(LayerSampler, ClampsOutsideTheLayerAndFollowsTheWindow) {
    const OwnedImage layer = test::makePicture(6, 4, 4);
    // Offsets that push the canvas off every edge of the layer.
    const LayerTransform shifted{-5 * 32768 + 77, 3 * 32768 + 12345, 50000, 41000};
    expectMatchesReference<4>(layer.get(), shifted, 17, 11, -3, -2);
    expectMatchesReference<4>(layer.get(), fitLayer(6, 4, 300, 200, kFitStretch), 23, 9, 250, 180);
    const OwnedImage single = test::makePicture(1, 1, 3);
    expectMatchesReference<3>(single.get(), fitLayer(1, 1, 5, 5, kFitCoverCentred), 5, 5, 0, 0);
}

TEST(LayerSampler, StretchOnItsOwnSizeStaysLeftOfTheLastColumn) {
    // Canvas column c maps to x = c * ((WL - 1) << 15) / WL: for WL = 4 the
    // last column lands at 3 * 24576 = 73728 = 2.25 pixels, a quarter of
    // the way from column 2 to 3, not on column 3.
    const OwnedImage layer = test::makePicture(4, 1, 3, 0, [](int x, int, int) { return x * 80; });
    LayerSampler<3> sampler(layer.get(), fitLayer(4, 1, 4, 1, kFitStretch));
    sampler.start({4, 1, 0, 0});
    sampler.rowStart({0, 0});
    EXPECT_EQ(sampler.sampleColumn(0).r, 0);
    // s = 160 * 24576 + 240 * 8192 = 5898240; >> 8 = 23040 (byte 180).
    EXPECT_EQ(sampler.sampleColumn(3).r, 23040);
}

TEST(LayerSampler, OpaqueAlphaSamplesToFullCover) {
    const OwnedImage layer = test::makeUniform(3, 3, 4, {10, 20, 30, 255});
    LayerSampler<4> sampler(layer.get(), fitLayer(3, 3, 7, 7, kFitStretch));
    sampler.start({7, 7, 0, 0});
    sampler.rowStart({3, 3});
    EXPECT_EQ(sampler.sampleColumn(5).a, 32768);
    EXPECT_EQ(sampler.sampleColumn(5).b, 10 << 7);
}

}  // namespace
}  // namespace lumetra
