// The sepia matrix: row by row the red, green and blue outputs, each a
// weighted sum of the input red, green and blue. The classic toning takes
// it in double; the colour looks take it in Q15.
#pragma once

#include <array>
#include <cstdint>

namespace lumetra {

using SepiaMatrix = std::array<std::array<double, 3>, 3>;

constexpr SepiaMatrix kSepia{{{0.393, 0.769, 0.189},   // red
                              {0.349, 0.686, 0.168},   // green
                              {0.272, 0.534, 0.131}}}; // blue

// The weights in Q15, truncated toward zero: 0.393 x 32768 = 12877.8
// gives 12877.
constexpr std::array<std::array<int32_t, 3>, 3> sepiaMatrix15() {
    std::array<std::array<int32_t, 3>, 3> m{};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) m[row][col] = static_cast<int32_t>(kSepia[row][col] * 32768.0);
    return m;
}

}  // namespace lumetra
