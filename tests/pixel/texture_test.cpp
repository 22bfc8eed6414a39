// The texture overlays: a hand-worked pixel per routine family, the corner
// fits, the refusals, and the keywords reaching their routines through fx.
//
// A flat photo keeps its tones through the levels stretch (identity, range
// 1), so with k = 1 the prepared source S is the photo itself, and a uniform
// texture samples to its byte << 7 everywhere.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "pixel/corner_fits.h"
#include "pixel/routines.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

using Bytes = std::vector<uint8_t>;

OwnedImage flat(int width, int height, int channels, Bytes pixel) {
    return test::makeUniform(width, height, channels, std::move(pixel));
}

// Recipe 2, step(exclude, T, 16711): a = 100 << 7 = 12800, b = 200 << 7 =
// 25600; exclude = 12800 + 25600 - (12800 * 25600 >> 14) = 18400;
// mix15(12800, 18400, 16711) = (16057 * 12800 + 16711 * 18400) >> 15 =
// 15656, stored 15656 >> 7 = 122.
TEST(Texture, RecipeMixesItsStepsOverThePreparedSource) {
    const OwnedImage src = flat(9, 7, 3, {100, 100, 100});
    const OwnedImage texture = flat(4, 3, 3, {200, 200, 200});
    const OwnedImage dst = test::makePicture(9, 7, 3, 3);
    applyTexture(src.get(), dst.get(), texture.get(), 2, nullptr);
    EXPECT_EQ(test::pixelAt(dst.get(), 8, 6), (Bytes{122, 122, 122}));
    EXPECT_TRUE(test::paddingIntact(dst.get()));
}

// Recipe 11 lays a 4-channel texture on with its alpha: a fully covering
// texel replaces the photo, a clear one keeps it (a grey photo is its own S
// even at k = 1.5: each matrix row sums to 32768).
TEST(Texture, AlphaOfTheTextureScalesTheWeight) {
    const OwnedImage src = flat(5, 3, 3, {90, 90, 90});
    const OwnedImage opaque = flat(2, 2, 4, {40, 50, 60, 255});
    const OwnedImage clear = flat(2, 2, 4, {40, 50, 60, 0});
    const OwnedImage dst = test::makePicture(5, 3, 3);
    applyTexture(src.get(), dst.get(), opaque.get(), 12, nullptr);
    EXPECT_EQ(test::pixelAt(dst.get(), 4, 2), (Bytes{40, 50, 60}));
    applyTexture(src.get(), dst.get(), clear.get(), 13, nullptr);
    EXPECT_EQ(test::pixelAt(dst.get(), 4, 2), (Bytes{90, 90, 90}));
}

// Index 3 on a black photo: look A gives black; look B gives blue 0.098f
// -> round(32767 x 0.098f) = 3211 and green 0.0039f -> 128. A white mask
// weighs 32640 + 1 = 32641: blue (32641 * 3211) >> 15 = 3198 -> byte 24
// (B alone would store 25), green (32641 * 128) >> 15 = 127 -> 0.
TEST(Texture3, MaskPicksBetweenTheLooksWithATraceOfAUnderWhite) {
    const OwnedImage src = flat(6, 5, 3, {0, 0, 0});
    const OwnedImage white = flat(3, 3, 3, {255, 255, 255});
    const OwnedImage black = flat(3, 3, 3, {0, 0, 0});
    const OwnedImage dst = test::makePicture(6, 5, 3, 1);
    applyTexture3(src.get(), dst.get(), white.get(), 3, nullptr);
    EXPECT_EQ(test::pixelAt(dst.get(), 5, 4), (Bytes{24, 0, 0}));
    applyTexture3(src.get(), dst.get(), black.get(), 3, nullptr);
    EXPECT_EQ(test::pixelAt(dst.get(), 5, 4), (Bytes{0, 0, 0}));
    EXPECT_TRUE(test::paddingIntact(dst.get()));
}

TEST(Texture3, IndexFiveAndOutOfRangeIndexesRunLookOne) {
    const OwnedImage src = test::makePicture(13, 9, 3);
    const OwnedImage mask = test::makePicture(7, 5, 3);
    const OwnedImage one = test::makePicture(13, 9, 3);
    applyTexture3(src.get(), one.get(), mask.get(), 1, nullptr);
    for (int index : {5, 42, 0, -3}) {
        const OwnedImage other = test::makePicture(13, 9, 3);
        applyTexture3(src.get(), other.get(), mask.get(), index, nullptr);
        EXPECT_TRUE(test::samePixels(one.get(), other.get())) << index;
    }
}

// A flat grey 100 keeps its tones; overlay with 200: a = 12800 < 16384, so
// (12800 * 25600) >> 14 = 20000 -> byte 156.
TEST(BwTexture, OverlaysTheGreyPhoto) {
    const OwnedImage src = flat(5, 4, 3, {100, 100, 100});
    const OwnedImage texture = flat(3, 2, 3, {200, 200, 200});
    const OwnedImage dst = test::makePicture(5, 4, 3);
    applyBwTexture(src.get(), dst.get(), texture.get(), 1, nullptr);
    EXPECT_EQ(test::pixelAt(dst.get(), 2, 3), (Bytes{156, 156, 156}));
}

// Index 4 on a flat 100 (a = 12800): screen with black keeps 12800; vivid
// light with white (b = 32640) dodges to (12800 << 14) / 128 = 1638400,
// mixed at 22609 to 1134418; multiply with black mixed at 28180 leaves
// (4588 * 1134418) >> 15 = 158834, far past white (and past 32 bits in
// the product): stored 255.
TEST(MutiTexture, VividLightCarriesPastWhiteThroughTheNextStep) {
    const OwnedImage src = flat(7, 5, 3, {100, 100, 100});
    const OwnedImage black = flat(3, 3, 3, {0, 0, 0});
    const OwnedImage white = flat(3, 3, 3, {255, 255, 255});
    const std::array<const IplImage*, kMaxMutiTextures> textures{black.get(), black.get(), white.get()};
    const OwnedImage dst = test::makePicture(7, 5, 3, 1);
    applyMutiTexture(src.get(), dst.get(), textures.data(), 4, nullptr);
    EXPECT_EQ(test::pixelAt(dst.get(), 6, 4), (Bytes{255, 255, 255}));
    EXPECT_TRUE(test::paddingIntact(dst.get()));
}

// Layer 129 x 65 on a 256 x 256 canvas, L = 128 << 15 = 4194304.
// One third: sx = 128 * 98304 / 256 = 49152, sy = 24576, s = 24576;
// offsetX = 4194304 - 256 * 24576 = -2097152 (the layer starts a third in).
// One and a half: max(49152 / 2, 24576 / 2) = 24576; offsetX =
// (-256 * 24576) / 20 = -314572 (truncated toward zero).
TEST(MutiTexture, CornerFits) {
    const auto third = fitOneThirdTopRight(129, 65, 256, 256);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->offsetX, -2097152);
    EXPECT_EQ(third->offsetY, 0);
    EXPECT_EQ(third->scaleX, 24576);
    EXPECT_EQ(third->scaleY, 24576);
    const auto shifted = fitOneAndHalfShifted(129, 65, 256, 256);
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->offsetX, -314572);
    EXPECT_EQ(shifted->scaleX, 24576);
    EXPECT_EQ(shifted->scaleY, 24576);
    // Outside 32 bits, or no canvas: no fit.
    EXPECT_FALSE(fitOneThirdTopRight(65535, 65535, 1, 1));
    EXPECT_FALSE(fitOneAndHalfShifted(65535, 65535, 1, 1));
    EXPECT_FALSE(fitOneThirdTopRight(10, 10, 0, 5));
}

// Every routine leaves dst as it was when it cannot run.
TEST(TextureRefusals, LeaveTheDestinationUntouched) {
    const OwnedImage src = test::makePicture(9, 6, 3);
    const OwnedImage t3 = test::makePicture(5, 4, 3);
    const OwnedImage t4 = test::makePicture(5, 4, 4);
    const OwnedImage dst = test::makePicture(9, 6, 3, 2);
    const OwnedImage before = test::clonePicture(dst.get());
    const EffectRegion noWidth{0, 0, 0, 0, 6};
    const EffectRegion negativeHeight{0, 0, 0, 9, -1};

    for (const EffectRegion* region : {&noWidth, &negativeHeight}) {
        applyTexture(src.get(), dst.get(), t3.get(), 2, region);
        applyTexture3(src.get(), dst.get(), t3.get(), 1, region);
        applyBwTexture(src.get(), dst.get(), t3.get(), 1, region);
    }
    for (int index : {0, 14, -1}) applyTexture(src.get(), dst.get(), t3.get(), index, nullptr);
    applyTexture(src.get(), dst.get(), nullptr, 2, nullptr);
    applyTexture(src.get(), dst.get(), t4.get(), 2, nullptr);   // T: 3 channels
    applyTexture(src.get(), dst.get(), t3.get(), 11, nullptr);  // T4: 4 channels
    applyTexture3(src.get(), dst.get(), nullptr, 1, nullptr);
    applyTexture3(src.get(), dst.get(), t4.get(), 1, nullptr);
    applyBwTexture(src.get(), dst.get(), t3.get(), 3, nullptr);
    applyBwTexture(src.get(), dst.get(), t4.get(), 1, nullptr);
    applyBwTexture(nullptr, dst.get(), t3.get(), 1, nullptr);

    // muti_texture 5 needs five 4-channel pictures, 2 a 4- and a 3-channel.
    std::array<const IplImage*, kMaxMutiTextures> four{t4.get(), t4.get(), t4.get(), t4.get()};
    applyMutiTexture(src.get(), dst.get(), four.data(), 5, nullptr);
    std::array<const IplImage*, kMaxMutiTextures> swapped{t3.get(), t4.get()};
    applyMutiTexture(src.get(), dst.get(), swapped.data(), 2, nullptr);
    std::array<const IplImage*, kMaxMutiTextures> two{t4.get(), t3.get()};
    for (int index : {0, 6}) applyMutiTexture(src.get(), dst.get(), two.data(), index, nullptr);
    applyMutiTexture(src.get(), dst.get(), two.data(), 2, &noWidth);
    applyMutiTexture(src.get(), dst.get(), nullptr, 2, nullptr);

    EXPECT_TRUE(test::samePixels(dst.get(), before.get()));
    EXPECT_TRUE(test::paddingIntact(dst.get()));
}

}  // namespace
}  // namespace lumetra
