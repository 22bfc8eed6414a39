#include <gtest/gtest.h>

#include "phototools/color_step.h"
#include "tests/phototools/map_support.h"

namespace lumetra {
namespace {

using Bytes = std::vector<uint8_t>;
using test::newMap;
using test::renderPixel;

// A tone table lifted by 200 (held at 1023), composed through the setter.
void liftTone(ColorMap* m) {
    int curve[1024];
    for (int i = 0; i < 1024; ++i) curve[i] = i + 200 > 1023 ? 1023 : i + 200;
    ptApplyCurveSP(m, curve);
}

// Red gets +50 % saturation and +10 % or +50 % lightness; other anchors neutral.
void redAnchor(ColorMap* m, int light) {
    int hue[12] = {}, sat[12] = {}, lightness[12] = {};
    sat[0] = 50;
    lightness[0] = light;
    ptAdjustColor(m, hue, sat, lightness);
}

TEST(ColorSetters, GlobalHueAndSaturation) {
    auto m = newMap();
    ptAdjustColorGlobalSP(m.get(), 0, 0);
    EXPECT_EQ(m->adjustFlags, 0u);
    ptAdjustColorGlobalSP(m.get(), -30, 0);
    EXPECT_EQ(m->hueRotation, 3300);
    EXPECT_EQ(m->saturation, 256);
    EXPECT_EQ(m->adjustFlags, 1u);
    ptAdjustColorGlobalSP(m.get(), 725, 100);  // 725 mod 360 = 5
    EXPECT_EQ(m->hueRotation, 50);
    EXPECT_EQ(m->saturation, 512);
    ptAdjustColorGlobalSP(m.get(), -720, -100);  // raised by 3 turns to 360, mod 360 = 0
    EXPECT_EQ(m->hueRotation, 0);
    EXPECT_EQ(m->saturation, 0);
}

TEST(ColorStep, PlainStageTrace) {
    // Saturation -50 % (128). Bytes (B,G,R) = (40, 80, 200): R = 25600,
    // G = 10240, B = 5120; L = (9798*25600 + 19234*10240 + 3736*5120) >> 15
    // = 466913280 >> 15 = 14249. Order R, G, B: offsets 11351, -4009, -9129,
    // halved with >> 8: 5675, -2005, -4565 -> R 19924, G 12244, B 9684,
    // stored >> 7: 155, 95, 75.
    auto m = newMap();
    ptAdjustColorGlobalSP(m.get(), 0, -50);
    m->adjustFlags = 0;  // keep the plain stage: the setter asks for the tone stage
    EXPECT_EQ(renderPixel(m.get(), {40, 80, 200}), (Bytes{75, 95, 155}));
}

TEST(ColorStep, SaturationMinus100MakesGrey) {
    auto m = newMap();
    ptAdjustColorGlobalSP(m.get(), 0, -100);
    // The setter selects the tone stage, whose tone(L) goes through the
    // 10-bit table: (40, 80, 200) -> L = 14249, i = 446, L = 446*32640/1023
    // = 14230 -> 111 in every channel.
    EXPECT_EQ(renderPixel(m.get(), {40, 80, 200}), (Bytes{111, 111, 111}));
    // Pure blue: L = 3736*32640 >> 15 = 3721, i = 116, L = 3701 -> 28.
    EXPECT_EQ(renderPixel(m.get(), {255, 0, 0}), (Bytes{28, 28, 28}));
}

TEST(ColorStep, RotationTurnsRedIntoGreenAndCyan) {
    auto m = newMap();
    m->hueRotation = 1200;  // the plain stage: no tone quantisation
    // Red ranks (R, B, G), an odd order: rot 1200 becomes 2400, sector 4
    // with f = 0 gives (up, vmin, vmax) = (0, 0, 32640) on (R, B, G).
    EXPECT_EQ(renderPixel(m.get(), {0, 0, 255}), (Bytes{0, 255, 0}));
    // Green (even order G, B, R) turned by 120 degrees becomes blue.
    EXPECT_EQ(renderPixel(m.get(), {0, 255, 0}), (Bytes{255, 0, 0}));
    m->hueRotation = 1800;  // 3600 - 1800: sector 3, (vmin, down, vmax)
    EXPECT_EQ(renderPixel(m.get(), {0, 0, 255}), (Bytes{255, 255, 0}));

    // Through the setter the tone stage runs as well: L = 9759 becomes
    // tone(L) = 9731, and the envelope ratio makes (R, G, B) (53, 32422, 53).
    ptAdjustColorGlobalSP(m.get(), 120, 0);
    EXPECT_EQ(renderPixel(m.get(), {0, 0, 255}), (Bytes{0, 253, 0}));
    ptAdjustColorGlobalSP(m.get(), 180, 0);
    EXPECT_EQ(renderPixel(m.get(), {0, 0, 255}), (Bytes{253, 253, 0}));
}

TEST(ColorStep, GreyIsUntouchedByHueWork) {
    auto m = newMap();
    m->hueRotation = 770;
    m->saturation = 400;
    int hue[12], sat[12], light[12];
    for (int i = 0; i < 12; ++i) hue[i] = 90, sat[i] = 100, light[i] = 100;
    ptAdjustColor(m.get(), hue, sat, light);
    for (uint8_t v : {0, 1, 77, 128, 254, 255}) EXPECT_EQ(renderPixel(m.get(), {v, v, v}), (Bytes{v, v, v}));
}

TEST(ColorStep, ToneStageTrace) {
    // Bytes (60, 100, 160): R 20480, G 12800, B 7680, L = 14512.
    // envOld: k = 23878, ((14512*23878 + 4913920) >> 7) = 2745558,
    // *109 >> 7 = 2338014; inv = 268435456 / 2338014 = 114.
    // tone: i = 14512*1023/32640 = 454, table 654, L = 654*32640/1023 = 20866.
    // E(20866) = 370569704; env = E*109*256 >> 22 = 2465337;
    // mult = env*114 >> 13 = 34307. Offsets 5968, -1712, -6832 scale to
    // 6248, -1793, -7153: R 27114, G 19073, B 13713 -> 211, 149, 107.
    auto m = newMap();
    liftTone(m.get());
    EXPECT_EQ(renderPixel(m.get(), {60, 100, 160}), (Bytes{107, 149, 211}));
}

TEST(ColorStep, PerHueStageTraceWithRangeRestored) {
    // Bytes (40, 40, 200): R 25600, G = B = 5120, L = 11243, order (R, B, G).
    // dmax 14357, dmid = dmin = -6123; avg 4117, low half: anchors 11 and 0
    // with wa 0, wb 10240: pure red anchor. envOld 2063226, inv 130.
    // light 8192: L = 11243 + (20480*8192 >> 15) = 16363.
    // env = E(16363)*109*256 >> 22 = 2430557, * 384 >> 8 = 3645835,
    // mult = 57856: offsets 25349, -10811, -10811. 16363 + 25349 > 32767:
    // dmin = -10811*16404/25349 = -6996 -> R 32767, G = B = 9367.
    auto m = newMap();
    redAnchor(m.get(), 50);
    EXPECT_EQ(renderPixel(m.get(), {40, 40, 200}), (Bytes{73, 73, 255}));
}

TEST(ColorStep, BrightSaturatedColourKeepsItsHue) {
    // Gains x2 make bytes (20, 60, 200) into R 51200, G 15360, B 5120;
    // L = 816220160 >> 15 = 24909, offsets 26291, -9549, -19789.
    // L + dmax > 32767: scaled by 7858/26291: dmid = -2854, dmin = -5914
    // -> R 32767, G 22055, B 18995 -> 255, 172, 148. Clipping each channel
    // would give 255, 240, 80 and shift the hue toward yellow.
    auto m = newMap();
    for (int& g : m->gain) g = 16384;
    m->renderFlags |= 8;
    EXPECT_EQ(renderPixel(m.get(), {20, 60, 200}), (Bytes{148, 172, 255}));
}

}  // namespace
}  // namespace lumetra

namespace lumetra::pt {
namespace {

// The row passes of every stage (vectorised, with the range rules and the
// rotation split out) against the per-pixel step, on colours up to 65535
// as gains leave them: grey, white beyond 32767, chroma 1, colours the
// saturation pushes past white or below black, and rows long enough for
// the vector loops and their tails.
template <bool Tone, bool PerHue = false>
void expectRowMatchesPixels(const ColorMap& map, int kCount = 83) {  // 83: the scans' blocks and a tail
    const ColorTables tables = prepareColorTables(map, Tone, PerHue);
    const ColorStep<Tone, PerHue> step{ColorView(tables)};
    std::vector<int32_t> r(kCount), g(kCount), b(kCount);
    uint32_t seed = 12345;
    for (int i = 0; i < kCount; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int32_t top = i % 3 == 0 ? 65535 : 32767;
        r[i] = static_cast<int32_t>((seed >> 4) % (top + 1));
        g[i] = static_cast<int32_t>((seed >> 9) % (top + 1));
        b[i] = i % 5 == 0 ? r[i] : static_cast<int32_t>((seed >> 15) % (top + 1));
        if (i % 7 == 6) g[i] = b[i] = r[i] - (r[i] > 0);  // chroma 1 (or grey)
    }
    r[1] = g[1] = b[1] = 20000;  // grey
    r[2] = g[2] = b[2] = 60000;  // luminance beyond white
    std::vector<int32_t> pr = r, pg = g, pb = b;
    RowScratch scratch(kCount);
    step.applyRow(r.data(), g.data(), b.data(), kCount, scratch);
    for (int i = 0; i < kCount; ++i) {
        step.apply(pr[i], pg[i], pb[i]);
        EXPECT_EQ(r[i], pr[i]) << i;
        EXPECT_EQ(g[i], pg[i]) << i;
        EXPECT_EQ(b[i], pb[i]) << i;
    }
}

TEST(ColorStep, RowPassesMatchThePixelStep) {
    for (const auto& [saturation, rotation] : {std::pair{320, 250}, {256, 0}, {-400, 3500}, {40, -999}, {32767, 100}}) {
        auto map = test::newMap();
        map->saturation = saturation;
        map->hueRotation = rotation;
        expectRowMatchesPixels<false>(*map);
        liftTone(map.get());
        expectRowMatchesPixels<true>(*map);
        int hue[12], sat[12], light[12];
        for (int i = 0; i < 12; ++i)
            hue[i] = (i * 37) % 90 - 45, sat[i] = (i * 53) % 160 - 60, light[i] = (i * 29) % 120 - 60;
        ptAdjustColor(map.get(), hue, sat, light);
        expectRowMatchesPixels<true, true>(*map);
        expectRowMatchesPixels<false, true>(*map);
        // Light anchors that make large weighted quotients, many of them
        // just short of a whole number.
        for (int i = 0; i < 12; ++i) map->hueLight[i] = (i * 20011) % 131072 - 65536;
        expectRowMatchesPixels<false, true>(*map, 4099);
        // Per-hue values at the row pass's bounds: negative multipliers,
        // offsets far out of range (at the largest saturation, past what
        // the restore passes take).
        for (int i = 0; i < 12; ++i)
            map->hueShift[i] = (i % 3 - 1) << 16, map->hueSat[i] = (i % 2 ? 1 : -1) << 16, map->hueLight[i] = (1 - i % 3) << 16;
        expectRowMatchesPixels<true, true>(*map);
        expectRowMatchesPixels<false, true>(*map);
    }
}

}  // namespace
}  // namespace lumetra::pt
