// The effect options `apply` and `batch` share: a preset, a vignette mask, a
// frame and a region, run through fx with the pack's loader.
#pragma once

#include <optional>
#include <string>

#include "cli/cli.h"

namespace cli {

struct EffectOptions {
    std::optional<int> preset;
    std::optional<std::string> vignette, frame, region;
};

void addEffectOptions(CLI::App* command, EffectOptions& effect);
// Refuses what the library could do nothing with, before any file is read.
void checkEffect(const EffectOptions& effect);
// The effect on a copy of `photo`. Throws Failure when the library was asked
// for pictures and the pack served none of them.
cv::Mat applyEffect(const cv::Mat& photo, const EffectOptions& effect, AssetFolder& assets);

}  // namespace cli
