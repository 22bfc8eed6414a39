// What the frame routines and the frame stage agree on: the thickness rule
// and which pictures can serve as a frame or a piece.
#pragma once

#include <opencv2/core/core_c.h>

#include <optional>

#include "pixel/canvas.h"

namespace lumetra {

// t = trunc(min(W, H) x factor), the float factor widened and the product
// taken in double. Nothing when the window has no area, or the product is
// not finite or leaves the int range.
std::optional<int> frameThickness(const CanvasWindow& window, float factor);

// A frame picture or piece: 8-bit B, G, R, A, 1 to kMaxLayerSide a side.
bool isFramePicture(const IplImage* picture);

}  // namespace lumetra
