// The names of the 20 blend modes, in table order. The frame code picks a
// mode by its position in this table, so the order is part of the interface.
#pragma once

#include <array>

namespace lumetra {

constexpr int kBlendModeCount = 20;

constexpr std::array<const char*, kBlendModeCount> kBlendModeNames = {
    "opacity",      "darken",     "lighten",    "multiply",   "screen",       "color_dodge", "color_burn",
    "linear_dodge", "linear_burn", "overlay",   "hard_light", "soft_light",   "vivid_light", "linear_light",
    "pin_light",    "hard_mix",   "difference", "exclude",    "color",        "luminosity",
};

}  // namespace lumetra
