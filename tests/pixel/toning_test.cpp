#include <gtest/gtest.h>

#include "looks/bw_data.h"
#include "pixel/grain_data.h"
#include "pixel/toning.h"

namespace lumetra {
namespace {

// Every knot comes back, and between two knots the table runs the way they
// do (flat between equal knots).
template <size_t N>
void expectThroughKnots(const KnotInputs<N>& xs, const KnotValues<N>& ys, const ToningTable& table,
                        const std::string& name) {
    for (size_t k = 0; k < N; ++k) EXPECT_EQ(table[static_cast<size_t>(xs[k])], ys[k]) << name << " knot " << k;
    for (size_t k = 0; k + 1 < N; ++k) {
        const int direction = ys[k + 1] > ys[k] ? 1 : ys[k + 1] < ys[k] ? -1 : 0;
        for (int x = xs[k]; x < xs[k + 1]; ++x) {
            const int step = table[static_cast<size_t>(x + 1)] - table[static_cast<size_t>(x)];
            EXPECT_TRUE(direction == 0 ? step == 0 : step * direction >= 0) << name << " at " << x;
        }
    }
}

TEST(Toning, GrainTablesPassThroughTheirKnots) {
    const char* channel[3] = {"blue", "green", "red"};
    for (int recipe = 1; recipe <= kNoiseRecipes + kNoiseDRecipes; ++recipe) {
        const ToningKnots<10>& knots = kGrainKnots[static_cast<size_t>(recipe - 1)];
        const ChannelTables& tables = recipe <= kNoiseRecipes ? noiseToning(recipe) : noiseDToning(recipe - kNoiseRecipes);
        const KnotValues<10>* rows[3] = {&knots.blue, &knots.green, &knots.red};
        for (int c = 0; c < 3; ++c)
            expectThroughKnots(kGrainKnotInputs, *rows[c], tables[static_cast<size_t>(c)],
                               "grain " + std::to_string(recipe) + " " + channel[c]);
    }
}

TEST(Toning, NewWbTablesPassThroughTheirKnots) {
    constexpr int variants[7] = {1, 2, 3, 4, 5, 6, 8};
    for (size_t i = 0; i < 7; ++i) {
        const ChannelTables& tables = newWbToning(variants[i]);
        const KnotValues<17>* rows[3] = {&kNewWbKnots[i].blue, &kNewWbKnots[i].green, &kNewWbKnots[i].red};
        for (int c = 0; c < 3; ++c)
            expectThroughKnots(kNewWbKnotInputs, *rows[c], tables[static_cast<size_t>(c)],
                               "new_wb " + std::to_string(variants[i]));
    }
    for (size_t c = 0; c < 3; ++c) {
        EXPECT_EQ(newWbToning(7)[c], newWbToning(6)[c]);
        expectThroughKnots(kNewWbKnotInputs, kNewWb9Knots, newWbToning(9)[c], "new_wb 9");
    }
}

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
