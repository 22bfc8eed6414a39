#include "pixel/layer_sampler.h"

namespace lumetra {

LUMETRA_VECTOR_CLONES
void verticalPass(const uint8_t* __restrict top, const uint8_t* __restrict bottom, int32_t fy, int count,
                  int32_t* __restrict out) {
    for (int i = 0; i < count; ++i) out[i] = core::lerpSum15(top[i], bottom[i], fy) >> 15;
}

LUMETRA_VECTOR_CLONES
void packNeighbours(const int32_t* __restrict vertical, int channels, int count, uint32_t* __restrict packed) {
    for (int i = 0; i < count; ++i)
        packed[i] = (static_cast<uint32_t>(vertical[i]) << 16) |
                    (static_cast<uint32_t>(vertical[i + channels] - vertical[i]) & 0xffffu);
}

LUMETRA_VECTOR_CLONES
void horizontalPass(const uint32_t* __restrict packed, const int32_t* __restrict index,
                    const int32_t* __restrict fraction, int count, int32_t* __restrict out) {
    for (int i = 0; i < count; ++i) {
        const uint32_t pair = packed[index[i]];
        const int32_t left = static_cast<int32_t>(pair >> 16);
        const int32_t step = static_cast<int16_t>(pair & 0xffffu);
        out[i] = (left << 7) + ((step * fraction[i]) >> 8);
    }
}

LUMETRA_VECTOR_CLONES
void alphaPass(int32_t* __restrict samples, int count) {
    for (int i = 3; i < count; i += 4) samples[i] += samples[i] >= 16384 ? 128 : 0;
}

}  // namespace lumetra
