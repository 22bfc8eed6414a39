#include <gtest/gtest.h>

#include "looks/levels.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

TEST(SaturationMatrix, GreyAtZeroIdentityAtOneNegativeSideEntriesAbove) {
    for (const auto& row : saturationMatrix(0.0)) EXPECT_EQ(row, (std::array<int32_t, 3>{9798, 19234, 3736}));
    EXPECT_EQ(saturationMatrix(1.0), (ColorMatrix15{{{32768, 0, 0}, {0, 32768, 0}, {0, 0, 32768}}}));
    // s = 1.3: 9798 * -0.3 + 32768 * 1.3 = 39659.0; 19234 * -0.3 = -5770.2
    // truncates toward zero to -5770.
    EXPECT_EQ(saturationMatrix(1.3),
              (ColorMatrix15{{{39659, -5770, -1120}, {-2939, 36828, -1120}, {-2939, -5770, 41477}}}));
}

LevelsHistogram histogramOf(std::initializer_list<std::pair<int, uint64_t>> bins, uint64_t pixels) {
    LevelsHistogram h;
    for (const auto& [bin, count] : bins) h.count[static_cast<size_t>(bin)] = count;
    h.pixels = pixels;
    return h;
}

TEST(FindLevels, ThresholdIsTheDoubleProductOfTheWidenedFraction) {
    // N = 10000, a = 0.01f: trunc(10000 * 0.009999999776 * 3) = 299, not 300.
    // The running sum passes 299 at bin 11, so lo = 11/255.
    const LevelsHistogram h = histogramOf({{10, 299}, {11, 1}, {200, 29700}}, 10000);
    const Levels levels = findLevels(h, 0.01f, 0.0);
    EXPECT_EQ(levels.lo, static_cast<float>(11 / 255.0));
    EXPECT_EQ(levels.hi, static_cast<float>(200 / 255.0));
    // No bin passes a threshold above every sample: 0.
    EXPECT_EQ(findLevels(h, 2.0, 2.0).lo, 0.0f);
    EXPECT_EQ(findLevels(h, 2.0, 2.0).hi, 0.0f);
}

TEST(AutoLevels, ZeroClipsStretchTheDarkestAndBrightestBytes) {
    const auto picture = test::makePicture(7, 5, 3, 2, [](int x, int y, int c) {
        return static_cast<uint8_t>(x == 3 && y == 2 && c == 1 ? 20 : (x == 6 && c == 0 ? 230 : 100));
    });
    // lo = 20/255, hi = 230/255, range = 0.82352942f: scale trunc(1024 /
    // range) = 1243, offset -trunc(lo * 32768) = -2570.
    const AutoLevels levels = measureAutoLevels(picture.get(), nullptr, 0.0f, 0.0f);
    EXPECT_EQ(levels.scale.scale, 1243);
    EXPECT_EQ(levels.scale.offset, -2570);
    EXPECT_EQ(levels.range, static_cast<float>(230 / 255.0f - 20 / 255.0f));
    // The histogram always covers the whole picture, whatever the region.
    const EffectRegion corner{0, 0, 0, 2, 2};
    const AutoLevels underRegion = measureAutoLevels(picture.get(), &corner, 0.0f, 0.0f);
    EXPECT_EQ(underRegion.scale.scale, 1243);
    EXPECT_EQ(underRegion.scale.offset, -2570);
}

// A large picture settles its clip points from a sample of rows and
// counts above a few bins; the result must be the whole histogram's, also
// where the sampled rows mislead, the range is narrow, a fourth channel is
// present or the rows are padded.
TEST(AutoLevels, LargePicturesMatchTheWholeHistogram) {
    const auto shades = [](int x, int y, int c) { return static_cast<uint8_t>((x * 7 + y * 3 + c * 50) % 251); };
    const auto misleading = [](int x, int y, int c) {
        return static_cast<uint8_t>(y % 16 == 8 ? 0 : 128 + (x + y + c) % 100);
    };
    const auto narrow = [](int x, int y, int) { return static_cast<uint8_t>(100 + (x + y) % 9); };
    const OwnedImage pictures[] = {
        test::makePicture(203, 70, 3, 5, shades), test::makePicture(61, 97, 4, 0, shades),
        test::makePicture(90, 80, 3, 0, misleading), test::makePicture(77, 64, 3, 0, narrow)};
    const float clips[][2] = {{0.1f, 0.1f}, {0.1f, 0.2f}, {0.01f, 0.01f}, {0.0f, 0.0f}, {0.6f, 0.6f}};
    for (const auto& picture : pictures)
        for (const auto& clip : clips) {
            const AutoLevels whole = autoLevelsOf(takeHistogram(picture.get()), clip[0], clip[1]);
            const AutoLevels measured = measureAutoLevels(picture.get(), nullptr, clip[0], clip[1]);
            EXPECT_EQ(measured.scale.scale, whole.scale.scale) << picture->width << " " << clip[0];
            EXPECT_EQ(measured.scale.offset, whole.scale.offset) << picture->width << " " << clip[0];
            EXPECT_EQ(measured.range, whole.range) << picture->width << " " << clip[0];
        }
}

TEST(AutoLevels, WidensTheClipsUntilTheRangeIsWideEnough) {
    // Half the samples at 10, half at 250. Clips of 0.61 cut past the middle
    // (hi < lo); 0.59 .. 0.51 still do; at 0.49 lo = 10/255 and hi =
    // 250/255, range 0.94117647f: scale 1087, offset -trunc(1285.02).
    const LevelsHistogram h = histogramOf({{10, 150}, {250, 150}}, 100);
    const AutoLevels levels = autoLevelsOf(h, 0.61f, 0.61f);
    EXPECT_EQ(levels.scale.scale, 1087);
    EXPECT_EQ(levels.scale.offset, -1285);
}

TEST(AutoLevels, AFlatPictureKeepsItsTones) {
    const auto flat = test::makeUniform(4, 4, 3, {90, 90, 90});
    const AutoLevels levels = measureAutoLevels(flat.get(), nullptr, 0.1f, 0.2f);
    EXPECT_EQ(levels.scale.scale, 1024);
    EXPECT_EQ(levels.scale.offset, 0);
    EXPECT_EQ(levels.range, 1.0f);
    // Fractions past every sample, or not numbers at all, still end.
    EXPECT_EQ(autoLevelsOf(histogramOf({{5, 3}}, 1), 1e30f, 1e30f).scale.scale, 1024);
    EXPECT_EQ(autoLevelsOf(histogramOf({{5, 3}}, 1), NAN, NAN).scale.scale, 1024);
}

}  // namespace
}  // namespace lumetra
