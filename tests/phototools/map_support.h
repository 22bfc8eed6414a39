// Helpers for the photo-tool tests: owners for the records, and a render of
// one pixel through a map.
#pragma once

#include <memory>
#include <vector>

#include "lumetra.h"
#include "support/pictures.h"

namespace lumetra::test {

struct RecordRelease {
    void operator()(void* record) const noexcept { ptDeleteColorMap(record); }
};
using OwnedMap = std::unique_ptr<ColorMap, RecordRelease>;
using OwnedTransform = std::unique_ptr<Transform, RecordRelease>;
using OwnedHistography = std::unique_ptr<Histography, RecordRelease>;

inline OwnedMap newMap() { return OwnedMap(ptNewColorMap()); }

// The (blue, green, red) bytes one pixel becomes through the map.
inline std::vector<uint8_t> renderPixel(ColorMap* map, std::vector<uint8_t> bgr) {
    const OwnedImage src = makeUniform(1, 1, 3, bgr);
    const OwnedImage dst = makeUniform(1, 1, 3, {0, 0, 0});
    if (ptApplyMap(src.get(), nullptr, dst.get(), map, nullptr, nullptr) != 1) return {};
    return pixelAt(dst.get(), 0, 0);
}

}  // namespace lumetra::test
