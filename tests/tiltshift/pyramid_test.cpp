#include <gtest/gtest.h>

#include "support/pictures.h"
#include "tiltshift/shift_render.h"

namespace lumetra::tiltshift {
namespace {

using Bytes = std::vector<uint8_t>;

OwnedImage linearPicture(int width, int height, const std::vector<uint16_t>& values) {
    OwnedImage picture = createImage(width, height, IPL_DEPTH_16U, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) row16(picture.get(), y)[x * 3 + c] = values[y * width + x];
    return picture;
}

std::vector<uint16_t> firstChannel(const IplImage* picture) {
    std::vector<uint16_t> values;
    for (int y = 0; y < picture->height; ++y)
        for (int x = 0; x < picture->width; ++x) values.push_back(row16(picture, y)[x * 3]);
    return values;
}

TEST(TiltShiftTables, SplineRowsAndTransferBreakpoints) {
    SplineWeightTable weights;
    buildSplineWeights(weights);
    EXPECT_EQ(weights[0].w, (std::array<uint16_t, 4>{10922, 43692, 10922, 0}));
    EXPECT_EQ(weights[64].w, (std::array<uint16_t, 4>{4608, 40108, 20650, 170}));
    EXPECT_EQ(weights[128].w, (std::array<uint16_t, 4>{1365, 31404, 31402, 1365}));
    // Past one half the mirrored entry is read backwards.
    EXPECT_EQ(weightsForFraction(weights, 192).w, (std::array<uint16_t, 4>{170, 20650, 40108, 4608}));

    // The encoded breakpoint a / (g - 1) = 0.0392857 lies between 10/256 and
    // 11/256: 10/256 / 12.9232 * 65536 = 198.09 on the toe; 11/256 on the
    // power segment: ((0.04296875 + 0.055) / 1.055)^2.4 * 65536 = 218.4.
    auto tables = std::make_unique<TransferTables>();
    buildTransferTables(*tables);
    EXPECT_EQ(tables->toLinear[0], 0);
    EXPECT_EQ(tables->toLinear[10], 198);
    EXPECT_EQ(tables->toLinear[11], 218);
    // Linear breakpoint 0.0392857 / 12.9232 * 65536 = 199.2: 199 is on the
    // toe (199 / 65536 * 12.9232 * 256 = 10.05), 200 on the power segment
    // (1.055 * (200 / 65536)^(1/2.4) - 0.055 = 0.03944, * 256 = 10.1).
    EXPECT_EQ(tables->toEncoded[199], 10);
    EXPECT_EQ(tables->toEncoded[200], 10);
    EXPECT_EQ(tables->toEncoded[65535], 255);
}

TEST(TiltShiftPyramid, ReducesWithMirroredEdgesAndReexpandsRows) {
    // A 6 x 2 picture with one bright column (1600 at x = 2). Across:
    // k = 0 reads columns 1,0,0,1,2 -> 1600 >> 4 = 100; k = 1 reads 0..4 ->
    // (3 * 1600) >> 3 = 600; k = 2 reads 2..5,4 -> 100. Down, both rows are
    // equal (rows 1,0,0,1,1): (2v >> 4) + (2v >> 2) + (3v >> 3) gives 99
    // for 100 (12 + 50 + 37) and 600 for 600.
    const OwnedImage picture = linearPicture(6, 2, {0, 0, 1600, 0, 0, 0, 0, 0, 1600, 0, 0, 0});
    const OwnedImage reduced = reduceLevel(picture.get());
    ASSERT_EQ(reduced->width, 3);
    ASSERT_EQ(reduced->height, 1);
    EXPECT_EQ(firstChannel(reduced.get()), (std::vector<uint16_t>{99, 600, 99}));

    // Level 1 of three rows (0, 1000, 0) stretched to 6 rows: row y reads
    // level row y >> 1 at fraction 0 or 128. y = 0 reads rows 0,0,1,2:
    // 10922 * 1000 >> 16 = 166; y = 1 at 128: 31402 * 1000 >> 16 = 479;
    // y = 2 reads 0,1,2,2: 43692 * 1000 >> 16 = 666; y = 3: 31404 -> 479;
    // y = 4 reads rows 1,2,2,1 (the mirrored last tap weighs 0) -> 166;
    // y = 5 reads them at 128: (1365 + 1365) * 1000 >> 16 = 41.
    SplineWeightTable weights;
    buildSplineWeights(weights);
    const OwnedImage level = linearPicture(1, 3, {0, 1000, 0});
    const OwnedImage expanded = expandRows(weights, level.get(), 1, 6);
    EXPECT_EQ(firstChannel(expanded.get()), (std::vector<uint16_t>{166, 479, 666, 479, 166, 41}));
}

}  // namespace
}  // namespace lumetra::tiltshift
