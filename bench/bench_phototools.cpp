// The photo-tool renderer on the 12 MP picture: the copy path of a fresh
// map, each colour stage, a transform and the aberration, beside the OpenCV
// operations a host would otherwise use (HSV conversion, affine warp).
#include <opencv2/imgproc.hpp>

#include <memory>

#include "bench_support.h"
#include "lumetra.h"

namespace lumetra::bench {

namespace {

struct RecordRelease {
    void operator()(void* record) const noexcept { ptDeleteColorMap(record); }
};
using Map = std::unique_ptr<ColorMap, RecordRelease>;
using Tf = std::unique_ptr<Transform, RecordRelease>;

void renderLoop(benchmark::State& state, ColorMap* map, Transform* tf, const char* peer) {
    IplImage* src = const_cast<IplImage*>(testPicture());
    OwnedImage dst = touchedImageLike(src, 3);
    for (auto _ : state) {
        if (ptApplyMap(src, nullptr, dst.get(), map, tf, nullptr) != 1) state.SkipWithError("refused");
        benchmark::ClobberMemory();
    }
    finish(state, peer);
}

// A gentle S curve and a twelve-anchor colour adjustment.
void addToneCurve(ColorMap* m) {
    const double x[] = {0.0, 0.25, 0.75, 1.0}, y[] = {0.0, 0.2, 0.82, 1.0};
    int curve[PT_CURVE_SIZE];
    ptDrawCurve(4, x, y, curve);
    ptApplyCurveSP(m, curve);
}
void addPerHue(ColorMap* m) {
    int hue[12], sat[12], light[12];
    for (int i = 0; i < 12; ++i) hue[i] = (i * 7) % 20 - 10, sat[i] = (i * 13) % 40 - 20, light[i] = (i * 11) % 30 - 15;
    ptAdjustColor(m, hue, sat, light);
}

void freshMap(benchmark::State& state) {
    Map m(ptNewColorMap());
    renderLoop(state, m.get(), nullptr, "floor/memcpy");
}
void hueSaturation(benchmark::State& state) {
    Map m(ptNewColorMap());
    ptAdjustColorGlobalSP(m.get(), 25, 30);  // selects the tone stage
    renderLoop(state, m.get(), nullptr, "peer/cvtColorHsv");
}
void plainSaturation(benchmark::State& state) {
    Map m(ptNewColorMap());
    m->saturation = 320;  // the plain stage: saturation and rotation without tone
    m->hueRotation = 250;
    renderLoop(state, m.get(), nullptr, "peer/cvtColorHsv");
}
void perHueAndCurve(benchmark::State& state) {
    Map m(ptNewColorMap());
    addToneCurve(m.get());
    addPerHue(m.get());
    renderLoop(state, m.get(), nullptr, "peer/cvtColorHsv");
}
void perHueOnly(benchmark::State& state) {
    Map m(ptNewColorMap());
    addPerHue(m.get());
    renderLoop(state, m.get(), nullptr, "peer/cvtColorHsv");
}
void rotateScale(benchmark::State& state) {
    Map m(ptNewColorMap());
    Tf tf(ptNewTransform(0, 0, kWidth, kHeight));
    ptTransformShift(tf.get(), -kWidth / 2.0f, -kHeight / 2.0f);
    ptTransformRotate(tf.get(), 0.1f);
    ptTransformScale(tf.get(), 1.2f, 1.2f);
    ptTransformShift(tf.get(), kWidth / 2.0f, kHeight / 2.0f);
    m->saturation = 300;
    renderLoop(state, m.get(), tf.get(), "peer/warpAffine");
}
void aberration(benchmark::State& state) {
    Map m(ptNewColorMap());
    ptAberration(m.get(), 40, -30);
    renderLoop(state, m.get(), nullptr, "peer/warpAffine");
}

// The peers run on one thread like the library.
void peerHsv(benchmark::State& state) {
    cv::setNumThreads(1);
    const cv::Mat src = cv::cvarrToMat(testPicture());
    cv::Mat dst(src.size(), src.type(), cv::Scalar::all(0));
    for (auto _ : state) {
        cv::cvtColor(src, dst, cv::COLOR_BGR2HSV);
        benchmark::ClobberMemory();
    }
    finish(state);
}
void peerWarp(benchmark::State& state) {
    cv::setNumThreads(1);
    const cv::Mat src = cv::cvarrToMat(testPicture());
    cv::Mat dst(src.size(), src.type(), cv::Scalar::all(0));
    const cv::Mat m = cv::getRotationMatrix2D(cv::Point2f(kWidth / 2.0f, kHeight / 2.0f), 5.7, 1.2);
    for (auto _ : state) {
        cv::warpAffine(src, dst, m, src.size(), cv::INTER_LINEAR);
        benchmark::ClobberMemory();
    }
    finish(state);
}

}  // namespace

BENCHMARK(freshMap)->Name("phototools/fresh_map")->Unit(benchmark::kMillisecond);
BENCHMARK(plainSaturation)->Name("phototools/plain_saturation_rotation")->Unit(benchmark::kMillisecond);
BENCHMARK(hueSaturation)->Name("phototools/global_hue_saturation")->Unit(benchmark::kMillisecond);
BENCHMARK(perHueOnly)->Name("phototools/per_hue")->Unit(benchmark::kMillisecond);
BENCHMARK(perHueAndCurve)->Name("phototools/per_hue_tone_curve")->Unit(benchmark::kMillisecond);
BENCHMARK(rotateScale)->Name("phototools/rotate_scale")->Unit(benchmark::kMillisecond);
BENCHMARK(aberration)->Name("phototools/aberration")->Unit(benchmark::kMillisecond);
BENCHMARK(peerHsv)->Name("peer/cvtColorHsv")->Unit(benchmark::kMillisecond);
BENCHMARK(peerWarp)->Name("peer/warpAffine")->Unit(benchmark::kMillisecond);

}  // namespace lumetra::bench
