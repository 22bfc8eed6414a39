#include "engine/catalogue.h"
#include "engine/interpreter.h"
#include "looks/routines.h"

namespace lumetra {

const IplImage* runVignetteStage(const char* maskName, const IplImage* source, const StageContext& context) {
    const FlatPicture mask(context.loader.load(IMAGE_KIND_VIGNETTE, maskName));
    if (!mask) return source;
    applyVignetting(source, context.dst, mask.get(), 0.1f, 0.2f, 1.3f, context.region);
    return context.dst;
}

void runFx(IplImage* src, IplImage* dst, int presetIndex, const char* vignetteFile, const char* frameSpec,
           const PictureLoader& loader, const EffectRegion* region) {
    const StageContext context{dst, region, loader};
    const IplImage* source = src;
    if (presetIndex >= 0) source = runScript(presetScript(presetIndex), source, context);
    if (vignetteFile) source = runVignetteStage(vignetteFile, source, context);
    if (frameSpec) runFrameStage(frameSpec, source, context);
}

}  // namespace lumetra

extern "C" LUMETRA_API void LUMETRA_CALL fx(IplImage* src, IplImage* dst, int presetIndex, const char* vignetteFile,
                                            const char* frameSpec, ImageLoaderFn loadImage, EffectRegion* region,
                                            void* userData) {
    using namespace lumetra;
    if (!isBytePicture(src, 3) || !isBytePicture(dst, 3) || !sameSize(src, dst)) return;
    try {
        runFx(src, dst, presetIndex, vignetteFile, frameSpec, PictureLoader(loadImage, userData), region);
    } catch (...) {
        // Out of memory inside OpenCV or the standard library: nothing more
        // is done, and nothing may cross the C boundary.
    }
}
