// Rows of B, G, R bytes and planes of Q15 values, one per colour: the read
// and the store every row-wise pass starts and ends with.
#pragma once

#include <cstdint>

#include "core/q15.h"

namespace lumetra {

// n pixels of bytes into the planes as Q15 (byte << 7).
[[gnu::always_inline]] inline void bytesToPlanes(const uint8_t* __restrict in, int n, int32_t* __restrict r,
                                                 int32_t* __restrict g, int32_t* __restrict b) {
    for (int col = 0; col < n; ++col) {
        b[col] = colourToQ15(in[3 * col]);
        g[col] = colourToQ15(in[3 * col + 1]);
        r[col] = colourToQ15(in[3 * col + 2]);
    }
}

// n pixels of planes out as bytes, each value held to 0..32767 first.
[[gnu::always_inline]] inline void planesToBytes(const int32_t* __restrict r, const int32_t* __restrict g,
                                                 const int32_t* __restrict b, int n, uint8_t* __restrict out) {
    for (int col = 0; col < n; ++col) {
        out[3 * col] = toByte15(b[col]);
        out[3 * col + 1] = toByte15(g[col]);
        out[3 * col + 2] = toByte15(r[col]);
    }
}

}  // namespace lumetra
