#include <gtest/gtest.h>

#include "looks/vignette.h"

namespace lumetra {
namespace {

TEST(Vignette, CentreGainIsWithinAFewUnitsOfOne) {
    // 4000 x 3000, R = 4000: inverse = 2^30 / 16e6 = 67, q = (16e6 * 67) >> 18
    // = 4089, f = 4089^2 >> 9 = 32656, darkened 2^30 / 32656 = 32880, and at
    // full strength the gain is f itself.
    const VignetteShape shape = prepareVignette(-100, 0, 4000, 3000);
    EXPECT_FALSE(shape.brighten);
    EXPECT_EQ(shape.strength, 256);
    EXPECT_EQ(shape.inverseRadius2, 67);
    EXPECT_EQ(vignetteGain15(shape, 2000, 1500), 32880);
}

TEST(Vignette, HalfRadiusDarkensSquareCornersToAboutOneNinth) {
    // 1000 x 1000, radiusExp -100: R = 500, inverse 4294; corner t = 250000
    // + 2 * 500^2, q = (750000 * 4294) >> 18 = 12285, f = 12285^2 >> 9 =
    // 294767, 2^30 / f = 3642, >> 3 = 455: 455 / 4096 = 0.111.
    const VignetteShape shape = prepareVignette(-100, -100, 1000, 1000);
    EXPECT_EQ(vignetteGain12(shape, 0, 0), 455);
    EXPECT_NEAR(vignetteGain12(shape, 500, 500), 4096, 4);
}

TEST(Vignette, NoStrengthKeepsEveryPixelAndBrighteningLiftsCorners) {
    const VignetteShape none = prepareVignette(0, 0, 300, 200);
    EXPECT_EQ(vignetteGain12(none, 0, 0), 4096);
    EXPECT_EQ(vignetteGain15(none, 299, 199), 32768);
    const VignetteShape lift = prepareVignette(50, 0, 300, 200);
    EXPECT_TRUE(lift.brighten);
    EXPECT_EQ(lift.strength, 128);
    EXPECT_GT(vignetteGain15(lift, 0, 0), 32768 + 4000);
}

TEST(Vignette, TinyAndHugeCanvasesStayDefined) {
    // R truncates to 0 on a 1 x 1 canvas with a small radius: R = 1.
    const VignetteShape tiny = prepareVignette(-100, -100, 1, 1);
    EXPECT_EQ(tiny.radius2, 1);
    EXPECT_GT(vignetteGain15(tiny, 0, 0), 30000);
    // 65535 a side: R^2 passes 2^30 and q is divided exactly.
    const VignetteShape huge = prepareVignette(-100, 0, 65535, 65535);
    EXPECT_EQ(huge.inverseRadius2, 0);
    EXPECT_EQ(vignetteGain15(huge, 32767, 32767), 32768);
    // Corner: d^2/R^2 = 0.5, so about 32768 / 2.25 = 14563.
    EXPECT_NEAR(vignetteGain15(huge, 0, 0), 14563, 8);
}

// The tabulated row gains equal the direct formula at every pixel.
void expectRowsMatch(const VignetteShape& shape, GainScale scale, int32_t x0, int32_t y0, int width, int height) {
    VignetteGains gains(shape, scale, x0, y0, width, height);
    for (int row = 0; row < height; ++row) {
        const int32_t y = y0 + row;
        gains.startRow(y);
        for (int col = 0; col < width; ++col) {
            const int32_t x = x0 + col;
            const int32_t expected = scale == GainScale::q15 ? vignetteGain15(shape, x, y) : vignetteGain12(shape, x, y);
            ASSERT_EQ(gains.at(col), expected) << x << "," << y;
        }
    }
}

TEST(VignetteGains, MatchTheFormulaOnWindowsNearAndFar) {
    expectRowsMatch(prepareVignette(-100, 0, 97, 61), GainScale::q15, 0, 0, 97, 61);
    // A large radius: neighbouring columns' gains lie close in the table.
    expectRowsMatch(prepareVignette(-100, 0, 4000, 3000), GainScale::q15, 1200, 1499, 1603, 3);
    expectRowsMatch(prepareVignette(-80, -100, 400, 300), GainScale::q12, 150, 20, 33, 17);
    expectRowsMatch(prepareVignette(-100, 0, 70000, 50), GainScale::q15, 30000, 0, 40, 3);
    expectRowsMatch(prepareVignette(-100, -1000, 50, 50), GainScale::q15, 0, 0, 50, 50);
    // A table past 2^14 gains, whose sums need 64 bits.
    expectRowsMatch(prepareVignette(-100, -200, 400, 300), GainScale::q15, 0, 0, 400, 300);
    expectRowsMatch(prepareVignette(-100, 0, 50, 50), GainScale::q12, 2000000000, -2000000000, 9, 2);
}

}  // namespace
}  // namespace lumetra
