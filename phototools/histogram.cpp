// The Histography record: channel counts of a picture with its automatic
// white-balance estimate, and the histogram picture drawn from it.
#include <algorithm>
#include <cmath>

#include "core/histogram.h"
#include "core/image.h"
#include "phototools/color_map.h"
#include "phototools/fixed.h"
#include "phototools/temperature.h"

namespace lumetra::pt {

namespace {

constexpr int kBins = 256;
constexpr int kEstimateBins = 250;  // pixels with a channel at 250 or above stay out of the estimate

// Counts of the unclipped pixels for the estimate.
using EstimateCounts = ChannelHistogram<uint64_t, kEstimateBins>;

template <class Sample, int Shift>
void countPixels(const IplImage* img, Histography& h, EstimateCounts& e) {
    ChannelHistogram<uint32_t> all;
    for (int y = 0; y < img->height; ++y)
        countRow<Shift>(reinterpret_cast<const Sample*>(rowOf(img, y)), img->width, 3, all, e);
    for (int v = 0; v < kBins; ++v) h.blue[v] = all.at(0, v), h.green[v] = all.at(1, v), h.red[v] = all.at(2, v);
}

// The order-6 mean of each channel, normalised to luminance 1, as a
// temperature; 0 and 0 ("unknown") when no pixel or no red or green counts.
void estimate(const EstimateCounts& e, Histography& h) {
    const uint64_t pixels = e.pixels();
    if (pixels == 0) return;
    double sr = 0, sg = 0, sb = 0;
    for (int i = 0; i < kEstimateBins; ++i) {
        const double v = i;
        const double v6 = v * v * v * v * v * v;
        sr += v6 * e.at(2, i);
        sg += v6 * e.at(1, i);
        sb += v6 * e.at(0, i);
    }
    const double n = static_cast<double>(pixels);
    double r = std::pow(sr / n, 0.16666666666666666);
    double g = std::pow(sg / n, 0.16666666666666666);
    double b = std::pow(sb / n, 0.16666666666666666);
    const double l = 0.299 * r + 0.587 * g + 0.114 * b;
    r = r / l, g = g / l, b = b / l;
    double t = 0, green = 0;
    if (estimateTemperature(r, g, b, t, green)) h.temperature = t, h.greenFactor = green;
}

Histography* createHistography(const IplImage* img) {
    Histography* h = newHistography();
    const bool deep = img && img->depth == IPL_DEPTH_16U;
    const bool usable = img && img->nChannels == 3 && (img->depth == IPL_DEPTH_8U || deep) && img->width > 0 &&
                        img->height > 0 && img->imageData &&
                        img->widthStep >= int64_t{img->width} * 3 * (deep ? 2 : 1);
    if (!usable) return h;
    h->pixelCount = static_cast<uint32_t>(img->width) * static_cast<uint32_t>(img->height);
    EstimateCounts e;
    if (deep) countPixels<uint16_t, 8>(img, *h, e);
    else countPixels<uint8_t, 0>(img, *h, e);
    estimate(e, *h);
    return h;
}

// The normalised Gaussian exp(-(j-4)^2/9) / sum over nine bins.
constexpr double kSmooth[9] = {0.032844746549672905, 0.071490858439652,   0.12460206049450016,
                               0.173896183817453,    0.194332301397444,   0.173896183817453,
                               0.12460206049450016,  0.071490858439652,   0.032844746549672905};

// Bar heights of the three channels (blue, green, red) per bin, in pixels.
struct Heights {
    int64_t bar[3][kBins];
};

Heights measureHeights(const Histography& h, int canvasHeight) {
    const uint32_t* counts[3] = {h.blue, h.green, h.red};
    Heights out{};
    int64_t peak = 0;
    for (int i = 0; i < kBins; ++i) {
        for (int c = 0; c < 3; ++c) {
            double sum = 0;
            for (int j = 0; j < 9; ++j) sum += kSmooth[j] * counts[c][std::clamp(i - 4 + j, 0, kBins - 1)];
            const int64_t smooth = static_cast<int64_t>(sum);
            if (i >= 9 && i < 247) peak = std::max(peak, smooth);
            out.bar[c][i] = (7 * smooth + 3 * int64_t{counts[c][i]}) / 10;
        }
    }
    // A sixth-power mean keeps one spike from flattening everything else.
    double power = 0;
    for (const auto& channel : out.bar)
        for (int64_t v : channel) {
            const double d = static_cast<double>(v);
            power += d * d * d * d * d * d;
        }
    const int64_t mean = static_cast<int64_t>(std::pow(power, 0.16666666666666666) / 768.0);
    peak = std::max(peak, mean) + 3;
    int64_t empty = 0;
    for (const auto& channel : out.bar)
        for (int64_t v : channel)
            if (v < peak) empty += peak - v;
    const double ratio = empty / (peak * 768.0);
    if (ratio < 0.5) peak = static_cast<int64_t>(peak * 2 * (1 - ratio));
    for (auto& channel : out.bar)
        for (int64_t& v : channel) v = (canvasHeight - 1) * v / peak;
    return out;
}

struct Bgr {
    uint8_t b, g, r;
};

inline void paint(uint8_t* p, Bgr c) { p[0] = c.b, p[1] = c.g, p[2] = c.r; }

// Darkens the five levels above a curve: factors 49, 56, 61, 64, 65 of 67.
inline void shade(uint8_t* p, int64_t level, int64_t v) {
    const int64_t d = v - level;
    if (d >= 6) return;
    const int64_t factor = (10 - d) * d + 40;
    for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>(p[k] * factor / 67);
}

void drawHistography(const Histography& h, IplImage* canvas) {
    const int width = canvas->width, height = canvas->height;
    const Heights heights = measureHeights(h, height);
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height; ++y) {
            const int64_t v = height - 1 - y;
            uint8_t* p = rowOf(canvas, y);
            for (int x = 0; x < width; ++x, p += 3) {
                const int bin = static_cast<int>(int64_t{x} * 255 / (width - 1));
                const int64_t hb = heights.bar[0][bin], hg = heights.bar[1][bin], hr = heights.bar[2][bin];
                const bool blue = v <= hb, green = v <= hg, red = v <= hr;
                const int64_t top = std::max({hb, hg, hr}), bottom = std::min({hb, hg, hr});
                const int64_t middle = hb + hg + hr - top - bottom;
                if (pass == 0) {
                    if (blue) paint(p, {179, 91, 43});
                    else if (green) paint(p, {72, 180, 72});
                    else if (!red) shade(p, top, v);
                    else paint(p, {39, 39, 205});
                } else if (pass == 1) {
                    if (blue && green) paint(p, {228, 228, 48});
                    else if (green && red) paint(p, {54, 204, 215});
                    else if (!(red && blue)) shade(p, middle, v);
                    else paint(p, {180, 5, 214});
                } else {
                    if (blue && green && red) paint(p, {149, 149, 149});
                    else shade(p, bottom, v);
                }
            }
        }
    }
}

}  // namespace

}  // namespace lumetra::pt

using namespace lumetra;
using namespace lumetra::pt;

extern "C" {

LUMETRA_API Histography* LUMETRA_CALL ptCreateHistography(IplImage* img) {
    return guarded<Histography*>(nullptr, [img] { return createHistography(img); });
}

LUMETRA_API void LUMETRA_CALL ptDrawHistography(Histography* h, IplImage* canvas) {
    if (!h || !isBytePicture(canvas, 3) || canvas->width < 2) return;
    drawHistography(*h, canvas);
}

}  // extern "C"
