#include <gtest/gtest.h>

#include "pixel/layer_sampler.h"
#include "pixel/terms.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

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
