#include <gtest/gtest.h>

#include "pixel/toning.h"

namespace lumetra {
namespace {

TEST(Toning, KnotsOnALineGiveTheLine) {
    // Equal secants make every slope 1, and the Hermite cubic of a line with
    // its own slopes is the line.
    const ToningTable identity = monotoneTable<3>({0, 128, 255}, {0, 128, 255});
    for (int x = 0; x < 256; ++x) EXPECT_EQ(identity[static_cast<size_t>(x)], x);
    // A flat stretch stays flat and holds its neighbours' slopes at 0.
    const ToningTable step = monotoneTable<4>({0, 100, 200, 255}, {0, 0, 255, 255});
    for (int x = 0; x <= 100; ++x) EXPECT_EQ(step[static_cast<size_t>(x)], 0);
    for (int x = 200; x < 256; ++x) EXPECT_EQ(step[static_cast<size_t>(x)], 255);
    EXPECT_EQ(step[150], 128);  // the smoothstep's middle: 127.5 rounds up
}

}  // namespace
}  // namespace lumetra
