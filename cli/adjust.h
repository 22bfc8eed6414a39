// The photo-tool options `adjust` and `batch --adjust` share, and the
// rendering they ask for: one ColorMap (and a Transform for the geometry)
// rendered in one ptApplyMap pass.
#pragma once

#include <optional>
#include <string>

#include "cli/cli.h"

namespace cli {

struct AdjustOptions {
    std::optional<int> hue, saturation, brightness, exposure, toneExposure, highlights, shadows, contrast;
    std::optional<int> whitePoint, blackPoint, quarter;
    std::optional<double> rotate, scale, temperature, tint;
    std::optional<std::string> technicolor, lens, aberration, shift, blend, pick, smooth;
    bool mirror = false;
    bool autoWhiteBalance = false;
};

void addAdjustOptions(CLI::App* command, AdjustOptions& adjust);
// Refuses option combinations that cannot be rendered, before any file is read.
void checkAdjust(const AdjustOptions& adjust);
// The adjusted photo. With `report`, a measured white balance is printed.
cv::Mat adjustPhoto(const cv::Mat& photo, const AdjustOptions& adjust, bool report);

}  // namespace cli
