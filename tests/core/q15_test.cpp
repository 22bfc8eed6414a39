#include <gtest/gtest.h>

#include "core/q15.h"

namespace lumetra {
namespace {

TEST(Q15, ConversionsFollowTheByteRules) {
    EXPECT_EQ(colourToQ15(255), 32640);  // c << 7: white is not quite 1.0
    EXPECT_EQ(alphaToQ15(127), 16256);   // (127 + 0) << 7
    EXPECT_EQ(alphaToQ15(128), 16512);   // (128 + 1) << 7
    EXPECT_EQ(alphaToQ15(255), 32768);   // (255 + 1) << 7: full cover
    EXPECT_EQ(toByte15(32767), 255);
    EXPECT_EQ(toByte15(-5), 0);
    EXPECT_EQ(toByte15(40000), 255);
    EXPECT_EQ(toByte15(int64_t{5'000'000'000}), 255);
    EXPECT_EQ(alphaToByte15(32768), 255);  // 256 -> min(256, 256) - 1
    EXPECT_EQ(alphaToByte15(40000), 255);  // 312 capped at 256, less one
    EXPECT_EQ(alphaToByte15(-1), 255);     // the unsigned pattern is huge
    EXPECT_EQ(alphaToByte15(16512), 128);  // 129 - 1
}

TEST(Q15, OpacityPercentagesTruncate) {
    EXPECT_EQ(opacity15(100), 32768);
    EXPECT_EQ(opacity15(50), 16384);
    EXPECT_EQ(opacity15(1), 327);  // 32768 / 100 = 327.68
    EXPECT_EQ(opacity15(-1), -327);
    EXPECT_EQ(opacity15(131072), 0);  // 2^17 << 15 wraps to 0 in 32 bits
}

TEST(Q15, MixAndLuminance) {
    EXPECT_EQ(mix15(1000, 5000, 0), 1000);
    EXPECT_EQ(mix15(1000, 5000, 32768), 5000);
    EXPECT_EQ(mix15(1000, 5000, 16384), 3000);
    EXPECT_EQ(mix15(-3, 0, 16384), -2);  // -49152 >> 15 = -2: the shift floors
    // A hard-light result far out of range (fuzzed fx): 16384 x -149449
    // leaves 32 bits and wraps, and the wrapped sum is the true one,
    // 655360000 - 2448572416 = -1793212416; >> 15 = -54725
    EXPECT_EQ(mix15(40000, -149449, 16384), -54725);
    // 64-bit mix of an overshoot: (16384 * 32640 + 16384 * 4177920) >> 15
    EXPECT_EQ(mix15Wide(32640, 4177920, 16384), 2105280);
    EXPECT_EQ(mix15Wide(0, 1 << 30, 1 << 30), INT32_MAX);  // saturates
    EXPECT_EQ(luminance15({16384, 16384, 16384}), 16384);
    // (9798 * 32640 + 0 + 0) >> 15 = 9759.8 -> 9759
    EXPECT_EQ(luminance15({32640, 0, 0}), 9759);
}

}  // namespace
}  // namespace lumetra
