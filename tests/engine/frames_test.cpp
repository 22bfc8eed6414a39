// Frames: zones, the piece sampler (stretched, repeated, wrapping with floor
// semantics), the clamped stretch of applyFrame, compositing by the
// sample's alpha, and the frame stage's refusals.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "engine/interpreter.h"
#include "pixel/frames.h"
#include "pixel/routines.h"
#include "support/pictures.h"
#include "support/recording_loader.h"

namespace lumetra {
namespace {

using Bytes = std::vector<uint8_t>;

// A 2-wide piece whose blue runs 0 | 200 across its columns (every row
// alike), green and red 0, the given alpha.
OwnedImage blueRamp(int height = 2, uint8_t alpha = 255) {
    return test::makePicture(2, height, 4, 0, [alpha](int x, int, int c) -> uint8_t {
        if (c == 3) return alpha;
        return c == 0 && x == 1 ? 200 : 0;
    });
}

struct Pieces {
    std::array<OwnedImage, kFramePieces> owned;
    std::array<const IplImage*, kFramePieces> list{};
    void set(int i, OwnedImage piece) {
        owned[i] = std::move(piece);
        list[i] = owned[i].get();
    }
};

// Piece i a solid colour (10 + i, 20 + i, 30 + i) at full cover.
Pieces solidPieces() {
    Pieces p;
    for (int i = 0; i < kFramePieces; ++i)
        p.set(i, test::makeUniform(5, 4, 4, {uint8_t(10 + i), uint8_t(20 + i), uint8_t(30 + i), 255}));
    return p;
}

TEST(Frames, ThicknessIsTheTruncatedDoubleProduct) {
    // 400 x 0.01f = 400 x 0.0099999998 = 3.99999991 -> 3
    EXPECT_EQ(frameThickness({true, 0, 0, 400, 600}, 0.01f), 3);
    EXPECT_EQ(frameThickness({true, 0, 0, 100, 60}, 0.05f), 3);
    EXPECT_FALSE(frameThickness({true, 0, 0, 100, 60}, std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(frameThickness({true, 0, 0, 100, 60}, 1e30f));
    EXPECT_FALSE(frameThickness({true, 0, 0, 0, 60}, 0.05f));
}

TEST(Frames, ZonesPickTheirPieceAndTheInteriorKeepsTheSource) {
    const Pieces pieces = solidPieces();
    const OwnedImage src = test::makeUniform(100, 60, 3, {1, 2, 3});
    const OwnedImage dst = test::makePicture(100, 60, 3);
    applyFramePieces(src.get(), dst.get(), pieces.list.data(), 0.05f, 0, nullptr);  // t = 3
    EXPECT_EQ(test::pixelAt(dst.get(), 50, 1), (Bytes{11, 21, 31}));  // top edge
    EXPECT_EQ(test::pixelAt(dst.get(), 97, 1), (Bytes{12, 22, 32}));  // top-right
    EXPECT_EQ(test::pixelAt(dst.get(), 97, 57), (Bytes{14, 24, 34}));  // bottom-right
    EXPECT_EQ(test::pixelAt(dst.get(), 2, 30), (Bytes{17, 27, 37}));  // left edge
    EXPECT_EQ(test::pixelAt(dst.get(), 3, 3), (Bytes{1, 2, 3}));  // interior
    EXPECT_EQ(test::pixelAt(dst.get(), 50, 30), (Bytes{1, 2, 3}));

    // factor 0.01: t = 0, a plain copy of the source
    const OwnedImage copy = test::makePicture(100, 60, 3);
    applyFramePieces(src.get(), copy.get(), pieces.list.data(), 0.01f, 1, nullptr);
    EXPECT_TRUE(test::samePixels(copy.get(), src.get()));
}

TEST(Frames, StretchedEdgeSamplesPixelCentres) {
    // 10 x 10, factor 0.2: t = 2; top edge target (2, 0, 6, 2), piece 2 x 1.
    // sx = 32768 / 6 = 5461, ox = 2730 - 2 x 5461 = -8192.
    // x = 2: position 2730, blue 200 x 2730 >> 8 = 2132 -> byte 16.
    // x = 7: position 30035, 200 x 30035 >> 8 = 23464 -> byte 183.
    Pieces pieces = solidPieces();
    pieces.set(1, blueRamp(1));
    const OwnedImage src = test::makeUniform(10, 10, 3, {90, 90, 90});
    const OwnedImage dst = test::clonePicture(src.get());
    applyFramePieces(src.get(), dst.get(), pieces.list.data(), 0.2f, 0, nullptr);
    EXPECT_EQ(test::pixelAt(dst.get(), 2, 0)[0], 16);
    EXPECT_EQ(test::pixelAt(dst.get(), 7, 0)[0], 183);
}

TEST(Frames, RepeatedEdgeWrapsItsNeighbourColumn) {
    // Top edge (2, 0, 6, 2), piece 2 x 2: sx = 5461 <= sy = 16384, so
    // n = trunc(6 x 16384 / 2 / 32768 + 0.5) = 2 copies, sx = 4 x 32768 / 6
    // = 21845, ox = 10922 - 43690 = -32768.
    // x = 3: position 32767, column 0 toward 1: 200 x 32767 >> 8 = 25599 -> 199.
    // x = 4: position 54612, column 1 (200) toward column 2, which wraps to
    //        column 0 (0): 200 x (32768 - 21844) >> 8 = 8534 -> 66.
    Pieces pieces = solidPieces();
    pieces.set(1, blueRamp(2));
    const OwnedImage src = test::makeUniform(10, 10, 3, {90, 90, 90});
    const OwnedImage dst = test::clonePicture(src.get());
    applyFramePieces(src.get(), dst.get(), pieces.list.data(), 0.2f, 1, nullptr);
    EXPECT_EQ(test::pixelAt(dst.get(), 3, 0)[0], 199);
    EXPECT_EQ(test::pixelAt(dst.get(), 4, 0)[0], 66);
}

TEST(Frames, NegativePositionsContinueFromTheFarEdge) {
    // Region (-1, 0, 10, 10): column 0 is canvas x = -1, in the top-left
    // corner (t = 2). Corner 2 x 2 on (0, 0, 2, 2): sx = 16384, ox = 8192;
    // position 8192 - 16384 = -8192 floors to 57344: column 1 (200) toward
    // column 0 (0) at 24576: 200 x 8192 >> 8 = 6400 -> 50.
    Pieces pieces = solidPieces();
    pieces.set(0, blueRamp(2));
    const OwnedImage src = test::makeUniform(10, 10, 3, {90, 90, 90});
    const OwnedImage dst = test::clonePicture(src.get());
    const EffectRegion region{0, -1, 0, 10, 10};
    applyFramePieces(src.get(), dst.get(), pieces.list.data(), 0.2f, 0, &region);
    EXPECT_EQ(test::pixelAt(dst.get(), 0, 0)[0], 50);
}

TEST(Frames, StretchedFrameClampsAtItsEdges) {
    // Frame 2 x 2 on 5 x 5: sx = 32768 / 5 = 6553. No region: x = 4 at
    // 26212: 200 x 26212 >> 8 = 20478 -> 159.
    const OwnedImage frame = blueRamp(2);
    const OwnedImage src = test::makeUniform(5, 5, 3, {90, 90, 90});
    const OwnedImage dst = test::clonePicture(src.get());
    applyFrame(src.get(), dst.get(), frame.get(), nullptr);
    EXPECT_EQ(test::pixelAt(dst.get(), 4, 0)[0], 159);
    EXPECT_EQ(test::pixelAt(dst.get(), 0, 4)[0], 0);
    // Region (20, 0, 5, 5): ox = 20 x 6553 / 5 = 26212, column 0 samples at
    // 26212 + 20 x 6553 = 157272, clamped to the last column: 200.
    const EffectRegion region{0, 20, 0, 5, 5};
    applyFrame(src.get(), dst.get(), frame.get(), &region);
    EXPECT_EQ(test::pixelAt(dst.get(), 0, 0)[0], 200);
}

TEST(Frames, AlphaDecidesTheCover) {
    // Alpha 128 samples to (128 x 32768 + 32768) >> 8 = 16512; blue 100
    // under 200: (16256 x 12800 + 16512 x 25600) >> 15 = 19249 -> 150.
    const OwnedImage src = test::makeUniform(5, 5, 3, {100, 100, 100});
    const OwnedImage dst = test::clonePicture(src.get());
    applyFrame(src.get(), dst.get(), test::makeUniform(3, 3, 4, {200, 0, 0, 128}).get(), nullptr);
    EXPECT_EQ(test::pixelAt(dst.get(), 2, 2), (Bytes{150, 49, 49}));  // 0 under 100: 6350 -> 49
    applyFrame(src.get(), dst.get(), test::makeUniform(3, 3, 4, {200, 0, 0, 0}).get(), nullptr);
    EXPECT_TRUE(test::samePixels(dst.get(), src.get()));

    // A transparent 4-channel source takes the sample's colour; its alpha
    // is the cover, stored by the alpha rule (16512 -> 128).
    const OwnedImage canvas = test::makeUniform(5, 5, 4, {0, 0, 0, 0});
    applyFrame(canvas.get(), canvas.get(), test::makeUniform(3, 3, 4, {200, 10, 20, 128}).get(), nullptr);
    EXPECT_EQ(test::pixelAt(canvas.get(), 1, 3), (Bytes{200, 10, 20, 128}));
}

TEST(Frames, OddSizesPaddingAndAShiftedSource) {
    const Pieces pieces = solidPieces();
    const OwnedImage src = test::makePicture(7, 5, 3, 3);
    const OwnedImage dst = test::makePicture(7, 5, 3, 5);
    applyFramePieces(src.get(), dst.get(), pieces.list.data(), 0.2f, 1, nullptr);  // t = 1
    EXPECT_EQ(test::pixelAt(dst.get(), 6, 4), (Bytes{14, 24, 34}));
    EXPECT_EQ(test::pixelAt(dst.get(), 3, 2), test::pixelAt(src.get(), 3, 2));
    EXPECT_TRUE(test::paddingIntact(dst.get()));

    // A source 4 wider and 2 taller than dst is read centred: dst (0, 0)
    // shows src (2, 1) under a clear frame; a smaller one reads black.
    const OwnedImage clear = test::makeUniform(2, 2, 4, {0, 0, 0, 0});
    const OwnedImage wide = test::makePicture(11, 7, 3);
    applyFrame(wide.get(), dst.get(), clear.get(), nullptr);
    EXPECT_EQ(test::pixelAt(dst.get(), 0, 0), test::pixelAt(wide.get(), 2, 1));
    const OwnedImage one = test::makePicture(1, 1, 3);
    applyFrame(one.get(), dst.get(), clear.get(), nullptr);
    EXPECT_EQ(test::pixelAt(dst.get(), 3, 2), test::pixelAt(one.get(), 0, 0));
    EXPECT_EQ(test::pixelAt(dst.get(), 0, 0), (Bytes{0, 0, 0}));
    EXPECT_TRUE(test::paddingIntact(dst.get()));
}

TEST(Frames, UnusablePiecesAndRegionsLeaveTheDestination) {
    Pieces pieces = solidPieces();
    const OwnedImage src = test::makePicture(12, 10, 3);
    const OwnedImage dst = test::makePicture(12, 10, 3, 2);
    const OwnedImage before = test::clonePicture(dst.get());
    const EffectRegion flat{0, 0, 0, 12, 0};
    applyFramePieces(src.get(), dst.get(), pieces.list.data(), 0.2f, 0, &flat);
    applyFramePieces(src.get(), dst.get(), pieces.list.data(), 1e30f, 0, nullptr);
    applyFramePieces(src.get(), test::makePicture(12, 10, 4).get(), pieces.list.data(), 0.2f, 0, nullptr);
    applyFramePieces(src.get(), dst.get(), nullptr, 0.2f, 0, nullptr);
    applyFrame(src.get(), dst.get(), test::makePicture(3, 3, 3).get(), nullptr);  // no alpha
    applyFrame(src.get(), dst.get(), nullptr, nullptr);
    applyFrame(src.get(), dst.get(), pieces.list[0], &flat);
    pieces.set(5, test::makePicture(4, 4, 3));
    applyFramePieces(src.get(), dst.get(), pieces.list.data(), 0.2f, 0, nullptr);
    pieces.set(5, nullptr);
    applyFramePieces(src.get(), dst.get(), pieces.list.data(), 0.2f, 0, nullptr);
    EXPECT_TRUE(test::samePixels(dst.get(), before.get()));
    EXPECT_TRUE(test::paddingIntact(dst.get()));
}

// The frame stage through fx: type 5 draws its border, then the tiled frame
// of the shortened name as a stage with its own refusals.
class FrameStage : public ::testing::Test {
protected:
    OwnedImage src = test::makeUniform(40, 30, 3, {90, 90, 90});
    OwnedImage dst = test::clonePicture(src.get());
    test::RecordingLoader loader;

    void serveFrame(const std::string& name, bool texture) {
        for (int i = 0; i < kFramePieces; ++i)
            loader.serve(name + "_" + std::to_string(i) + ".png",
                         test::makeUniform(4, 4, 4, {uint8_t(10 * i), 50, 60, 255}));
        if (texture) loader.serve(name + "_tt.png", test::makeUniform(4, 4, 4, {128, 128, 128, 255}));
    }
    OwnedImage draw(const char* spec) {
        OwnedImage out = test::clonePicture(src.get());
        fx(src.get(), out.get(), -1, nullptr, spec, test::RecordingLoader::load, nullptr, &loader);
        return out;
    }
};

TEST_F(FrameStage, TypeFiveKeepsItsBorderWhenOnlyTheInnerFrameIsMissing) {
    serveFrame("wood_a", true);
    const OwnedImage border = draw("4,0.1,0,80,9,wood_a");
    EXPECT_FALSE(test::samePixels(border.get(), src.get()));
    EXPECT_TRUE(test::samePixels(draw("5,0.1,0,80,9,wood_a").get(), border.get()));  // no "wood" pieces
    serveFrame("wood", false);
    EXPECT_FALSE(test::samePixels(draw("5,0.1,0,80,9,wood_a").get(), border.get()));
}

TEST_F(FrameStage, AMissingOrFlatPieceSkipsTheWholeFrame) {
    serveFrame("wood", false);
    serveFrame("wood_a", false);  // no texture: the border is refused, the inner frame too
    EXPECT_TRUE(test::samePixels(draw("5,0.1,0,80,9,wood_a").get(), src.get()));
    loader.serve("wood_a_tt.png", test::makeUniform(4, 4, 3, {128, 128, 128}));  // no alpha
    EXPECT_TRUE(test::samePixels(draw("4,0.1,0,80,9,wood_a").get(), src.get()));
    loader.serve("wood_3.png", test::makeUniform(4, 4, 3, {1, 2, 3}));
    EXPECT_TRUE(test::samePixels(draw("3,0.1,wood").get(), src.get()));
}

}  // namespace
}  // namespace lumetra
