#include <gtest/gtest.h>

#include <cstddef>

#include "phototools/curves.h"
#include "tests/phototools/map_support.h"

namespace lumetra {
namespace {

using test::newMap;

TEST(ColorMap, CloneIsIndependentAndHistographyIsCopied) {
    auto m = newMap();
    m->gain[1] = 1234;
    test::OwnedMap copy(ptCloneColorMap(m.get()));
    copy->gain[1] = 99;
    EXPECT_EQ(m->gain[1], 1234);
    EXPECT_EQ(ptCloneColorMap(nullptr), nullptr);

    Histography h{};
    h.pixelCount = 7;
    h.red[3] = 5;
    h.temperature = 5000.0;
    test::OwnedMap withHistogram(ptNewColorMapWithHistography(&h));
    EXPECT_EQ(withHistogram->histography.pixelCount, 7u);
    EXPECT_EQ(withHistogram->histography.red[3], 5u);
    EXPECT_EQ(withHistogram->histography.temperature, 5000.0);
    EXPECT_EQ(withHistogram->saturation, 256);
    test::OwnedMap withoutHistogram(ptNewColorMapWithHistography(nullptr));
    EXPECT_EQ(withoutHistogram->histography.pixelCount, 0u);
}

TEST(Curves, ComposeAppliesTheNewCurveAfterTheOld) {
    auto m = newMap();
    int identity[1024], a[1024], b[1024];
    for (int i = 0; i < 1024; ++i) {
        identity[i] = i;
        a[i] = i / 2;
        b[i] = 1023 - i;
    }
    ptApplyCurveSP(m.get(), identity);
    EXPECT_EQ(m->adjustFlags, 1u);  // even the identity marks the table in use
    EXPECT_EQ(m->toneTable[700], 700u);
    ptApplyCurveSP(m.get(), a);
    ptApplyCurveSP(m.get(), b);
    for (int i = 0; i < 1024; ++i) ASSERT_EQ(m->toneTable[i], static_cast<uint32_t>(b[a[i]]));
}

TEST(Curves, OutOfRangeEntriesAreHeldToTheTable) {
    auto m = newMap();
    int wild[1024];
    for (int i = 0; i < 1024; ++i) wild[i] = (i % 2) ? 5000 : -7;
    ptApplyCurveSP(m.get(), wild);
    EXPECT_EQ(m->toneTable[0], 0u);
    EXPECT_EQ(m->toneTable[1], 1023u);
    m->toneTable[4] = 999999;  // a host's edit cannot index outside the next curve
    ptApplyCurveSP(m.get(), wild);
    EXPECT_EQ(m->toneTable[4], 1023u);  // wild[1023] = 5000, held
}

TEST(Curves, DrawIsFlatOutsideThePointsAndClamped) {
    // Line from (0.25, 0.5) to (0.75, 1.5): flat 511 left of 0.25, clamped
    // to 1023 once the line passes 1.0 (at t = 0.5), flat at the end.
    const double x[] = {0.25, 0.75}, y[] = {0.5, 1.5};
    int out[1024];
    ptDrawCurve(2, x, y, out);
    EXPECT_EQ(out[0], 511);
    EXPECT_EQ(out[255], 511);  // t = 0.2493 < 0.25
    EXPECT_EQ(out[600], 1023);
    EXPECT_EQ(out[1023], 1023);
    // Overshoot below 0 clamps: a spline dipping between steep points.
    const double x2[] = {0.0, 0.1, 0.2, 1.0}, y2[] = {0.0, 0.0, 1.0, 1.0};
    ptDrawCurve(4, x2, y2, out);
    EXPECT_EQ(out[60], 0);
    for (int i = 0; i < 1024; ++i) ASSERT_TRUE(out[i] >= 0 && out[i] <= 1023);
}

TEST(Curves, DrawThreePointsInterpolatesThroughTheMiddle) {
    // Symmetric points (0,0) (0.5,0.5) (1,1): d = 0 everywhere, the line.
    // Sample 511 (t = 0.49951) lies in [0, 0.5]: s = t, s * 1023 = 511.0.
    const double x[] = {0.0, 0.5, 1.0}, y[] = {0.0, 0.5, 1.0};
    int out[1024];
    ptDrawCurve(3, x, y, out);
    EXPECT_EQ(out[511], 511);
    EXPECT_EQ(out[1023], 1023);
    // Four points (0,0) (0.3,0.2) (0.7,0.9) (1,1): d = (0, 6.944, -8.056, 0),
    // sampled in double: 35.4, 204.74, 575.6, and 1023 where the arc
    // overshoots 1.0 near t = 0.88.
    const double x4[] = {0.0, 0.3, 0.7, 1.0}, y4[] = {0.0, 0.2, 0.9, 1.0};
    ptDrawCurve(4, x4, y4, out);
    EXPECT_EQ(out[100], 35);
    EXPECT_EQ(out[307], 204);  // x = 0.3 exactly is sample 306.9: 307 lies right of it
    EXPECT_EQ(out[512], 575);
    EXPECT_EQ(out[900], 1023);
}

TEST(Curves, DrawWithTooFewPointsGivesTheIdentity) {
    const double x[] = {0.5}, y[] = {0.9};
    int out[1024];
    ptDrawCurve(1, x, y, out);
    EXPECT_EQ(out[300], 300);
    ptDrawCurve(3, nullptr, y, out);
    EXPECT_EQ(out[1000], 1000);
    ptDrawCurve(2, x, y, nullptr);  // nothing to write to
    const double same[] = {0.5, 0.5, 0.5}, ys[] = {0.1, 0.2, 0.3};
    ptDrawCurve(3, same, ys, out);  // undefined spline: defined, in-range output
    for (int i = 0; i < 1024; ++i) ASSERT_TRUE(out[i] >= 0 && out[i] <= 1023);
}

}  // namespace
}  // namespace lumetra
