#include <gtest/gtest.h>

#include <vector>

#include "core/q15.h"
#include "looks/hsv.h"
#include "looks/hsv_rows.h"

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

// The eight-at-a-time passes against the per-pixel rule on every sector,
// ties, grey, black and the ends of 0..32768; on a machine without AVX2
// they do nothing and the comparison covers no pixel.
TEST(HsvRows, MatchThePixelRule) {
    std::vector<int32_t> r, g, b;
    uint32_t seed = 99;
    for (int i = 0; i < 4011; ++i) {  // 4016 pixels in all: full batches, then single groups
        seed = seed * 1103515245u + 12345u;
        const auto value = [&](int shift) { return static_cast<int32_t>((seed >> shift) % 32769); };
        r.push_back(value(2)), g.push_back(i % 9 == 0 ? r.back() : value(9)), b.push_back(i % 7 == 0 ? g.back() : value(16));
    }
    for (const int32_t v : {0, 1, 32767, 32768}) r.push_back(v), g.push_back(v), b.push_back(0);
    r.push_back(32767), g.push_back(1), b.push_back(1);  // s = 32766 x 32768 / 32767 rounds up to 32767
    const int n = static_cast<int>(r.size());
    const HueSaturation k{ramp(42598, -107372544), ramp(-16384, 67108864), flat(-26214), ramp(9830, 0), flat(16384), ramp(3277, 26841088)};
    const int32_t hue = 14000, weight = 20000;
    std::vector<int32_t> sr = r, sg = g, sb = b, tr = r, tg = g, tb = b;
    const int saturated = changeSaturationRows(sr.data(), sg.data(), sb.data(), n, k);
    const int tinted = hueTintRows(tr.data(), tg.data(), tb.data(), n, k, hue, weight);
    for (int i = 0; i < n; ++i) {
        Hsv15 q = rgbToHsv15<quotientOfUnits>(Px{r[i], g[i], b[i]});
        changeSaturation(k, q);
        Px changed{}, tint{};
        hsvToRgb15(q, changed);
        q.h = hue;
        hsvToRgb15(q, tint);
        if (i < saturated) {
            EXPECT_EQ(sr[i], changed.r) << i;
            EXPECT_EQ(sg[i], changed.g) << i;
            EXPECT_EQ(sb[i], changed.b) << i;
        }
        if (i < tinted) {
            EXPECT_EQ(tr[i], mix15(changed.r, tint.r, weight)) << i;
            EXPECT_EQ(tg[i], mix15(changed.g, tint.g, weight)) << i;
            EXPECT_EQ(tb[i], mix15(changed.b, tint.b, weight)) << i;
        }
    }
}

}  // namespace
}  // namespace lumetra
