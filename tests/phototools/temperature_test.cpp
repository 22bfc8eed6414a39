#include <gtest/gtest.h>

#include "phototools/temperature.h"
#include "tests/phototools/map_support.h"

namespace lumetra {
namespace {

using pt::Rgb3;

TEST(Temperature, RoundTrip) {
    const Rgb3 c = pt::temperatureToRgb(5000, 1.0);
    double t = 0, g = 0;
    pt::rgbToTemperature(c.r, c.g, c.b, t, g);
    EXPECT_NEAR(t, 5000, 1.0);
    EXPECT_NEAR(g, 1.0, 0.001);
    // Fifteen halvings of 19000 (to 0.58) end on this midpoint.
    EXPECT_EQ(t, 4999.9847412109375);
}

TEST(Temperature, ColourAndSliderConversions) {
    double t = -1, g = -1;
    ptColorToTemp(200, 150, 100, &t, &g);
    EXPECT_NEAR(t, 4568.59, 0.01);
    EXPECT_NEAR(g, 1.0234, 0.0001);
    double bt = -1, bg = -1;
    ptBalanceToTemp(0, 50, 100, &bt, &bg);  // levels 200, 150, 100
    EXPECT_EQ(bt, t);
    EXPECT_EQ(bg, g);

    // Zero red or green would divide by zero: the outputs stay.
    t = g = -1;
    ptColorToTemp(0, 150, 100, &t, &g);
    ptColorToTemp(10, 0, 100, &t, &g);
    ptBalanceToTemp(200, 0, 0, &t, &g);
    EXPECT_EQ(t, -1);
    EXPECT_EQ(g, -1);
}

TEST(Temperature, TempToBalance) {
    // 5000 K with all sliders at 0: level 200; R, G, B scaled to average
    // 200 are 245.59, 203.85, 150.56 -> sliders -45, -3, 50.
    int r = 0, g = 0, b = 0;
    ptTempToBalance(5000, 1.0, &r, &g, &b);
    EXPECT_EQ(r, -45);
    EXPECT_EQ(g, -3);
    EXPECT_EQ(b, 50);
    // Very warm light pushes red past 300: red is held there, the others
    // scaled with it.
    r = g = b = -100;
    ptTempToBalance(1500, 1.0, &r, &g, &b);
    EXPECT_EQ(r, -100);
    EXPECT_GT(g, -100);
    ptTempToBalance(1500, 1.0, nullptr, &g, &b);  // nothing to do
}

TEST(Temperature, WhiteBalanceGains) {
    // 5000 K: reciprocals of (1, 0.830, 0.613) normalised to luminance 1
    // -> gains 6871, 8278, 11208.
    auto m = test::newMap();
    ptWhiteBalanceSP(m.get(), 5000, 1.0);
    EXPECT_EQ(m->gain[0], 6871);
    EXPECT_EQ(m->gain[1], 8278);
    EXPECT_EQ(m->gain[2], 11208);
    EXPECT_EQ(m->renderFlags, 8u);
    auto d = test::newMap();
    ptWhiteBalanceSP(d.get(), 6504.0, 1.0);  // only (6504, 1.001) is neutral
    EXPECT_EQ(d->renderFlags, 8u);
    EXPECT_NE(d->gain[0], 8192);
}

TEST(Temperature, PickAveragesTheClippedSquare) {
    // Left half (200,150,100) in R,G,B, right half black.
    const OwnedImage img = test::makePicture(10, 10, 3, 3, [](int x, int, int c) {
        return uint8_t(x < 5 ? (c == 2 ? 200 : c == 1 ? 150 : 100) : 0);
    });
    double t = -1, g = -1, expectedT = 0, expectedG = 0;
    ptPickTemp(img.get(), 0, 0, 2, &t, &g);  // 3x3 corner: all of the left colour
    ptColorToTemp(200, 150, 100, &expectedT, &expectedG);
    EXPECT_EQ(t, expectedT);
    EXPECT_NEAR(g, expectedG, 1e-12);
    ptPickTemp(img.get(), 4, 0, 1, &t, &g);  // columns 3..5: the black column dilutes, the ratio stays
    EXPECT_EQ(t, expectedT);

    t = g = -1;
    ptPickTemp(img.get(), 50, 50, 5, &t, &g);  // wholly outside
    ptPickTemp(img.get(), 9, 9, 0, &t, &g);    // black: no red
    ptPickTemp(img.get(), 5, 5, -1, &t, &g);   // empty square
    ptPickTemp(nullptr, 0, 0, 1, &t, &g);
    EXPECT_EQ(t, -1);
    EXPECT_EQ(g, -1);
}

}  // namespace
}  // namespace lumetra
