#include <gtest/gtest.h>

#include <algorithm>

#include "pixel/layer_sampler.h"
#include "pixel/terms.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

TEST(LayerSampler, StretchOnItsOwnSizeStaysLeftOfTheLastColumn) {
    // Canvas column c maps to x = c * ((WL - 1) << 15) / WL: for WL = 4 the
    // last column lands at 3 * 24576 = 73728 = 2.25 pixels, a quarter of
    // the way from column 2 to 3, not on column 3.
    const OwnedImage layer = test::makePicture(4, 1, 3, 0, [](int x, int, int) { return x * 80; });
    LayerSampler<3> sampler(layer.get(), fitLayer(4, 1, 4, 1, kFitStretch));
    sampler.start({4, 1, 0, 0});
    sampler.rowStart({0, 0});
    EXPECT_EQ(sampler.sampleColumn(0).r, 0);
    // s = 160 * 24576 + 240 * 8192 = 5898240; >> 8 = 23040 (byte 180).
    EXPECT_EQ(sampler.sampleColumn(3).r, 23040);
}

TEST(LayerSampler, OpaqueAlphaSamplesToFullCover) {
    const OwnedImage layer = test::makeUniform(3, 3, 4, {10, 20, 30, 255});
    LayerSampler<4> sampler(layer.get(), fitLayer(3, 3, 7, 7, kFitStretch));
    sampler.start({7, 7, 0, 0});
    sampler.rowStart({3, 3});
    EXPECT_EQ(sampler.sampleColumn(5).a, 32768);
    EXPECT_EQ(sampler.sampleColumn(5).b, 10 << 7);
}

// Every sample of each layout against the bilinear rule, on layers whose
// neighbours differ by up to a full 255, stretched up (far and a little)
// and shrunk with offsets; alpha with its full-cover rule.
TEST(LayerSampler, EverySampleFollowsTheBilinearRule) {
    const auto byte = [](int x, int y, int c) {
        return (x * 7 + y * 13 + c * 5) % 3 == 0 ? 255 : (x * 37 + y * 91 + c * 53) % 256;
    };
    const OwnedImage layer = test::makePicture(13, 9, 4, 0, byte), colourLayer = test::makePicture(13, 9, 3, 0, byte);
    const auto rule = [&](const LayerTransform& t, int32_t x, int32_t y, int c) {
        const core::Split15 lx = core::split15(layerCoordinate15(x, t.scaleX, t.offsetX, 13));
        const core::Split15 ly = core::split15(layerCoordinate15(y, t.scaleY, t.offsetY, 9));
        const int x1 = std::min(lx.whole + 1, 12), y1 = std::min(ly.whole + 1, 8);
        const int32_t s = core::bilinear15<core::FirstAxis::Down, 15, 0>(
            byte(lx.whole, ly.whole, c), byte(x1, ly.whole, c), byte(lx.whole, y1, c), byte(x1, y1, c), lx.fraction,
            ly.fraction);
        return c == 3 ? alphaSample15(s) : colourSample15(s);
    };
    for (const auto& [width, height] : {std::pair{61, 37}, std::pair{17, 7}, std::pair{6, 5}}) {
        const WalkFrame frame{width, height, 2, 1};
        const LayerTransform transform = fitLayer(13, 9, width + 3, height + 2, kFitCoverCentred);
        LayerSampler<4> interleaved(layer.get(), transform);
        LayerSampler<4> split(layer.get(), transform, SampleLayout::colourThenCover);
        LayerSampler<3> colourOnly(colourLayer.get(), transform);
        interleaved.start(frame);
        split.start(frame);
        colourOnly.start(frame);
        std::vector<int32_t> colour(static_cast<size_t>(width) * 3 + 1), cover(colour.size());
        for (int row = 0; row < height; ++row) {
            const RowSpot spot{row, frame.y + row};
            interleaved.rowStart(spot);
            colourOnly.rowStart(spot);
            split.prepareRow(spot);
            split.sampleColumns(0, width, colour.data(), cover.data());
            for (int col = 0; col < width; ++col) {
                const auto sample = interleaved.sampleColumn(col);
                const auto colourSample = colourOnly.sampleColumn(col);
                const int32_t values[4] = {sample.b, sample.g, sample.r, sample.a};
                const int32_t colourValues[3] = {colourSample.b, colourSample.g, colourSample.r};
                for (int c = 0; c < 4; ++c) {
                    const int32_t expected = rule(transform, frame.x + col, spot.y, c);
                    ASSERT_EQ(values[c], expected) << width << " " << col << "," << row << " " << c;
                    ASSERT_EQ(c < 3 ? colour[static_cast<size_t>(col * 3 + c)] : cover[static_cast<size_t>(col * 3)],
                              expected);
                    if (c < 3) {
                        ASSERT_EQ(colourValues[c], expected);
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace lumetra
