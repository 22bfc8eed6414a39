#include <gtest/gtest.h>

#include <cstring>

#include "tests/phototools/map_support.h"

namespace lumetra {
namespace {

using test::newMap;

bool sameMap(const ColorMap& a, const ColorMap& b) { return std::memcmp(&a, &b, sizeof(ColorMap)) == 0; }

TEST(ToneSetters, NeutralValuesChangeNothing) {
    auto m = newMap();
    auto fresh = newMap();
    EXPECT_EQ(ptBrightnessSP(m.get(), 0), m.get());
    ptRealExposure(m.get(), 0);
    ptExposureSP(m.get(), 0);
    ptLightDarkSP(m.get(), 0, 0);
    ptContrastSP(m.get(), 0);
    ptWhiteBlackPoint(m.get(), 255, 0);
    ptWhiteBlackPoint(m.get(), 40, 41);  // white below black
    ptFillLightSP(m.get(), 80);
    ptWhiteBalanceSP(m.get(), 6504.0, 1.001);
    EXPECT_TRUE(sameMap(*m, *fresh));
    EXPECT_EQ(ptContrastSP(nullptr, 5), nullptr);
}

TEST(ToneSetters, RealExposureMultipliesTheGains) {
    auto m = newMap();
    ptRealExposure(m.get(), 100);  // 2^1.0 in single precision
    EXPECT_EQ(m->gain[0], 16384);
    EXPECT_EQ(m->gain[2], 16384);
    EXPECT_EQ(m->renderFlags, 8u);
    EXPECT_EQ(m->adjustFlags, 0u);
    ptRealExposure(m.get(), -100);
    ptRealExposure(m.get(), -100);
    EXPECT_EQ(m->gain[1], 4096);
    // 2^0.5 = 1.41421354f (single): 8192 * 1.41421354 = 11585.2 -> 11585.
    auto half = newMap();
    ptRealExposure(half.get(), 50);
    EXPECT_EQ(half->gain[0], 11585);
    ptRealExposure(half.get(), 100000);  // far beyond the range: saturates
    EXPECT_EQ(half->gain[0], 2147483647);
}

TEST(ToneSetters, ContrastSCurveAndItsFloor) {
    auto m = newMap();
    ptContrastSP(m.get(), 50);
    // i = 256: (768*256*(-255)) / 128 = -391680, * 50 / 131072 = -149.4
    // -> -149: 256 - 149 = 107.
    EXPECT_EQ(m->toneTable[256], 107u);
    EXPECT_EQ(m->toneTable[511], 511u);
    auto floor = newMap(), at33 = newMap();
    ptContrastSP(floor.get(), -50);
    ptContrastSP(at33.get(), -33);
    EXPECT_TRUE(sameMap(*floor, *at33));
}

TEST(ToneSetters, WhiteAndBlackPoint) {
    auto m = newMap();
    ptWhiteBlackPoint(m.get(), 200, 50);  // W = 802, B = 200
    EXPECT_EQ(m->toneTable[200], 0u);
    EXPECT_EQ(m->toneTable[201], 1u);  // 1*1023 / 602
    EXPECT_EQ(m->toneTable[501], 511u);  // 301*1023 / 602 = 511.5
    EXPECT_EQ(m->toneTable[801], 1021u);
    EXPECT_EQ(m->toneTable[802], 1023u);
    auto same = newMap();
    ptWhiteBlackPoint(same.get(), 100, 100);  // W = B: a step, no division
    EXPECT_EQ(same->toneTable[401], 0u);
    EXPECT_EQ(same->toneTable[402], 1023u);
}

TEST(ToneSetters, RenderThroughTheToneTable) {
    // Exposure +100 on a grey 128: L = 16384, i = 513 -> 911 + ... the
    // table holds (510*513*100)/65536 + 513 = 912; L = 912*32640/1023
    // = 29098 -> byte 227.
    auto m = newMap();
    ptExposureSP(m.get(), 100);
    EXPECT_EQ(test::renderPixel(m.get(), {128, 128, 128}), (std::vector<uint8_t>{227, 227, 227}));
}

}  // namespace
}  // namespace lumetra
