#include <gtest/gtest.h>

#include "looks/curves.h"

namespace lumetra {
namespace {

TEST(CurveLut, TwoPointDiagonalIsTheIdentityRoundedToQ15) {
    const CurveLut lut = buildCurveLut({{0, 0}, {1, 1}});
    for (int i = 0; i < kCurveLutSize; ++i) EXPECT_EQ(lut[i], static_cast<int32_t>(32767.0 * i / 1023 + 0.5)) << i;
    // Every byte survives the curve and the store's >> 7 within one step.
    for (int c = 0; c < 256; ++c) EXPECT_NEAR(lookupCurve(lut, c << 7) >> 7, c, 1) << c;
}

TEST(CurveLut, IsFlatBeforeTheFirstAndAfterTheLastPoint) {
    // 132 / 1023 = 0.12903 lies before x = 0.1294, 133 / 1023 = 0.13001 after.
    const CurveLut rising = buildCurveLut({{0.1294f, 0}, {1, 1}});
    for (int i = 0; i <= 132; ++i) EXPECT_EQ(rising[i], 0) << i;
    EXPECT_GT(rising[133], 0);
    // A list ending at x = 0.5019: every later input maps to the last y.
    const CurveLut early = buildCurveLut({{0, 0}, {0.2627f, 0.247f}, {0.4078f, 0.596f}, {0.5019f, 1}});
    for (int i = 514; i < kCurveLutSize; ++i) EXPECT_EQ(early[i], 32767) << i;
    // Lists that start above 0: the first y holds down to input 0.
    const CurveLut lifted = buildCurveLut({{0.2f, 0.5f}, {1, 1}});
    EXPECT_EQ(lifted[0], 16384);  // trunc(32767 * 0.5 + 0.5)
}

TEST(CurveLut, FollowsTheNaturalSplineThroughAHump) {
    // (0, 0) (0.5, 1) (1, 0): sig = 0.5, p = 2, y2[1] = -0.25,
    // u[1] = (6 * (-2 - 2) / 1) / 2 = -12, so y2[1] = -12 and on [0, 0.5]
    // the curve is 3x - 4x^3. At i = 256, x = 0.250244:
    // 0.750733 - 0.062683 = 0.688050, * 32767 + 0.5 -> 22545.
    const CurveLut hump = buildCurveLut({{0, 0}, {0.5f, 1}, {1, 0}});
    EXPECT_EQ(hump[256], 22545);
    EXPECT_EQ(hump[0], 0);
    EXPECT_EQ(hump[1023], 0);
    // Symmetric about 0.5 up to the float steps.
    EXPECT_NEAR(hump[256], hump[767], 1);
}

TEST(CurveLut, ClampsOvershootToTheTableRange) {
    // A steep rise into a plateau overshoots above 1 and dips below 0.
    const CurveLut lut = buildCurveLut({{0, 0}, {0.1f, 0.05f}, {0.2f, 1}, {0.6f, 1}, {1, 0.98f}});
    int clampedHigh = 0;
    for (int i = 0; i < kCurveLutSize; ++i) {
        EXPECT_GE(lut[i], 0);
        EXPECT_LE(lut[i], 32767);
        clampedHigh += lut[i] == 32767;
    }
    EXPECT_GT(clampedHigh, 10);
}

TEST(CurveLutSet, FillsBlueGreenRedInPictureOrder) {
    const CurvePointSet set{{{0, 1}, {1, 1}}, {{0, 0.5f}, {1, 0.5f}}, {{0, 0}, {1, 0}}};
    const CurveLutSet luts = buildCurveLutSet(set);
    EXPECT_EQ(luts.lut[2][500], 32767);  // red
    EXPECT_EQ(luts.lut[1][500], 16384);  // green
    EXPECT_EQ(luts.lut[0][500], 0);      // blue
}

TEST(LookupCurve, InterpolatesBetweenEntriesAndExtrapolatesPastTheLast) {
    CurveLut t{};
    for (int i = 0; i < kCurveLutSize; ++i) t[i] = i * 3;
    t[1022] = 100;
    t[1023] = 200;
    EXPECT_EQ(lookupCurve(t, 32640), t[1020]);            // byte 255: idx 1020, f 0
    EXPECT_EQ(lookupCurve(t, (10 << 5) + 16), (30 + 33) / 2);  // halfway: (16*30 + 16*33) >> 5 = 31
    EXPECT_EQ(lookupCurve(t, 32735), 196);                // idx 1022, f 31: (100 + 31*200) >> 5
    EXPECT_EQ(lookupCurve(t, 32736), 200);                // idx 1023, f 0
    EXPECT_EQ(lookupCurve(t, 32767), 296);                // (63*200 - 31*100) >> 5 = 296.9
    EXPECT_EQ(lookupCurve(t, 32768), 296);                // idx 1024: f taken as 31
    EXPECT_EQ(lookupCurve(t, 1 << 30), 296);
}

}  // namespace
}  // namespace lumetra
