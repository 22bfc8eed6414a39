// The effect script interpreter behind fx: the preset, vignette and frame
// stages, each reading the current source and writing the destination.
#pragma once

#include "engine/loader.h"

namespace lumetra {

// What every stage of one fx call shares.
struct StageContext {
    IplImage* dst;
    const EffectRegion* region;
    PictureLoader loader;
};

// Runs the commands of `script` ("@ keyword args @ keyword args ..."): the
// first command reads `source`, every later one reads dst. Returns the
// current source after the last command (dst once any command was read).
const IplImage* runScript(const char* script, const IplImage* source, const StageContext& context);

// Lays the vignette mask `maskName` (loader kind 1) over `source` into dst.
// Returns the new current source: dst when the stage ran, `source` if the
// mask was missing.
const IplImage* runVignetteStage(const char* maskName, const IplImage* source, const StageContext& context);

// Draws the frame that `frameSpec` ("%d,%f,%s") describes over `source`.
void runFrameStage(const char* frameSpec, const IplImage* source, const StageContext& context);

// The whole of fx, once its pictures are known to be usable.
void runFx(IplImage* src, IplImage* dst, int presetIndex, const char* vignetteFile, const char* frameSpec,
           const PictureLoader& loader, const EffectRegion* region);

}  // namespace lumetra
