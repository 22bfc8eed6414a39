// The tilt-shift contexts a host holds between a start call and its end call.
#pragma once

#include <array>
#include <vector>

#include "core/image.h"
#include "tiltshift/pyramid.h"
#include "tiltshift/transfer.h"

// Pyramid family: level 0 is the picture in 16-bit linear light; level i
// (i >= 1) is i halvings wide and re-expanded to the picture's height.
struct TiltShiftContext {
    lumetra::tiltshift::SplineWeightTable weights;
    lumetra::tiltshift::TransferTables tables;
    std::vector<lumetra::OwnedImage> levels;
};

// Aperture family: the sharp picture and its blurs at r / 4, r / 2 and r.
struct ApertureContext {
    std::array<lumetra::OwnedImage, 4> images;
};
