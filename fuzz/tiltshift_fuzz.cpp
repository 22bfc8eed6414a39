// Both tilt-shift families with random pictures, padding, strengths, radii,
// sharp zones (coordinates near the picture or anywhere in 32 bits),
// previews of any size and position, and aperture shapes with or without
// green; applies run with and without keeping the result.
#include <bit>

#include "core/image.h"
#include "fuzz_input.h"
#include "lumetra.h"

namespace {

using lumetra::OwnedImage;
using lumetra::fuzz::Input;

OwnedImage makePicture(Input& in, int width, int height, int channels) {
    return lumetra::fuzz::makePicture(in, width, height, IPL_DEPTH_8U, channels);
}

float anyFloat(Input& in, float typical) {
    return in.byte() < 200 ? typical * in.byte() / 64.0f : std::bit_cast<float>(in.int32());
}

void pyramidFamily(Input& in, const IplImage* src) {
    TiltShiftContext* context = doShiftStart(const_cast<IplImage*>(src));
    for (int k = in.range(0, 6); k > 0; --k) {
        const bool preview = in.byte() & 1;
        OwnedImage dst = preview ? makePicture(in, in.range(1, 40), in.range(1, 40), in.range(3, 4))
                                 : makePicture(in, src->width, src->height, 3);
        EffectRegion region{0, in.mostly(0, 20), in.mostly(0, 20), in.mostly(30, 40), in.mostly(30, 40)};
        EffectRegion* view = preview ? &region : nullptr;
        const float strength = anyFloat(in, 0.2f);
        const int keep = in.byte() & 1;
        switch (in.byte() % 3) {
            case 0:
                AppplyShiftRound(context, dst.get(), strength, in.mostly(10, 30), in.mostly(10, 30), in.mostly(5, 10),
                                 in.mostly(15, 20), view, keep);
                break;
            case 1:
                AppplyShiftLine(context, dst.get(), strength, in.mostly(0, 30), in.mostly(10, 30), in.mostly(30, 30),
                                in.mostly(10, 30), in.mostly(5, 10), in.mostly(15, 20), view, keep);
                break;
            default: AppplyShiftBlur(context, dst.get(), strength, view); break;
        }
    }
    doShiftEnd(context);
}

void apertureFamily(Input& in, const IplImage* src) {
    const OwnedImage shape = makePicture(in, in.range(1, 12), in.range(1, 12), in.range(3, 4));
    ApertureContext* context = doShiftApStart(const_cast<IplImage*>(src), shape.get(), anyFloat(in, 0.05f));
    for (int k = in.range(0, 4); k > 0; --k) {
        OwnedImage dst = makePicture(in, src->width + in.range(0, 1), src->height, 3);
        switch (in.byte() % 3) {
            case 0:
                ApplyShiftApRound(context, dst.get(), in.mostly(10, 30), in.mostly(10, 30), in.mostly(5, 10),
                                  in.mostly(15, 20), 0);
                break;
            case 1:
                ApplyShiftApLine(context, dst.get(), in.mostly(0, 30), in.mostly(10, 30), in.mostly(30, 30),
                                 in.mostly(10, 30), in.mostly(5, 10), in.mostly(15, 20), 0);
                break;
            default: ApplyShiftApBlur(context, dst.get(), 0, 0); break;
        }
    }
    doShiftApEnd(context);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const OwnedImage src = makePicture(in, in.range(1, 48), in.range(1, 48), 3);
    if (in.byte() & 1) pyramidFamily(in, src.get());
    else apertureFamily(in, src.get());
    return 0;
}
