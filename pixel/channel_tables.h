// A recipe that is a per-channel function of the byte (each output channel
// depends only on the same input channel) is exactly three 256-entry byte
// tables. tabulateChannels runs the recipe once on every byte value; the
// walk is then three lookups a pixel.
#pragma once

#include <opencv2/core/core_c.h>

#include <array>
#include <cstdint>

#include "pixel/pixel_walk.h"

namespace lumetra {

// Indexed in picture order: 0 blue, 1 green, 2 red.
using ChannelTables = std::array<std::array<uint8_t, 256>, 3>;

// op must not depend on the position: it is started on a one-row frame and
// applied to the grey pixels (c << 7, c << 7, c << 7), then stored with the
// byte rule.
template <PixelOperation Op>
ChannelTables tabulateChannels(Op op) {
    ChannelTables tables{};
    op.start(WalkFrame{256, 1, 0, 0});
    op.rowStart(RowSpot{0, 0});
    for (int c = 0; c < 256; ++c) {
        Rgb15 p{colourToQ15(static_cast<uint8_t>(c)), colourToQ15(static_cast<uint8_t>(c)),
                colourToQ15(static_cast<uint8_t>(c))};
        PixelContext at{c, c, 0, {}};
        op.apply(p, at);
        tables[0][c] = toByte15(p.b);
        tables[1][c] = toByte15(p.g);
        tables[2][c] = toByte15(p.r);
    }
    return tables;
}

// dst = the tables applied to src, 3-channel pictures of the same size
// (they may be the same picture).
void applyChannelTables(const IplImage* src, IplImage* dst, const ChannelTables& tables);

}  // namespace lumetra
