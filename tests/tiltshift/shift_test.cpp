#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/pictures.h"
#include "tiltshift/shift_render.h"

namespace lumetra::tiltshift {
namespace {

std::vector<int32_t> blurRow(auto& form, std::vector<int32_t> columns, int32_t pictureY) {
    form.prepare(columns);
    std::vector<int32_t> blur(columns.size());
    form.fill(pictureY, blur.data());
    return blur;
}

struct ContextDeleter {
    void operator()(TiltShiftContext* context) const { doShiftEnd(context); }
};
using OwnedContext = std::unique_ptr<TiltShiftContext, ContextDeleter>;

TEST(TiltShiftBlur, DiscGrowsFromInnerToOuterRadius) {
    // maxBlur 1000 over radii 10..20: slope 100, innerBlur 1000. Around
    // (50, 50): distance 5 -> 500 - 1000 raised to 0; 15 (9, 12 away) ->
    // 500; 30 -> 2000, lowered to 1000.
    const BlurRange range{7, 1000, 0};
    DiscBlur disc(50, 50, 10, 20, range);
    EXPECT_EQ(blurRow(disc, {50, 59, 80}, 45)[0], 0);
    EXPECT_EQ(blurRow(disc, {50, 59, 80}, 62)[1], 500);
    EXPECT_EQ(blurRow(disc, {50, 59, 80}, 50)[2], 1000);
}

TEST(TiltShiftBlur, LineUsesTheQ15SlopeAndCosine) {
    // Distances 4..12 give span 8, nb 4, K = (1000 << 4) / 8 = 2000 and
    // innerBlur = (2000 * 4) >> 4 = 500. A level line: d = Y, cos 32768;
    // Y = 8: ((8 * 32768) >> 13) * 2000 >> 6 = 1000, minus 500.
    const BlurRange range{7, 1000, 0};
    LineBlur level(0, 0, 10, 0, 4, 12, range);
    EXPECT_EQ(blurRow(level, {3}, 8)[0], 500);
    // The diagonal: q = 32768, cos = trunc(sqrt(0.5) * 32768) = 23170; at
    // (0, 8) d = 8: (8 * 23170) >> 13 = 22, * 2000 >> 6 = 687, minus 500.
    LineBlur diagonal(0, 0, 10, 10, 4, 12, range);
    EXPECT_EQ(blurRow(diagonal, {0}, 8)[0], 187);
    // A steep line measures along X: (5, 0)-(6, 40) at row 0, column 13.
    LineBlur steep(5, 0, 5, 40, 4, 12, range);
    EXPECT_EQ(blurRow(steep, {13}, 0)[0], 500);
}

TEST(TiltShiftBlur, StrengthPicksLevelsAndSaturates) {
    // 1000 x 600: level widths 1000 ... 8. Strength 0.1 (1 / s = 10) reaches
    // level 7 (width 8): maxBlur = 0.1 / 0.125 * 32768 = 26214. A 100-pixel
    // preview raises the minimum to 0.01 * 32768 / 0.125 / 2 = 1310.
    const OwnedImage picture = test::makePicture(1000, 600, 3);
    OwnedContext context(doShiftStart(picture.get()));
    ASSERT_TRUE(context);
    BlurRange range = blurRangeFor(*context, 0.1f, ShiftView{});
    EXPECT_EQ(range.coarsest, 7);
    EXPECT_EQ(range.maxBlur, 26214);
    EXPECT_EQ(range.minBlur, 0);
    ShiftView preview;
    preview.regionMinSide = 100;
    EXPECT_EQ(blurRangeFor(*context, 0.1f, preview).minBlur, 1310);
    EXPECT_EQ(blurRangeFor(*context, 1e30f, ShiftView{}).maxBlur, 32767);
    EXPECT_EQ(blurRangeFor(*context, -2.0f, ShiftView{}).maxBlur, 0);
    // A minimum past the maximum leaves the maximum.
    DiscBlur disc(0, 0, 0, 10, BlurRange{7, 300, 2000});
    EXPECT_EQ(blurRow(disc, {0}, 0)[0], 300);
}

TEST(TiltShiftApply, RefusalsLeaveTheDestinationUntouched) {
    const OwnedImage picture = test::makePicture(40, 30, 3);
    OwnedContext context(doShiftStart(picture.get()));
    ASSERT_TRUE(context);
    const OwnedImage before = test::makePicture(40, 30, 3, 0, [](int, int, int) { return uint8_t{7}; });
    OwnedImage dst = test::clonePicture(before.get());
    const OwnedImage small = test::makePicture(20, 30, 3, 0, [](int, int, int) { return uint8_t{7}; });
    OwnedImage wrongSize = test::clonePicture(small.get());
    const OwnedImage fourBefore = test::makePicture(40, 30, 4, 0, [](int, int, int) { return uint8_t{7}; });
    OwnedImage four = test::clonePicture(fourBefore.get());
    EffectRegion empty{0, 0, 0, 0, 30};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();

    AppplyShiftRound(context.get(), dst.get(), 0.5f, 20, 15, 5, 5, nullptr, 1);     // inner == outer
    AppplyShiftRound(context.get(), dst.get(), 0.5f, 20, 15, -5, -20, nullptr, 1);  // outer -10 < inner
    AppplyShiftRound(context.get(), dst.get(), nan, 20, 15, 5, 10, nullptr, 1);
    AppplyShiftRound(context.get(), dst.get(), 0.5f, 20, 15, 5, 10, &empty, 1);
    AppplyShiftLine(context.get(), dst.get(), 0.5f, 3, 3, 3, 3, 5, 10, nullptr, 1);  // one point
    AppplyShiftLine(context.get(), dst.get(), 0.5f, 0, 3, 9, 3, 5, 5, nullptr, 1);
    AppplyShiftLine(context.get(), dst.get(), inf, 0, 3, 9, 3, 5, 10, nullptr, 1);
    AppplyShiftBlur(context.get(), dst.get(), -inf, nullptr);
    AppplyShiftBlur(context.get(), dst.get(), 0.5f, &empty);
    AppplyShiftBlur(nullptr, dst.get(), 0.5f, nullptr);
    AppplyShiftBlur(context.get(), nullptr, 0.5f, nullptr);
    EXPECT_TRUE(test::samePixels(dst.get(), before.get()));
    AppplyShiftRound(context.get(), wrongSize.get(), 0.5f, 20, 15, 5, 10, nullptr, 1);
    EXPECT_TRUE(test::samePixels(wrongSize.get(), small.get()));
    AppplyShiftBlur(context.get(), four.get(), 0.5f, nullptr);
    EXPECT_TRUE(test::samePixels(four.get(), fourBefore.get()));

    EXPECT_EQ(doShiftStart(nullptr), nullptr);
    EXPECT_EQ(doShiftStart(four.get()), nullptr);
    doShiftEnd(nullptr);
}

TEST(TiltShiftApply, KeepFlagDecidesWhetherTheContextTakesTheResult) {
    const OwnedImage picture = test::makePicture(64, 48, 3);
    OwnedContext context(doShiftStart(picture.get()));
    OwnedImage first = test::clonePicture(picture.get());
    OwnedImage second = test::clonePicture(picture.get());
    AppplyShiftRound(context.get(), first.get(), 0.3f, 32, 24, 4, 20, nullptr, 1);
    AppplyShiftRound(context.get(), second.get(), 0.3f, 32, 24, 4, 20, nullptr, 1);
    EXPECT_TRUE(test::samePixels(first.get(), second.get()));
    EXPECT_FALSE(test::samePixels(first.get(), picture.get()));
    // Inside the inner radius b = 0: the pixel goes through both tables only.
    OwnedImage final1 = test::clonePicture(picture.get());
    AppplyShiftRound(context.get(), final1.get(), 0.3f, 32, 24, 4, 20, nullptr, 0);
    EXPECT_TRUE(test::samePixels(final1.get(), first.get()));
    OwnedImage final2 = test::clonePicture(picture.get());
    AppplyShiftRound(context.get(), final2.get(), 0.3f, 32, 24, 4, 20, nullptr, 0);
    EXPECT_FALSE(test::samePixels(final2.get(), final1.get()));
    EXPECT_EQ(test::pixelAt(final2.get(), 32, 24), test::pixelAt(final1.get(), 32, 24));
}

TEST(TiltShiftApply, OnePixelPictureGoesThroughBothTables) {
    // One level only: every apply shows the picture through both tables,
    // each truncating: 128 -> 14027 (0.21404) -> 127.998 -> 127, and
    // 255 -> 64955 -> 254.999 -> 254.
    const OwnedImage dot = test::makeUniform(1, 1, 3, {0, 128, 255});
    OwnedContext single(doShiftStart(dot.get()));
    ASSERT_TRUE(single);
    OwnedImage out = test::makeUniform(1, 1, 3, {9, 9, 9});
    AppplyShiftBlur(single.get(), out.get(), 10.0f, nullptr);
    EXPECT_EQ(test::pixelAt(out.get(), 0, 0), (std::vector<uint8_t>{0, 127, 254}));
}

}  // namespace
}  // namespace lumetra::tiltshift
