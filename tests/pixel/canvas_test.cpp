#include <gtest/gtest.h>

#include "pixel/canvas.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

TEST(FitLayer, CoverCentredCropsTheLongAxisEqually) {
    // Layer 101 x 51 on a 50 x 50 canvas: sx = 100 * 32768 / 50 = 65536,
    // sy = 50 * 32768 / 50 = 32768 < sx, so scale = 32768 and
    // offsetX = (100 << 15 - 50 * 32768) / 2 = 819200: 25 columns each side.
    const LayerTransform wide = fitLayer(101, 51, 50, 50, kFitCoverCentred);
    EXPECT_EQ(wide.scaleX, 32768);
    EXPECT_EQ(wide.scaleY, 32768);
    EXPECT_EQ(wide.offsetX, 819200);
    EXPECT_EQ(wide.offsetY, 0);
    // Layer 11 x 31 on 20 x 20: sx = 10 * 32768 / 20 = 16384 <= sy = 49152,
    // scale 16384, offsetY = (30 << 15 - trunc(20 * 16384)) / 2 = 327680.
    const LayerTransform tall = fitLayer(11, 31, 20, 20, 7);  // unknown modes act as 0
    EXPECT_EQ(tall.scaleX, 16384);
    EXPECT_EQ(tall.offsetX, 0);
    EXPECT_EQ(tall.offsetY, 327680);
}

TEST(FitLayer, TopLeftStretchAndStrip) {
    // L = 100 << 15 = 3276800, M = 50 << 15 = 1638400 on a 30 x 40 canvas.
    const LayerTransform topLeft = fitLayer(101, 51, 30, 40, kFitCoverTopLeft);
    EXPECT_EQ(topLeft.scaleX, 40960);  // min(109226, 40960)
    EXPECT_EQ(topLeft.scaleY, 40960);
    EXPECT_EQ(topLeft.offsetX, 0);
    const LayerTransform stretch = fitLayer(101, 51, 30, 40, kFitStretch);
    EXPECT_EQ(stretch.scaleX, 109226);  // 3276800 / 30
    EXPECT_EQ(stretch.scaleY, 40960);   // 1638400 / 40
    // Strip on 100 x 60: n = trunc(100 * 0.1599999964) = 15, scale =
    // 3276800 / 15 = 218453, offsetY = (45 / 7 - 60) * 218453 + 109226
    // = -54 * 218453 + 109226 = -11687236.
    const LayerTransform strip = fitLayer(101, 51, 100, 60, kFitStrip);
    EXPECT_EQ(strip.scaleX, 218453);
    EXPECT_EQ(strip.offsetX, 0);
    EXPECT_EQ(strip.offsetY, -11687236);
    // 25 * 0.16f in double is 3.99999991: trunc gives 3, not 4.
    EXPECT_EQ(fitLayer(101, 51, 25, 60, kFitStrip).scaleX, 3276800 / 3);
}

TEST(FitLayer, RefusesWhatWouldDivideByZeroOrOverflow) {
    EXPECT_TRUE(canFitLayer(1, 1, 1, 1, kFitCoverCentred));
    EXPECT_FALSE(canFitLayer(0, 5, 10, 10, kFitStretch));
    EXPECT_FALSE(canFitLayer(5, 5, 0, 10, kFitStretch));
    EXPECT_FALSE(canFitLayer(5, 5, 10, -1, kFitCoverCentred));
    EXPECT_FALSE(canFitLayer(65536, 5, 10, 10, kFitStretch));
    EXPECT_FALSE(canFitLayer(5, 5, 6, 10, kFitStrip));  // 6 * 0.16 < 1: no strip
    EXPECT_TRUE(canFitLayer(5, 5, 7, 10, kFitStrip));
    EXPECT_TRUE(canFitLayer(5, 5, 6, 10, kFitStretch));
    // A layer of one pixel maps everything to its only pixel.
    const LayerTransform single = fitLayer(1, 1, 9, 9, kFitCoverCentred);
    EXPECT_EQ(single.scaleX, 0);
    EXPECT_EQ(single.scaleY, 0);
}

}  // namespace
}  // namespace lumetra
