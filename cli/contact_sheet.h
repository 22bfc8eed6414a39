// The contact sheet: every preset run on a thumbnail of one photo, laid out
// in a labelled grid so the whole repertoire can be seen at a glance.
#pragma once

#include <opencv2/core.hpp>

#include <functional>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace cli {

struct SheetOptions {
    int columns = 12;
    int thumbnailSide = 240;  // the thumbnail's longer side; smaller photos keep their size
    std::string title;
};

struct ContactSheet {
    cv::Mat picture;                // 8-bit BGR
    cv::Rect original;              // the untouched thumbnail, in the header
    std::vector<cv::Rect> cells;    // one per preset, in index order: thumbnail above its label
    std::vector<cv::Rect> labels;   // the label strip of each cell
    std::vector<bool> changed;      // whether the preset changed the thumbnail at all
};

// Called after each preset with (presets done, presets in all).
using SheetProgress = std::function<void(int done, int total)>;

ContactSheet drawContactSheet(const cv::Mat& photo, AssetFolder& assets, const SheetOptions& options,
                              const SheetProgress& progress = {});

}  // namespace cli
