// Bits of the ColorMap flags and the neutral values of its fields.
#pragma once

#include <cstdint>

#include "lumetra.h"

namespace lumetra::pt {

// adjustFlags: the three bits select the render stage.
constexpr uint32_t kAdjustTone = 1;
constexpr uint32_t kAdjustPerHue = 2;
constexpr uint32_t kAdjustBlend = 4;
constexpr uint32_t kStageCount = 8;

// renderFlags (and the renderer's own copy, which adds the sampling bits).
constexpr uint32_t kRenderTransform = 1;
constexpr uint32_t kRenderPerChannel = 2;
constexpr uint32_t kRenderDeep = 4;
constexpr uint32_t kRenderGains = 8;
constexpr uint32_t kRenderVignette = 16;
constexpr uint32_t kRenderBrighten = 32;
constexpr uint32_t kRenderReserved = 64;
constexpr uint32_t kRenderTechnicolor = 0x100;

constexpr int32_t kGainOne = 8192;       // Q13
constexpr int32_t kSaturationOne = 256;  // 256 = 1.0
constexpr int32_t kQ15One = 32768;

// Zero-filled records released by ptDeleteColorMap (throw when memory is short).
Transform* newTransform(int x, int y, int width, int height);
Histography* newHistography();

}  // namespace lumetra::pt
