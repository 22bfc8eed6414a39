#include <array>
#include <cstdint>

#include "core/image.h"
#include "core/sepia.h"
#include "looks/routines.h"

namespace lumetra {

namespace {
// The sums are taken in double from float-widened bytes; a sum above 255
// saturates, anything else truncates toward zero.
uint8_t sepiaChannel(double value) {
    return value > 255.0 ? 255 : static_cast<uint8_t>(static_cast<int>(value));
}

double toned(const std::array<double, 3>& weights, double r, double g, double b) {
    return weights[0] * r + weights[1] * g + weights[2] * b;
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
            px[2] = sepiaChannel(toned(kSepia[0], r, g, b));
            px[1] = sepiaChannel(toned(kSepia[1], r, g, b));
            px[0] = sepiaChannel(toned(kSepia[2], r, g, b));
        }
    }
}

}  // namespace lumetra
