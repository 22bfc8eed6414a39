// The signature looks on the 12 MP photo, every variant, with 1024 x 768
// layer pictures (4 channels where the recipe reads alpha, 3 otherwise),
// beside the floor and the resize+addWeighted peer of the blend benchmarks
// (one layer laid over the photo the way a user would write it).
#include <array>
#include <string>

#include "bench_support.h"
#include "looks/routines.h"

namespace lumetra::bench {

namespace {

struct Layers {
    OwnedImage colour = makeTexture(1024, 768, 3);
    OwnedImage alpha = makeTexture(1024, 768, 4);
};

const Layers& layers() {
    static const Layers kLayers;
    return kLayers;
}

template <class Run>
void registerSignature(const std::string& name, Run run) {
    benchmark::RegisterBenchmark(name.c_str(), [run](benchmark::State& state) {
        timeOnPicture(state, run, "peer/resize+addWeighted");
    })
        ->Unit(benchmark::kMillisecond);
}

const bool kRegistered = [] {
    for (int v = 1; v <= 4; ++v)
        registerSignature("glimmer/" + std::to_string(v), [v](const IplImage* src, IplImage* dst) {
            const Layers& l = layers();
            applyGlimmer(src, l.alpha.get(), l.colour.get(), v == 1 ? l.colour.get() : l.alpha.get(), dst, v, nullptr);
        });
    for (int v = 1; v <= 5; ++v)
        registerSignature("kailani/" + std::to_string(v), [v](const IplImage* src, IplImage* dst) {
            const Layers& l = layers();
            applyKailani(src, l.alpha.get(), v == 4 ? l.colour.get() : l.alpha.get(), dst, v, nullptr);
        });
    for (int v = 1; v <= 5; ++v)
        registerSignature("beattle/" + std::to_string(v), [v](const IplImage* src, IplImage* dst) {
            const Layers& l = layers();
            applyBeattle(src, l.colour.get(), l.alpha.get(), l.colour.get(), dst, v, nullptr);
        });
    for (int v = 1; v <= 3; ++v)
        registerSignature("johnny/" + std::to_string(v), [v](const IplImage* src, IplImage* dst) {
            const Layers& l = layers();
            applyJohnny(src, l.colour.get(), l.colour.get(), l.alpha.get(), dst, v, nullptr);
        });
    return true;
}();

}  // namespace

}  // namespace lumetra::bench
