#include "tiltshift/aperture.h"

#include <opencv2/imgproc/imgproc_c.h>

#include <algorithm>
#include <cmath>
#include <new>

using namespace lumetra;
using namespace lumetra::tiltshift;

namespace lumetra::tiltshift {

int apertureKernelSize(int shortSide, float factor) {
    const double reach = shortSide * double{factor};
    const int n = reach > 0 ? static_cast<int>(std::min<double>(reach, shortSide)) : 0;
    return std::max(2 * n + 1, 3);
}

OwnedMat apertureKernel(const IplImage* shape, int size) {
    OwnedMat resized(cvCreateMat(size, size, CV_8UC3));
    cvResize(shape, resized.get(), CV_INTER_AREA);
    const double greenSum = cvSum(resized.get()).val[1];
    if (greenSum == 0) return nullptr;
    const float reciprocal = static_cast<float>(1.0 / greenSum);
    OwnedMat kernel(cvCreateMat(size, size, CV_32FC1));
    for (int y = 0; y < size; ++y) {
        const uint8_t* green = resized->data.ptr + static_cast<std::ptrdiff_t>(y) * resized->step + 1;
        float* out = reinterpret_cast<float*>(kernel->data.ptr + static_cast<std::ptrdiff_t>(y) * kernel->step);
        for (int x = 0; x < size; ++x) out[x] = static_cast<float>(green[x * 3] * double{reciprocal});
    }
    return kernel;
}

ApertureDisc::ApertureDisc(int centreX, int centreY, int inner, int outer)
    : centreX_(centreX), centreY_(centreY) {
    k_ = static_cast<float>(32768.0 / (int64_t{outer} - inner));
    offset_ = static_cast<int64_t>(inner * double{k_});
}

int64_t ApertureDisc::mask(int x, int y) const {
    const float distance = std::sqrt(static_cast<float>(heldSquare(x - centreX_) + heldSquare(y - centreY_)));
    return static_cast<int64_t>(double{distance} * double{k_}) - offset_;
}

ApertureLine::ApertureLine(int x1, int y1, int x2, int y2, int inner, int outer) : line_(x1, y1, x2, y2) {
    const int64_t span = int64_t{outer} - inner;
    offset_ = (int64_t{inner} * 32768) / span;
    const double root = std::sqrt(double{static_cast<float>(line_.cos2)});
    k_ = static_cast<int64_t>(root * 32768.0 / static_cast<double>(span));
}

}  // namespace lumetra::tiltshift

namespace {

using Kernels = std::array<OwnedMat, 4>;  // indexed by the blur they make, 1..3

// Each blur reads `from` and writes `to` (the last one in place), then leaves
// its result in its context picture through the inverse table.
void blurInto(const TransferTables& tables, IplImage* from, IplImage* to, const CvMat* kernel, IplImage* out) {
    cvFilter2D(from, to, kernel, cvPoint(-1, -1));
    linearToEncoded(tables, to, out);
}

template <class Mask>
void mixAll(const ApertureContext& context, IplImage* dst, const Mask& mask) {
    for (int y = 0; y < dst->height; ++y) {
        const uint8_t* rows[4];
        for (int i = 0; i < 4; ++i) rows[i] = rowOf(context.images[i].get(), y);
        uint8_t* out = rowOf(dst, y);
        for (int x = 0; x < dst->width; ++x) {
            const int64_t m = mask.mask(x, y);
            for (int c = 0; c < 3; ++c) {
                const int i = x * 3 + c;
                out[i] = apertureMix(m, rows[0][i], rows[1][i], rows[2][i], rows[3][i]);
            }
        }
    }
}

bool readyToMix(const ApertureContext* context, const IplImage* dst) {
    return context && isBytePicture(dst, 3) && sameSize(context->images[0].get(), dst);
}

}  // namespace

extern "C" LUMETRA_API ApertureContext* LUMETRA_CALL doShiftApStart(IplImage* src, IplImage* shape, float radius) {
    if (!isBytePicture(src, 3) || !isBytePicture(shape, 3) || !std::isfinite(radius)) return nullptr;
    try {
        const int shortSide = std::min(src->width, src->height);
        const float factors[4] = {0.0f, radius / 4, radius / 2, radius};
        Kernels kernels;
        for (int i = 1; i <= 3; ++i) {
            kernels[i] = apertureKernel(shape, apertureKernelSize(shortSide, factors[i]));
            if (!kernels[i]) return nullptr;
        }
        auto context = std::make_unique<ApertureContext>();
        for (auto& image : context->images) {
            image = createImage(src->width, src->height, IPL_DEPTH_8U, 3);
            if (!image) return nullptr;
        }
        auto tables = std::make_unique<TransferTables>();
        buildTransferTables(*tables);
        OwnedImage linear = createImage(src->width, src->height, IPL_DEPTH_16U, 3);
        OwnedImage blurred = createImage(src->width, src->height, IPL_DEPTH_16U, 3);
        if (!linear || !blurred) return nullptr;
        encodedToLinear(*tables, src, linear.get());
        blurInto(*tables, linear.get(), blurred.get(), kernels[3].get(), context->images[3].get());
        blurInto(*tables, linear.get(), blurred.get(), kernels[2].get(), context->images[2].get());
        blurred.reset();
        blurInto(*tables, linear.get(), linear.get(), kernels[1].get(), context->images[1].get());
        linear.reset();
        cvCopy(src, context->images[0].get());
        return context.release();
    } catch (const std::exception&) {  // memory, or OpenCV refusing the work
        return nullptr;
    }
}

extern "C" LUMETRA_API int LUMETRA_CALL ApplyShiftApRound(ApertureContext* context, IplImage* dst, int centreX,
                                                         int centreY, int inner, int outer, int) {
    if (!readyToMix(context, dst) || inner == outer) return 0;
    mixAll(*context, dst, ApertureDisc(centreX, centreY, inner, outer));
    return 0;
}

extern "C" LUMETRA_API int LUMETRA_CALL ApplyShiftApLine(ApertureContext* context, IplImage* dst, int x1, int y1,
                                                        int x2, int y2, int inner, int outer, int) {
    if (!readyToMix(context, dst) || inner == outer || (x1 == x2 && y1 == y2)) return 0;
    mixAll(*context, dst, ApertureLine(x1, y1, x2, y2, inner, outer));
    return 0;
}

extern "C" LUMETRA_API void LUMETRA_CALL ApplyShiftApBlur(ApertureContext* context, IplImage* dst, int, int) {
    if (!readyToMix(context, dst)) return;
    cvCopy(context->images[3].get(), dst);
}

extern "C" LUMETRA_API void LUMETRA_CALL doShiftApEnd(ApertureContext* context) { delete context; }
