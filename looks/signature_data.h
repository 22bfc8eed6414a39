// Point data of the signature looks "glimmer", "kailani", "beattle" and
// "johnny": each set's red, green and blue lists as the tables give them.
#pragma once

#include "looks/curves.h"

namespace lumetra {

enum class SignatureCurve {
    g1, g2, g3, g4,                  // glimmer
    k0, k1, k2, k3, k4, k5, k6,      // kailani
    b0, b1, b2, b3, b4,              // beattle
    j1, j2, j3,                      // johnny
};

CurvePointSet signaturePoints(SignatureCurve set);

// The set's tables (buildCurveLutSet of its points).
CurveLutSet signatureLuts(SignatureCurve set);

}  // namespace lumetra
