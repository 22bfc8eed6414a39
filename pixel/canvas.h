// Where the destination lies on the canvas, and how a layer picture is laid
// onto that canvas.
//
// The canvas is the virtual picture the caller's EffectRegion describes: the
// destination is its window at (x, y), the canvas is width x height. Layers
// are placed on the whole canvas, so a picture rendered in pieces gets one
// seamless texture.
#pragma once

#include <opencv2/core/core_c.h>

#include <cstdint>

#include "lumetra.h"

namespace lumetra {

struct CanvasWindow {
    bool active = false;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The region's rectangle, or (0, 0) and the reference picture's size when
// there is no region. Always active.
CanvasWindow canvasWindow(const EffectRegion* region, const IplImage* reference);

// A window that layer fitting and position-dependent steps can divide by.
inline bool hasArea(const CanvasWindow& window) { return window.width > 0 && window.height > 0; }

// Q15 mapping from canvas position to layer coordinates:
// layer x = canvas x * scaleX + offsetX (32-bit, wrapping), likewise y.
struct LayerTransform {
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    int32_t scaleX = 0;
    int32_t scaleY = 0;
};

enum FitMode : int32_t {
    kFitCoverCentred = 0,  // aspect kept, cropped equally on the long axis
    kFitCoverTopLeft = 1,  // aspect kept, cropped on the right or bottom
    kFitStretch = 2,       // aspect ignored
    kFitStrip = 3,         // the layer spans the leftmost 16 % near the bottom
};

// Largest layer side whose Q15 coordinates fit in 32 bits.
constexpr int kMaxLayerSide = 65535;

// Whether fitMode's transform for this layer and canvas can be computed:
// both sizes positive, the layer within kMaxLayerSide, and for the strip
// fit a strip at least one column wide (a canvas at least 7 wide).
bool canFitLayer(int layerWidth, int layerHeight, int canvasWidth, int canvasHeight, int fitMode);

// The transform of fitMode (any value other than 1, 2, 3 acts as 0).
// Requires canFitLayer.
LayerTransform fitLayer(int layerWidth, int layerHeight, int canvasWidth, int canvasHeight, int fitMode);

}  // namespace lumetra
