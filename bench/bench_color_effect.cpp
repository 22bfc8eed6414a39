// "ColorEffect" on the 12 MP picture: each variant beside the ptApplyMap
// render of its own settings (the variant may cost that plus about ten
// copies per finishing step), and the smoothing filter beside the unsharp
// mask a user would write with OpenCV.
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <string>

#include "bench_support.h"
#include "looks/color_effect_steps.h"
#include "looks/routines.h"

namespace lumetra::bench {

namespace {

constexpr int kFirstVariant = 3, kLastVariant = 15;

std::string mapName(int variant) { return "color_effect_map/" + std::to_string(variant); }

void colorEffect(benchmark::State& state, int variant, const std::string& peer) {
    cv::setNumThreads(1);  // the duotone's OpenCV smoothing
    const IplImage* src = testPicture();
    OwnedImage dst = touchedImageLike(src, 3);
    for (auto _ : state) {
        applyColorEffect(src, dst.get(), variant, nullptr);
        benchmark::ClobberMemory();
    }
    finish(state, peer.c_str());
}

void variantMap(benchmark::State& state, int variant) {
    IplImage* src = const_cast<IplImage*>(testPicture());
    OwnedImage dst = touchedImageLike(src, 3);
    const OwnedMap map = colorEffectMap(colorEffectSettings(variant));
    for (auto _ : state) {
        if (ptApplyMap(src, nullptr, dst.get(), map.get(), nullptr, nullptr) != 1) state.SkipWithError("refused");
        benchmark::ClobberMemory();
    }
    finish(state);
}

const bool kRegistered = [] {
    for (int v = kFirstVariant; v <= kLastVariant; ++v) {
        benchmark::RegisterBenchmark(mapName(v).c_str(), [v](benchmark::State& s) { variantMap(s, v); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("color_effect/" + std::to_string(v)).c_str(),
                                     [v, peer = mapName(v)](benchmark::State& s) { colorEffect(s, v, peer); })
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

void smoothFilter(benchmark::State& state) {
    IplImage* src = const_cast<IplImage*>(testPicture());
    OwnedImage dst(cvCloneImage(src));
    for (auto _ : state) {
        ptSmoothFilterSP(src, dst.get(), 8.0, 100, 0, nullptr);
        benchmark::ClobberMemory();
    }
    finish(state, "peer/gaussian_unsharp");
}
BENCHMARK(smoothFilter)->Name("phototools/smooth_filter_r8")->Unit(benchmark::kMillisecond);

// The same unsharp mask with OpenCV: dst = 2 src - blur.
void peerUnsharp(benchmark::State& state) {
    cv::setNumThreads(1);
    const cv::Mat src = cv::cvarrToMat(testPicture());
    cv::Mat blur(src.size(), src.type(), cv::Scalar::all(0)), dst(src.size(), src.type(), cv::Scalar::all(0));
    for (auto _ : state) {
        cv::GaussianBlur(src, blur, cv::Size(), 8.0);
        cv::addWeighted(src, 2.0, blur, -1.0, 0.0, dst);
        benchmark::ClobberMemory();
    }
    finish(state);
}
BENCHMARK(peerUnsharp)->Name("peer/gaussian_unsharp")->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace lumetra::bench
