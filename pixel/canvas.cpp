#include "pixel/canvas.h"

#include <cmath>

#include "core/q15.h"

namespace lumetra {

CanvasWindow canvasWindow(const EffectRegion* region, const IplImage* reference) {
    if (region) return {true, region->x, region->y, region->width, region->height};
    return {true, 0, 0, reference ? reference->width : 0, reference ? reference->height : 0};
}

namespace {

// The strip fit's width: trunc(W * 0.16) with the single-precision 0.16.
int32_t stripColumns(int canvasWidth) { return static_cast<int32_t>(canvasWidth * static_cast<double>(0.16f)); }

LayerTransform coverCentred(int32_t spanX, int32_t spanY, int w, int h, int layerWidth, int layerHeight) {
    const double sx = (layerWidth - 1) * 32768.0 / w;
    const double sy = (layerHeight - 1) * 32768.0 / h;
    // trunc(w * sy) < spanX when sy < sx, and trunc(h * sx) <= spanY
    // otherwise: both stay inside 32 bits.
    if (sy < sx) {
        const int32_t scale = static_cast<int32_t>(sy);
        return {(spanX - static_cast<int32_t>(w * sy)) / 2, 0, scale, scale};
    }
    const int32_t scale = static_cast<int32_t>(sx);
    return {0, (spanY - static_cast<int32_t>(h * sx)) / 2, scale, scale};
}

LayerTransform strip(int32_t spanX, int w, int h) {
    const int32_t n = stripColumns(w);
    const int32_t scale = spanX / n;
    // The layer's top edge sits 3n/7 rows above the canvas bottom; far
    // outside sane sizes the product wraps at 32 bits.
    const int32_t offsetY = wrapAdd(wrapMul((n * 3) / 7 - h, scale), scale / 2);
    return {0, offsetY, scale, scale};
}

}  // namespace

bool canFitLayer(int layerWidth, int layerHeight, int canvasWidth, int canvasHeight, int fitMode) {
    if (layerWidth <= 0 || layerHeight <= 0 || layerWidth > kMaxLayerSide || layerHeight > kMaxLayerSide) return false;
    if (canvasWidth <= 0 || canvasHeight <= 0) return false;
    return fitMode != kFitStrip || stripColumns(canvasWidth) > 0;
}

LayerTransform fitLayer(int layerWidth, int layerHeight, int canvasWidth, int canvasHeight, int fitMode) {
    const int32_t spanX = (layerWidth - 1) << 15;
    const int32_t spanY = (layerHeight - 1) << 15;
    switch (fitMode) {
        case kFitCoverTopLeft: {
            const int32_t scale = std::min(spanX / canvasWidth, spanY / canvasHeight);
            return {0, 0, scale, scale};
        }
        case kFitStretch:
            return {0, 0, spanX / canvasWidth, spanY / canvasHeight};
        case kFitStrip:
            return strip(spanX, canvasWidth, canvasHeight);
        default:
            return coverCentred(spanX, spanY, canvasWidth, canvasHeight, layerWidth, layerHeight);
    }
}

}  // namespace lumetra
