// Tilt-shift on the 12 MP photo. doShiftStart beside the pyramid a user
// would build with OpenCV (8-bit to 16-bit table, pyrDown 8 times, each
// level stretched back to full height); each apply beside memcpy; the
// aperture start beside its three cvFilter2D calls alone, which gives the
// share of its time spent filtering.
#include <opencv2/core.hpp>
#include <opencv2/core/core_c.h>
#include <opencv2/imgproc.hpp>
#include <opencv2/imgproc/imgproc_c.h>

#include "bench_support.h"
#include "tiltshift/aperture.h"

namespace lumetra::bench {

namespace {

constexpr const char* kPyramidPeer = "peer/LUT+pyrDown+resize";
constexpr const char* kApertureStart = "tiltshift/aperture-start";
constexpr float kStrength = 0.05f;
constexpr float kApertureRadius = 0.01f;

void peerPyramid(benchmark::State& state) {
    cv::setNumThreads(1);
    const cv::Mat photo = cv::cvarrToMat(testPicture());
    cv::Mat table(1, 256, CV_16U);
    for (int i = 0; i < 256; ++i) table.at<uint16_t>(i) = static_cast<uint16_t>(i * 257);
    for (auto _ : state) {
        cv::Mat level;
        cv::LUT(photo, table, level);
        std::vector<cv::Mat> levels{level};
        for (int i = 1; i < 9; ++i) {
            cv::Mat reduced, expanded;
            cv::pyrDown(levels.back(), reduced);
            levels.push_back(reduced);
            cv::resize(reduced, expanded, cv::Size(reduced.cols, photo.rows), 0, 0, cv::INTER_CUBIC);
            benchmark::DoNotOptimize(expanded.data);
        }
    }
    finish(state);
}
BENCHMARK(peerPyramid)->Name(kPyramidPeer)->Unit(benchmark::kMillisecond);

void shiftStart(benchmark::State& state) {
    IplImage* photo = const_cast<IplImage*>(testPicture());
    for (auto _ : state) {
        TiltShiftContext* context = doShiftStart(photo);
        benchmark::DoNotOptimize(context);
        doShiftEnd(context);
    }
    finish(state, kPyramidPeer);
}
BENCHMARK(shiftStart)->Name("tiltshift/start")->Unit(benchmark::kMillisecond);

template <class Apply>
void shiftApply(benchmark::State& state, Apply apply) {
    IplImage* photo = const_cast<IplImage*>(testPicture());
    TiltShiftContext* context = doShiftStart(photo);
    const OwnedImage dst = touchedImageLike(photo, 3);
    for (auto _ : state) {
        apply(context, dst.get());
        benchmark::DoNotOptimize(dst->imageData);
    }
    doShiftEnd(context);
    finish(state);
}

void shiftDisc(benchmark::State& state) {
    shiftApply(state, [](TiltShiftContext* c, IplImage* d) {
        AppplyShiftRound(c, d, kStrength, kWidth / 2, kHeight / 2, 300, 1200, nullptr, 1);
    });
}
void shiftLine(benchmark::State& state) {
    shiftApply(state, [](TiltShiftContext* c, IplImage* d) {
        AppplyShiftLine(c, d, kStrength, 0, 1800, kWidth - 1, 1200, 200, 900, nullptr, 1);
    });
}
void shiftEven(benchmark::State& state) {
    shiftApply(state, [](TiltShiftContext* c, IplImage* d) { AppplyShiftBlur(c, d, kStrength, nullptr); });
}
BENCHMARK(shiftDisc)->Name("tiltshift/disc")->Unit(benchmark::kMillisecond);
BENCHMARK(shiftLine)->Name("tiltshift/line")->Unit(benchmark::kMillisecond);
BENCHMARK(shiftEven)->Name("tiltshift/even")->Unit(benchmark::kMillisecond);

OwnedImage apertureDisc() {
    OwnedImage shape = createImage(64, 64, IPL_DEPTH_8U, 3);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            for (int c = 0; c < 3; ++c)
                rowOf(shape.get(), y)[x * 3 + c] = (x - 31.5) * (x - 31.5) + (y - 31.5) * (y - 31.5) < 900 ? 255 : 0;
    return shape;
}

void apertureStart(benchmark::State& state) {
    cv::setNumThreads(1);
    IplImage* photo = const_cast<IplImage*>(testPicture());
    const OwnedImage shape = apertureDisc();
    for (auto _ : state) {
        ApertureContext* context = doShiftApStart(photo, shape.get(), kApertureRadius);
        benchmark::DoNotOptimize(context);
        doShiftApEnd(context);
    }
    finish(state);
}
BENCHMARK(apertureStart)->Name(kApertureStart)->Unit(benchmark::kMillisecond)->Iterations(2);

// The three cvFilter2D calls of the aperture start, with its kernels.
void apertureFilters(benchmark::State& state) {
    cv::setNumThreads(1);
    const IplImage* photo = testPicture();
    const OwnedImage shape = apertureDisc();
    const int shortSide = std::min(photo->width, photo->height);
    const OwnedImage linear = createImage(photo->width, photo->height, IPL_DEPTH_16U, 3);
    const OwnedImage blurred = createImage(photo->width, photo->height, IPL_DEPTH_16U, 3);
    cvSet(linear.get(), cvScalarAll(20000));
    tiltshift::OwnedMat kernels[3];
    const float factors[3] = {kApertureRadius, kApertureRadius / 2, kApertureRadius / 4};
    for (int i = 0; i < 3; ++i)
        kernels[i] = tiltshift::apertureKernel(shape.get(), tiltshift::apertureKernelSize(shortSide, factors[i]));
    for (auto _ : state) {
        cvFilter2D(linear.get(), blurred.get(), kernels[0].get(), cvPoint(-1, -1));
        cvFilter2D(linear.get(), blurred.get(), kernels[1].get(), cvPoint(-1, -1));
        cvFilter2D(linear.get(), linear.get(), kernels[2].get(), cvPoint(-1, -1));
        benchmark::DoNotOptimize(linear->imageData);
    }
    finish(state, kApertureStart);
}
BENCHMARK(apertureFilters)->Name("tiltshift/aperture-cvFilter2D-only")->Unit(benchmark::kMillisecond)->Iterations(2);

void apertureRound(benchmark::State& state) {
    IplImage* photo = const_cast<IplImage*>(testPicture());
    const OwnedImage shape = apertureDisc();
    ApertureContext* context = doShiftApStart(photo, shape.get(), kApertureRadius);
    const OwnedImage dst = touchedImageLike(photo, 3);
    for (auto _ : state) {
        ApplyShiftApRound(context, dst.get(), kWidth / 2, kHeight / 2, 300, 1200, 0);
        benchmark::DoNotOptimize(dst->imageData);
    }
    doShiftApEnd(context);
    finish(state);
}
BENCHMARK(apertureRound)->Name("tiltshift/aperture-disc")->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace lumetra::bench
