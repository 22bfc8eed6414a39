// The texture overlays on the 12 MP photo, one thread: every "texture"
// recipe, the "texture3" looks, "bw_texture" and the "muti_texture"
// recipes, each with 1024 x 768 textures (alpha where the recipe reads
// it). The goal is 15x the memcpy floor printed in the same run.
#include <array>
#include <string>
#include <vector>

#include "bench_support.h"
#include "pixel/routines.h"

namespace lumetra::bench {

namespace {

constexpr int kTextureWidth = 1024;
constexpr int kTextureHeight = 768;

void registerOne(const std::string& name, int channels,
                 void (*routine)(const IplImage*, IplImage*, const IplImage*, int, const EffectRegion*), int index) {
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& state) {
        const OwnedImage texture = makeTexture(kTextureWidth, kTextureHeight, channels);
        timeOnPicture(state,
                   [&](const IplImage* src, IplImage* dst) { routine(src, dst, texture.get(), index, nullptr); });
    })->Unit(benchmark::kMillisecond);
}

// The channel counts each "muti_texture" recipe reads, texture 1 first.
const std::vector<int>& mutiChannels(int index) {
    static const std::array<std::vector<int>, 5> channels = {
        std::vector<int>{4, 4, 3}, {4, 3}, {3, 3, 3}, {3, 3, 3}, {4, 4, 4, 4, 4}};
    return channels[static_cast<size_t>(index - 1)];
}

const bool registered = [] {
    for (int index = 1; index <= 11; ++index)
        registerOne("texture/" + std::to_string(index), index == 6 || index >= 8 ? 4 : 3, applyTexture, index);
    for (int index : {1, 2, 3, 4, 6, 7, 8}) registerOne("texture3/" + std::to_string(index), 3, applyTexture3, index);
    registerOne("bw_texture/1", 3, applyBwTexture, 1);
    for (int index = 1; index <= 5; ++index)
        benchmark::RegisterBenchmark(("muti_texture/" + std::to_string(index)).c_str(), [index](
                                                                                            benchmark::State& state) {
            std::vector<OwnedImage> owned;
            std::array<const IplImage*, kMaxMutiTextures> list{};
            for (int channels : mutiChannels(index)) {
                owned.push_back(makeTexture(kTextureWidth, kTextureHeight, channels));
                list[owned.size() - 1] = owned.back().get();
            }
            timeOnPicture(state, [&](const IplImage* src, IplImage* dst) {
                applyMutiTexture(src, dst, list.data(), index, nullptr);
            });
        })->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace

}  // namespace lumetra::bench
