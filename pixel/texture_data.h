// Data of the texture overlays: the levels clips, saturation factor and fit
// of each "texture" recipe, its constant colours, and the two tone-curve
// sets of each "texture3" look.
#pragma once

#include "core/q15.h"
#include "looks/curves.h"
#include "pixel/canvas.h"

namespace lumetra {

// How a recipe prepares the photo and places its texture. The clips and the
// factor k are single-precision values.
struct TextureSetup {
    float lowClip;
    float highClip;
    float k;
    FitMode fit;
};

// "texture" recipes 1..13 (11, 12 and 13 share one).
const TextureSetup& textureSetup(int index);

// Constant colours of "texture" recipes 1, 6 and 9, Q15 (r, g, b).
constexpr Rgb15 kTexture1Edge{21716, 15934, 128};
constexpr Rgb15 kTexture6Tint{14006, 7710, 2698};
constexpr Rgb15 kTexture9Pin{15420, 16062, 4240};

// "texture3": look A where the mask is black, look B where it is white.
struct Texture3Looks {
    CurvePointSet a;
    CurvePointSet b;
};
// Indexes 1..8; 5 and every value outside 2..8 give the looks of 1.
const Texture3Looks& texture3Looks(int index);

// "muti_texture": the levels clips (k is 1 throughout).
struct ClipPair {
    float lowClip;
    float highClip;
};
constexpr ClipPair mutiTextureClips(int index) {
    return index == 1 ? ClipPair{0.1f, 0.01f} : ClipPair{0.01f, 0.01f};
}

}  // namespace lumetra
