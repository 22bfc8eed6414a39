#include <gtest/gtest.h>

#include "pixel/terms.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

using test::makePicture;
using test::pixelAt;

TEST(PixelWalk, SourceAloneCopiesThePictureAndLeavesThePadding) {
    const OwnedImage src = makePicture(5, 3, 3, /*padding=*/7);
    const OwnedImage dst = makePicture(5, 3, 3, /*padding=*/2, [](int, int, int) { return 0; });
    pixelWalk(dst.get(), canvasWindow(nullptr, src.get()), source(src.get()));
    EXPECT_TRUE(test::samePixels(src.get(), dst.get()));
    EXPECT_TRUE(test::paddingIntact(dst.get()));
}

TEST(PixelWalk, StepsApplyInOrderWithScratchAndConstants) {
    const OwnedImage src = test::makeUniform(2, 2, 3, {40, 100, 200});  // B, G, R
    const OwnedImage dst = makePicture(2, 2, 3);
    // p = src; V = p; p = grey 16384 at full weight; p = mix(p, p + V, 0.5)
    // with "linear dodge": r = (16384 + min(16384 + 25600, 32767)) / 2 = 24575
    // -> byte 191; g: (16384 + 29184) / 2 = 22784 -> 178; b: (16384 +
    // 21504) / 2 = 18944 -> 148.
    pixelWalk(dst.get(), CanvasWindow{},
              source(src.get()) | keep<0>() | step<Opacity>(constant({16384, 16384, 16384}), 32768) |
                  step<LinearDodge>(scratch<0>(), weight(16384)));
    EXPECT_EQ(pixelAt(dst.get(), 1, 1), (std::vector<uint8_t>{148, 178, 191}));
}

TEST(PixelWalk, AStepWithAnAlphaLayerScalesItsWeight) {
    const OwnedImage src = test::makeUniform(3, 3, 3, {0, 0, 0});
    const OwnedImage texture = test::makeUniform(2, 2, 4, {200, 200, 200, 128});
    const OwnedImage dst = makePicture(3, 3, 3);
    // Alpha 128 samples to (128 * 32768 + 32768) >> 8 = 16512; weight
    // 32768 * 16512 >> 15 = 16512; 200 << 7 = 25600 mixed in by 16512:
    // 25600 * 16512 >> 15 = 12900 -> byte 100.
    pixelWalk(dst.get(), CanvasWindow{},
              source(src.get()) | step<Opacity>(layer<4>(texture.get(), fitLayer(2, 2, 3, 3, kFitStretch)), 32768));
    EXPECT_EQ(pixelAt(dst.get(), 2, 0), (std::vector<uint8_t>{100, 100, 100}));
}

TEST(PixelWalk, MaskTermsReadOneChannel) {
    const OwnedImage src = test::makeUniform(2, 1, 3, {0, 0, 0});
    const OwnedImage maskPicture = test::makeUniform(2, 1, 3, {0, 128, 0});
    const OwnedImage dst = makePicture(2, 1, 3);
    // Weight = green sample 16384: white (32640) half mixed in -> 16320 -> 127.
    pixelWalk(dst.get(), CanvasWindow{},
              source(src.get()) | step<Opacity>(constant({32640, 32640, 32640}),
                                                mask(layer<3>(maskPicture.get(), LayerTransform{}),
                                                     MaskChannel::green)));
    EXPECT_EQ(pixelAt(dst.get(), 1, 0), (std::vector<uint8_t>{127, 127, 127}));
}

TEST(PixelWalk, FourChannelDestinationsStoreAlphaByItsRule) {
    const OwnedImage src = makePicture(4, 3, 4);
    const OwnedImage dst = makePicture(4, 3, 4, 0, [](int, int, int) { return 0; });
    pixelWalk(dst.get(), CanvasWindow{}, source(image4(src.get())));
    EXPECT_TRUE(test::samePixels(src.get(), dst.get()));
}

}  // namespace
}  // namespace lumetra
