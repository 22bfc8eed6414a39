#include <gtest/gtest.h>

#include <climits>

#include "looks/look_steps.h"
#include "looks/row_walk.h"

namespace lumetra {
namespace {

// Curves rising, falling and peaking; their red table rises to 32767 at
// its end, so its extrapolation passes the byte scale. With a steep fall
// at the end the extrapolation instead wraps below zero, which the
// segment pairs cannot follow: the byte table serves. Curves that all
// rise are stored by their steps past the first 32768 pixels.
enum class Curves { mixed, fallingEnd, rising };
CurveLutSet curveSet(Curves kind) {
    if (kind == Curves::rising)
        return buildCurveLutSet({{{0, 0}, {1, 1}}, {{0, 0.2f}, {0.5f, 0.4f}, {1, 0.9f}}, {{0, 0.1f}, {1, 0.8f}}});
    CurveLutSet set = buildCurveLutSet({{{0, 0}, {1, 1}}, {{0, 0.2f}, {0.6f, 0.9f}, {1, 0.3f}}, {{0, 1}, {1, 0}}});
    if (kind == Curves::fallingEnd) set.lut[2][1022] = 30000, set.lut[2][1023] = 100;
    return set;
}

void expectLookupEverywhere(Curves kind) {
    const CurveLutSet luts = curveSet(kind);
    CurvesStep step = applyCurves(luts);
    std::vector<int32_t> inputs = {INT_MIN, -100000, -33, -1, 32735, 32736, 32750, 32767, 32768, 40000, 1 << 30, INT_MAX};
    for (int32_t v = 0; v < 32768; v += 7) inputs.push_back(v);
    const int n = static_cast<int>(inputs.size());
    std::vector<int32_t> r(inputs), g(inputs), b(inputs);
    applyRow(step, RowPlanes{r.data(), g.data(), b.data(), n, 0, 0, 0});
    // Stored again and again: the first stores read the curves, the last
    // ones (past 32768 pixels) the tables made from them.
    std::vector<int32_t> r2(inputs), g2(inputs), b2(inputs);
    std::vector<uint8_t> bytes(3 * inputs.size());
    for (int store = 0; store < 9; ++store) {
        step.storeRow(RowPlanes{r2.data(), g2.data(), b2.data(), n, 0, 0, 0}, bytes.data());
        for (int i = 0; i < n; ++i) {
            const int32_t v = inputs[static_cast<size_t>(i)];
            ASSERT_EQ(bytes[3 * i + 2], toByte15(lookupCurve(luts.red(), v))) << store << " " << v;
            ASSERT_EQ(bytes[3 * i + 1], toByte15(lookupCurve(luts.green(), v))) << store << " " << v;
            ASSERT_EQ(bytes[3 * i], toByte15(lookupCurve(luts.blue(), v))) << store << " " << v;
        }
    }
    for (int i = 0; i < n; ++i) {
        const int32_t v = inputs[static_cast<size_t>(i)];
        EXPECT_EQ(r[i], lookupCurve(luts.red(), v)) << v;
        EXPECT_EQ(g[i], lookupCurve(luts.green(), v)) << v;
        EXPECT_EQ(b[i], lookupCurve(luts.blue(), v)) << v;
    }
    // A run of source bytes as read takes the table of each byte's value
    // (every byte, then a few past the vector steps).
    std::vector<int32_t> byteInputs;
    for (int byte = 0; byte < 261; ++byte) byteInputs.push_back(colourToQ15(static_cast<uint8_t>(byte * 3 % 256)));
    const size_t m = byteInputs.size();
    std::vector<int32_t> br(byteInputs), bg(byteInputs.rbegin(), byteInputs.rend()), bb(byteInputs);
    applyRow(step, RowPlanes{br.data(), bg.data(), bb.data(), static_cast<int>(m), 0, 0, 0});
    for (size_t i = 0; i < m; ++i) {
        EXPECT_EQ(br[i], lookupCurve(luts.red(), byteInputs[i])) << i;
        EXPECT_EQ(bg[i], lookupCurve(luts.green(), byteInputs[m - 1 - i])) << i;
        EXPECT_EQ(bb[i], lookupCurve(luts.blue(), byteInputs[i])) << i;
    }
}

TEST(CurvesStep, RowLookupAndByteStoreMatchTheLookupEverywhere) {
    for (Curves kind : {Curves::mixed, Curves::fallingEnd, Curves::rising}) expectLookupEverywhere(kind);
}

// Runs of plain values (32-bit products), of values a strong stretch makes
// and of negative ones (64-bit products), darkened and brightened: the row
// pass must give the per-pixel products.
TEST(VignetteStep, RowPassMatchesThePixelStep) {
    for (int amount : {-100, 60}) {
        const VignetteShape shape = prepareVignette(amount, 0, 300, 2);
        auto row = vignette15(shape), pixel = vignette15(shape);
        row.start({300, 2, 0, 0}), pixel.start({300, 2, 0, 0});
        row.rowStart({0, 1}), pixel.rowStart({0, 1});
        for (int32_t scale : {1, 40, -1}) {
            std::vector<int32_t> r(300), g(300), b(300);
            for (int i = 0; i < 300; ++i) r[i] = i * 109 * scale, g[i] = (32767 - i) * scale, b[i] = i * scale;
            std::vector<int32_t> pr(r), pg(g), pb(b);
            applyRow(row, RowPlanes{r.data(), g.data(), b.data(), 300, 0, 0, 1});
            for (int i = 0; i < 300; ++i) {
                Rgb15 p{pr[i], pg[i], pb[i]};
                PixelContext at{i, i, 1, {}};
                pixel.apply(p, at);
                EXPECT_EQ(r[i], p.r) << amount << " " << scale << " " << i;
                EXPECT_EQ(g[i], p.g) << amount << " " << scale << " " << i;
                EXPECT_EQ(b[i], p.b) << amount << " " << scale << " " << i;
            }
        }
    }
}

}  // namespace
}  // namespace lumetra
