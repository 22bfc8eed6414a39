#include <gtest/gtest.h>

#include <limits>

#include "support/pictures.h"
#include "tiltshift/aperture.h"

namespace lumetra::tiltshift {
namespace {

struct ApertureDeleter {
    void operator()(ApertureContext* context) const { doShiftApEnd(context); }
};
using OwnedAperture = std::unique_ptr<ApertureContext, ApertureDeleter>;

OwnedImage discShape() {
    return test::makePicture(15, 15, 3, 0, [](int x, int y, int) {
        return static_cast<uint8_t>((x - 7) * (x - 7) + (y - 7) * (y - 7) <= 49 ? 255 : 0);
    });
}

TEST(ApertureKernel, SizesFollowTheFloatFactor) {
    // 1024 x 640 with r = 0.015625: n = 10, 5 and 2 (2.5 truncated).
    EXPECT_EQ(apertureKernelSize(640, 0.015625f), 21);
    EXPECT_EQ(apertureKernelSize(640, 0.015625f / 2), 11);
    EXPECT_EQ(apertureKernelSize(640, 0.015625f / 4), 5);
    // 0.01f is 0.0099999998: 400 times it is 3.99999..., so n = 3.
    EXPECT_EQ(apertureKernelSize(400, 0.01f), 7);
    EXPECT_EQ(apertureKernelSize(400, 1e-6f), 3);
    EXPECT_EQ(apertureKernelSize(400, -3.0f), 3);
    EXPECT_EQ(apertureKernelSize(10, 50.0f), 21);  // held to the smaller side
    // A flat shape of green 10 on 3 x 3: sum 90, every weight 1/90 as a float.
    const OwnedImage flat = test::makeUniform(6, 6, 3, {0, 10, 0});
    const OwnedMat kernel = apertureKernel(flat.get(), 3);
    EXPECT_EQ(cvGetReal2D(kernel.get(), 1, 2), double{static_cast<float>(10 * double{1.0f / 90.0f})});
}

TEST(ApertureMask, DiscAndLineReachHalfwayMidZone) {
    // Radii 10..20: k = 3276.8f, offset trunc(10 * k) = 32768; at distance
    // 15 (9, 12 away) trunc(15 * k) - offset = 49152 - 32768 = 16384.
    EXPECT_EQ(ApertureDisc(50, 50, 10, 20).mask(59, 62), 16384);
    EXPECT_LT(ApertureDisc(50, 50, 10, 20).mask(52, 50), 0);
    // A level line, distances 4..12: offset 4 * 32768 / 8 = 16384, K = 4096;
    // 8 rows away: 8 * 4096 - 16384.
    EXPECT_EQ(ApertureLine(0, 0, 10, 0, 4, 12).mask(3, 8), 16384);
    // The diagonal: ratio 0.5f, K = trunc(sqrt(0.5) * 32768 / 8) = 2896.
    EXPECT_EQ(ApertureLine(0, 0, 10, 10, 4, 12).mask(0, 8), 8 * 2896 - 16384);
}

TEST(ApertureMask, MixSteps) {
    // Sharp 100, blurs 200, 40, 250 (x 128 on the 15-bit scale).
    EXPECT_EQ(apertureMix(-1, 100, 200, 40, 250), 100);
    EXPECT_EQ(apertureMix(2048, 100, 200, 40, 250), 150);  // (12800 + 25600) / 2
    EXPECT_EQ(apertureMix(9000, 100, 200, 40, 250), 200);
    EXPECT_EQ(apertureMix(12288, 100, 200, 40, 250), 120);  // (25600 + 5120) / 2 >> 7
    EXPECT_EQ(apertureMix(20000, 100, 200, 40, 250), 40);
    EXPECT_EQ(apertureMix(28672, 100, 200, 40, 250), 145);  // (5120 + 32000) / 2 >> 7
    EXPECT_EQ(apertureMix(int64_t{1} << 40, 100, 200, 40, 250), 250);
}

TEST(ApertureApply, SharpInsideStrongestOutsideAndRefusals) {
    const OwnedImage picture = test::makePicture(41, 23, 3, 3);
    const OwnedImage shape = discShape();
    OwnedAperture context(doShiftApStart(picture.get(), shape.get(), 0.2f));
    ASSERT_TRUE(context);
    OwnedImage strongest = test::makePicture(41, 23, 3, 1);
    ApplyShiftApBlur(context.get(), strongest.get(), 0, 0);
    EXPECT_FALSE(test::samePixels(strongest.get(), picture.get()));
    OwnedImage round = test::makePicture(41, 23, 3, 2);
    EXPECT_EQ(ApplyShiftApRound(context.get(), round.get(), 20, 11, 3, 8, 0), 0);
    EXPECT_EQ(test::pixelAt(round.get(), 21, 12), test::pixelAt(picture.get(), 21, 12));
    EXPECT_EQ(test::pixelAt(round.get(), 0, 0), test::pixelAt(strongest.get(), 0, 0));
    EXPECT_TRUE(test::paddingIntact(round.get()));
    OwnedImage line = test::makePicture(41, 23, 3, 2);
    ApplyShiftApLine(context.get(), line.get(), 0, 11, 40, 11, 1, 6, 0);
    EXPECT_EQ(test::pixelAt(line.get(), 30, 11), test::pixelAt(picture.get(), 30, 11));
    EXPECT_EQ(test::pixelAt(line.get(), 30, 0), test::pixelAt(strongest.get(), 30, 0));

    const OwnedImage before = test::clonePicture(round.get());
    ApplyShiftApRound(context.get(), round.get(), 20, 11, 5, 5, 0);
    ApplyShiftApLine(context.get(), round.get(), 4, 4, 4, 4, 1, 6, 0);
    ApplyShiftApRound(nullptr, round.get(), 20, 11, 3, 8, 0);
    EXPECT_TRUE(test::samePixels(round.get(), before.get()));
    OwnedImage other = test::makePicture(40, 23, 3);
    const OwnedImage otherBefore = test::clonePicture(other.get());
    ApplyShiftApBlur(context.get(), other.get(), 0, 0);
    ApplyShiftApLine(context.get(), other.get(), 0, 11, 40, 11, 1, 6, 0);
    EXPECT_TRUE(test::samePixels(other.get(), otherBefore.get()));
}

TEST(ApertureStart, RefusesShapesAndRadiiItCannotUse) {
    const OwnedImage picture = test::makePicture(20, 20, 3);
    const OwnedImage noGreen = test::makeUniform(9, 9, 3, {255, 0, 255});
    const OwnedImage grey = test::makePicture(9, 9, 4);
    const OwnedImage shape = discShape();
    EXPECT_EQ(doShiftApStart(picture.get(), noGreen.get(), 0.1f), nullptr);
    EXPECT_EQ(doShiftApStart(picture.get(), grey.get(), 0.1f), nullptr);
    EXPECT_EQ(doShiftApStart(picture.get(), nullptr, 0.1f), nullptr);
    EXPECT_EQ(doShiftApStart(picture.get(), shape.get(), std::numeric_limits<float>::quiet_NaN()), nullptr);
    EXPECT_EQ(doShiftApStart(nullptr, shape.get(), 0.1f), nullptr);
    // A 1 x 1 picture still gets its 3 x 3 kernels.
    const OwnedImage dot = test::makeUniform(1, 1, 3, {10, 20, 30});
    OwnedAperture context(doShiftApStart(dot.get(), shape.get(), 0.5f));
    EXPECT_TRUE(context);
    doShiftApEnd(nullptr);
}

}  // namespace
}  // namespace lumetra::tiltshift
