// fx with random pictures (sizes, padding, channels), presets, regions,
// vignette names, frame specifications and a loader that misbehaves: null
// results, grey, 16-bit, tiny and 3- or 4-channel pictures.
#include <cstring>
#include <string>

#include "core/image.h"
#include "fuzz_input.h"

namespace {

using lumetra::OwnedImage;

struct LoaderState {
    lumetra::fuzz::Input* input;
};

IplImage* LUMETRA_CALL misbehavingLoader(int, const char*, void* userData) {
    lumetra::fuzz::Input& in = *static_cast<LoaderState*>(userData)->input;
    const int depth = in.byte() % 16 == 0 ? IPL_DEPTH_16U : IPL_DEPTH_8U;
    const int choice = in.byte() % 6;
    if (choice == 0) return nullptr;
    const int channels = choice == 1 ? 1 : choice <= 3 ? 3 : 4;
    OwnedImage picture = lumetra::createImage(in.range(1, 40), in.range(1, 40), depth, channels);
    if (picture) std::memset(picture->imageData, in.byte(), static_cast<size_t>(picture->imageSize));
    return picture.release();
}

OwnedImage makePicture(lumetra::fuzz::Input& in, int width, int height) {
    const int padding = in.range(0, 5);
    OwnedImage picture = lumetra::createImage(width + padding, height, IPL_DEPTH_8U, 3);
    picture->width = width;  // rows keep their padded widthStep
    for (int i = 0; i < picture->imageSize; ++i) picture->imageData[i] = static_cast<char>(in.byte() + i * 13);
    return picture;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lumetra::fuzz::Input in(data, size);
    const int width = in.range(1, 48), height = in.range(1, 48);
    OwnedImage src = makePicture(in, width, height);
    OwnedImage separate = makePicture(in, width, height);
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
