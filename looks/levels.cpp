#include "looks/levels.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <optional>

#include "core/bytes_above.h"
#include "core/histogram.h"
#include "core/image.h"

namespace lumetra {

namespace {

// Every `step`th row from `first` on.
LevelsHistogram histogramOfRows(const IplImage* picture, int first, int step) {
    // The levels count every colour byte alike, whatever its channel. A
    // picture holds fewer than 2^31 bytes, so 32-bit counters cannot fill.
    ChannelHistogram<uint32_t> counts;
    uint64_t rows = 0;
    for (int y = first; y < picture->height; y += step, ++rows)
        countRow(rowOf(picture, y), picture->width, picture->nChannels, counts);
    LevelsHistogram histogram;
    for (int k = 0; k < 256; ++k)
        histogram.count[static_cast<size_t>(k)] = uint64_t{counts.at(0, k)} + counts.at(1, k) + counts.at(2, k);
    histogram.pixels = static_cast<uint64_t>(picture->width) * rows;
    return histogram;
}

// The number of samples at or below each byte value, where it is known.
// The count at 255, every sample, is always known.
struct CumulativeCounts {
    std::array<uint64_t, 256> atOrBelow{};
    std::bitset<256> known;
    uint64_t pixels = 0;
};

CumulativeCounts cumulativeOf(const LevelsHistogram& histogram) {
    CumulativeCounts counts;
    uint64_t sum = 0;
    for (size_t k = 0; k < 256; ++k) counts.atOrBelow[k] = sum += histogram.count[k];
    counts.known.set();
    counts.pixels = histogram.pixels;
    return counts;
}

// The clip points as bins, 0 where no bin qualifies; none where a count
// that is not known would decide one. The low point is the first bin
// whose count at or below passes its threshold; the high point the last
// whose count at or above does. Each count is monotonic, so a known bin
// that passes, next to a known one that does not, settles its point.
struct LevelBins {
    int lo;
    int hi;
};
std::optional<LevelBins> findLevelBins(const CumulativeCounts& counts, double a, double b) {
    const double n = static_cast<double>(counts.pixels);
    // Thresholds stay in double: a huge fraction makes no integer overflow.
    const double lowThreshold = std::trunc(n * a * 3.0);
    const double highThreshold = std::trunc(n * b * 3.0);
    const uint64_t total = counts.atOrBelow[255];
    LevelBins bins{0, 0};
    for (int k = 0; k < 256; ++k) {
        if (!counts.known[k] || !(static_cast<double>(counts.atOrBelow[k]) > lowThreshold)) continue;
        if (k > 0 && !counts.known[k - 1]) return std::nullopt;
        bins.lo = k;
        break;
    }
    // At or above k: every sample less those at or below k - 1.
    for (int k = 255; k >= 0; --k) {
        if (k > 0 && !counts.known[k - 1]) continue;
        const uint64_t atOrAbove = k > 0 ? total - counts.atOrBelow[k - 1] : total;
        if (!(static_cast<double>(atOrAbove) > highThreshold)) continue;
        if (k < 255 && !counts.known[k]) return std::nullopt;
        bins.hi = k;
        break;
    }
    return bins;
}

Levels levelsOf(LevelBins bins) { return {static_cast<float>(bins.lo / 255.0), static_cast<float>(bins.hi / 255.0)}; }

double usableFraction(float clip) {
    if (std::isnan(clip)) return 0.0;
    return std::min<double>(clip, 1.0);
}
double widened(double fraction) {
    const double next = fraction - 0.02;
    return next < 0.0 ? 0.0 : next;
}

std::optional<AutoLevels> autoLevelsFrom(const CumulativeCounts& counts, float lowClip, float highClip) {
    double a = usableFraction(lowClip);
    double b = usableFraction(highClip);
    for (;;) {
        const std::optional<LevelBins> bins = findLevelBins(counts, a, b);
        if (!bins) return std::nullopt;
        const Levels levels = levelsOf(*bins);
        const float range = static_cast<float>(static_cast<double>(levels.hi) - levels.lo);
        if (range >= 0.05) {
            const ColorScale scale{static_cast<int32_t>(1024.0 / range),
                                   -static_cast<int32_t>(static_cast<double>(levels.lo) * 32768.0)};
            return AutoLevels{scale, range};
        }
        // Nothing clipped and still too narrow: further rounds cannot change.
        if (a == 0.0 && b == 0.0) return AutoLevels{{1024, 0}, 1.0f};
        a = widened(a);
        b = widened(b);
    }
}

// Samples of every 16th row place each clip point near its bin; one pass
// of compares then counts the picture's samples above eight bins around
// each, and those counts settle both points unless a point lies outside
// its bins (or a narrow range asks for other clips). A histogram of a
// small picture costs little: those take it whole.
constexpr int kSampledRowStep = 16;
std::optional<AutoLevels> autoLevelsByThresholds(const IplImage* picture, float lowClip, float highClip) {
    if (picture->height < 4 * kSampledRowStep) return std::nullopt;
    const std::optional<LevelBins> guess = findLevelBins(
        cumulativeOf(histogramOfRows(picture, kSampledRowStep / 2, kSampledRowStep)), usableFraction(lowClip),
        usableFraction(highClip));
    if (!guess) return std::nullopt;
    const auto around = [](int bin) {
        ThresholdSet set;
        for (int j = 0; j < kThresholdsPerSet; ++j)
            set[static_cast<size_t>(j)] = static_cast<uint8_t>(std::clamp(bin - kThresholdsPerSet / 2 + j, 0, 255));
        return set;
    };
    const ThresholdSet sets[2] = {around(guess->lo), around(guess->hi)};
    AboveCounts above[2];
    if (!countBytesAbove(picture, sets, 2, above)) return std::nullopt;

    CumulativeCounts counts;
    counts.pixels = static_cast<uint64_t>(picture->width) * static_cast<uint64_t>(picture->height);
    const uint64_t total = 3 * counts.pixels;
    counts.atOrBelow[255] = total;
    counts.known.set(255);
    for (size_t s = 0; s < 2; ++s)
        for (size_t j = 0; j < kThresholdsPerSet; ++j) {
            counts.atOrBelow[sets[s][j]] = total - above[s][j];
            counts.known.set(sets[s][j]);
        }
    return autoLevelsFrom(counts, lowClip, highClip);
}

}  // namespace

LevelsHistogram takeHistogram(const IplImage* picture) { return histogramOfRows(picture, 0, 1); }

Levels findLevels(const LevelsHistogram& histogram, double a, double b) {
    return levelsOf(*findLevelBins(cumulativeOf(histogram), a, b));
}

AutoLevels autoLevelsOf(const LevelsHistogram& histogram, float lowClip, float highClip) {
    return *autoLevelsFrom(cumulativeOf(histogram), lowClip, highClip);
}

AutoLevels measureAutoLevels(const IplImage* source, const EffectRegion*, float lowClip, float highClip) {
    if (const std::optional<AutoLevels> levels = autoLevelsByThresholds(source, lowClip, highClip)) return *levels;
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
