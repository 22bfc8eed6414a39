#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "pixel/blend.h"
#include "pixel/blend_formulas.h"
#include "pixel/blend_layer_op.h"
#include "pixel/blend_words.h"
#include "pixel/canvas.h"
#include "pixel/routines.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

using Bytes = std::vector<uint8_t>;
using test::makePicture;
using test::makeUniform;
using test::pixelAt;

// Blends a uniform layer over a uniform 3 x 2 base and returns one pixel.
// A uniform layer samples to exactly c << 7 everywhere.
Bytes blendUniform(const char* mode, const Bytes& base, const Bytes& layer, int opacity, int keepAlpha = 0) {
    const int channels = static_cast<int>(base.size());
    const OwnedImage basePicture = makeUniform(3, 2, channels, base);
    const OwnedImage layerPicture = makeUniform(2, 2, static_cast<int>(layer.size()), layer);
    const int stored = (keepAlpha || channels == 4) ? 4 : 3;
    const OwnedImage dst = makePicture(3, 2, stored, 0, [](int, int, int) { return 7; });
    blendByName(basePicture.get(), dst.get(), layerPicture.get(), keepAlpha, opacity, mode, 0, nullptr);
    return pixelAt(dst.get(), 2, 1);
}

Bytes grey(uint8_t v) { return {v, v, v}; }

// One pixel per mode, worked by hand from its formula; a = base, b = layer
// on the Q15 scale (byte << 7), t = opacity; results are stored >> 7.
// Steps before a blend can push values far out of range (fuzzed fx inputs:
// beattle's add left a = 47618 before soft light, a vignette left a = -82566
// before hard light with a gradient map of 44122): the products wrap.
TEST(BlendModes, ProductsPastRangeWrap) {
    // soft light, b = 0, lower half: a x a = 2267473924 wraps to
    // -2027493372, >> 15 = -61875; -32767 x (47618 + 61875) = -3587757131
    // wraps to 707210165, >> 15 = 21582; 47618 + 21582 = 69200
    EXPECT_EQ(SoftLight::channel(47618, 0), 69200);
    // soft light, b = 32640, upper half: R(47618) = trunc(sqrt(1560346624))
    // = 39501; (32513 x -8117) >> 15 = -8054; 47618 - 8054 = 39564
    EXPECT_EQ(SoftLight::channel(47618, 32640), 39564);
    // hard light, b >= 16384: a x b = -3642977052 wraps to 651990244, m =
    // 39794; 2 x (-82566 + 44122) - 39794 - 32767 = -149449
    EXPECT_EQ(HardLight::channel(-82566, 44122), -149449);
}

TEST(BlendModes, HandWorkedPixels) {
    // t = (60 << 15) / 100 = 19660: (13108 * 12800 + 19660 * 25600) >> 15 = 20479 -> 159
    EXPECT_EQ(blendUniform("opacity", grey(100), grey(200), 60), grey(159));
    // min = 7680; half-way from 12800: 10240 -> 80
    EXPECT_EQ(blendUniform("darken", grey(100), grey(60), 50), grey(80));
    EXPECT_EQ(blendUniform("lighten", grey(100), grey(60), 100), grey(100));
    // 32640 * 32640 >> 15 = 32512 -> 254: a white layer still darkens
    EXPECT_EQ(blendUniform("multiply", grey(255), grey(255), 100), grey(254));
    // 12800 + 25600 - (12800 * 25600 >> 15 = 10000) = 28400 -> 221
    EXPECT_EQ(blendUniform("screen", grey(100), grey(200), 100), grey(221));
    // (12800 << 15) / (32768 - 12800) = 21005 -> 164
    EXPECT_EQ(blendUniform("color_dodge", grey(100), grey(100), 100), grey(164));
    // 32767 - (7167 << 15) / 25601 = 32767 - 9173 = 23594 -> 184
    EXPECT_EQ(blendUniform("color_burn", grey(200), grey(200), 100), grey(184));
    // (19967 << 15) / 12801 = 51111 caps at 32767: 32767 - 32767 = 0
    EXPECT_EQ(blendUniform("color_burn", grey(100), grey(100), 100), grey(0));
    // 6400 + 12800 = 19200 -> 150; 12800 + 25600 caps at 32767 -> 255
    EXPECT_EQ(blendUniform("linear_dodge", grey(50), grey(100), 100), grey(150));
    EXPECT_EQ(blendUniform("linear_dodge", grey(100), grey(200), 100), grey(255));
    // 51200 - 32767 = 18433 -> 144; 12800 - 32767 < 0 -> 0
    EXPECT_EQ(blendUniform("linear_burn", grey(200), grey(200), 100), grey(144));
    EXPECT_EQ(blendUniform("linear_burn", grey(50), grey(50), 100), grey(0));
    // m = 12800 * 25600 >> 14 = 20000 -> 156 (a < 16384); with a and b
    // swapped: 2 * 38400 - 20000 - 32767 = 24033 -> 187
    EXPECT_EQ(blendUniform("overlay", grey(100), grey(200), 100), grey(156));
    EXPECT_EQ(blendUniform("overlay", grey(200), grey(100), 100), grey(187));
    EXPECT_EQ(blendUniform("hard_light", grey(200), grey(100), 100), grey(156));
    EXPECT_EQ(blendUniform("hard_light", grey(100), grey(200), 100), grey(187));
    // b >= 16384: R(12800) = sqrt(419430400) = 20480; 12800 + ((18433 *
    // 7680) >> 15 = 4320) = 17120 -> 133
    EXPECT_EQ(blendUniform("soft_light", grey(100), grey(200), 100), grey(133));
    // b < 16384: 12800 + ((-19967 * (12800 - 5000)) >> 15 = -4753) = 8047 -> 62
    EXPECT_EQ(blendUniform("soft_light", grey(100), grey(50), 100), grey(62));
    // b < 16384: 32767 - ((19967 * 6400) >> 14 = 7799) = 24968 -> 195
    EXPECT_EQ(blendUniform("vivid_light", grey(100), grey(50), 100), grey(195));
    // 12800 + 51200 - 32767 = 31233 -> 244
    EXPECT_EQ(blendUniform("linear_light", grey(100), grey(200), 100), grey(244));
    // a > 2b: 2b = 12800 -> 100; a in range: a; below: 2b - 32768 = 18432 -> 144
    EXPECT_EQ(blendUniform("pin_light", grey(200), grey(50), 100), grey(100));
    EXPECT_EQ(blendUniform("pin_light", grey(100), grey(100), 100), grey(100));
    EXPECT_EQ(blendUniform("pin_light", grey(0), grey(200), 100), grey(144));
    // 32767 - 12800 = 19967: b = 19840 (155) is below -> 0, 19968 (156) is not -> 255
    EXPECT_EQ(blendUniform("hard_mix", grey(100), grey(155), 100), grey(0));
    EXPECT_EQ(blendUniform("hard_mix", grey(100), grey(156), 100), grey(255));
    EXPECT_EQ(blendUniform("difference", grey(100), grey(200), 100), grey(100));
    EXPECT_EQ(blendUniform("difference", grey(200), grey(30), 100), grey(170));
    // 38400 - (12800 * 25600 >> 14 = 20000) = 18400 -> 143
    EXPECT_EQ(blendUniform("exclude", grey(100), grey(200), 100), grey(143));
}

TEST(BlendModes, UnclampedOvershootIsHalvedBeforeTheStore) {
    // vivid_light, b >= 16384: (16000 << 14) / 7168 = 36571; at 50 %:
    // (16000 + 36571) / 2 = 26285 -> 205 (clamping first would give 190).
    EXPECT_EQ(blendUniform("vivid_light", grey(125), grey(200), 50), grey(205));
    // White over white: (32640 << 14) / 128 = 4177920, far past 32 bits once
    // weighted; taken in 64 bits it clamps to white instead of wrapping.
    EXPECT_EQ(blendUniform("vivid_light", grey(255), grey(255), 100), grey(255));
    EXPECT_EQ(blendUniform("vivid_light", grey(255), grey(255), 60), grey(255));
    // A black layer gives 32767 whatever the base.
    EXPECT_EQ(blendUniform("vivid_light", grey(3), grey(0), 100), grey(255));
    // linear_light: 19200 + 51200 - 32767 = 37633; half: 28416 -> 222
    EXPECT_EQ(blendUniform("linear_light", grey(150), grey(200), 50), grey(222));
    // negative: 19200 + 6400 - 32767 = -7167; half: (19200 - 7167) / 2 = 6016 -> 47
    EXPECT_EQ(blendUniform("linear_light", grey(150), grey(25), 50), grey(47));
}

TEST(BlendModes, ColorAndLuminosityMoveLuminance) {
    // Base B, G, R = 50, 100, 200: lum = (9798 * 25600 + 19234 * 12800 +
    // 3736 * 6400) >> 15 = 15897. A grey layer 60 has lum 7680.
    // color: 7680 + (15897 - 7680) = 15897 on every channel -> 124 (grey)
    EXPECT_EQ(blendUniform("color", {50, 100, 200}, grey(60), 100), grey(124));
    // luminosity: each channel - 8217: R 17383 -> 135, G 4583 -> 35, B -1817 -> 0
    EXPECT_EQ(blendUniform("luminosity", {50, 100, 200}, grey(60), 100), (Bytes{0, 35, 135}));
    // Same luminance: unchanged.
    EXPECT_EQ(blendUniform("luminosity", {50, 100, 200}, {50, 100, 200}, 100), (Bytes{50, 100, 200}));
}

TEST(BlendModes, OpacityPastTheEndsExtrapolates) {
    // t = 65536: (-32768 * 12800 + 65536 * 19200) >> 15 = 25600 -> 200
    EXPECT_EQ(blendUniform("opacity", grey(100), grey(150), 200), grey(200));
    // t = 327680 needs 64-bit products: 76800 clamps to 255
    EXPECT_EQ(blendUniform("opacity", grey(100), grey(150), 1000), grey(255));
    EXPECT_EQ(blendUniform("opacity", grey(100), grey(150), -100), grey(50));
    // 60000 << 15 = 1966080000 still fits: t = 19660800, products far
    // past 32 bits; 2000000000 << 15 wraps to a negative weight.
    EXPECT_EQ(blendUniform("vivid_light", grey(255), grey(255), 60000), grey(255));
    EXPECT_EQ(blendUniform("vivid_light", grey(255), grey(255), 2000000000), grey(0));
}

TEST(BlendAlpha, FourChannelLayersScaleTheWeight) {
    for (const char* mode : kBlendModeNames)
        EXPECT_EQ(blendUniform(mode, {10, 100, 250}, {200, 30, 90, 0}, 100), (Bytes{10, 100, 250})) << mode;
    // Alpha 128 samples to 16512: t' = 16512, mixing 200 into 0 -> 100.
    EXPECT_EQ(blendUniform("opacity", grey(0), {200, 200, 200, 128}, 100), grey(100));
}

TEST(BlendAlpha, AccumulationOverAFourChannelBase) {
    // A = 0: the colour becomes the layer's (12800), alpha t' = 16384. Then
    // multiply: f = 5000, mix(12800, 5000, 16384) = 8900 -> 69; alpha 16384
    // -> 128 > 127 -> 127.
    EXPECT_EQ(blendUniform("multiply", {10, 20, 30, 0}, {100, 100, 100, 255}, 50), (Bytes{69, 69, 69, 127}));
    // keepAlpha stores the base's own alpha: the colour still changes.
    EXPECT_EQ(blendUniform("multiply", {10, 20, 30, 0}, {100, 100, 100, 255}, 50, 1), (Bytes{69, 69, 69, 0}));
    // A = 16512 (byte 128), t = 16384: S = 16512 + 16384 - 8256 = 24640;
    // (16512 << 15) / 24640 = 21958, colour mix(12800, 25600, 10810) = 17022;
    // then mix(17022, 25600, 16384) = 21311 -> 166; alpha 24640 -> 192 - 1.
    EXPECT_EQ(blendUniform("opacity", {100, 100, 100, 128}, grey(200), 50), (Bytes{166, 166, 166, 191}));
    EXPECT_EQ(blendUniform("opacity", {100, 100, 100, 128}, grey(200), 50, 1), (Bytes{166, 166, 166, 128}));
    // Full alpha: only the combiner acts, alpha stays full.
    EXPECT_EQ(blendUniform("opacity", {100, 100, 100, 255}, grey(200), 50), (Bytes{150, 150, 150, 255}));
    // keepAlpha over a 3-channel base: the base covers fully.
    EXPECT_EQ(blendUniform("opacity", grey(100), grey(200), 50, 1), (Bytes{150, 150, 150, 255}));
}

// The byte path's division in float with a remainder step, its soft light
// table, its absolute difference and its split 32-bit mix, over their whole
// domain: every base byte against every layer sample a bilinear sample can
// give (0..32640).
TEST(BlendFormulas, ByteFormsAgreeWithTheIntegerFormulasEverywhere) {
    for (int c = 0; c < 256; ++c) {
        const int32_t a = c << 7;
        for (int32_t b = 0; b <= 32640; ++b) {
            ASSERT_EQ(ColorDodge::byteChannel(a, b), ColorDodge::channel(a, b)) << c << " " << b;
            ASSERT_EQ(ColorBurn::byteChannel(a, b), ColorBurn::channel(a, b)) << c << " " << b;
            ASSERT_EQ(SoftLight::byteChannel(a, b), SoftLight::channel(a, b)) << c << " " << b;
            ASSERT_EQ(Difference::byteChannel(a, b), Difference::channel(a, b)) << c << " " << b;
            const int32_t vivid = VividLight::channel(a, b);
            ASSERT_EQ(VividLight::byteChannel(a, b), vivid) << c << " " << b;
            for (int32_t t : {0, 1, 19660, 32767, 32768})
                ASSERT_EQ(mix15Split(a, vivid, t), mix15Wide(a, vivid, t)) << c << " " << b << " " << t;
        }
    }
}

// A row pass against the byte the rule stores, for every base byte and
// every layer sample, at the weights at and next to the ends: `row` does
// what it can of a row and says how much.
template <class F, class Row>
void expectRowMatchesTheRule(Row row) {
    std::vector<int32_t> colour(32641);
    for (int32_t b = 0; b <= 32640; ++b) colour[static_cast<size_t>(b)] = b;
    std::vector<uint8_t> base(colour.size()), out(colour.size());
    for (int32_t t : {1, 19661, 32767, 32768}) {
        for (int c = 0; c < 256; ++c) {
            std::fill(base.begin(), base.end(), static_cast<uint8_t>(c));
            const int done = row(base.data(), colour.data(), out.data(), 32641, t);
            const int32_t a = c << 7;
            for (int b = 0; b < done; ++b)
                ASSERT_EQ(out[static_cast<size_t>(b)], toByte15(mix15Wide(a, F::channel(a, b), t))) << c << " " << b;
        }
    }
}

template <class... Fs>
void expectWordsMatchTheRule() {
    (expectRowMatchesTheRule<Fs>(blendWords<Fs>), ...);
}

TEST(BlendFormulas, SixteenBitPassAgreesWithTheRuleEverywhere) {
    expectWordsMatchTheRule<Opacity, Darken, Lighten, Multiply, Screen, LinearDodge, LinearBurn, Overlay, HardLight,
                            PinLight, SoftLight, HardMix, Difference, Exclude>();
}

// Vivid light at one weight holds its result before one product mixes it.
TEST(BlendFormulas, HeldWideResultsStoreTheSameBytes) {
    expectRowMatchesTheRule<VividLight>([](const uint8_t* base, const int32_t* colour, uint8_t* out, int count,
                                           int32_t t) {
        std::vector<int32_t> bytes(static_cast<size_t>(count));
        blendBytes<VividLight, false, false>(base, colour, nullptr, nullptr, bytes.data(), count, t);
        storeClampedBytes(bytes.data(), out, bytes.size());
        return count;
    });
}

// The same for "color" and "luminosity", whose results may leave the
// range: every base byte against samples and luminance shifts spread over
// their ranges, the extremes first.
template <class F>
void expectShiftWordsMatchTheRule() {
    constexpr int kCount = 4096;
    std::vector<int32_t> colour(kCount), shifts(kCount);
    for (int i = 0; i < kCount; ++i) {
        colour[static_cast<size_t>(i)] = i < 4 ? (i & 1) * 32640 : (i * 7919) % 32641;
        shifts[static_cast<size_t>(i)] = i < 4 ? (i & 2 ? 32640 : -32640) : (i * 104729) % 65281 - 32640;
    }
    std::vector<uint8_t> base(kCount), out(kCount);
    for (int32_t t : {1, 19661, 32767, 32768}) {
        for (int c = 0; c < 256; ++c) {
            std::fill(base.begin(), base.end(), static_cast<uint8_t>(c));
            const int done = blendShiftWords<F>(base.data(), colour.data(), shifts.data(), out.data(), kCount, t);
            const int32_t a = c << 7;
            for (size_t i = 0; i < static_cast<size_t>(done); ++i) {
                const int32_t f = F::shifted(a, colour[i], shifts[i]);
                ASSERT_EQ(out[i], toByte15(mix15Wide(a, f, t))) << c << " " << colour[i] << " " << shifts[i];
            }
        }
    }
}

TEST(BlendFormulas, SixteenBitShiftPassAgreesWithTheRule) {
    expectShiftWordsMatchTheRule<Color>();
    expectShiftWordsMatchTheRule<Luminosity>();
}

// The 512-bit pass takes each pixel's shift itself: random pixels after
// the extremes (white over black and the reverse), at widths that leave
// part of sixteen columns, at one weight and at covered weights (with
// covers 0 and 32768 among them), with nothing written past the columns
// done.
template <class F>
void expectShiftColumnsMatchTheRule() {
    std::mt19937 random(11);
    std::uniform_int_distribution<int32_t> sample(0, 32640), coverOf(0, 32768);
    for (const int columns : {16, 37, 1024}) {
        const size_t count = static_cast<size_t>(columns) * 3;
        std::vector<uint8_t> base(count);
        std::vector<int32_t> colour(count), cover(count);
        for (size_t i = 0; i < count; ++i) {
            base[i] = i < 6 ? (i < 3 ? 255 : 0) : static_cast<uint8_t>(random());
            colour[i] = i < 6 ? (i < 3 ? 0 : 32640) : sample(random);
            cover[i] = i < 6 ? (i < 3 ? 32768 : 0) : coverOf(random);
        }
        for (const bool covered : {false, true})
            for (int32_t t : {0, 1, 19661, 32767, 32768}) {
                std::vector<uint8_t> out(count, 7);
                const int columnsDone = blendShiftColumns<F>(base.data(), colour.data(),
                                                             covered ? cover.data() : nullptr, out.data(), columns, t);
                const size_t done = 3 * static_cast<size_t>(columnsDone);
                for (size_t col = 0; col < done; col += 3) {
                    const uint8_t* a = &base[col];
                    const int32_t* b = &colour[col];
                    const int32_t shift = F::shift({a[2] << 7, a[1] << 7, a[0] << 7}, {b[2], b[1], b[0]});
                    for (size_t c = col; c < col + 3; ++c) {
                        const int32_t f = F::shifted(base[c] << 7, colour[c], shift);
                        const int32_t weight = covered ? (t * cover[c]) >> 15 : t;
                        ASSERT_EQ(out[c], toByte15(mix15Wide(base[c] << 7, f, weight)))
                            << columns << " " << c << " " << t << " " << covered;
                    }
                }
                for (size_t c = done; c < count; ++c) ASSERT_EQ(out[c], 7) << "past the columns done";
            }
    }
}

TEST(BlendFormulas, ColumnShiftPassAgreesWithTheRule) {
    expectShiftColumnsMatchTheRule<Color>();
    expectShiftColumnsMatchTheRule<Luminosity>();
}

TEST(BlendByName, MatchesNamesExactly) {
    EXPECT_EQ(blendModeIndex("opacity"), 0);
    EXPECT_EQ(blendModeIndex("luminosity"), 19);
    EXPECT_EQ(blendModeIndex("Overlay"), -1);
    EXPECT_EQ(blendModeIndex("overlay "), -1);
    EXPECT_EQ(blendModeIndex(nullptr), -1);
    const Bytes untouched{7, 7, 7};
    EXPECT_EQ(blendUniform("Overlay", grey(10), grey(200), 100), untouched);
    EXPECT_EQ(blendUniform(nullptr, grey(10), grey(200), 100), untouched);
}

TEST(BlendByName, RefusesWhatCannotBeProcessed) {
    const OwnedImage base = makePicture(8, 6, 3);
    const OwnedImage base4 = makePicture(8, 6, 4);
    const OwnedImage layer = makePicture(4, 4, 3);
    const OwnedImage dst = makePicture(8, 6, 3);
    const OwnedImage dst4 = makePicture(8, 6, 4);
    const OwnedImage before = test::clonePicture(dst.get());
    const OwnedImage before4 = test::clonePicture(dst4.get());
    const EffectRegion flat{0, 0, 0, 8, 0}, narrow{0, 0, 0, -5, 6}, thin{0, 0, 0, 6, 6};
    blendByName(base.get(), dst.get(), layer.get(), 0, 50, "overlay", 0, &flat);
    blendByName(base.get(), dst.get(), layer.get(), 0, 50, "overlay", 0, &narrow);
    blendByName(base.get(), dst.get(), layer.get(), 0, 50, "overlay", kFitStrip, &thin);  // strip of 0 columns
    blendByName(nullptr, dst.get(), layer.get(), 0, 50, "overlay", 0, nullptr);
    blendByName(base.get(), dst.get(), nullptr, 0, 50, "overlay", 0, nullptr);
    blendByName(base.get(), nullptr, layer.get(), 0, 50, "overlay", 0, nullptr);
    blendByName(makePicture(7, 6, 3).get(), dst.get(), layer.get(), 0, 50, "overlay", 0, nullptr);  // base too small
    blendByName(base.get(), dst.get(), layer.get(), 1, 50, "overlay", 0, nullptr);   // keepAlpha needs 4 channels
    blendByName(base4.get(), dst.get(), layer.get(), 0, 50, "overlay", 0, nullptr);  // 4-channel base, 3-channel dst
    blendByName(base4.get(), dst4.get(), layer.get(), 0, -20, "overlay", 0, nullptr);  // coverage could reach 0
    const OwnedImage emptyLayer = makePicture(4, 4, 3);
    emptyLayer->width = 0;
    blendByName(base.get(), dst.get(), emptyLayer.get(), 0, 50, "overlay", 0, nullptr);
    EXPECT_TRUE(test::samePixels(dst.get(), before.get()));
    EXPECT_TRUE(test::samePixels(dst4.get(), before4.get()));
}

TEST(BlendByName, TinyPicturesAndFarRegionsWork) {
    const OwnedImage base = makeUniform(1, 1, 3, grey(100));
    const OwnedImage layer = makeUniform(1, 1, 4, {200, 200, 200, 255});
    blendByName(base.get(), base.get(), layer.get(), 0, 50, "opacity", kFitStrip, nullptr);  // 1 < 7: refused
    EXPECT_EQ(pixelAt(base.get(), 0, 0), grey(100));
    blendByName(base.get(), base.get(), layer.get(), 0, 50, "opacity", 0, nullptr);
    EXPECT_EQ(pixelAt(base.get(), 0, 0), grey(150));
    const EffectRegion far{0, -2000000000, 2000000000, 2000000000, 3};
    blendByName(base.get(), base.get(), layer.get(), 0, 100, "darken", kFitStrip, &far);
    EXPECT_EQ(pixelAt(base.get(), 0, 0), grey(150));
}

}  // namespace
}  // namespace lumetra
