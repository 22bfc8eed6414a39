// fx with random pictures (sizes, padding, channels), presets, regions,
// vignette names, frame specifications and a loader that misbehaves: null
// results, grey, 16-bit, tiny and 3- or 4-channel pictures.
#include <opencv2/core/core_c.h>

#include <array>
#include <cstring>
#include <map>
#include <string>

#include "core/image.h"
#include "fuzz_input.h"

namespace {

using lumetra::OwnedImage;
using lumetra::fuzz::Input;
using lumetra::fuzz::makePicture;

struct LoaderState {
    Input* input;
};

// The loader's pictures are drawn once per form (depth, channels, size,
// fill: six patterns, all 0, all 255) and served as copies: the library releases what it is given.
IplImage* servedCopy(int depth, int channels, int width, int height, uint8_t fill) {
    static std::map<std::array<int, 5>, OwnedImage> drawn;
    OwnedImage& picture = drawn[{depth, channels, width, height, fill}];
    if (!picture) {
        picture = lumetra::createImage(width, height, depth, channels);
        if (!picture) return nullptr;
        if (fill < 6) lumetra::fuzz::fillPicture(picture.get(), fill);
        else std::memset(picture->imageData, fill == 6 ? 0 : 255, static_cast<size_t>(picture->imageSize));
    }
    return cvCloneImage(picture.get());
}

IplImage* LUMETRA_CALL misbehavingLoader(int, const char*, void* userData) {
    Input& in = *static_cast<LoaderState*>(userData)->input;
    const int depth = in.byte() % 16 == 0 ? IPL_DEPTH_16U : IPL_DEPTH_8U;
    const int choice = in.byte() % 6;
    if (choice == 0) return nullptr;
    const int channels = choice == 1 ? 1 : choice <= 3 ? 3 : 4;
    const int width = in.range(1, 32), height = in.range(1, 32);
    return servedCopy(depth, channels, width, height, in.byte() % 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const int width = in.range(1, 32), height = in.range(1, 32);
    OwnedImage src = makePicture(in, width, height, IPL_DEPTH_8U, 3);
    OwnedImage separate = makePicture(in, width, height, IPL_DEPTH_8U, 3);
    IplImage* dst = in.byte() % 3 == 0 ? src.get() : separate.get();

    const int preset = in.byte() % 8 == 0 ? in.int32() : in.range(-1, 160);
    EffectRegion region{0, in.mostly(0, 8), in.mostly(0, 8), in.mostly(width, 8), in.mostly(height, 8)};
    const bool useRegion = in.byte() % 2 == 0;
    const std::string vignette = in.text(8);
    const bool useVignette = in.byte() % 4 == 0;
    const std::string frame = in.text(40);
    const bool useFrame = in.byte() % 3 == 0;

    LoaderState state{&in};
    fx(src.get(), dst, preset, useVignette ? vignette.c_str() : nullptr, useFrame ? frame.c_str() : nullptr,
       misbehavingLoader, useRegion ? &region : nullptr, &state);
    return 0;
}
