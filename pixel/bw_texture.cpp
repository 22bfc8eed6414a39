// "bw_texture": the photo in grey with its levels stretched, then a texture
// overlaid at full weight, stretched over the canvas.
#include "core/vector_clones.h"
#include "pixel/routines.h"
#include "pixel/texture_steps.h"

namespace lumetra {

namespace {

// Nothing holds the stretched grey below white, so the overlay runs on
// 64-bit values.
LUMETRA_VECTOR_CLONES void bwTextureWalk(const IplImage* src, IplImage* dst, const CanvasWindow& window,
                                       ColorScale stretch, const IplImage* texture, const LayerTransform& placed) {
    lookWalk(src, dst, window,
             toGrey() | applyLevels(stretch) | clampBelow(0) | wideStep<Overlay>(layer<3>(texture, placed), 32768));
}

}  // namespace

void applyBwTexture(const IplImage* src, IplImage* dst, const IplImage* texture, int index,
                    const EffectRegion* region) {
    if (index != 1 && index != 2) return;
    const CanvasWindow window = canvasWindow(region, src);
    if (!textureCanvasUsable(src, dst, window) || !textureUsable(texture, 3)) return;
    const AutoLevels levels = measureAutoLevels(src, region, 0.01f, 0.01f);
    const LayerTransform stretch = fitLayer(texture->width, texture->height, window.width, window.height, kFitStretch);
    bwTextureWalk(src, dst, window, levels.scale, texture, stretch);
}

}  // namespace lumetra
