// AppplyTexture2 with random pictures: 3- or 4-channel sources and
// destinations of any size (refused ones too), padded rows, layers of any
// size, channel count and depth, opacities in and far out of 0..100, mode
// names from the table or arbitrary text, and regions of any geometry.
#include <cstring>
#include <string>

#include "core/image.h"
#include "fuzz_input.h"
#include "lumetra.h"

namespace {

using lumetra::OwnedImage;
using lumetra::fuzz::Input;

const char* const kModes[] = {"opacity",     "darken",      "lighten",      "multiply",   "screen",
                              "color_dodge", "color_burn",  "linear_dodge", "linear_burn", "overlay",
                              "hard_light",  "soft_light",  "vivid_light",  "linear_light", "pin_light",
                              "hard_mix",    "difference",  "exclude",      "color",      "luminosity"};

OwnedImage makePicture(Input& in, int width, int height, int depth, int channels) {
    const int padding = in.range(0, 5);
    OwnedImage picture = lumetra::createImage(width + padding, height, depth, channels);
    if (!picture) return picture;
    picture->width = width;  // rows keep their padded widthStep
    const uint8_t seed = in.byte();
    for (int i = 0; i < picture->imageSize; ++i) picture->imageData[i] = static_cast<char>(seed * 37 + i * 13 + (i >> 5));
    return picture;
}

int channelsOf(Input& in) {
    const uint8_t pick = in.byte() % 16;
    return pick == 0 ? 1 : pick < 8 ? 3 : 4;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const int width = in.range(1, 40), height = in.range(1, 40);
    const int srcChannels = channelsOf(in);
    OwnedImage src = makePicture(in, width, height, IPL_DEPTH_8U, srcChannels);
    const bool inPlace = in.byte() % 3 == 0;
    const int dstChannels = in.byte() % 8 == 0 ? channelsOf(in) : srcChannels;
    const bool dstOtherSize = in.byte() % 4 == 0;
    OwnedImage separate = makePicture(in, dstOtherSize ? in.range(1, 44) : width, dstOtherSize ? in.range(1, 44) : height,
                                      IPL_DEPTH_8U, dstChannels);
    const int layerDepth = in.byte() % 16 == 0 ? IPL_DEPTH_16U : IPL_DEPTH_8U;
    const int layerChannels = channelsOf(in);
    OwnedImage layer = makePicture(in, in.range(1, 60), in.range(1, 60), layerDepth, layerChannels);

    const int opacity = in.byte() % 8 == 0 ? in.int32() : in.range(-60, 200);
    const uint8_t modePick = in.byte();
    const std::string text = in.text(16);
    const char* mode = modePick < 230 ? kModes[modePick % 20] : modePick < 250 ? text.c_str() : nullptr;
    EffectRegion region{0, in.mostly(0, 30), in.mostly(0, 30), in.mostly(width, 40), in.mostly(height, 40)};
    const bool useRegion = in.byte() % 2 == 0;

    AppplyTexture2(src.get(), inPlace ? src.get() : separate.get(), in.byte() % 32 == 0 ? nullptr : layer.get(), opacity,
                   mode, useRegion ? &region : nullptr);
    return 0;
}
