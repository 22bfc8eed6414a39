// The 20 named blend modes: one routine per mode (BlendFn), the table that
// lists them with their names, and the lookup by name.
#pragma once

#include <opencv2/core/core_c.h>

#include <array>

#include "lumetra.h"
#include "pixel/blend_names.h"

namespace lumetra {

// Blends `layer` over `base` into `dst` (which may be base): the layer is
// laid on the canvas of `region` by fitMode and mixed in at opacity percent.
// keepAlpha stores the base's own alpha instead of the accumulated one.
// Returns 0; refuses (writes nothing) what blendInputsUsable rejects.
using BlendFn = int (*)(const IplImage* base, IplImage* dst, const IplImage* layer, int keepAlpha, int opacity,
                        int fitMode, const EffectRegion* region);

struct BlendEntry {
    const char* name;
    BlendFn blend;
};

// In kBlendModeNames order: the index is part of the interface.
extern const std::array<BlendEntry, kBlendModeCount> blendTable;

// The table index of a mode name (exact, case-sensitive), or -1.
int blendModeIndex(const char* name);

// Whether a blend with these arguments can run: byte pictures, the base at
// least as large as dst, dst with the channel count the variant stores (4
// with a 4-channel base or keepAlpha, else 3), a window with area, a layer
// the fit can map (sides 1..65535, a strip at least one column wide), and
// no negative opacity where alpha is accumulated.
bool blendInputsUsable(const IplImage* base, const IplImage* dst, const IplImage* layer, int keepAlpha, int opacity,
                       int fitMode, const EffectRegion* region);

}  // namespace lumetra
