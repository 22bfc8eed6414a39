#include <gtest/gtest.h>

#include "looks/bw_data.h"
#include "looks/routines.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

using test::pixelAt;

OwnedImage lookOf(void (*look)(const IplImage*, IplImage*, int, const EffectRegion*), const IplImage* src,
                  int variant, const EffectRegion* region = nullptr) {
    OwnedImage dst = test::makePicture(src->width, src->height, 3, 2);
    look(src, dst.get(), variant, region);
    return dst;
}

TEST(Baw, BlackTakesTheFirstCurvePointsAndOtherVariantsDoNothing) {
    // Black stays 0 through the grey mix; the curves start at red 0.1137,
    // green 0.1176, blue 0.1882 (blue's first point lies at x 0.0078, flat
    // before it): 3726 >> 7 = 29, 3853 >> 7 = 30, 6167 >> 7 = 48.
    const OwnedImage black = test::makeUniform(3, 2, 3, {0, 0, 0});
    EXPECT_EQ(pixelAt(lookOf(applyBaw, black.get(), 1).get(), 2, 1), (std::vector<uint8_t>{48, 30, 29}));
    const OwnedImage src = test::makePicture(9, 5, 3, 1);
    const OwnedImage untouched = test::makePicture(9, 5, 3, 2);
    for (int variant : {0, 3, -1}) EXPECT_TRUE(test::samePixels(lookOf(applyBaw, src.get(), variant).get(), untouched.get()));
    // The region is not read, even an empty one.
    const EffectRegion empty{0, 5, 5, 0, 0};
    EXPECT_TRUE(test::samePixels(lookOf(applyBaw, src.get(), 2).get(), lookOf(applyBaw, src.get(), 2, &empty).get()));
}

TEST(NewWb, GreyMixesGoThroughTheToning) {
    // Pure red in variant 1: grey 204 -> the variant's tables at 204; pure
    // blue: grey 0 -> the tables at 0, all 0.
    const OwnedImage red = test::makeUniform(2, 2, 3, {0, 0, 255});
    const ChannelTables& tone = newWbToning(1);
    EXPECT_EQ(pixelAt(lookOf(applyNewWb, red.get(), 1).get(), 1, 1),
              (std::vector<uint8_t>{tone[0][204], tone[1][204], tone[2][204]}));
    const OwnedImage blue = test::makeUniform(2, 2, 3, {255, 0, 0});
    EXPECT_EQ(pixelAt(lookOf(applyNewWb, blue.get(), 1).get(), 0, 0), (std::vector<uint8_t>{0, 0, 0}));
    // Grey 128 in variant 9: the bump gives 244, d = (244 - 128) = 116,
    // each channel (244 * 21 + 244 * 235 + 64) >> 8 = 244.
    const OwnedImage grey = test::makeUniform(1, 1, 3, {128, 128, 128});
    EXPECT_EQ(pixelAt(lookOf(applyNewWb, grey.get(), 9).get(), 0, 0), (std::vector<uint8_t>{244, 244, 244}));
}

TEST(NewWb, FallsBackToOneAndRefusesFourChannelSources) {
    const OwnedImage src = test::makePicture(19, 7, 3, 3);
    const OwnedImage one = lookOf(applyNewWb, src.get(), 1);
    EXPECT_TRUE(test::samePixels(one.get(), lookOf(applyNewWb, src.get(), 0).get()));
    EXPECT_TRUE(test::samePixels(one.get(), lookOf(applyNewWb, src.get(), 10).get()));
    const OwnedImage four = test::makePicture(19, 7, 4);
    OwnedImage dst = test::clonePicture(one.get());
    applyNewWb(four.get(), dst.get(), 2, nullptr);
    EXPECT_TRUE(test::samePixels(dst.get(), one.get()));
}

}  // namespace
}  // namespace lumetra
