#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "phototools/lens.h"
#include "tests/phototools/map_support.h"

namespace lumetra {
namespace {

using Bytes = std::vector<uint8_t>;
using test::newMap;

OwnedImage makeDeep(int width, int height, uint16_t (*fill)(int, int, int)) {
    OwnedImage picture = createImage(width, height, IPL_DEPTH_16U, 3);
    for (int y = 0; y < height; ++y) {
        uint16_t* row = reinterpret_cast<uint16_t*>(rowOf(picture.get(), y));
        for (int x = 0; x < width * 3; ++x) row[x] = fill(x / 3, y, x % 3);
    }
    return picture;
}

int render(ColorMap* m, const IplImage* src, IplImage* dst, const Transform* tf = nullptr,
           const IplImage* src2 = nullptr, ProgressRecord* progress = nullptr) {
    return ptApplyMap(const_cast<IplImage*>(src), const_cast<IplImage*>(src2), dst, m, const_cast<Transform*>(tf),
                      progress);
}

TEST(ApplyMap, FreshMapCopiesAndTakesHighBytes) {
    auto m = newMap();
    const OwnedImage src = test::makePicture(7, 5, 3, 3);
    const OwnedImage dst = test::makePicture(7, 5, 3, 2, [](int, int, int) { return uint8_t{9}; });
    ASSERT_EQ(render(m.get(), src.get(), dst.get()), 1);
    EXPECT_TRUE(test::samePixels(src.get(), dst.get()));
    EXPECT_TRUE(test::paddingIntact(dst.get()));

    const OwnedImage deep = makeDeep(7, 5, [](int x, int y, int c) { return static_cast<uint16_t>(0x1234 + x * 999 + y * 77 + c); });
    ASSERT_EQ(render(m.get(), deep.get(), dst.get()), 1);
    EXPECT_EQ(test::pixelAt(dst.get(), 0, 0), (Bytes{0x12, 0x12, 0x12}));
    EXPECT_EQ(test::pixelAt(dst.get(), 6, 4)[0], (0x1234 + 6 * 999 + 4 * 77) >> 8);

    // The colour step itself gives the same high bytes (v >> 1, then >> 7).
    m->renderFlags |= 8;
    const OwnedImage viaStep = test::makeUniform(7, 5, 3, {0, 0, 0});
    ASSERT_EQ(render(m.get(), deep.get(), viaStep.get()), 1);
    EXPECT_TRUE(test::samePixels(dst.get(), viaStep.get()));
}

TEST(ApplyMap, SmallerDestinationReadsTheTopLeft) {
    auto m = newMap();
    const OwnedImage src = test::makePicture(9, 6, 3);
    const OwnedImage dst = test::makeUniform(4, 3, 3, {0, 0, 0});
    ASSERT_EQ(render(m.get(), src.get(), dst.get()), 1);
    EXPECT_EQ(test::pixelAt(dst.get(), 3, 2), test::pixelAt(src.get(), 3, 2));
}

TEST(ApplyMap, BlendMixesWithTheSecondPicture) {
    auto m = newMap();
    const OwnedImage a = test::makeUniform(3, 2, 3, {200, 100, 0});
    const OwnedImage b = test::makeUniform(3, 2, 3, {0, 100, 200});
    const OwnedImage dst = test::makeUniform(3, 2, 3, {7, 7, 7});
    ptBlend(m.get(), 100);
    ASSERT_EQ(render(m.get(), a.get(), dst.get(), nullptr, b.get()), 1);
    EXPECT_EQ(test::pixelAt(dst.get(), 2, 1), (Bytes{0, 100, 200}));  // w = 256: src2 alone
    ASSERT_EQ(render(m.get(), a.get(), dst.get()), 1);                // no src2: as if no blend
    EXPECT_EQ(test::pixelAt(dst.get(), 0, 0), (Bytes{200, 100, 0}));
    ptBlend(m.get(), 25);
    // w = 64: blue ((192*200 + 64*0) >> 1) = 19200 -> 150, red 6400 -> 50.
    ASSERT_EQ(render(m.get(), a.get(), dst.get(), nullptr, b.get()), 1);
    EXPECT_EQ(test::pixelAt(dst.get(), 1, 1), (Bytes{150, 100, 50}));
}

TEST(ApplyMap, TransformSamplesBilinearly) {
    // Shift by half a pixel: X = x*32768 + 16384. Source bytes 0 and 100 in
    // a row: top = (100*16384 + 0*16384) >> 8 = 6400 -> byte 50.
    auto m = newMap();
    const OwnedImage src = test::makePicture(2, 1, 3, 0, [](int x, int, int) { return uint8_t(x * 100); });
    const OwnedImage dst = test::makeUniform(2, 1, 3, {0, 0, 0});
    test::OwnedTransform tf(ptNewTransform(0, 0, 2, 1));
    ptTransformShift(tf.get(), -0.5f, 0.0f);
    EXPECT_EQ(tf->c, 16384);
    ASSERT_EQ(render(m.get(), src.get(), dst.get(), tf.get()), 1);
    EXPECT_EQ(test::pixelAt(dst.get(), 0, 0), (Bytes{50, 50, 50}));
    // Pixel 1 lands beyond xMax = 32767: held there, 99.997 % of pixel 1 -> 99.
    EXPECT_EQ(test::pixelAt(dst.get(), 1, 0), (Bytes{99, 99, 99}));
    // A larger destination through a transform reads the held edge.
    const OwnedImage wide = test::makeUniform(5, 3, 3, {0, 0, 0});
    EXPECT_EQ(render(m.get(), src.get(), wide.get(), tf.get()), 1);
    const OwnedImage single = test::makeUniform(1, 1, 3, {10, 20, 30});
    EXPECT_EQ(render(m.get(), single.get(), wide.get(), tf.get()), 1);  // 1x1 source: its pixel everywhere
    EXPECT_EQ(test::pixelAt(wide.get(), 4, 2), (Bytes{10, 20, 30}));
}

TEST(ApplyMap, WholePixelShiftReadsPixelsUntilTheHeldEdges) {
    // dst (x, y) reads src (x + 1, y). Row 0 up to column 1 lands on whole
    // pixels and reads them as they are; from column 2 the position is
    // held at xMax (fraction 32767), and row 1 at yMax: each one below the
    // pixel it nearly reaches.
    auto m = newMap();
    const auto value = [](int x, int y, int c) { return uint8_t(20 + 60 * x + 30 * y + c); };
    const OwnedImage src = test::makePicture(4, 2, 3, 0, value);
    const OwnedImage dst = test::makeUniform(4, 2, 3, {0, 0, 0});
    test::OwnedTransform tf(ptNewTransform(0, 0, 4, 2));
    ptTransformShift(tf.get(), -1.0f, 0.0f);
    ASSERT_EQ(render(m.get(), src.get(), dst.get(), tf.get()), 1);
    for (int x = 0; x < 4; ++x) {
        const int reached = std::min(x + 1, 3), below = x + 1 < 3 ? 0 : 1;
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(test::pixelAt(dst.get(), x, 0)[c], value(reached, 0, c) - below) << x;
            EXPECT_EQ(test::pixelAt(dst.get(), x, 1)[c], value(reached, 1, c) - 1) << x;
        }
    }
}

TEST(ApplyMap, TransformOriginPlacesTheSourceOnTheCanvas) {
    // Source 3 x 2, every channel 10 + 40 x + 100 y: rows (10, 50, 90) and
    // (110, 150, 190). Origin (1, 1) on a 4 x 3 canvas, shifted half a
    // pixel: destination (x, y) reads source (x - 0.5, y - 1) in Q15,
    // held to 0..xMax = 2 * 32768 - 1 and 0..yMax = 32767.
    auto m = newMap();
    const OwnedImage src = test::makePicture(3, 2, 3, 1, [](int x, int y, int) { return uint8_t(10 + 40 * x + 100 * y); });
    const OwnedImage dst = test::makeUniform(4, 3, 3, {0, 0, 0});
    test::OwnedTransform tf(ptNewTransform(1, 1, 4, 3));
    ptTransformShift(tf.get(), -0.5f, 0.0f);
    ASSERT_EQ(render(m.get(), src.get(), dst.get(), tf.get()), 1);
    // (0, 0) reads (-0.5, -1), held at (0, 0): 10 << 7 -> 10.
    EXPECT_EQ(test::pixelAt(dst.get(), 0, 0), (Bytes{10, 10, 10}));
    // (2, 1) reads (1.5, 0): (90 * 16384 + 50 * 16384) >> 8 = 8960 -> 70.
    EXPECT_EQ(test::pixelAt(dst.get(), 2, 1), (Bytes{70, 70, 70}));
    // (1, 2) reads (0.5, 1), held at y = 32767: top (60 << 6) = 3840,
    // bottom (260 << 6) = 16640, (3840 * 1 + 16640 * 32767) >> 15 = 16639
    // -> 129, one below the middle of the lower row.
    EXPECT_EQ(test::pixelAt(dst.get(), 1, 2), (Bytes{129, 129, 129}));
    // (3, 1) reads (2.5, 0), held at x = 65535: (90 * 32767 + 50) >> 8 =
    // 11519 -> 89.
    EXPECT_EQ(test::pixelAt(dst.get(), 3, 1), (Bytes{89, 89, 89}));
}

TEST(ApplyMap, SixteenBitSourcesInterpolateAndBlendOnTheirOwnScale) {
    // A 2 x 1 source of 40000 | 50001 read half a pixel right: interpolated
    // 16-bit sums come back to the 15-bit scale by >> 16.
    auto m = newMap();
    const OwnedImage src = makeDeep(2, 1, [](int x, int, int) { return uint16_t(x ? 50001 : 40000); });
    const OwnedImage dst = test::makeUniform(2, 1, 3, {0, 0, 0});
    test::OwnedTransform tf(ptNewTransform(0, 0, 2, 1));
    ptTransformShift(tf.get(), -0.5f, 0.0f);
    ASSERT_EQ(render(m.get(), src.get(), dst.get(), tf.get()), 1);
    // (50001 * 16384 + 40000 * 16384) >> 16 = 22500 -> 175.
    EXPECT_EQ(test::pixelAt(dst.get(), 0, 0), (Bytes{175, 175, 175}));
    // Held at x = 32767: (50001 * 32767 + 40000) >> 16 = 25000 -> 195.
    EXPECT_EQ(test::pixelAt(dst.get(), 1, 0), (Bytes{195, 195, 195}));

    // Blended at 25 % (w = 64) with a flat 20000, each sample is mixed
    // first, ((256 - w) p + w q) >> 9, then interpolated by >> 15.
    const OwnedImage other = makeDeep(2, 1, [](int, int, int) { return uint16_t{20000}; });
    ptBlend(m.get(), 25);
    // Without a transform: (192 * 40000 + 64 * 20000) >> 9 = 17500 -> 136.
    ASSERT_EQ(render(m.get(), src.get(), dst.get(), nullptr, other.get()), 1);
    EXPECT_EQ(test::pixelAt(dst.get(), 0, 0), (Bytes{136, 136, 136}));
    // Through it: 17500 and (192 * 50001 + 64 * 20000) >> 9 = 21250 meet
    // half way, (21250 + 17500) * 16384 >> 15 = 19375 -> 151.
    ASSERT_EQ(render(m.get(), src.get(), dst.get(), tf.get(), other.get()), 1);
    EXPECT_EQ(test::pixelAt(dst.get(), 0, 0), (Bytes{151, 151, 151}));
}

TEST(Transform, SettersComposeOnTheMatrix) {
    test::OwnedTransform tf(ptNewTransform(3, 4, 100, 50));
    EXPECT_EQ(tf->x, 3);
    EXPECT_EQ(tf->height, 50);
    ptTransformRotate(tf.get(), 0.0f);
    EXPECT_EQ(tf->a, 32768);
    EXPECT_EQ(tf->e, 32768);
    ptTransformRotate(tf.get(), static_cast<float>(M_PI / 2));
    // cos(pi/2 as float) = -4.37e-8: a = trunc(-0.0014) = 0.
    EXPECT_EQ(tf->a, 0);
    EXPECT_EQ(tf->b, 32768);
    EXPECT_EQ(tf->d, -32768);
    EXPECT_EQ(tf->e, 0);
    test::OwnedTransform scaled(ptNewTransform(0, 0, 10, 10));
    ptTransformScale(scaled.get(), 2.0f, 2.0f);
    EXPECT_EQ(scaled->a, 16384);
    EXPECT_EQ(scaled->e, 16384);
    ptTransformShift(scaled.get(), 1.5f, -2.0f);  // c -= 16384*1.5, f -= 16384*-2
    EXPECT_EQ(scaled->c, -24576);
    EXPECT_EQ(scaled->f, 32768);
    ptTransformScale(scaled.get(), 0.0f, 1.0f);  // division by zero saturates
    EXPECT_EQ(scaled->a, 2147483647);
    EXPECT_EQ(ptTransformShift(nullptr, 1, 1), nullptr);
}

TEST(RotateClone, QuarterTurnsAndMirror) {
    // 4x2 source, pixel value encodes its position.
    const OwnedImage src = test::makePicture(4, 2, 3, 1, [](int x, int y, int c) { return uint8_t(y * 40 + x * 4 + c); });
    auto pixel = [&](int x, int y) { return test::pixelAt(src.get(), x, y); };
    struct Case {
        int q, mirror, width, height;
        int dx, dy, sx, sy;  // destination pixel and the source pixel it copies
    };
    const Case cases[] = {
        {0, 0, 4, 2, 1, 1, 1, 1}, {0, 1, 4, 2, 0, 0, 3, 0},
        {1, 0, 2, 4, 1, 0, 0, 0},  // top-right of the turn is the source's top-left
        {1, 1, 2, 4, 1, 3, 3, 1}, {2, 0, 4, 2, 0, 0, 3, 1}, {2, 1, 4, 2, 0, 0, 0, 1},
        {3, 0, 2, 4, 0, 0, 3, 0}, {3, 1, 2, 4, 0, 0, 3, 1}, {4, 0, 4, 2, 2, 1, 2, 1},
        {5, 0, 2, 4, 1, 0, 0, 0}, {-1, 0, 2, 4, 0, 0, 3, 0},
    };
    for (const Case& c : cases) {
        OwnedImage turned(ptRotateClone(src.get(), c.q, c.mirror));
        ASSERT_TRUE(turned);
        EXPECT_EQ(turned->width, c.width);
        EXPECT_EQ(turned->height, c.height);
        EXPECT_EQ(test::pixelAt(turned.get(), c.dx, c.dy), pixel(c.sx, c.sy)) << "q " << c.q << " mirror " << c.mirror;
    }
    const OwnedImage withAlpha = test::makeUniform(3, 2, 4, {1, 2, 3, 4});
    OwnedImage flat(ptRotateClone(withAlpha.get(), 1, 0));
    EXPECT_EQ(flat->nChannels, 3);
    EXPECT_EQ(test::pixelAt(flat.get(), 1, 2), (Bytes{1, 2, 3}));
    EXPECT_EQ(ptRotateClone(nullptr, 1, 0), nullptr);
}

TEST(Lens, GainExamples) {
    auto m = newMap();
    ptLensCorrection(m.get(), 100, 0);
    pt::Vignette v;
    const int32_t cx = 500 << 15, cy = 250 << 15;  // a 1000 x 500 canvas: R = 1000
    ASSERT_TRUE(pt::prepareVignette(*m, 1000, cx, cy, v));
    // inv = 2^30 / 10^6 = 1073; centre: t = (10^6 * 1073) >> 18 = 4093,
    // g = 4093^2 >> 9 = 32720, step 4 at strength 256 keeps 32720.
    EXPECT_EQ(v.gainAt(cx, cy), 32720);
    // 1000 pixels right: t = (2*10^6*1073) >> 18 = 8186, g = 130880.
    EXPECT_EQ(v.gainAt(cx + (1000 << 15), cy), 130880);
    // Darkening at -100: 2^30 / 130880 = 8204.
    ptLensCorrection(m.get(), -100, 0);
    ASSERT_TRUE(pt::prepareVignette(*m, 1000, cx, cy, v));
    EXPECT_EQ(v.gainAt(cx + (1000 << 15), cy), 8204);
    // Half strength: 32768 + (130880 - 32768) * 128 / 256 = 81824.
    ptLensCorrection(m.get(), 50, 0);
    ASSERT_TRUE(pt::prepareVignette(*m, 1000, cx, cy, v));
    EXPECT_EQ(v.gainAt(cx + (1000 << 15), cy), 81824);
    // R outside 1..46340 is refused.
    ptLensCorrection(m.get(), 50, -1000);  // 1000 / 1024 -> 0
    EXPECT_FALSE(pt::prepareVignette(*m, 1000, cx, cy, v));
    ptLensCorrection(m.get(), 50, 600);  // 64000
    EXPECT_FALSE(pt::prepareVignette(*m, 1000, cx, cy, v));
}

TEST(Lens, VignettingBrightensCornersNotTheCentre) {
    auto m = newMap();
    ptLensCorrection(m.get(), 100, -100);  // R = half the larger side
    const OwnedImage src = test::makeUniform(41, 21, 3, {100, 100, 100});
    const OwnedImage dst = test::makeUniform(41, 21, 3, {0, 0, 0});
    ASSERT_EQ(render(m.get(), src.get(), dst.get()), 1);
    // Centre (20, 10): X - cx = 20*32768 - 20.5*32768 -> dx = -1 (arithmetic
    // shift), dy = 0: d2 = 1, R = 20: t = (401 * 2684354) >> 18 = 4106,
    // g = 32928: 12800 * 32928 >> 15 = 12862 -> 100.
    EXPECT_EQ(test::pixelAt(dst.get(), 20, 10), (Bytes{100, 100, 100}));
    EXPECT_GT(test::pixelAt(dst.get(), 0, 0)[0], 150);
    m->lensAmount = 0;  // amount 0 disables it whatever the radius
    m->lensRadius = -100000;
    ASSERT_EQ(render(m.get(), src.get(), dst.get()), 1);
    EXPECT_EQ(test::pixelAt(dst.get(), 0, 0), (Bytes{100, 100, 100}));
}

TEST(ApplyMap, ProgressStopsBeforeARow) {
    auto m = newMap();
    m->saturation = 0;
    const OwnedImage src = test::makePicture(4, 3, 3);
    const OwnedImage dst = test::makeUniform(4, 3, 3, {9, 9, 9});
    ProgressRecord progress{0, 0, -1};
    EXPECT_EQ(render(m.get(), src.get(), dst.get(), nullptr, nullptr, &progress), 0);
    EXPECT_EQ(progress.total, 3);
    EXPECT_EQ(progress.current, -1);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(test::pixelAt(dst.get(), 3, y), (Bytes{9, 9, 9}));
    progress.keepGoing = 1;
    EXPECT_EQ(render(m.get(), src.get(), dst.get(), nullptr, nullptr, &progress), 1);
    EXPECT_EQ(progress.current, 2);
}

TEST(ApplyMap, RefusesWithoutWriting) {
    auto m = newMap();
    const OwnedImage src = test::makePicture(4, 3, 3);
    const OwnedImage dst = test::makeUniform(4, 3, 3, {9, 9, 9});
    const OwnedImage before = test::clonePicture(dst.get());
    const OwnedImage small = test::makePicture(3, 3, 3);
    const OwnedImage four = test::makePicture(4, 3, 4);
    const OwnedImage deep = makeDeep(4, 3, [](int, int, int) { return uint16_t{7}; });
    EXPECT_EQ(render(m.get(), src.get(), dst.get(), nullptr, small.get()), 0);  // src2 size
    EXPECT_EQ(render(m.get(), src.get(), dst.get(), nullptr, deep.get()), 0);   // src2 depth
    EXPECT_EQ(render(m.get(), small.get(), dst.get()), 0);                      // dst larger, no transform
    EXPECT_EQ(render(m.get(), four.get(), dst.get()), 0);                       // 4-channel source
    EXPECT_EQ(render(m.get(), src.get(), four.get()), 0);                       // 4-channel destination
    EXPECT_EQ(render(m.get(), src.get(), deep.get()), 0);                       // 16-bit destination
    EXPECT_EQ(render(nullptr, src.get(), dst.get()), 0);
    EXPECT_EQ(render(m.get(), nullptr, dst.get()), 0);
    EXPECT_EQ(render(m.get(), src.get(), nullptr), 0);
    m->adjustFlags = 8;
    EXPECT_EQ(render(m.get(), src.get(), dst.get()), 0);  // stage outside 0..7
    m->adjustFlags = 0;
    ptLensCorrection(m.get(), 100, -2000);
    EXPECT_EQ(render(m.get(), src.get(), dst.get()), 0);  // R = 0
    EXPECT_TRUE(test::samePixels(dst.get(), before.get()));
}

TEST(ApplyMap, ExtremeSettingsStayDefined) {
    auto m = newMap();
    for (int& g : m->gain) g = 2000000000;
    m->renderFlags = 0xFFFFFFFF;
    m->saturation = -2000000000;
    m->hueRotation = -2000000000;
    m->lensAmount = -2000000000;
    m->lensRadius = 300;
    m->blendOpacity = 2000000000;
    m->aberration[0] = 2000000000;
    m->aberration[1] = -2000000000;
    for (int i = 0; i < 12; ++i) m->hueShift[i] = m->hueSat[i] = m->hueLight[i] = (i % 2 ? -1 : 1) * 2000000000;
    for (int i = 0; i < 1024; ++i) m->toneTable[i] = 4000000000u;
    const OwnedImage src = test::makePicture(9, 7, 3, 2);
    const OwnedImage other = test::makePicture(9, 7, 3, 1);
    const OwnedImage dst = test::makeUniform(9, 7, 3, {0, 0, 0});
    test::OwnedTransform tf(ptNewTransform(-2000000000, 2000000000, 9, 7));
    tf->a = -2000000000;
    tf->e = 2000000000;
    for (uint32_t stage = 0; stage < 8; ++stage) {
        m->adjustFlags = stage;
        EXPECT_EQ(render(m.get(), src.get(), dst.get(), nullptr, other.get()), 1);
        EXPECT_EQ(render(m.get(), src.get(), dst.get(), tf.get(), other.get()), 1);
    }
}

}  // namespace
}  // namespace lumetra
