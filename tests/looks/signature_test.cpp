#include <gtest/gtest.h>

#include "looks/curves.h"
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/signature_data.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

using test::makeUniform;
using test::pixelAt;
using Bytes = std::vector<uint8_t>;

// Flat pictures sample to their own bytes << 7 at every canvas position,
// so each look reduces to its recipe on one pixel. The source is 5 x 3
// with a padded row; the layers have other sizes (stretched).
//   photo   (r 200, g 120, b 40)
//   tinted  (r 60, g 140, b 220), alpha 128: colour (7680, 17920, 28160),
//           alpha (128 + 1) << 7 = 16512, so a full step weighs 16512
//   green   (r 90, g 180, b 30), 3 channels
OwnedImage photo() {
    return test::makePicture(5, 3, 3, 3, [](int, int, int c) { return Bytes{40, 120, 200}[static_cast<size_t>(c)]; });
}
OwnedImage tinted() { return makeUniform(4, 7, 4, {220, 140, 60, 128}); }
OwnedImage green() { return makeUniform(9, 2, 3, {30, 180, 90}); }

Bytes corner(const IplImage* picture) { return pixelAt(picture, 4, 2); }

TEST(Glimmer, EachVariantOnFlatPictures) {
    // Core: tinted over the photo by alpha 16512, G1, green overlaid at 3276,
    // G2: (18546, 24615, 19282).
    // 1: linear_burn with green at 8192: r max(18546 + 11520 - 32767, 0) = 0
    //    -> mix15 at 8192 -> 13909 -> 108.
    // 2: soft_light with tinted at 8256 (16384 * 16512 >> 15).
    // 3: screen (26112, 6528, 0) at 16384, overlay tinted at 16512, G3.
    // 4: G4 alone.
    const OwnedImage src = photo(), over = tinted(), texture = green();
    const Bytes expected[] = {{112, 173, 108}, {158, 193, 136}, {179, 193, 147}, {164, 209, 157}};
    for (int variant = 1; variant <= 4; ++variant) {
        const OwnedImage dst = test::clonePicture(src.get());
        const IplImage* third = variant == 1 ? texture.get() : variant == 4 ? nullptr : over.get();
        applyGlimmer(src.get(), over.get(), texture.get(), third, dst.get(), variant, nullptr);
        EXPECT_EQ(corner(dst.get()), expected[variant - 1]) << "variant " << variant;
        EXPECT_TRUE(test::paddingIntact(dst.get()));
    }
}

TEST(Kailani, EachVariantOnFlatPictures) {
    // Core: K0, overlaid on itself, soft_light with tinted at 16512, 70 %
    // saturation at the same lightness: (18263, 9545, 4351).
    // 4: grey mix (-1310, 37027, -2949) - 1966 = 7258 on all three, K5,
    //    chroma, + V, overlay green (3 channels) at 16384.
    // 5: + V after K6 and chroma, clamped, levels table (20, 255, 1.3).
    const OwnedImage src = photo(), light = tinted(), mono = green();
    const Bytes expected[] = {{46, 83, 179}, {35, 75, 176}, {87, 98, 182}, {34, 73, 51}, {0, 65, 201}};
    for (int variant = 1; variant <= 5; ++variant) {
        const OwnedImage dst = test::clonePicture(src.get());
        applyKailani(src.get(), light.get(), variant == 4 ? mono.get() : light.get(), dst.get(), variant, nullptr);
        EXPECT_EQ(corner(dst.get()), expected[variant - 1]) << "variant " << variant;
    }
    for (const int fallback : {0, 6, -3}) {
        const OwnedImage dst = test::clonePicture(src.get());
        applyKailani(src.get(), light.get(), nullptr, dst.get(), fallback, nullptr);
        EXPECT_EQ(corner(dst.get()), expected[0]) << "variant " << fallback;
    }
}

TEST(Beattle, EachVariantOnFlatPictures) {
    // Photo (r 30, g 20, b 60), paper grey 10. Core: B0, paper screened:
    // (11457, 6235, 17813). The mask A2 is tinted's alpha, 16512.
    // 3: lighten with B1 of the photo: red B1 is flat at 32767, so red
    //    becomes mix15(11457, 32767, 16512) = 22195 -> 173.
    // 5: dodge with B4 of the core, grey mix - 1966, B3, chroma, + V3,
    //    overlay green at 16384.
    const OwnedImage src = makeUniform(5, 3, 3, {60, 20, 30});
    const OwnedImage paper = makeUniform(2, 2, 3, {10, 10, 10}), masked = tinted(), third = green();
    const Bytes expected[] = {{61, 118, 84}, {179, 94, 89}, {139, 56, 173}, {141, 121, 180}, {20, 45, 32}};
    for (int variant = 1; variant <= 5; ++variant) {
        const OwnedImage dst = test::clonePicture(src.get());
        applyBeattle(src.get(), paper.get(), masked.get(), third.get(), dst.get(), variant, nullptr);
        EXPECT_EQ(corner(dst.get()), expected[variant - 1]) << "variant " << variant;
    }
}

TEST(Beattle, ATransparentMaskSkipsTheMaskedSteps) {
    // Variants 2 and 3 both reduce to the core.
    const OwnedImage src = makeUniform(5, 3, 3, {60, 20, 30});
    const OwnedImage paper = makeUniform(2, 2, 3, {10, 10, 10}), clear = makeUniform(3, 3, 4, {9, 200, 90, 0});
    const OwnedImage two = test::clonePicture(src.get()), three = test::clonePicture(src.get());
    applyBeattle(src.get(), paper.get(), clear.get(), nullptr, two.get(), 2, nullptr);
    applyBeattle(src.get(), paper.get(), clear.get(), nullptr, three.get(), 3, nullptr);
    EXPECT_EQ(corner(two.get()), (Bytes{139, 48, 89}));  // (11457, 6235, 17813) as bytes
    EXPECT_TRUE(test::samePixels(two.get(), three.get()));
}

TEST(Johnny, EachVariantOnFlatPictures) {
    // Core: soft_light with green gives (23937, 18234, 1812); its lightness
    // L = (23937 + 1812) >> 1 = 12874, d = 12874 * 0.15f = 1931.1, so the
    // duotone is (12874, 14805, 10942); multiply and soft light with the
    // photo, J1, soft light with green, J2: (16132, 13543, 0).
    // 1: the grey mix (26542, 2293, 3932) gives 14014; 75 % toward it:
    //    r = (8192 * 16132 + 24576 * 14014) >> 15 = 14543 -> 113.
    // 2: soft_light with (32640, 32640, 26112) at 22937.
    // 3: tinted as the alpha picture, overlay at 16384 * 16512 >> 15.
    const OwnedImage src = photo(), texture = green(), mono = tinted();
    const Bytes expected[] = {{82, 108, 113}, {0, 146, 163}, {108, 103, 85}};
    for (int variant = 1; variant <= 3; ++variant) {
        const OwnedImage dst = test::clonePicture(src.get());
        applyJohnny(src.get(), texture.get(), texture.get(), mono.get(), dst.get(), variant, nullptr);
        EXPECT_EQ(corner(dst.get()), expected[variant - 1]) << "variant " << variant;
    }
}

TEST(SignatureLooks, ChannelCountsOfLayersAreAdapted) {
    // A 3-channel picture where alpha is sampled counts as opaque; a
    // 4-channel one where only colour is read loses its alpha.
    const OwnedImage src = photo(), texture = green();
    const OwnedImage opaque = makeUniform(4, 7, 4, {30, 180, 90, 255});
    const OwnedImage asThree = test::clonePicture(src.get()), asFour = test::clonePicture(src.get());
    applyJohnny(src.get(), texture.get(), texture.get(), texture.get(), asThree.get(), 3, nullptr);
    applyJohnny(src.get(), opaque.get(), opaque.get(), opaque.get(), asFour.get(), 3, nullptr);
    EXPECT_TRUE(test::samePixels(asThree.get(), asFour.get()));
    EXPECT_FALSE(test::samePixels(asThree.get(), src.get()));
}

TEST(SignatureLooks, RefuseWithoutTouchingTheDestination) {
    const OwnedImage src = photo(), a = tinted(), b = green();
    const OwnedImage dst = makeUniform(5, 3, 3, {1, 2, 3});
    const OwnedImage small = makeUniform(4, 3, 3, {1, 2, 3});
    const EffectRegion flat{0, 0, 0, 5, 0};
    const EffectRegion narrow{0, 0, 0, -1, 3};
    applyGlimmer(src.get(), a.get(), b.get(), b.get(), dst.get(), 5, nullptr);
    applyGlimmer(src.get(), a.get(), b.get(), nullptr, dst.get(), 1, nullptr);   // third picture missing
    applyGlimmer(src.get(), nullptr, b.get(), nullptr, dst.get(), 4, nullptr);
    applyKailani(src.get(), nullptr, b.get(), dst.get(), 1, nullptr);
    applyKailani(src.get(), a.get(), nullptr, dst.get(), 3, nullptr);
    applyKailani(src.get(), a.get(), b.get(), dst.get(), 1, &flat);
    applyBeattle(src.get(), b.get(), a.get(), b.get(), dst.get(), 0, nullptr);
    applyBeattle(src.get(), b.get(), a.get(), b.get(), dst.get(), 6, nullptr);
    applyBeattle(src.get(), b.get(), a.get(), nullptr, dst.get(), 5, nullptr);
    applyBeattle(src.get(), b.get(), a.get(), b.get(), dst.get(), 1, &narrow);
    applyJohnny(src.get(), b.get(), b.get(), a.get(), dst.get(), 4, nullptr);
    applyJohnny(src.get(), b.get(), nullptr, a.get(), dst.get(), 1, nullptr);
    applyJohnny(src.get(), b.get(), b.get(), nullptr, dst.get(), 3, nullptr);
    applyJohnny(src.get(), b.get(), b.get(), a.get(), small.get(), 1, nullptr);  // sizes differ
    EXPECT_EQ(corner(dst.get()), (Bytes{1, 2, 3}));
    EXPECT_EQ(pixelAt(small.get(), 3, 2), (Bytes{1, 2, 3}));
}

TEST(SignatureCurves, KailaniBlueListIsTakenAsStored) {
    // Points (0, 0) (0.2509, 0.2901) (0.196, 0.2588) (0.4823, 0.5686)
    // (0.9372, 1): the sweep fits the spline's first piece up to x = 0.2509
    // (entry 256, about 0.2901 * 32767 = 9506), then moves past both
    // 0.2509 and 0.196 and continues on the piece from 0.196 to 0.4823,
    // whose value at 257 / 1023 is already above 0.2901: a small step up.
    const CurveLut blue = buildCurveLutSet(signaturePoints(SignatureCurve::k4)).blue();
    EXPECT_EQ(blue[0], 0);
    EXPECT_NEAR(blue[256], 9506, 12);
    EXPECT_GT(blue[257] - blue[256], 200);
    for (int i = 1; i < kCurveLutSize; ++i) EXPECT_GE(blue[i], blue[i - 1]) << i;
    EXPECT_EQ(blue[1023], 32767);
}

TEST(SignatureCurves, NegativeInputsReadTheFirstEntry) {
    // The grey mix lowered by 1966 reaches the curves below zero.
    const CurveLutSet set = buildCurveLutSet(signaturePoints(SignatureCurve::b0));
    EXPECT_EQ(lookupCurve(set.red(), -1), set.red()[0]);
    EXPECT_EQ(lookupCurve(set.red(), -1966), set.red()[0]);
    EXPECT_EQ(lookupCurve(set.red(), INT32_MIN), set.red()[0]);
    // The row form of the same step agrees.
    CurvesStep step = applyCurves(set);
    int32_t r[2] = {-1966, 40000}, g[2] = {-1, 0}, b[2] = {INT32_MIN, 32767};
    applyRow(step, RowPlanes{r, g, b, 2, 0, 0, 0});
    EXPECT_EQ(r[0], set.red()[0]);
    EXPECT_EQ(g[0], set.green()[0]);
    EXPECT_EQ(b[0], set.blue()[0]);
    EXPECT_EQ(r[1], lookupCurve(set.red(), 40000));
}

}  // namespace
}  // namespace lumetra
