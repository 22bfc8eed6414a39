#include <gtest/gtest.h>

#include <cmath>

#include "pixel/gaussian.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

using test::pixelAt;

TEST(GaussianKernel, TapsEndBelowTheThresholdOrAt45) {
    EXPECT_EQ(gaussianKernel(5.0f).taps, 12);
    EXPECT_EQ(gaussianKernel(10.0f).taps, 21);
    EXPECT_EQ(gaussianKernel(15.0f).taps, 28);
    EXPECT_EQ(gaussianKernel(40.0f).taps, 45);
    // sigma 5: g(0) = 1 / 12.533 = 0.0798, S = 0.9833 -> trunc(83.1 + 0.5).
    EXPECT_EQ(gaussianKernel(5.0f).weight[0], 83);
    EXPECT_EQ(gaussianKernel(0.0f).taps, 0);
    EXPECT_EQ(gaussianKernel(-1.0f).taps, 0);
    EXPECT_EQ(gaussianKernel(NAN).taps, 0);
    EXPECT_EQ(gaussianKernel(100.0f).taps, 0);  // g(0) = 0.004 already
}

TEST(GaussianBlur, SpreadsALineByTheWeights) {
    // A white column at x = 4 of a black 9 x 6 picture. The vertical pass
    // keeps it (weights of sigma 5 add up to 1025: (255 * 1025 + 512) >> 10
    // = 255); along the rows x takes (w(|x - 4|) * 255 + 512) >> 10 with
    // w = 83, 82, 77, 70, 61: 21, 20, 19, 17, 15.
    const OwnedImage src = test::makePicture(9, 6, 3, 2, [](int x, int, int) -> uint8_t { return x == 4 ? 255 : 0; });
    OwnedImage dst = test::makePicture(9, 6, 3, 2);
    ASSERT_TRUE(gaussianBlur(src.get(), dst.get(), 5.0f));
    const int expected[9] = {15, 17, 19, 20, 21, 20, 19, 17, 15};
    for (int y : {0, 5})
        for (int x = 0; x < 9; ++x) EXPECT_EQ(pixelAt(dst.get(), x, y)[1], expected[x]) << x;
    EXPECT_TRUE(test::paddingIntact(dst.get()));
    // The detail: 255 - 21 + 128 is held at 255, inverted 0; at x = 0,
    // 0 - 15 + 128 = 113, inverted 142.
    ASSERT_TRUE(highPass(src.get(), dst.get(), 5.0f, false));
    EXPECT_EQ(pixelAt(dst.get(), 4, 2), (std::vector<uint8_t>{255, 255, 255}));
    EXPECT_EQ(pixelAt(dst.get(), 0, 2)[0], 113);
    ASSERT_TRUE(highPass(src.get(), dst.get(), 5.0f, true));
    EXPECT_EQ(pixelAt(dst.get(), 4, 2)[2], 0);
    EXPECT_EQ(pixelAt(dst.get(), 0, 2)[2], 142);
}

TEST(GaussianBlur, WeightsBelow1024DarkenFlatPictures) {
    // sigma 15's weights add up to 1021: 200 -> (204200 + 512) >> 10 = 199
    // after the vertical pass, 198 after both; the detail is 130.
    const OwnedImage flat = test::makeUniform(3, 2, 3, {200, 200, 200});
    OwnedImage dst = test::clonePicture(flat.get());
    ASSERT_TRUE(gaussianBlur(flat.get(), dst.get(), 15.0f));
    EXPECT_EQ(pixelAt(dst.get(), 2, 1), (std::vector<uint8_t>{198, 198, 198}));
    ASSERT_TRUE(highPass(flat.get(), dst.get(), 15.0f, false));
    EXPECT_EQ(pixelAt(dst.get(), 0, 0)[0], 130);
}

TEST(GaussianBlur, RefusesWhatItCannotFilter) {
    const OwnedImage src = test::makePicture(8, 8, 3);
    OwnedImage dst = test::makePicture(8, 8, 3);
    const OwnedImage before = test::clonePicture(dst.get());
    const OwnedImage four = test::makePicture(8, 8, 4);
    const OwnedImage other = test::makePicture(8, 7, 3);
    EXPECT_FALSE(gaussianBlur(src.get(), dst.get(), 0.0f));
    EXPECT_FALSE(gaussianBlur(four.get(), dst.get(), 5.0f));
    EXPECT_FALSE(gaussianBlur(other.get(), dst.get(), 5.0f));
    EXPECT_FALSE(highPass(nullptr, dst.get(), 5.0f, false));
    EXPECT_TRUE(test::samePixels(dst.get(), before.get()));
}

}  // namespace
}  // namespace lumetra
