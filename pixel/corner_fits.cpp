#include "pixel/corner_fits.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace lumetra {

namespace {

bool fitsInt32(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

bool sizesUsable(int layerWidth, int layerHeight, int canvasWidth, int canvasHeight) {
    return layerWidth > 0 && layerHeight > 0 && layerWidth <= kMaxLayerSide && layerHeight <= kMaxLayerSide &&
           canvasWidth > 0 && canvasHeight > 0;
}

}  // namespace

std::optional<LayerTransform> fitOneThirdTopRight(int layerWidth, int layerHeight, int canvasWidth, int canvasHeight) {
    if (!sizesUsable(layerWidth, layerHeight, canvasWidth, canvasHeight)) return std::nullopt;
    const int64_t span = int64_t{layerWidth - 1} << 15;
    const double sx = (layerWidth - 1) * 32768.0 * 3.0 / canvasWidth;
    const double sy = (layerHeight - 1) * 32768.0 * 3.0 / canvasHeight;
    const double s = std::min(sx, sy);
    const double shown = std::trunc(canvasWidth * s);  // below 3 x 2^31: exact as an int64
    const int64_t scale = static_cast<int64_t>(std::trunc(s));
    const int64_t offsetX = span - static_cast<int64_t>(shown);
    if (!fitsInt32(scale) || !fitsInt32(offsetX)) return std::nullopt;
    return LayerTransform{static_cast<int32_t>(offsetX), 0, static_cast<int32_t>(scale), static_cast<int32_t>(scale)};
}

std::optional<LayerTransform> fitOneAndHalfShifted(int layerWidth, int layerHeight, int canvasWidth, int canvasHeight) {
    if (!sizesUsable(layerWidth, layerHeight, canvasWidth, canvasHeight)) return std::nullopt;
    const int64_t sx = (int64_t{layerWidth - 1} * 98304) / canvasWidth / 2;
    const int64_t sy = (int64_t{layerHeight - 1} * 98304) / canvasHeight / 2;
    const int64_t s = std::max(sx, sy);
    const int64_t offsetX = (-canvasWidth * s) / 20;
    if (!fitsInt32(s) || !fitsInt32(offsetX)) return std::nullopt;
    return LayerTransform{static_cast<int32_t>(offsetX), 0, static_cast<int32_t>(s), static_cast<int32_t>(s)};
}

}  // namespace lumetra
