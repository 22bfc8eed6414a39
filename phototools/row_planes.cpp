#include "phototools/row_planes.h"

#include "core/planes.h"
#include "core/vector_clones.h"

namespace lumetra::pt {

LUMETRA_VECTOR_CLONES
void readPlanes(const uint8_t* __restrict bgr, int n, int32_t* __restrict r, int32_t* __restrict g,
                int32_t* __restrict b) {
    bytesToPlanes(bgr, n, r, g, b);
}

LUMETRA_VECTOR_CLONES
void readPlanes(const uint16_t* __restrict bgr, int n, int32_t* __restrict r, int32_t* __restrict g,
                int32_t* __restrict b) {
    for (int x = 0; x < n; ++x) {
        b[x] = bgr[3 * x] >> 1;
        g[x] = bgr[3 * x + 1] >> 1;
        r[x] = bgr[3 * x + 2] >> 1;
    }
}

LUMETRA_VECTOR_CLONES
void writePlanes(const int32_t* __restrict r, const int32_t* __restrict g, const int32_t* __restrict b, int n,
                 uint8_t* __restrict bgr) {
    planesToBytes(r, g, b, n, bgr);
}

}  // namespace lumetra::pt
