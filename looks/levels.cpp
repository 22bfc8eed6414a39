#include "looks/levels.h"

#include <algorithm>
#include <cmath>

#include "core/image.h"

namespace lumetra {

namespace {
// Counts of the bytes of one row run into four interleaved arrays: nearby
// bytes often repeat a value, and spreading them keeps consecutive
// increments of one counter from waiting on each other.
using Counters = std::array<std::array<uint32_t, 256>, 4>;
void countBytes(const uint8_t* __restrict bytes, size_t n, Counters& counts) {
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        ++counts[0][bytes[i]];
        ++counts[1][bytes[i + 1]];
        ++counts[2][bytes[i + 2]];
        ++counts[3][bytes[i + 3]];
    }
    for (; i < n; ++i) ++counts[0][bytes[i]];
}
}  // namespace

LevelsHistogram takeHistogram(const IplImage* picture) {
    // The levels count every colour byte alike, whatever its channel. A
    // picture holds fewer than 2^31 bytes, so 32-bit counters cannot fill.
    Counters counts{};
    const int channels = picture->nChannels;
    for (int y = 0; y < picture->height; ++y) {
        const uint8_t* row = rowOf(picture, y);
        if (channels == 3) {
            countBytes(row, static_cast<size_t>(picture->width) * 3, counts);
        } else {
            for (int x = 0; x < picture->width; ++x) countBytes(row + x * channels, 3, counts);
        }
    }
    LevelsHistogram histogram;
    for (size_t k = 0; k < 256; ++k)
        for (const auto& part : counts) histogram.count[k] += part[k];
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
