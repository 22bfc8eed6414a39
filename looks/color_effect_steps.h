// The finishing steps of "ColorEffect", each one pass over an 8-bit
// 3-channel picture in place. Each step takes what it needs (row buffers,
// grey pictures) when it is made, so that once the photo-tool render has
// written the picture, nothing can fail halfway.
#pragma once

#include <opencv2/core/core_c.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/image.h"
#include "looks/color_effect_data.h"

namespace lumetra {

struct MapRelease {
    void operator()(ColorMap* map) const noexcept { ptDeleteColorMap(map); }
};
using OwnedMap = std::unique_ptr<ColorMap, MapRelease>;

// The photo-tool map of a variant's settings, made with the exported
// setters (null when memory is short).
OwnedMap colorEffectMap(const ColorEffectSettings& settings);

// Relief shading lit from the top-left: the 3 x 3 luminance gradient of
// each interior pixel against a flat normal of height 16384 / strength.
// Grey relief gives every channel the shade; the multiplied relief scales
// the colours by it. Border rows and columns repeat their neighbours.
class ReliefShading {
public:
    ReliefShading(int width, float strength, bool multiply);
    void apply(IplImage* picture);

private:
    void shadeRow(const uint8_t* in, uint8_t* out, const int32_t* above, const int32_t* here, const int32_t* below);
    int32_t k_;
    bool multiply_;
    std::vector<int32_t> luma_;    // three rows of luminance, a ring
    std::vector<int32_t> factor_;  // the shade of each column of a row
};

// Soft light of a diagonal colour gradient (five stops, top-left to
// bottom-right) over a base of 70 % grey and 30 % the colour.
class GradientSoftLight {
public:
    GradientSoftLight(int width, const GradientStops& stops);
    void apply(IplImage* picture);

private:
    GradientStops stops_;
    std::vector<uint32_t> columnTerm_;  // x * (2^30 / width)
    int32_t sqrtTable_[256];
};

// A duotone of the smoothed grey under a screen of about 80 cells along
// the longer side, its 10 % and 90 % points stretched to the dark and the
// bright colour of the pair.
class HalftoneDuotone {
public:
    explicit HalftoneDuotone(const IplImage* like);
    bool ready() const { return grey_ && smoothed_; }
    void apply(IplImage* picture, const DuotonePair& pair);

private:
    OwnedImage grey_;
    OwnedImage smoothed_;
};

}  // namespace lumetra
