// The byte filters, the film grain and the black-and-white looks on the
// 12 MP picture. gaussianBlur and highPass stand beside cv::GaussianBlur of
// the same sigma and kernel length (2 x taps - 1, edges replicated); each
// grain and "new_wb" variant beside the blur of its largest sigma, so the
// summary shows how it compares with "2 x its blurs + 10 x memcpy".
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <iterator>
#include <string>

#include "bench_support.h"
#include "looks/routines.h"
#include "pixel/gaussian.h"
#include "pixel/routines.h"

namespace lumetra::bench {

namespace {

constexpr float kSigmas[] = {5.0f, 10.0f, 15.0f, 40.0f};

std::string sigmaName(float sigma) { return std::to_string(static_cast<int>(sigma)); }

void peerGaussian(benchmark::State& state, float sigma) {
    cv::setNumThreads(1);
    const cv::Mat src = cv::cvarrToMat(testPicture());
    cv::Mat dst(src.size(), src.type(), cv::Scalar::all(0));
    const int length = 2 * gaussianKernel(sigma).taps - 1;
    for (auto _ : state) {
        cv::GaussianBlur(src, dst, cv::Size(length, length), sigma, sigma, cv::BORDER_REPLICATE);
        benchmark::ClobberMemory();
    }
    finish(state);
}

template <class Run>
void runOnPicture(benchmark::State& state, const char* peer, Run run) {
    const IplImage* src = testPicture();
    OwnedImage dst = touchedImageLike(src, 3);
    for (auto _ : state) {
        run(src, dst.get());
        benchmark::ClobberMemory();
    }
    finish(state, peer);
}

// The grain plates: textures a little smaller than the picture, as a host
// would ship them.
const IplImage* plate(int which) {
    static const OwnedImage plates[2] = {makeTexture(2000, 1500, 3), makeTexture(1600, 1600, 3)};
    return plates[which].get();
}

void registerAll() {
    static std::string peers[std::size(kSigmas)];
    for (size_t i = 0; i < std::size(kSigmas); ++i) {
        const float sigma = kSigmas[i];
        const std::string s = sigmaName(sigma);
        const char* peer = (peers[i] = "peer/GaussianBlur/" + s).c_str();
        benchmark::RegisterBenchmark(peer, [sigma](benchmark::State& st) { peerGaussian(st, sigma); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("gaussianBlur/" + s).c_str(), [sigma, peer](benchmark::State& st) {
            runOnPicture(st, peer, [sigma](const IplImage* a, IplImage* b) { gaussianBlur(a, b, sigma); });
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("highPass/" + s).c_str(), [sigma, peer](benchmark::State& st) {
            runOnPicture(st, peer, [sigma](const IplImage* a, IplImage* b) { highPass(a, b, sigma, true); });
        })->Unit(benchmark::kMillisecond);
    }
    // Each variant with the blur it is measured against ("-" for none).
    struct Variant {
        const char* name;
        int index;
        const char* blur;
    };
    static const Variant kNoise[] = {{"noise/1", 1, "gaussianBlur/10"}, {"noise/2", 2, "gaussianBlur/40"},
                                     {"noise/3", 3, nullptr}};
    static const Variant kNoiseD[] = {{"noise_d/1", 1, nullptr}, {"noise_d/2", 2, nullptr},
                                      {"noise_d/3", 3, "gaussianBlur/40"}, {"noise_d/4", 4, "gaussianBlur/10"}};
    static const Variant kNewWb[] = {{"new_wb/1", 1, nullptr}, {"new_wb/2", 2, nullptr}, {"new_wb/3", 3, nullptr},
                                     {"new_wb/4", 4, "gaussianBlur/10"}, {"new_wb/5", 5, "gaussianBlur/10"},
                                     {"new_wb/6", 6, "gaussianBlur/15"}, {"new_wb/7", 7, "gaussianBlur/15"},
                                     {"new_wb/8", 8, "gaussianBlur/15"}, {"new_wb/9", 9, nullptr},
                                     {"baw/1", 1, nullptr}};
    for (const Variant& v : kNoise)
        benchmark::RegisterBenchmark(v.name, [&v](benchmark::State& st) {
            runOnPicture(st, v.blur, [&v](const IplImage* a, IplImage* b) { applyNoise(a, b, plate(0), v.index, nullptr); });
        })->Unit(benchmark::kMillisecond);
    for (const Variant& v : kNoiseD)
        benchmark::RegisterBenchmark(v.name, [&v](benchmark::State& st) {
            runOnPicture(st, v.blur, [&v](const IplImage* a, IplImage* b) {
                applyNoiseD(a, b, plate(0), plate(1), v.index, nullptr);
            });
        })->Unit(benchmark::kMillisecond);
    for (const Variant& v : kNewWb)
        benchmark::RegisterBenchmark(v.name, [&v](benchmark::State& st) {
            const bool baw = v.name[0] == 'b';
            runOnPicture(st, v.blur, [&v, baw](const IplImage* a, IplImage* b) {
                if (baw) applyBaw(a, b, v.index, nullptr);
                else applyNewWb(a, b, v.index, nullptr);
            });
        })->Unit(benchmark::kMillisecond);
}

const bool kRegistered = [] {
    registerAll();
    return true;
}();

}  // namespace

}  // namespace lumetra::bench
