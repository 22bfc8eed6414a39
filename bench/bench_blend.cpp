// Blend modes through blendByName: a 1024 x 768 texture (3 or 4 channels)
// over the 12 MP photo at opacity 60, beside what a user would otherwise
// write with OpenCV: resize the texture to the photo (bilinear), then
// addWeighted.
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "bench_support.h"
#include "pixel/blend_names.h"
#include "pixel/routines.h"

namespace lumetra::bench {

namespace {

constexpr const char* kPeer = "peer/resize+addWeighted";

void peerResizeAddWeighted(benchmark::State& state) {
    cv::setNumThreads(1);
    const OwnedImage texture = makeTexture(1024, 768, 3);
    const cv::Mat photo = cv::cvarrToMat(testPicture());
    const cv::Mat layer = cv::cvarrToMat(texture.get());
    cv::Mat resized(photo.size(), photo.type(), cv::Scalar::all(0)), out(photo.size(), photo.type(), cv::Scalar::all(0));
    for (auto _ : state) {
        cv::resize(layer, resized, photo.size(), 0, 0, cv::INTER_LINEAR);
        cv::addWeighted(photo, 0.4, resized, 0.6, 0.0, out);
        benchmark::DoNotOptimize(out.data);
    }
    finish(state);
}
BENCHMARK(peerResizeAddWeighted)->Name(kPeer)->Unit(benchmark::kMillisecond);

void blendMode(benchmark::State& state, const char* mode, int textureChannels) {
    const OwnedImage texture = makeTexture(1024, 768, textureChannels);
    timeOnPicture(
        state,
        [&](const IplImage* photo, IplImage* dst) { blendByName(photo, dst, texture.get(), 0, 60, mode, 0, nullptr); },
        kPeer);
}

// Registers "blend3/MODE" and "blend4/MODE" for the 20 modes.
const bool registered = [] {
    for (const char* mode : kBlendModeNames)
        for (int channels : {3, 4})
            benchmark::RegisterBenchmark(("blend" + std::to_string(channels) + "/" + mode).c_str(),
                                         [mode, channels](benchmark::State& state) {
                                             blendMode(state, mode, channels);
                                         })
                ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace

}  // namespace lumetra::bench
