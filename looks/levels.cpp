#include "looks/levels.h"

#include <algorithm>
#include <cmath>

#include "core/histogram.h"
#include "core/image.h"

namespace lumetra {

LevelsHistogram takeHistogram(const IplImage* picture) {
    // The levels count every colour byte alike, whatever its channel. A
    // picture holds fewer than 2^31 bytes, so 32-bit counters cannot fill.
    ChannelHistogram<uint32_t> counts;
    for (int y = 0; y < picture->height; ++y) countRow(rowOf(picture, y), picture->width, picture->nChannels, counts);
    LevelsHistogram histogram;
    for (int k = 0; k < 256; ++k)
        histogram.count[static_cast<size_t>(k)] = uint64_t{counts.at(0, k)} + counts.at(1, k) + counts.at(2, k);
    histogram.pixels = static_cast<uint64_t>(picture->width) * static_cast<uint64_t>(picture->height);
    return histogram;
}

Levels findLevels(const LevelsHistogram& histogram, double a, double b) {
    const double n = static_cast<double>(histogram.pixels);
    // Thresholds stay in double: a huge fraction makes no integer overflow.
    const double lowThreshold = std::trunc(n * a * 3.0);
    const double highThreshold = std::trunc(n * b * 3.0);
    Levels levels{0.0f, 0.0f};
    uint64_t sum = 0;
    for (int k = 0; k < 256; ++k) {
        sum += histogram.count[k];
        if (static_cast<double>(sum) > lowThreshold) {
            levels.lo = static_cast<float>(k / 255.0);
            break;
        }
    }
    sum = 0;
    for (int k = 255; k >= 0; --k) {
        sum += histogram.count[k];
        if (static_cast<double>(sum) > highThreshold) {
            levels.hi = static_cast<float>(k / 255.0);
            break;
        }
    }
    return levels;
}

namespace {
double usableFraction(float clip) {
    if (std::isnan(clip)) return 0.0;
    return std::min<double>(clip, 1.0);
}
double widened(double fraction) {
    const double next = fraction - 0.02;
    return next < 0.0 ? 0.0 : next;
}
}  // namespace

AutoLevels autoLevelsOf(const LevelsHistogram& histogram, float lowClip, float highClip) {
    double a = usableFraction(lowClip);
    double b = usableFraction(highClip);
    for (;;) {
        const Levels levels = findLevels(histogram, a, b);
        const float range = static_cast<float>(static_cast<double>(levels.hi) - levels.lo);
        if (range >= 0.05) {
            const ColorScale scale{static_cast<int32_t>(1024.0 / range),
                                   -static_cast<int32_t>(static_cast<double>(levels.lo) * 32768.0)};
            return {scale, range};
        }
        // Nothing clipped and still too narrow: further rounds cannot change.
        if (a == 0.0 && b == 0.0) return {{1024, 0}, 1.0f};
        a = widened(a);
        b = widened(b);
    }
}

AutoLevels measureAutoLevels(const IplImage* source, const EffectRegion*, float lowClip, float highClip) {
    return autoLevelsOf(takeHistogram(source), lowClip, highClip);
}

ColorMatrix15 saturationMatrix(double s) {
    static constexpr int32_t kGrey[3] = {9798, 19234, 3736};
    s = std::clamp(s, -1.0, 1.7);
    ColorMatrix15 m{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const double identity = i == j ? 32768.0 : 0.0;
            m[i][j] = static_cast<int32_t>(kGrey[j] * (1.0 - s) + identity * s);
        }
    return m;
}

}  // namespace lumetra
