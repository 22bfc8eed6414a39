// The frame routines' thickness rule, on a canvas window.
#pragma once

#include <opencv2/core/core_c.h>

#include <optional>

#include "pixel/canvas.h"

namespace lumetra {

// t = trunc(min(W, H) x factor), the float factor widened and the product
// taken in double. Nothing when the window has no area, or the product is
// not finite or leaves the int range.
std::optional<int> frameThickness(const CanvasWindow& window, float factor);

}  // namespace lumetra
