// Photo metadata: read from a file, its orientation applied, written again.
#pragma once

#include <opencv2/core.hpp>

#include <string>

#include "cli/cli.h"

namespace cli {

// The EXIF, XMP and ICC profile of the file; null when it has none that can
// be read.
Metadata readMetadata(const std::string& path);
// The EXIF orientation 1..8 that is left to apply after decoding (1 when
// none is given, or when the decoder applied it already).
int orientationToApply(const Metadata& metadata);
// The picture as it is meant to be seen under that orientation.
cv::Mat uprightPicture(const cv::Mat& picture, int orientation);
// Puts the metadata into the picture file at `path`, as far as its format
// holds each item; the EXIF orientation becomes upright and its stated size
// `size`. False when the file could not be updated.
// exiv2 0.27 names the ICC profile chunk of WebP and PNG files wrongly; this
// names it again (other files are left as they are).
void repairProfileChunk(const std::string& path);
bool writeMetadata(const std::string& path, const PhotoMetadata& metadata, cv::Size size);

}  // namespace cli
