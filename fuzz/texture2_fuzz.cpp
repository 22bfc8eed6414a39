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
using namespace lumetra::fuzz;

const char* const kModes[] = {"opacity",     "darken",      "lighten",      "multiply",   "screen",
                              "color_dodge", "color_burn",  "linear_dodge", "linear_burn", "overlay",
                              "hard_light",  "soft_light",  "vivid_light",  "linear_light", "pin_light",
                              "hard_mix",    "difference",  "exclude",      "color",      "luminosity"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const SourceAndDestination pictures = makeSourceAndDestination(in, 3);
    const OwnedImage layer = makeLayer(in);
    const int width = pictures.width, height = pictures.height;

    const int opacity = in.byte() % 8 == 0 ? in.int32() : in.range(-60, 200);
    const uint8_t modePick = in.byte();
    const std::string text = in.text(16);
    const char* mode = modePick < 230 ? kModes[modePick % 20] : modePick < 250 ? text.c_str() : nullptr;
    EffectRegion region{0, in.mostly(0, 30), in.mostly(0, 30), in.mostly(width, 40), in.mostly(height, 40)};
    const bool useRegion = in.byte() % 2 == 0;

    AppplyTexture2(pictures.src.get(), pictures.dst, in.byte() % 32 == 0 ? nullptr : layer.get(), opacity,
                   mode, useRegion ? &region : nullptr);
    return 0;
}
