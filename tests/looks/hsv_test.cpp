#include <gtest/gtest.h>

#include "looks/hsv.h"

namespace lumetra {
namespace {

struct Px {
    int32_t r, g, b;
};

Hsv15 hsvOf(int32_t r, int32_t g, int32_t b) { return rgbToHsv15(Px{r, g, b}); }

TEST(RgbToHsv15, PrimariesAndGrey) {
    EXPECT_EQ(hsvOf(32640, 0, 0).h, 0);
    EXPECT_EQ(hsvOf(32640, 0, 0).s, 32768);
    EXPECT_EQ(hsvOf(32640, 0, 0).v, 32640);
    EXPECT_EQ(hsvOf(0, 32640, 0).h, 8192);
    EXPECT_EQ(hsvOf(0, 0, 32640).h, 16384);
    const Hsv15 grey = hsvOf(5000, 5000, 5000);
    EXPECT_EQ(grey.h, 0);
    EXPECT_EQ(grey.s, 0);
    EXPECT_EQ(grey.v, 5000);
    // (200, 100, 50) bytes: d = 150 << 7, s = (d << 15) / v = 24576,
    // h = ((100 - 50) << 12) / 150 = 1365.
    const Hsv15 orange = hsvOf(200 << 7, 100 << 7, 50 << 7);
    EXPECT_EQ(orange.h, 1365);
    EXPECT_EQ(orange.s, 24576);
}

TEST(RgbToHsv15, TiesLandOnTheSectorBorderTheComparisonsPick) {
    EXPECT_EQ(hsvOf(9000, 9000, 1000).h, 4096);    // r = g: yellow
    EXPECT_EQ(hsvOf(1000, 9000, 9000).h, 12288);   // g = b: cyan
    EXPECT_EQ(hsvOf(9000, 1000, 9000).h, 20480);   // r = b: magenta
    EXPECT_EQ(hsvOf(9000, 1000, 1000).h, 0);       // g = b below r: red
    EXPECT_EQ(hsvOf(1000, 9000, 1000).h, 8192);    // r = b below g: green
    EXPECT_EQ(hsvOf(1000, 1000, 9000).h, 16384);   // r = g below b: blue
}

TEST(ChangeSaturation, ScalesByTheHueFactorAndStopsAtTheCeiling) {
    Hsv15 q{1000, 20000, 30000};
    changeSaturation(everyHue(-16384), q);
    EXPECT_EQ(q.s, 10000);
    // A ramp in sector 1: k = (8192 * 2048 + 0) >> 12 = 4096 at f = 2048;
    // s' = (36864 * 32000) >> 15 = 36000, held at 32768.
    const HueSaturation rising{flat(0), ramp(8192, 0), flat(0), flat(0), flat(0), flat(0)};
    Hsv15 r{4096 + 2048, 32000, 30000};
    changeSaturation(rising, r);
    EXPECT_EQ(r.s, 32768);
    Hsv15 low{4096 + 2048, 16000, 30000};
    changeSaturation(rising, low);
    EXPECT_EQ(low.s, (36864 * 16000) >> 15);
}

}  // namespace
}  // namespace lumetra
