#include <cstdint>

#include "engine/image.h"
#include "engine/routines.h"

namespace lumetra {

namespace {
// The sums are taken in double from float-widened bytes; a sum above 255
// saturates, anything else truncates toward zero.
uint8_t sepiaChannel(double value) {
    return value > 255.0 ? 255 : static_cast<uint8_t>(static_cast<int>(value));
}
}  // namespace

void applySepia(IplImage* dst) {
    if (!isBytePicture(dst)) return;
    const int channels = dst->nChannels;
    for (int y = 0; y < dst->height; ++y) {
        uint8_t* px = rowOf(dst, y);
        for (int x = 0; x < dst->width; ++x, px += channels) {
            const double r = static_cast<float>(px[2]);
            const double g = static_cast<float>(px[1]);
            const double b = static_cast<float>(px[0]);
            px[2] = sepiaChannel(0.393 * r + 0.769 * g + 0.189 * b);
            px[1] = sepiaChannel(0.349 * r + 0.686 * g + 0.168 * b);
            px[0] = sepiaChannel(0.272 * r + 0.534 * g + 0.131 * b);
        }
    }
}

}  // namespace lumetra
