// How many colour samples of a picture lie above each of a few byte
// thresholds. Where only a few points of the cumulative counts decide a
// result (the clip points of the auto levels), a pass of byte compares
// finds them in a third of the time a full histogram takes.
#pragma once

#include <opencv2/core/core_c.h>

#include <array>
#include <cstdint>

namespace lumetra {

// Thresholds are compared eight at a time, each against every sample.
constexpr int kThresholdsPerSet = 8;
using ThresholdSet = std::array<uint8_t, kThresholdsPerSet>;
using AboveCounts = std::array<uint64_t, kThresholdsPerSet>;

// above[s][j] becomes the number of B, G and R samples of the 8-bit, 3- or
// 4-channel picture (a fourth channel is not counted) greater than
// sets[s][j]. False, with nothing written, where this processor has no
// vector pass for it: a histogram is then the cheaper way.
bool countBytesAbove(const IplImage* picture, const ThresholdSet* sets, int setCount, AboveCounts* above);

}  // namespace lumetra
