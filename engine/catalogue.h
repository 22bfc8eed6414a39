// The preset catalogue: 153 effect scripts addressed by index.
#pragma once

#include "lumetra.h"

namespace lumetra {

constexpr int kPresetCount = LUMETRA_PRESET_COUNT;

// The script of preset `index`, or null for an index outside 0..152.
const char* presetScript(int index);

}  // namespace lumetra
