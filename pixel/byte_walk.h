// The walk of the byte recipes: every pixel of a 3-channel destination,
// together with the pixels at the same place in input pictures of its size.
// The recipe sees B, G, R bytes and writes its own; nothing is converted.
#pragma once

#include <opencv2/core/core_c.h>

#include <cstdint>

#include "core/image.h"

namespace lumetra {

// fn(out, in...) for every pixel, each a pointer to three bytes. An input
// may be dst itself when fn reads a pixel before writing it.
// Two 8-bit 3-channel pictures of one size (they may be the same picture).
inline bool bytePicturesUsable(const IplImage* src, const IplImage* dst) {
    return isBytePicture(src, 3) && isBytePicture(dst, 3) && sameSize(src, dst);
}

template <class Fn, class... Inputs>
[[gnu::always_inline]] inline void forEachPixel(IplImage* dst, Fn fn, const Inputs*... inputs) {
    const int width = dst->width;
    const int height = dst->height;
    for (int y = 0; y < height; ++y) {
        // Row pointers are taken once a row: stores through them could
        // otherwise make the compiler read the picture headers again.
        uint8_t* out = rowOf(dst, y);
        [&](const auto*... in) {
            for (int x = 0; x < width; ++x) fn(out + 3 * x, (in + 3 * x)...);
        }(rowOf(inputs, y)...);
    }
}

}  // namespace lumetra
