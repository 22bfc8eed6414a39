#include <gtest/gtest.h>

#include "look_pictures.h"
#include "looks/routines.h"

namespace lumetra {
namespace {

using test::pixelAt;

OwnedImage lomoOf(const IplImage* src, int variant, const EffectRegion* region = nullptr) {
    OwnedImage dst = test::clonePicture(src);
    applyLomo(src, dst.get(), variant, region);
    return dst;
}

TEST(Lomo, TracesOnePixelThroughTheRecipe) {
    // Levels: lo = 20/255, hi = 220/255, range 0.78431374: scale 1305,
    // offset -2570; saturation matrix of 0.784 (row r: 27813, 4148, 805).
    // Pixel (r 220, g 120, b 20) -> (28160, 15360, 2560):
    //   matrix          -> (25909, 15870, 5831)
    //   levels          -> (29743, 16949, 4155), nothing below 0
    //   vignette at (7, 2) of 10 x 10, R = 10: t = 100 + 4 + 9, q = 4629,
    //   f = 41850, 2^30 / f = 25657 -> gain 25667 -> (23297, 13276, 3254)
    //   variant-1 curves -> (24879, 14637, 5424) -> bytes (194, 114, 42).
    const OwnedImage src = test::tracePicture({20, 120, 220});
    const OwnedImage dst = lomoOf(src.get(), 1);
    EXPECT_EQ(pixelAt(dst.get(), 7, 2), (std::vector<uint8_t>{42, 114, 194}));
    EXPECT_TRUE(test::paddingIntact(dst.get()));
}

TEST(Lomo, OutOfRangeVariantsTakeSetFiveWithoutTheWeakerSaturation) {
    const OwnedImage src = test::makePicture(31, 17, 3, 1);
    const OwnedImage five = lomoOf(src.get(), 5);
    const OwnedImage zero = lomoOf(src.get(), 0);
    EXPECT_TRUE(test::samePixels(zero.get(), lomoOf(src.get(), 7).get()));
    EXPECT_TRUE(test::samePixels(zero.get(), lomoOf(src.get(), -3).get()));
    EXPECT_FALSE(test::samePixels(zero.get(), five.get()));
    for (int v = 1; v <= 4; ++v) EXPECT_FALSE(test::samePixels(lomoOf(src.get(), v).get(), zero.get())) << v;
}

TEST(Lomo2, IsThePerChannelCurveOfEveryByte) {
    const OwnedImage src = test::makePicture(33, 9, 3, 2);
    OwnedImage dst = test::clonePicture(src.get());
    applyLomo2(src.get(), dst.get(), 6, nullptr);
    // Set 6 leaves green on the diagonal (0,0)-(1,1): unchanged.
    // Red: (0, 0.0156) to (1, 0.9568), a straight line; byte 255 reads entry
    // 1020 = trunc(32767 * (0.0156 + 0.9412 * 1020/1023) + 0.5) = 31262 -> 244.
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 33; ++x) EXPECT_EQ(pixelAt(dst.get(), x, y)[1], pixelAt(src.get(), x, y)[1]);
    const OwnedImage white = test::makeUniform(3, 2, 3, {255, 255, 255});
    OwnedImage out = test::clonePicture(white.get());
    applyLomo2(white.get(), out.get(), 6, nullptr);
    EXPECT_EQ(pixelAt(out.get(), 1, 1)[2], 244);
    EXPECT_TRUE(test::paddingIntact(dst.get()));
}

TEST(Looks, RefusePicturesTheyCannotProcess) {
    const OwnedImage src = test::makePicture(8, 8, 3);
    const OwnedImage four = test::makePicture(8, 8, 4);
    const OwnedImage small = test::makePicture(7, 8, 3);
    const OwnedImage before = test::clonePicture(four.get());
    applyLomo(src.get(), four.get(), 1, nullptr);
    applyLomo2(src.get(), four.get(), 1, nullptr);
    applyColor(src.get(), four.get(), 1, nullptr);
    applyColor2(src.get(), four.get(), 1, nullptr);
    applyBwColor(src.get(), four.get(), 1, nullptr);
    applyVignetting2(src.get(), four.get(), -100, 0, 0.1f, 0.2f, 1.3f, nullptr);
    EXPECT_TRUE(test::samePixels(four.get(), before.get()));
    const OwnedImage smallBefore = test::clonePicture(small.get());
    applyLomo(src.get(), small.get(), 1, nullptr);
    applyVignetting(src.get(), small.get(), nullptr, 0.1f, 0.2f, 1.3f, nullptr);
    applyLomo(nullptr, small.get(), 1, nullptr);
    EXPECT_TRUE(test::samePixels(small.get(), smallBefore.get()));
}

}  // namespace
}  // namespace lumetra
