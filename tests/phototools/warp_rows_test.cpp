#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "core/bilinear.h"
#include "phototools/warp_rows.h"

namespace lumetra::pt {
namespace {

// Runs of every length up to 40 (eight-pixel steps and their tails), in
// every direction, starting off the picture on either side so that both
// holds and the wrap at 32 bits are reached, against the bilinear rule at
// each held position.
TEST(WarpRows, RunsMatchTheBilinearRuleAtHeldPositions) {
    constexpr int kWidth = 13, kHeight = 7, kStep = kWidth * 3 + 5;
    std::mt19937 random(11);
    std::vector<uint8_t> picture(kStep * kHeight);
    for (uint8_t& byte : picture) byte = static_cast<uint8_t>(random());
    const WarpSource source{picture.data(), kStep, ((kWidth - 1) << 15) - 1, ((kHeight - 1) << 15) - 1, true};
    std::uniform_int_distribution<int32_t> start(-3 << 15, (kWidth + 3) << 15), step(-3 << 15, 3 << 15);
    WarpRows rows;
    for (int n = 0; n <= 40; ++n) {
        const WarpRun run{static_cast<uint32_t>(start(random)), static_cast<uint32_t>(start(random) / 2), step(random),
                          step(random) / 4};
        std::vector<int32_t> r(n), g(n), b(n), red(n), green(n), blue(n);
        rows.read(source, run, n, r.data(), g.data(), b.data());
        rows.readChannels(source, run, run, run, n, red.data(), green.data(), blue.data());
        for (int i = 0; i < n; ++i) {
            const auto held = [i](uint32_t at, int32_t by, int32_t top) {
                const uint32_t position = at + static_cast<uint32_t>(by) * static_cast<uint32_t>(i);
                return std::clamp(static_cast<int32_t>(position), 0, top);
            };
            const core::Split15 x = core::split15(held(run.x0, run.dx, source.xMax));
            const core::Split15 y = core::split15(held(run.y0, run.dy, source.yMax));
            const uint8_t* p = picture.data() + y.whole * kStep + x.whole * 3;
            for (int c = 0; c < 3; ++c) {
                const int32_t expected = core::bilinear15<core::FirstAxis::Across, 8, 15>(
                    p[c], p[c + 3], p[c + kStep], p[c + kStep + 3], x.fraction, y.fraction);
                const int32_t got[3] = {b[i], g[i], r[i]}, each[3] = {blue[i], green[i], red[i]};
                ASSERT_EQ(got[c], expected) << n << " " << i << " " << c;
                ASSERT_EQ(each[c], expected) << n << " " << i << " " << c;
            }
        }
    }
}

}  // namespace
}  // namespace lumetra::pt
