#include <gtest/gtest.h>

#include "pixel/grain_data.h"
#include "pixel/routines.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

OwnedImage noiseOf(const IplImage* src, const IplImage* plate, int index, const EffectRegion* region = nullptr) {
    OwnedImage dst = test::makePicture(src->width, src->height, 3, 3);
    applyNoise(src, dst.get(), plate, index, region);
    return dst;
}

OwnedImage noiseDOf(const IplImage* src, const IplImage* plate1, const IplImage* plate2, int index,
                    const EffectRegion* region = nullptr) {
    OwnedImage dst = test::makePicture(src->width, src->height, 3, 3);
    applyNoiseD(src, dst.get(), plate1, plate2, index, region);
    return dst;
}

TEST(Noise, UnknownIndexesRunRecipeOne) {
    const OwnedImage src = test::makePicture(23, 9, 3, 1);
    const OwnedImage plate = test::makePicture(16, 16, 3);
    const OwnedImage one = noiseOf(src.get(), plate.get(), 1);
    EXPECT_TRUE(test::samePixels(one.get(), noiseOf(src.get(), plate.get(), 0).get()));
    EXPECT_TRUE(test::samePixels(one.get(), noiseOf(src.get(), plate.get(), 4).get()));
    EXPECT_FALSE(test::samePixels(one.get(), noiseOf(src.get(), plate.get(), 2).get()));
}

TEST(Noise, ThreeIsTonedSaturatedAndPlated) {
    // Grey 64 tones to (B 83, G 84, R 91); L = (9798 * 91 + 19234 * 84 +
    // 3736 * 83 + 8192) >> 15 = 86; 70 % saturation: (c * 717 + 86 * 307 +
    // 256) >> 10 = (84, 84, 89). A black plate at full soft light leaves
    // a * a >> 15 of each Q15 channel a: 10752 -> 3528, 11392 -> 3960,
    // bytes (27, 27, 30).
    const OwnedImage src = test::makeUniform(4, 4, 3, {64, 64, 64});
    const OwnedImage black = test::makeUniform(2, 2, 3, {0, 0, 0});
    const OwnedImage dst = noiseOf(src.get(), black.get(), 3);
    EXPECT_EQ(test::pixelAt(dst.get(), 1, 1), (std::vector<uint8_t>{27, 27, 30}));
}

TEST(NoiseD, RunsOneToFourAndNothingElse) {
    const OwnedImage src = test::makePicture(17, 11, 3, 2);
    const OwnedImage plate1 = test::makePicture(9, 13, 3);
    const OwnedImage plate2 = test::makePicture(30, 7, 3);
    const OwnedImage untouched = test::makePicture(17, 11, 3, 3);
    for (int index : {0, 5, -1})
        EXPECT_TRUE(test::samePixels(noiseDOf(src.get(), plate1.get(), plate2.get(), index).get(), untouched.get()));
    for (int index = 1; index <= 4; ++index)
        EXPECT_FALSE(test::samePixels(noiseDOf(src.get(), plate1.get(), plate2.get(), index).get(), untouched.get()))
            << index;
}

TEST(Grain, RefusesMissingOrUnfitPlatesAndEmptyRegions) {
    const OwnedImage src = test::makePicture(12, 8, 3);
    const OwnedImage plate = test::makePicture(8, 8, 3);
    const OwnedImage fourChannels = test::makePicture(8, 8, 4);
    const OwnedImage untouched = test::makePicture(12, 8, 3, 3);
    const EffectRegion flat{0, 0, 0, 12, 0};
    for (int index = 1; index <= 3; ++index) {
        EXPECT_TRUE(test::samePixels(noiseOf(src.get(), nullptr, index).get(), untouched.get()));
        EXPECT_TRUE(test::samePixels(noiseOf(src.get(), fourChannels.get(), index).get(), untouched.get()));
        EXPECT_TRUE(test::samePixels(noiseOf(src.get(), plate.get(), index, &flat).get(), untouched.get()));
    }
    for (int index = 1; index <= 4; ++index) {
        EXPECT_TRUE(test::samePixels(noiseDOf(src.get(), plate.get(), nullptr, index).get(), untouched.get()));
        EXPECT_TRUE(test::samePixels(noiseDOf(src.get(), nullptr, plate.get(), index).get(), untouched.get()));
        EXPECT_TRUE(test::samePixels(noiseDOf(src.get(), plate.get(), plate.get(), index, &flat).get(),
                                     untouched.get()));
    }
    const OwnedImage otherSize = test::makePicture(12, 9, 3);
    OwnedImage dst = test::clonePicture(untouched.get());
    applyNoise(otherSize.get(), dst.get(), plate.get(), 1, nullptr);
    EXPECT_TRUE(test::samePixels(dst.get(), untouched.get()));
}

}  // namespace
}  // namespace lumetra
