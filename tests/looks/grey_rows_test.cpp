#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "core/q15.h"
#include "looks/grey_rows.h"

namespace lumetra {
namespace {

// The 16-pixel pass against grey, levels, floor and the byte store, pixel
// by pixel; stretches that push values past both ends of the byte range.
TEST(GreyRows, MatchThePixelSteps) {
    std::mt19937 random(3);
    const ColorScale stretches[] = {{1024, 0}, {20480, -16384}, {1400, -3000}, {700, 5000}};
    for (const ColorScale& stretch : stretches)
        for (const int32_t floor : {0, -40000, 9000}) {
            const int n = 53;
            std::vector<uint8_t> in(3 * n), out(3 * n, 0);
            for (uint8_t& byte : in) byte = static_cast<uint8_t>(random());
            in[0] = in[1] = in[2] = 255;  // white: the largest grey
            const int done = greyLevelsRows(in.data(), n, stretch, floor, out.data());
            for (int i = 0; i < done; ++i) {
                const Rgb15 p{colourToQ15(in[3 * i + 2]), colourToQ15(in[3 * i + 1]), colourToQ15(in[3 * i])};
                Rgb15 grey{luminance15(p), luminance15(p), luminance15(p)};
                applyLevels(stretch, grey);
                const uint8_t expected = toByte15(std::max(grey.r, floor));
                for (int c = 0; c < 3; ++c) ASSERT_EQ(out[3 * i + c], expected) << i << " " << c;
            }
            for (int i = 3 * done; i < 3 * n; ++i) EXPECT_EQ(out[i], 0) << i;  // the rest is the caller's
        }
}

}  // namespace
}  // namespace lumetra
