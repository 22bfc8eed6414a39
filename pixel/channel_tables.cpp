#include "pixel/channel_tables.h"

#include "core/image.h"

namespace lumetra {

void applyChannelTables(const IplImage* src, IplImage* dst, const ChannelTables& tables) {
    const uint8_t* blue = tables[0].data();
    const uint8_t* green = tables[1].data();
    const uint8_t* red = tables[2].data();
    const int width = dst->width;
    for (int y = 0; y < dst->height; ++y) {
        const uint8_t* in = rowOf(src, y);
        uint8_t* out = rowOf(dst, y);
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            const uint8_t b = blue[in[0]], g = green[in[1]], r = red[in[2]];
            out[0] = b;
            out[1] = g;
            out[2] = r;
        }
    }
}

}  // namespace lumetra
