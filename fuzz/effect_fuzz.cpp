// AppplyEffect with random families and indexes (inside and far outside the
// table), sources and destinations of any size, channel count and padding,
// in place or not, host pictures of any form or none, and regions of any
// geometry.
#include "core/image.h"
#include "fuzz_input.h"
#include "lumetra.h"

namespace {

using lumetra::OwnedImage;
using lumetra::fuzz::Input;

OwnedImage makePicture(Input& in, int width, int height, int depth, int channels) {
    const int padding = in.range(0, 5);
    OwnedImage picture = lumetra::createImage(width + padding, height, depth, channels);
    if (!picture) return picture;
    picture->width = width;  // rows keep their padded widthStep
    const uint8_t seed = in.byte();
    for (int i = 0; i < picture->imageSize; ++i) picture->imageData[i] = static_cast<char>(seed * 41 + i * 7 + (i >> 4));
    return picture;
}

int channelsOf(Input& in) {
    const uint8_t pick = in.byte() % 16;
    return pick == 0 ? 1 : pick < 9 ? 3 : 4;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const uint8_t familyPick = in.byte();
    const int family = familyPick < 240 ? 1 + familyPick % 3 : in.int32();
    const uint8_t indexPick = in.byte();
    const int index = indexPick < 240 ? indexPick % 96 : in.int32();

    const int width = in.range(1, 40), height = in.range(1, 40);
    const int srcChannels = channelsOf(in);
    OwnedImage src = makePicture(in, width, height, IPL_DEPTH_8U, srcChannels);
    const bool inPlace = in.byte() % 4 == 0;
    const int dstChannels = in.byte() % 8 == 0 ? channelsOf(in) : srcChannels;
    const bool dstOtherSize = in.byte() % 4 == 0;
    OwnedImage separate = makePicture(in, dstOtherSize ? in.range(1, 44) : width, dstOtherSize ? in.range(1, 44) : height,
                                      IPL_DEPTH_8U, dstChannels);

    const uint8_t picturePick = in.byte();
    const int pictureDepth = picturePick % 16 == 0 ? IPL_DEPTH_16U : IPL_DEPTH_8U;
    const int pictureChannels = channelsOf(in);
    OwnedImage picture = picturePick % 8 == 1 ? nullptr
                                               : makePicture(in, in.range(1, 60), in.range(1, 60), pictureDepth, pictureChannels);

    EffectRegion region{0, in.mostly(0, 30), in.mostly(0, 30), in.mostly(width, 40), in.mostly(height, 40)};
    const bool useRegion = in.byte() % 2 == 0;
    AppplyEffect(src.get(), inPlace ? src.get() : separate.get(), picture.get(), in.int32(), family, index,
                 useRegion ? &region : nullptr);
    return 0;
}
