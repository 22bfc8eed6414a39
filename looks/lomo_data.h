// Point data of the lomo looks, one point set per variant, laid out
// as the tables list them.
#pragma once

#include "looks/curves.h"

namespace lumetra {

// "lomo" sets 1..5; any other number gives an empty set.
CurvePointSet lomoPoints(int set);

// "lomo2" sets 1..20; any other number gives an empty set.
CurvePointSet lomo2Points(int set);

}  // namespace lumetra
