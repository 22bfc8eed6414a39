// A destination row held as three planes of 15-bit working values (red,
// green, blue), and the passes between them and interleaved BGR rows. The
// passes are plain strided loops so that they vectorise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "phototools/color_step.h"
#include "phototools/warp_rows.h"

namespace lumetra::pt {

struct RowPlanes {
    std::vector<int32_t> r, g, b;
    RowScratch scratch;  // the colour step's
    WarpRows warp;       // a transformed read's
    explicit RowPlanes(int32_t width) : r(static_cast<std::size_t>(width)), g(r.size()), b(r.size()), scratch(width) {}
};

// n BGR pixels into the planes: bytes as v << 7, 16-bit samples as v >> 1.
void readPlanes(const uint8_t* bgr, int n, int32_t* r, int32_t* g, int32_t* b);
void readPlanes(const uint16_t* bgr, int n, int32_t* r, int32_t* g, int32_t* b);

// n pixels of planes (0..32767) out as BGR bytes, v >> 7.
void writePlanes(const int32_t* r, const int32_t* g, const int32_t* b, int n, uint8_t* bgr);

}  // namespace lumetra::pt
