#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/byte_rows.h"
#include "core/q15.h"

namespace lumetra {
namespace {

// Every length from 0 to 70 runs the 16- and 32-wide steps and the tails;
// the values reach past both ends of the clamp and past 16 bits.
TEST(ByteRows, PackedPathsMatchTheScalarRules) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> anyValue(-200000, 200000);
    for (int n = 0; n <= 70; ++n) {
        std::vector<int32_t> r(n), g(n), b(n), values(n);
        std::vector<uint8_t> bgr(3 * n), stored(3 * n + 1, 0xee), bytes(n + 1, 0xee);
        for (int i = 0; i < n; ++i) {
            r[i] = anyValue(random), g[i] = anyValue(random) % 40000, b[i] = anyValue(random) % 300;
            values[i] = anyValue(random) % 1000;
            for (int c = 0; c < 3; ++c) bgr[3 * i + c] = static_cast<uint8_t>(random());
        }
        storePlanes15(r.data(), g.data(), b.data(), n, stored.data());
        storeClampedBytes(values.data(), bytes.data(), static_cast<size_t>(n));
        std::vector<int32_t> inR(n), inG(n), inB(n);
        readPlanes15(bgr.data(), n, inR.data(), inG.data(), inB.data());
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(stored[3 * i], toByte15(b[i])) << n << " " << i;
            ASSERT_EQ(stored[3 * i + 1], toByte15(g[i])) << n << " " << i;
            ASSERT_EQ(stored[3 * i + 2], toByte15(r[i])) << n << " " << i;
            ASSERT_EQ(bytes[i], std::clamp(values[i], 0, 255)) << n << " " << i;
            ASSERT_EQ(inB[i], colourToQ15(bgr[3 * i])) << n << " " << i;
            ASSERT_EQ(inG[i], colourToQ15(bgr[3 * i + 1])) << n << " " << i;
            ASSERT_EQ(inR[i], colourToQ15(bgr[3 * i + 2])) << n << " " << i;
        }
        EXPECT_EQ(stored[3 * n], 0xee);  // nothing written past the row
        EXPECT_EQ(bytes[n], 0xee);
    }
}

// Values below, inside and past three tables of 700 entries, every length
// to 40 (16-pixel steps and tails).
TEST(ByteRows, LookedUpBytesReadEachChannelsTableAtTheHeldValue) {
    constexpr int32_t kSize = 700;
    std::mt19937 random(3);
    std::vector<uint8_t> tables(3 * kSize + 3);
    for (uint8_t& entry : tables) entry = static_cast<uint8_t>(random());
    const uint8_t* const table[3] = {tables.data(), tables.data() + kSize, tables.data() + 2 * kSize};
    std::uniform_int_distribution<int32_t> value(-100, kSize + 100);
    for (int n = 0; n <= 40; ++n) {
        std::vector<int32_t> r(n), g(n), b(n);
        for (int i = 0; i < n; ++i) r[i] = value(random), g[i] = value(random), b[i] = value(random);
        std::vector<uint8_t> out(3 * n + 1, 0xee);
        storeLookedUpBytes(r.data(), g.data(), b.data(), n, table, kSize, out.data());
        for (int i = 0; i < n; ++i) {
            const int32_t in[3] = {b[i], g[i], r[i]};
            for (int c = 0; c < 3; ++c) ASSERT_EQ(out[3 * i + c], table[c][std::clamp(in[c], 0, kSize - 1)]) << n << i;
        }
        EXPECT_EQ(out[3 * n], 0xee);
    }
}

}  // namespace
}  // namespace lumetra
