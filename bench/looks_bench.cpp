// The curve and colour looks on the 12 MP picture, beside the floor and the
// peer a user would reach for: cv::LUT with a 3-channel table (the whole
// cost of a per-channel byte recipe).
#include <opencv2/core.hpp>

#include "bench_support.h"
#include "looks/routines.h"

namespace lumetra::bench {

namespace {

void peerLut3(benchmark::State& state) {
    const cv::Mat src = cv::cvarrToMat(testPicture());
    cv::Mat table(1, 256, CV_8UC3);
    for (int i = 0; i < 256; ++i) table.at<cv::Vec3b>(0, i) = cv::Vec3b(255 - i, i / 2, i);
    cv::Mat dst(src.size(), src.type(), cv::Scalar::all(0));
    for (auto _ : state) {
        cv::LUT(src, table, dst);
        benchmark::ClobberMemory();
    }
    finish(state);
}
BENCHMARK(peerLut3)->Name("peer/lut3")->Unit(benchmark::kMillisecond);

template <class Run>
void runLook(benchmark::State& state, Run run) {
    const IplImage* src = testPicture();
    OwnedImage dst = touchedImageLike(src, 3);
    for (auto _ : state) {
        run(src, dst.get());
        benchmark::ClobberMemory();
    }
    finish(state, "peer/lut3");
}

using VariantLook = void (*)(const IplImage*, IplImage*, int, const EffectRegion*);

void registerVariants(const char* family, VariantLook look, std::initializer_list<int> variants) {
    for (const int variant : variants) {
        const std::string name = std::string(family) + "/" + std::to_string(variant);
        benchmark::RegisterBenchmark(name.c_str(),
                                     [look, variant](benchmark::State& state) {
                                         runLook(state, [&](const IplImage* src, IplImage* dst) {
                                             look(src, dst, variant, nullptr);
                                         });
                                     })
            ->Unit(benchmark::kMillisecond);
    }
}

void vignetting2(benchmark::State& state) {
    runLook(state, [](const IplImage* src, IplImage* dst) {
        applyVignetting2(src, dst, -100, 0, 0.01f, 0.01f, 1.3f, nullptr);
    });
}
BENCHMARK(vignetting2)->Name("vignetting2/-100 0")->Unit(benchmark::kMillisecond);

void vignettingMask(benchmark::State& state) {
    const OwnedImage mask = makeTexture(800, 600, 3);
    runLook(state, [&](const IplImage* src, IplImage* dst) {
        applyVignetting(src, dst, mask.get(), 0.1f, 0.2f, 1.3f, nullptr);
    });
}
BENCHMARK(vignettingMask)->Name("vignetting/mask")->Unit(benchmark::kMillisecond);

const bool kRegistered = [] {
    registerVariants("lomo", applyLomo, {1, 5});
    registerVariants("lomo2", applyLomo2, {11});
    registerVariants("color", applyColor, {1, 5});
    registerVariants("color2", applyColor2, {1, 2, 6, 10, 11, 13});
    registerVariants("bw_color", applyBwColor, {1, 2});
    return true;
}();

}  // namespace

}  // namespace lumetra::bench
