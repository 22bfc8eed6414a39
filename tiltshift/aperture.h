// The aperture family: blurs shaped by a host picture of the aperture, made
// once at the start, and the per-pixel mix of the sharp picture and the
// three blurs by a 15-bit mask value m.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include <opencv2/core/core_c.h>

#include "tiltshift/context.h"
#include "tiltshift/line_geometry.h"

namespace lumetra::tiltshift {

struct MatRelease {
    void operator()(CvMat* matrix) const noexcept {
        if (matrix) cvReleaseMat(&matrix);
    }
};
using OwnedMat = std::unique_ptr<CvMat, MatRelease>;

// n = trunc(shortSide * factor), held to 0..shortSide; the kernel spans
// 2n + 1 pixels, at least 3.
int apertureKernelSize(int shortSide, float factor);

// The shape's green channel, resized to size x size by area and scaled to
// sum to one, as a 32-bit float matrix; null when the green sums to 0.
OwnedMat apertureKernel(const IplImage* shape, int size);

// 0 at the inner radius or distance, 32768 at the outer one.
class ApertureDisc {
public:
    ApertureDisc(int centreX, int centreY, int inner, int outer);
    int64_t mask(int x, int y) const;

private:
    int64_t centreX_, centreY_;
    float k_;
    int64_t offset_;
};

class ApertureLine {
public:
    ApertureLine(int x1, int y1, int x2, int y2, int inner, int outer);
    int64_t mask(int x, int y) const { return line_.offset(x, y) * k_ - offset_; }

private:
    SharpLine line_;
    int64_t k_;
    int64_t offset_;
};

// One channel of the sharp picture and the blurs (bytes) mixed by m.
inline uint8_t apertureMix(int64_t m, uint8_t sharp, uint8_t blur1, uint8_t blur2, uint8_t blur3) {
    const int32_t v0 = sharp * 128, v1 = blur1 * 128, v2 = blur2 * 128, v3 = blur3 * 128;
    int32_t mixed;
    if (m < 0) {
        mixed = v0;
    } else if (m < 4096) {
        const int32_t t = static_cast<int32_t>(m);
        mixed = (v0 * (4096 - t) + v1 * t) >> 12;
    } else if (m < 10240) {
        mixed = v1;
    } else if (m < 14336) {
        const int32_t t = static_cast<int32_t>(m - 10240);
        mixed = (v1 * (4096 - t) + v2 * t) >> 12;
    } else if (m < 24576) {
        mixed = v2;
    } else if (m < 32768) {
        const int32_t t = static_cast<int32_t>(m - 24576);
        mixed = (v2 * (8192 - t) + v3 * t) >> 13;
    } else {
        mixed = v3;
    }
    return static_cast<uint8_t>(std::clamp(mixed, 0, 32767) >> 7);
}

}  // namespace lumetra::tiltshift
