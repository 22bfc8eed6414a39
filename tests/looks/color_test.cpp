#include <gtest/gtest.h>

#include <functional>

#include "look_pictures.h"
#include "looks/routines.h"

namespace lumetra {
namespace {

using test::pixelAt;
using Bytes = std::vector<uint8_t>;
using Look = std::function<void(const IplImage*, IplImage*, int, const EffectRegion*)>;

OwnedImage run(const Look& look, const IplImage* src, int variant) {
    OwnedImage dst = test::clonePicture(src);
    look(src, dst.get(), variant, nullptr);
    return dst;
}

// Traced pixel (r 220, g 120, b 20) of the trace picture; with clips 0.01
// (threshold 2) the levels are still lo = 20/255, hi = 220/255: scale
// 1305, offset -2570, range 0.78431374. Matrix, levels and both clamps give
// (29743, 16949, 4155); as HSV h = 2048, s = 28190, v = 29743.
TEST(Color, VariantOneMixesInTheHueReplacedPixel) {
    // hueSatColor1 in sector 0 at f = 2048: k = (-26215 * 2048 + 13422592)
    // >> 12 = -9831, s = (22937 * 28190) >> 15 = 19732. A = (29743, 20788,
    // 11833); with h = 21572, B = (29743, 11833, 24969); mix15 at 10158 ->
    // (29743, 18011, 15905) -> bytes (232, 140, 124).
    const OwnedImage dst = run(applyColor, test::tracePicture({20, 120, 220}).get(), 1);
    EXPECT_EQ(pixelAt(dst.get(), 7, 2), (Bytes{124, 140, 232}));
}

TEST(Color, VariantFiveLaysGoldOverWithOverlay) {
    // hueSatColor5 sector 0: k = (42598 * 2048 - 107372544) >> 12 = -4915,
    // s = 23961; A = (29743, 18868, 7994). Overlay with gold (25571, 23258,
    // 2955): r: a >= 16384 -> 2(a + b) - ((a b) >> 14) - 32767 = 32374,
    // mixed at 9175 -> 30218; g -> 20501; b: a < 16384 -> (a b) >> 14 =
    // 1441 -> 6159. Bytes (236, 160, 48).
    const OwnedImage dst = run(applyColor, test::tracePicture({20, 120, 220}).get(), 5);
    EXPECT_EQ(pixelAt(dst.get(), 7, 2), (Bytes{48, 160, 236}));
}

TEST(Color, GreyStaysGreyUnderEveryHueStepOfVariantOne) {
    // Grey 120 only moves through the levels: ((15360 - 2570) * 1305) >> 10
    // = 16299 -> 127.
    const OwnedImage dst = run(applyColor, test::tracePicture({20, 120, 220}).get(), 1);
    EXPECT_EQ(pixelAt(dst.get(), 5, 5), (Bytes{127, 127, 127}));
}

TEST(Color2, TracesOfTheGradientVignetteGreyCurveAndSepiaRecipes) {
    const OwnedImage src = test::tracePicture({20, 120, 220});
    // 1: vignette (-40, -20) at (7, 2) gain 28731: X = (24690, 13467, 2244),
    // luminance 15543, gradient Y = (15542, 15542, 17224), hard light at
    // 50 % -> (24055, 13120, 3027) -> bytes (187, 102, 23).
    EXPECT_EQ(pixelAt(run(applyColor2, src.get(), 1).get(), 7, 2), (Bytes{23, 102, 187}));
    // 6: curves -> (31738, 17122, 6328), hueSat2_6 -> (31738, 13972, 865),
    // revealed by the vignette (-100, -80) weight 14187 over the source
    // -> (29709, 14759, 1826) -> bytes (232, 115, 14).
    EXPECT_EQ(pixelAt(run(applyColor2, src.get(), 6).get(), 7, 2), (Bytes{14, 115, 232}));
    // 11: luminance 17727, the variant-11 curve there 29760 -> 232.
    EXPECT_EQ(pixelAt(run(applyColor2, src.get(), 11).get(), 7, 2), (Bytes{232, 232, 232}));
    // 13: sepia rows on (28160, 15360, 2560) -> (23361, 20794, 16196).
    EXPECT_EQ(pixelAt(run(applyColor2, src.get(), 13).get(), 7, 2), (Bytes{126, 162, 182}));
}

TEST(Color2, TenKeepsTheLargestChannelOnEveryChannel) {
    const OwnedImage src = test::makeUniform(5, 3, 3, {50, 100, 200});
    EXPECT_EQ(pixelAt(run(applyColor2, src.get(), 10).get(), 4, 2), (Bytes{200, 200, 200}));
    const OwnedImage ten = run(applyColor2, test::makePicture(9, 7, 3).get(), 10);
    EXPECT_TRUE(test::samePixels(ten.get(), run(applyColor2, test::makePicture(9, 7, 3).get(), 0).get()));
    EXPECT_TRUE(test::samePixels(ten.get(), run(applyColor2, test::makePicture(9, 7, 3).get(), 14).get()));
}

TEST(Color2, ThreeHalvesTheSaturationBeforeItsCurves) {
    // (200, 100, 50): h = 1365, s = 24576 -> 12288, v = 25600; back to RGB
    // c = 9600, m = 16000: (25600, 16000 + (1365 * 9600 >> 12) = 19199,
    // 16000); the variant-3 curves -> (27125, 20063, 13462).
    const OwnedImage src = test::makeUniform(2, 2, 3, {50, 100, 200});
    EXPECT_EQ(pixelAt(run(applyColor2, src.get(), 3).get(), 1, 1), (Bytes{105, 156, 211}));
}

TEST(BwColor, VariantOneTracesGreyLevelsAndTheHalfRadiusVignette) {
    // Clips (0.01, 0.15): thresholds 2 and 45, lo = 20/255, hi = 120/255:
    // scale 2611, offset -2570. Luminance of (220, 120, 20) 17727 ->
    // ((17727 - 2570) * 2611) >> 10 = 38647; Q12 gain at (7, 2) with
    // (-80, -100) is 2244 -> (38647 * 2244) >> 12 = 21172 -> byte 165.
    const OwnedImage dst = run(applyBwColor, test::tracePicture({20, 120, 220}).get(), 1);
    EXPECT_EQ(pixelAt(dst.get(), 7, 2), (Bytes{165, 165, 165}));
}

TEST(BwColor, OutOfRangeVariantsClipOnePercentAtBothEnds) {
    const OwnedImage src = test::makePicture(17, 11, 3);
    const OwnedImage six = run(applyBwColor, src.get(), 6);
    EXPECT_TRUE(test::samePixels(six.get(), run(applyBwColor, src.get(), 0).get()));
    EXPECT_TRUE(test::samePixels(six.get(), run(applyBwColor, src.get(), 7).get()));
    const Bytes any = pixelAt(six.get(), 3, 4);
    EXPECT_EQ(any[0], any[1]);
    EXPECT_EQ(any[1], any[2]);
}

}  // namespace
}  // namespace lumetra
