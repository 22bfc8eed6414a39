#include <gtest/gtest.h>

#include "looks/color_effect_steps.h"
#include "looks/routines.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

using test::pixelAt;
using Bytes = std::vector<uint8_t>;

// Top row white, the rest grey 100: L = 8160 above, 3200 elsewhere.
OwnedImage whiteOverGrey(int width, int height) {
    return test::makePicture(width, height, 3, 2, [](int, int y, int) -> uint8_t { return y == 0 ? 255 : 100; });
}

TEST(ColorEffectRelief, HandWorkedCentreAndCopiedBorders) {
    // Centre of 3 x 3: gy = 3 (8160 - 3200) = 14880, gx = 0, n = 16928,
    // q = sqrt(14880^2 + 2048^2) = 15020.276f. Grey: 16928 * 147.2096 / q
    // = 165.9 -> 165. Multiplied: f = 2654, (100 * 2654) >> 12 = 64. The
    // border copies then spread the centre over the whole picture.
    for (const bool multiply : {false, true}) {
        const OwnedImage picture = whiteOverGrey(3, 3);
        ReliefShading(3, 8.0f, multiply).apply(picture.get());
        const uint8_t v = multiply ? 64 : 165;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) EXPECT_EQ(pixelAt(picture.get(), x, y), (Bytes{v, v, v})) << x << "," << y;
        EXPECT_TRUE(test::paddingIntact(picture.get()));
    }
}

TEST(ColorEffectRelief, FlatGreyGives147) {
    const OwnedImage picture = test::makeUniform(6, 5, 3, {90, 90, 90});
    ReliefShading(6, 8.0f, false).apply(picture.get());
    for (int y = 0; y < 5; ++y) EXPECT_EQ(pixelAt(picture.get(), 5, y), (Bytes{147, 147, 147}));
}

TEST(ColorEffectRelief, NarrowPicturesOnlyCopyWhereTheyCan) {
    // No interior below 3 pixels. 1 x 1 is left alone; 2 x 1 copies its
    // columns (both become the second pixel), 1 x 2 its rows (both become
    // the second row), 2 x 2 both (every pixel becomes the one at (1, 1)).
    const auto relief = [](int w, int h) {
        OwnedImage p = test::makePicture(w, h, 3, 1);
        const OwnedImage before = test::clonePicture(p.get());
        ReliefShading(w, 8.0f, true).apply(p.get());
        return std::pair{std::move(p), pixelAt(before.get(), w - 1, h - 1)};
    };
    const auto [one, oneLast] = relief(1, 1);
    EXPECT_EQ(pixelAt(one.get(), 0, 0), oneLast);
    for (const auto& [w, h] : {std::pair{2, 1}, std::pair{1, 2}, std::pair{2, 2}}) {
        const auto [p, last] = relief(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) EXPECT_EQ(pixelAt(p.get(), x, y), last) << w << "x" << h;
        EXPECT_TRUE(test::paddingIntact(p.get()));
    }
}

TEST(ColorEffectGradient, HandWorkedFirstStop) {
    // (0, 0) is at stop 0 of table A: (0, 0, 32768). Grey 128 gives
    // base 16383 in every channel. Red and green (top 0, w = -32768):
    // e = 16383 - 8191 = 8192, (-32768 * 8192) >> 15 = -8192 -> 8191 >> 7
    // = 63. Blue (top 32768, w = 32768): e = sq[127] - base with
    // sq[127] = trunc(sqrtf(127 / 256) * 32768) = 23079 -> 23079 >> 7 = 180.
    const OwnedImage picture = test::makeUniform(1, 1, 3, {128, 128, 128});
    GradientSoftLight(1, kGradientA).apply(picture.get());
    EXPECT_EQ(pixelAt(picture.get(), 0, 0), (Bytes{180, 63, 63}));
}

TEST(ColorEffectDuotone, BlackTakesTheDarkColour) {
    // Grey 0 stays 0 through smoothing and screen; one level -> identity
    // ramp, t = 0: the dark colour of the pair.
    const OwnedImage picture = test::makeUniform(9, 4, 3, {0, 0, 0});
    HalftoneDuotone duotone(picture.get());
    ASSERT_TRUE(duotone.ready());
    duotone.apply(picture.get(), kDuotoneYellow);
    EXPECT_EQ(pixelAt(picture.get(), 8, 3), (Bytes{160, 40, 80}));
}

TEST(ColorEffect, RefusedRenderLeavesDestinationUntouched) {
    // The lens correction of variants 7, 9, 10 and 14 has no reference
    // length on a 1 x 1 picture: ptApplyMap refuses.
    const OwnedImage src = test::makeUniform(1, 1, 3, {10, 20, 30});
    for (const int variant : {7, 9, 10, 14}) {
        const OwnedImage dst = test::makeUniform(1, 1, 3, {1, 2, 3});
        applyColorEffect(src.get(), dst.get(), variant, nullptr);
        EXPECT_EQ(pixelAt(dst.get(), 0, 0), (Bytes{1, 2, 3})) << variant;
    }
    const OwnedImage other = test::makePicture(2, 1, 3);
    const OwnedImage before = test::clonePicture(other.get());
    applyColorEffect(src.get(), other.get(), 3, nullptr);  // sizes differ
    EXPECT_TRUE(test::samePixels(other.get(), before.get()));
}

}  // namespace
}  // namespace lumetra
