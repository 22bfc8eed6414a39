// Data of the black-and-white looks "baw" and "new_wb": the grey mix and
// tone curves of "baw", the hue weights and toning knots of "new_wb".
#pragma once

#include <array>

#include "looks/curves.h"
#include "looks/levels.h"
#include "pixel/byte_mix.h"
#include "pixel/channel_tables.h"
#include "pixel/toning.h"

namespace lumetra {

// Every row (0.34, 0.48, 0.22) as floats in Q15: slightly brighter than grey.
constexpr ColorMatrix15 kBawGreyMix{{{11141, 15728, 7208}, {11141, 15728, 7208}, {11141, 15728, 7208}}};

// "baw" 1 and 2; any other number gives an empty set.
CurvePointSet bawPoints(int variant);

// "new_wb" 1 to 9; every other number takes 1. Variants 5 and 8 mix no
// grey (their weights are unused); 7 shares 6's weights and toning.
const BwWeights& newWbWeights(int variant);
const ChannelTables& newWbToning(int variant);

// The knots the toning tables pass through: red, green and blue rows of
// variants 1, 2, 3, 4, 5, 6 (and 7), 8, then 9's single row.
extern const KnotInputs<17> kNewWbKnotInputs;
extern const std::array<ToningKnots<17>, 7> kNewWbKnots;
extern const KnotValues<17> kNewWb9Knots;

}  // namespace lumetra
