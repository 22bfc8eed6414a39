#include <gtest/gtest.h>

#include "looks/bw_data.h"
#include "pixel/byte_mix.h"
#include "pixel/grain_data.h"

namespace lumetra {
namespace {

TEST(BwMix, GreyPassesThroughAndHuesTakeTheirWeights) {
    // Grey: both steps are 0, whatever the weights.
    for (int variant = 1; variant <= 9; ++variant)
        for (int v : {0, 1, 77, 128, 254, 255}) EXPECT_EQ(bwMix(v, v, v, newWbWeights(variant)), v);
    const BwWeights& one = newWbWeights(1);
    EXPECT_EQ(bwMix(0, 0, 255, one), 204);  // pure red: 255 * 80 / 100
    EXPECT_EQ(bwMix(255, 0, 0, one), 0);    // pure blue: 255 * -22 / 100 = -56, held at 0
    // (B 10, G 200, R 60): G > R > B, greens -46 on 140, yellows 94 on 50:
    // 10 + (-6440 / 100 = -64) + (4700 / 100 = 47) = -7 -> 0.
    EXPECT_EQ(bwMix(10, 200, 60, one), 0);
    // R == G > B takes the red-yellow row: (B 20, G 100, R 100), variant 2:
    // 20 + 0 * 108 / 100 + 80 * 96 / 100 = 20 + 76 = 96.
    EXPECT_EQ(bwMix(20, 100, 100, newWbWeights(2)), 96);
    // Past 255 is held: noise 1 greens 195 on (B 0, G 255, R 0) -> 497.
    EXPECT_EQ(bwMix(0, 255, 0, kNoise1Grey), 255);
}

TEST(SoftLight8, HandWorkedAndAlwaysAByte) {
    // s 200 over b 100: (145 * (10 * 16 - 100) + 64) >> 8 = 34 -> 134.
    EXPECT_EQ(softLight8(100, 200), 134);
    // s 50 over b 100: b - ((b * b + 64) >> 8) = 61; (-155 * 61 + 64) >> 8
    // = -9391 >> 8 = -37 -> 63.
    EXPECT_EQ(softLight8(100, 50), 63);
    for (int b = 0; b < 256; ++b)
        for (int s = 0; s < 256; ++s) {
            const int32_t v = softLight8(b, s);
            ASSERT_TRUE(v >= 0 && v <= 255) << b << " " << s;
        }
}

TEST(Overlay8, DarkMultipliesBrightScreensAndTopsOutAt257) {
    EXPECT_EQ(overlay8(100, 200), 156);   // (200 * 100) >> 7
    EXPECT_EQ(overlay8(200, 100), 189);   // 600 - 156 - 255
    EXPECT_EQ(overlay8(255, 255), 257);   // 1020 - 508 - 255
    EXPECT_EQ(luminance8(255, 255, 255), 255);
}

}  // namespace
}  // namespace lumetra
