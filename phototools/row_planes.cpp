#include "phototools/row_planes.h"

#include "core/byte_rows.h"
#include "core/vector_clones.h"

namespace lumetra::pt {

void readPlanes(const uint8_t* bgr, int n, int32_t* r, int32_t* g, int32_t* b) { readPlanes15(bgr, n, r, g, b); }

LUMETRA_VECTOR_CLONES
void readPlanes(const uint16_t* __restrict bgr, int n, int32_t* __restrict r, int32_t* __restrict g,
                int32_t* __restrict b) {
    for (int x = 0; x < n; ++x) {
        b[x] = bgr[3 * x] >> 1;
        g[x] = bgr[3 * x + 1] >> 1;
        r[x] = bgr[3 * x + 2] >> 1;
    }
}

void writePlanes(const int32_t* r, const int32_t* g, const int32_t* b, int n, uint8_t* bgr) {
    storePlanes15(r, g, b, n, bgr);
}

}  // namespace lumetra::pt
