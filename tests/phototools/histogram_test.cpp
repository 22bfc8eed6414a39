#include <gtest/gtest.h>

#include "tests/phototools/map_support.h"

namespace lumetra {
namespace {

using Bytes = std::vector<uint8_t>;
using test::OwnedHistography;

TEST(Histography, CountsAUniformPicture) {
    const OwnedImage img = test::makeUniform(7, 3, 3, {10, 20, 30});
    OwnedHistography h(ptCreateHistography(img.get()));
    ASSERT_TRUE(h);
    EXPECT_EQ(h->pixelCount, 21u);
    EXPECT_EQ(h->blue[10], 21u);
    EXPECT_EQ(h->green[20], 21u);
    EXPECT_EQ(h->red[30], 21u);
    uint32_t total = 0;
    for (int i = 0; i < 256; ++i) total += h->blue[i] + h->green[i] + h->red[i];
    EXPECT_EQ(total, 63u);
    // A single colour: its own temperature.
    double t = 0, g = 0;
    ptColorToTemp(30, 20, 10, &t, &g);
    double ht = 0, hg = 0;
    EXPECT_EQ(ptGetTemp(h.get(), &ht, &hg), h.get());
    EXPECT_NEAR(ht, t, 1.0);
}

TEST(Histography, SixteenBitCountsByHighByte) {
    OwnedImage img = createImage(2, 2, IPL_DEPTH_16U, 3);
    for (int y = 0; y < 2; ++y) {
        uint16_t* row = reinterpret_cast<uint16_t*>(rowOf(img.get(), y));
        for (int i = 0; i < 6; ++i) row[i] = static_cast<uint16_t>(0x1234 + i * 0x100);
    }
    OwnedHistography h(ptCreateHistography(img.get()));
    EXPECT_EQ(h->blue[0x12], 2u);  // samples 0x1234 and 0x1534
    EXPECT_EQ(h->blue[0x15], 2u);
    EXPECT_EQ(h->green[0x13], 2u);
    EXPECT_EQ(h->red[0x17], 2u);
}

TEST(Histography, ClippedPixelsStayOutOfTheEstimate) {
    // Half the pixels (250, 0, 0) would turn the estimate blue; they are
    // counted, but the estimate is that of the grey-ish rest alone.
    const OwnedImage mixed = test::makePicture(4, 4, 3, 0, [](int x, int, int c) {
        return uint8_t(x < 2 ? (c == 0 ? 250 : 0) : (c == 2 ? 120 : c == 1 ? 110 : 100));
    });
    const OwnedImage rest = test::makeUniform(2, 4, 3, {100, 110, 120});
    OwnedHistography a(ptCreateHistography(mixed.get())), b(ptCreateHistography(rest.get()));
    EXPECT_EQ(a->blue[250], 8u);
    EXPECT_EQ(a->temperature, b->temperature);
    EXPECT_EQ(a->greenFactor, b->greenFactor);
    EXPECT_GT(a->temperature, 0);

    // Nothing below 250: the estimate is "unknown" (0, 0).
    const OwnedImage white = test::makeUniform(3, 3, 3, {255, 255, 255});
    OwnedHistography w(ptCreateHistography(white.get()));
    EXPECT_EQ(w->pixelCount, 9u);
    EXPECT_EQ(w->temperature, 0.0);
    EXPECT_EQ(w->greenFactor, 0.0);
}

TEST(Histography, OtherPicturesGiveTheEmptyRecord) {
    const OwnedImage four = test::makePicture(3, 3, 4);
    OwnedHistography h(ptCreateHistography(four.get())), none(ptCreateHistography(nullptr));
    EXPECT_EQ(h->pixelCount, 0u);
    EXPECT_EQ(none->pixelCount, 0u);
    EXPECT_EQ(none->temperature, 0.0);
}

TEST(Histography, FlatHistogramIsDrawnAtConstantHeight) {
    // 1000 in every bin: s = 1000, h = 1000, peak 1003 -> ratio 0.003 ->
    // peak 2000; height (40 - 1) * 1000 / 2000 = 19. All three channels
    // coincide: grey up to level 19, then three shadings of 49/67 at
    // level 20 (255 -> 186 -> 136 -> 99), white from level 25.
    Histography h{};
    for (int i = 0; i < 256; ++i) h.blue[i] = h.green[i] = h.red[i] = 1000;
    const OwnedImage canvas = test::makeUniform(50, 40, 3, {255, 255, 255});
    ptDrawHistography(&h, canvas.get());
    for (int x = 0; x < 50; ++x) {
        ASSERT_EQ(test::pixelAt(canvas.get(), x, 39 - 19), (Bytes{149, 149, 149}));
        ASSERT_EQ(test::pixelAt(canvas.get(), x, 39 - 20), (Bytes{99, 99, 99}));
        ASSERT_EQ(test::pixelAt(canvas.get(), x, 39 - 25), (Bytes{255, 255, 255}));
    }
}

TEST(Histography, DrawRefusesUnusableCanvases) {
    Histography h{};
    h.red[5] = 9;
    const OwnedImage narrow = test::makeUniform(1, 10, 3, {1, 2, 3});
    const OwnedImage four = test::makeUniform(10, 10, 4, {1, 2, 3, 4});
    ptDrawHistography(&h, narrow.get());
    ptDrawHistography(&h, four.get());
    ptDrawHistography(nullptr, narrow.get());
    EXPECT_EQ(test::pixelAt(narrow.get(), 0, 9), (Bytes{1, 2, 3}));
    EXPECT_EQ(test::pixelAt(four.get(), 9, 9), (Bytes{1, 2, 3, 4}));
}

}  // namespace
}  // namespace lumetra
