#include <gtest/gtest.h>

#include "look_pictures.h"
#include "looks/routines.h"
#include "support/recording_loader.h"

namespace lumetra {
namespace {

using test::pixelAt;
using Bytes = std::vector<uint8_t>;

TEST(Vignetting2, TracesLevelsSaturationAndTheQ12Gain) {
    // "@ vignetting2 -100 0 0.01 0.01 1.3": levels scale 1305, offset -2570,
    // range 0.78431374 * 1.3f -> s = 1.0196078 (row r: 33218, -377, -73).
    // (220, 120, 20) -> matrix and levels (32872, 16239, 0); Q12 gain at
    // (7, 2) with R = 10 is 3208 -> (25745, 12718, 0) -> bytes (201, 99, 0).
    const OwnedImage src = test::tracePicture({20, 120, 220});
    OwnedImage dst = test::clonePicture(src.get());
    applyVignetting2(src.get(), dst.get(), -100, 0, 0.01f, 0.01f, 1.3f, nullptr);
    EXPECT_EQ(pixelAt(dst.get(), 7, 2), (Bytes{0, 99, 201}));
}

TEST(Vignetting2, SaturationZeroGivesGreyAndAmountZeroNoVignette) {
    const OwnedImage src = test::makePicture(20, 14, 3);
    OwnedImage grey = test::clonePicture(src.get());
    applyVignetting2(src.get(), grey.get(), -100, 0, 0.01f, 0.01f, 0.0f, nullptr);
    for (int x = 0; x < 20; x += 3) {
        const Bytes p = pixelAt(grey.get(), x, 5);
        EXPECT_EQ(p[0], p[1]);
        EXPECT_EQ(p[1], p[2]);
    }
    // Without strength the gain is 4096 everywhere: corners and centre see
    // the same stretch, so a flat picture stays flat.
    const OwnedImage flat = test::makeUniform(9, 9, 3, {40, 90, 160});
    OwnedImage out = test::clonePicture(flat.get());
    applyVignetting2(flat.get(), out.get(), 0, 0, 0.01f, 0.01f, 1.0f, nullptr);
    EXPECT_EQ(pixelAt(out.get(), 0, 0), pixelAt(out.get(), 4, 4));
}

TEST(Vignetting, AMaskMultipliesTheStretchedPixel) {
    // Clips (0.1, 0.2): lo 20/255, hi 120/255, scale 2611, range 0.39215687,
    // s = range * 1.3f. (220, 120, 20) -> (52207, 35567, 18929); a flat
    // mask of 128 halves it: (26103, 17783, 9464) -> bytes (203, 138, 73).
    const OwnedImage src = test::tracePicture({20, 120, 220});
    const OwnedImage mask = test::makeUniform(3, 5, 3, {128, 128, 128});
    OwnedImage dst = test::clonePicture(src.get());
    applyVignetting(src.get(), dst.get(), mask.get(), 0.1f, 0.2f, 1.3f, nullptr);
    EXPECT_EQ(pixelAt(dst.get(), 7, 2), (Bytes{73, 138, 203}));
}

TEST(Vignetting, MaskChannelsFeedBlueGreenRedAndStretchOverTheCanvas) {
    // A 2 x 1 mask: left column keeps only blue, right column only red. At
    // canvas column 0 the sample is the left column exactly; the last column
    // samples just left of the mask's right column.
    const OwnedImage src = test::makeUniform(16, 4, 3, {200, 200, 200});
    const OwnedImage mask = test::makePicture(2, 1, 3, 0, [](int x, int, int c) -> uint8_t {
        return x == 0 ? (c == 0 ? 255 : 0) : (c == 2 ? 255 : 0);
    });
    OwnedImage dst = test::clonePicture(src.get());
    applyVignetting(src.get(), dst.get(), mask.get(), 0.1f, 0.2f, 0.0f, nullptr);
    const Bytes left = pixelAt(dst.get(), 0, 0);
    EXPECT_GT(left[0], 0);
    EXPECT_EQ(left[1], 0);
    EXPECT_EQ(left[2], 0);
    const Bytes right = pixelAt(dst.get(), 15, 3);
    EXPECT_EQ(right[1], 0);
    EXPECT_GT(right[2], right[0]);
}

TEST(Vignetting, FxVignetteStageLoadsAMaskOfKindOne) {
    const OwnedImage src = test::tracePicture({20, 120, 220});
    test::RecordingLoader loader;
    loader.serve("mask.png", test::makeUniform(3, 5, 4, {128, 128, 128, 7}));
    OwnedImage dst = test::clonePicture(src.get());
    fx(src.get(), dst.get(), -1, "mask.png", nullptr, test::RecordingLoader::load, nullptr, loader.userData());
    ASSERT_EQ(loader.calls.size(), 1u);
    EXPECT_EQ(loader.calls[0].kind, 1);
    EXPECT_EQ(pixelAt(dst.get(), 7, 2), (Bytes{73, 138, 203}));  // the alpha byte plays no part
}

}  // namespace
}  // namespace lumetra
