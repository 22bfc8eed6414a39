#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/q15.h"
#include "pixel/luminance_shifts.h"

namespace lumetra {
namespace {

// Every width to 40 (eight-column steps, the rest left), both signs,
// against luminance15 of the base bytes and of the samples.
TEST(LuminanceShifts, ColumnsMatchTheLuminanceRule) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int32_t> sample(0, 32640);
    for (int width = 0; width <= 40; ++width) {
        std::vector<uint8_t> base(3 * width);
        std::vector<int32_t> colour(3 * width), shifts(3 * width, -1);
        for (uint8_t& byte : base) byte = static_cast<uint8_t>(random());
        for (int32_t& value : colour) value = sample(random);
        for (const bool baseFirst : {true, false}) {
            const int done = luminanceShiftColumns(base.data(), colour.data(), shifts.data(), width, baseFirst);
            ASSERT_TRUE(done == 0 || done == width / 8 * 8);
            for (int col = 0; col < done; ++col) {
                const uint8_t* a = &base[3 * col];
                const int32_t* b = &colour[3 * col];
                const int32_t ofBase = luminance15({colourToQ15(a[2]), colourToQ15(a[1]), colourToQ15(a[0])});
                const int32_t ofSample = luminance15({b[2], b[1], b[0]});
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(shifts[3 * col + c], baseFirst ? ofBase - ofSample : ofSample - ofBase) << width << col;
            }
        }
    }
}

}  // namespace
}  // namespace lumetra
