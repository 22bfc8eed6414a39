// The bilinear read of a transformed byte picture, a row at a time: with
// AVX2 eight pixels a step, the neighbours' words gathered; otherwise the
// positions and neighbour offsets in one vectorised pass, the neighbours'
// bytes fetched as 32-bit words, then the interpolation vectorised. A run
// that walks the source's own pixels (the unmoved channel of a lens
// aberration, a shift by whole pixels) reads them as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumetra::pt {

// A source picture of 8-bit BGR pixels at least 2 pixels wide, positions
// held to 0..xMax, 0..yMax (Q15) so that the right neighbour exists; down
// says whether the row below exists (else the row itself is read again).
struct WarpSource {
    const uint8_t* data;
    std::ptrdiff_t step;
    int32_t xMax, yMax;
    bool down;
};

// Pixel i of a run reads source position (x0 + i * dx, y0 + i * dy),
// wrapping at 32 bits, each held to the picture.
struct WarpRun {
    uint32_t x0, y0;
    int32_t dx, dy;
};

class WarpRows {
public:
    // Working values (0..32767) of n pixels into the planes: each channel
    // interpolated across the row first, >> 8, then down, >> 15.
    void read(const WarpSource& source, const WarpRun& run, int n, int32_t* r, int32_t* g, int32_t* b);
    // The same with each channel read through its own run.
    void readChannels(const WarpSource& source, const WarpRun& red, const WarpRun& green, const WarpRun& blue, int n,
                      int32_t* r, int32_t* g, int32_t* b);

private:
    template <int C>
    void readInto(const WarpSource& source, const WarpRun& run, int n, int32_t* r, int32_t* g, int32_t* b);

    static constexpr int kBlock = 256;  // pixels a pass (a render run): the scratch stays in L1
    std::vector<int32_t> row_ = std::vector<int32_t>(kBlock), column_ = std::vector<int32_t>(kBlock);
    std::vector<int32_t> fx_ = std::vector<int32_t>(kBlock), fy_ = std::vector<int32_t>(kBlock);
    std::vector<uint32_t> upperLeft_ = std::vector<uint32_t>(kBlock), upperRight_ = std::vector<uint32_t>(kBlock);
    std::vector<uint32_t> lowerLeft_ = std::vector<uint32_t>(kBlock), lowerRight_ = std::vector<uint32_t>(kBlock);
};

}  // namespace lumetra::pt
