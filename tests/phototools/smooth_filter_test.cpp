#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "lumetra.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

using test::pixelAt;
using Bytes = std::vector<uint8_t>;

TEST(SmoothFilter, UniformPictureLosesALevelPerPass) {
    // radius 0.3: 3 taps, c = (125, 32516, 125), sum 32766. Each pass
    // truncates: rows (100 * 32766) >> 15 = 99, columns (99 * 32766) >> 15
    // = 98; amount -100 makes dst the blur.
    const OwnedImage picture = test::makeUniform(7, 5, 3, {100, 100, 100});
    ASSERT_EQ(ptSmoothFilterSP(picture.get(), picture.get(), 0.3, -100, 0, nullptr), 1);
    EXPECT_EQ(pixelAt(picture.get(), 0, 0), (Bytes{98, 98, 98}));
    EXPECT_EQ(pixelAt(picture.get(), 6, 4), (Bytes{98, 98, 98}));
    // Threshold 2 ignores that difference.
    const OwnedImage kept = test::makeUniform(7, 5, 3, {100, 100, 100});
    ASSERT_EQ(ptSmoothFilterSP(kept.get(), kept.get(), 0.3, -100, 2, nullptr), 1);
    EXPECT_EQ(pixelAt(kept.get(), 3, 2), (Bytes{100, 100, 100}));
}

TEST(SmoothFilter, NothingToDoAndRefusals) {
    const OwnedImage src = test::makePicture(12, 9, 3, 1);
    const OwnedImage dst = test::makePicture(12, 9, 3, 2);
    const OwnedImage before = test::clonePicture(dst.get());
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 0, 0, nullptr), 1);
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 0.05, 50, 0, nullptr), 1);
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 50, -1, nullptr), 0);
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 50, 256, nullptr), 0);
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), nan, 50, 0, nullptr), 0);
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), -inf, 50, 0, nullptr), 0);
    EXPECT_EQ(ptSmoothFilterSP(nullptr, dst.get(), 2.0, 50, 0, nullptr), 0);
    const OwnedImage grey = test::makePicture(12, 9, 4);
    EXPECT_EQ(ptSmoothFilterSP(grey.get(), dst.get(), 2.0, 50, 0, nullptr), 0);
    cvSetImageROI(src.get(), cvRect(1, 1, 5, 5));
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 50, 0, nullptr), 0);  // 5x5 against 12x9
    cvSetImageROI(dst.get(), cvRect(8, 5, 5, 5));                               // reaches past the picture
    dst->roi->width = 5;
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 50, 0, nullptr), 0);
    cvResetImageROI(dst.get());
    EXPECT_TRUE(test::samePixels(dst.get(), before.get()));
}

TEST(SmoothFilter, ProgressRecordStops) {
    const OwnedImage src = test::makePicture(20, 15, 3);
    const OwnedImage dst = test::clonePicture(src.get());
    ProgressRecord stopped{0, 0, -1};
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 50, 0, &stopped), 0);
    EXPECT_EQ(stopped.total, 15);
    EXPECT_EQ(stopped.current, -1);
    EXPECT_TRUE(test::samePixels(dst.get(), src.get()));
    ProgressRecord running{1, 0, -1};
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 50, 0, &running), 1);
    EXPECT_EQ(running.current, 14);
}

}  // namespace
}  // namespace lumetra
