// Two placements of a layer beside the fit modes of pixel/canvas.h, used by
// "muti_texture": the layer shrunk into the top-right corner, and the layer
// enlarged one and a half times and shifted left. Layer WL x HL, canvas
// W x H, L = (WL - 1) << 15.
#pragma once

#include <optional>

#include "pixel/canvas.h"

namespace lumetra {

// One third: s = min((WL - 1) 32768 3 / W, (HL - 1) 32768 3 / H) in double;
// both scales trunc(s), offsetX = L - trunc(W s) (untruncated s), offsetY 0.
// Elsewhere the sampler repeats the layer's border.
// Null when a value leaves the 32-bit range (a layer wider than about 21800
// pixels or a canvas a few pixels across), or a size is not positive.
std::optional<LayerTransform> fitOneThirdTopRight(int layerWidth, int layerHeight, int canvasWidth, int canvasHeight);

// One and a half, shifted: s = max(((WL - 1) 98304) / W / 2,
// ((HL - 1) 98304) / H / 2) with integer divisions; offsetX = (-W s) / 20,
// offsetY 0. Null as above.
std::optional<LayerTransform> fitOneAndHalfShifted(int layerWidth, int layerHeight, int canvasWidth, int canvasHeight);

}  // namespace lumetra
