#include "pixel/routines.h"

extern "C" LUMETRA_API void LUMETRA_CALL AppplyTexture2(IplImage* src, IplImage* dst, IplImage* layer, int opacity,
                                                       const char* modeName, EffectRegion* region) {
    try {
        lumetra::blendByName(src, dst, layer, 0, opacity, modeName, 0, region);
    } catch (...) {
        // Out of memory for the sampler's tables: nothing more is done, and
        // nothing may cross the C boundary.
    }
}
