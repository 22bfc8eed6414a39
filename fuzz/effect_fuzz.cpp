// AppplyEffect with random families and indexes (inside and far outside the
// table), sources and destinations of any size, channel count and padding,
// in place or not, host pictures of any form or none, and regions of any
// geometry.
#include "core/image.h"
#include "fuzz_input.h"
#include "lumetra.h"

using lumetra::OwnedImage;
using namespace lumetra::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const uint8_t familyPick = in.byte();
    const int family = familyPick < 240 ? 1 + familyPick % 3 : in.int32();
    const uint8_t indexPick = in.byte();
    const int index = indexPick < 240 ? indexPick % 96 : in.int32();

    const SourceAndDestination pictures = makeSourceAndDestination(in, 4);
    const OwnedImage picture = in.byte() % 8 == 1 ? nullptr : makeLayer(in);
    const int width = pictures.width, height = pictures.height;

    EffectRegion region{0, in.mostly(0, 30), in.mostly(0, 30), in.mostly(width, 40), in.mostly(height, 40)};
    const bool useRegion = in.byte() % 2 == 0;
    AppplyEffect(pictures.src.get(), pictures.dst, picture.get(), in.int32(), family, index,
                 useRegion ? &region : nullptr);
    return 0;
}
