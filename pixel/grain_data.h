// Data of the film-grain looks "noise" and "noise_d": the knots of their
// toning tables and the grey weights of "noise" 1.
#pragma once

#include <array>

#include "pixel/byte_mix.h"
#include "pixel/channel_tables.h"
#include "pixel/toning.h"

namespace lumetra {

extern const KnotInputs<10> kGrainKnotInputs;

// "noise" 1 to 3, then "noise_d" 1 to 4.
constexpr int kNoiseRecipes = 3;
constexpr int kNoiseDRecipes = 4;
extern const std::array<ToningKnots<10>, kNoiseRecipes + kNoiseDRecipes> kGrainKnots;

// The toning tables through those knots; recipe 1..3 and 1..4.
const ChannelTables& noiseToning(int recipe);
const ChannelTables& noiseDToning(int recipe);

// The grey mix of "noise" 1.
constexpr BwWeights kNoise1Grey{-121, 143, 195, 180, 182, -27};

}  // namespace lumetra
