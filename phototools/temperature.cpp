// White balance: temperature and green factor as channel gains, the
// conversions between them and RGB, slider values and picked areas.
#include "phototools/temperature.h"

#include <algorithm>
#include <cmath>

#include "core/image.h"
#include "phototools/color_map.h"
#include "phototools/fixed.h"

namespace lumetra::pt {

void clampTemperature(double& t, double& green) {
    if (t < 1200) t = 1200;
    if (t > 12000) t = 12000;
    if (green < 0.02) green = 0.02;
    if (green > 5.0) green = 5.0;
}

namespace {

// Chromaticity x of the Planckian (below 4000 K) and daylight locus.
double chromaticityX(double t) {
    const double t2 = t * t, t3 = t * t * t;
    if (t <= 4000) return 2.7475e8 / t3 - 985980.0 / t2 + 1174.44 / t + 0.145986;
    if (t <= 7000) return -4.607e9 / t3 + 2.9678e6 / t2 + 99.11 / t + 0.244063;
    return -2.0064e9 / t3 + 1.9018e6 / t2 + 247.48 / t + 0.23704;
}

}  // namespace

Rgb3 temperatureToRgb(double t, double green) {
    clampTemperature(t, green);
    const double x = chromaticityX(t);
    const double y = -3.0 * (x * x) + 2.87 * x - 0.275;
    const double cx = x / y, cy = 1, cz = (1 - x - y) / y;
    Rgb3 c{3.24071 * cx - 1.53726 * cy - 0.498571 * cz,     // XYZ to linear sRGB
           -0.969258 * cx + 1.87599 * cy + 0.0415557 * cz,
           0.0556352 * cx - 0.203996 * cy + 1.05707 * cz};
    c.g = c.g / green;
    double largest = c.r;
    if (largest < c.g) largest = c.g;
    if (largest < c.b) largest = c.b;
    return {c.r / largest, c.g / largest, c.b / largest};
}

void rgbToTemperature(double r, double g, double b, double& t, double& green) {
    double lo = 1000, hi = 20000;
    t = (hi + lo) / 2;
    Rgb3 c{};
    while (hi - lo > 1.0) {
        c = temperatureToRgb(t, 1.0);
        if (c.b / c.r > b / r) hi = t;
        else lo = t;
        t = (hi + lo) / 2;
    }
    green = (c.g / c.r) / (g / r);  // from the last midpoint evaluated
    clampTemperature(t, green);
}

bool estimateTemperature(double r, double g, double b, double& t, double& green) {
    if (!std::isfinite(r) || !std::isfinite(g) || !std::isfinite(b) || r == 0 || g == 0) return false;
    rgbToTemperature(r, g, b, t, green);
    return true;
}

namespace {

void whiteBalance(ColorMap& m, double t, double green) {
    const Rgb3 c = temperatureToRgb(t, green);
    double r = 1 / c.r, g = 1 / c.g, b = 1 / c.b;
    const double l = 0.299 * r + 0.587 * g + 0.114 * b;
    r = r / l, g = g / l, b = b / l;
    m.gain[0] = truncToInt(m.gain[0] * r);
    m.gain[1] = truncToInt(m.gain[1] * g);
    m.gain[2] = truncToInt(m.gain[2] * b);
    m.renderFlags |= kRenderGains;
}

// The host's balance sliders show a channel level L as 200 - L.
void tempToBalance(double t, double green, int* r, int* g, int* b) {
    const Rgb3 c = temperatureToRgb(t, green);
    const double avg = (c.r + c.g + c.b) / 3.0;
    const int32_t sum = wrapAdd(wrapAdd(*r, *g), *b);
    double level = 200.0 - sum / 3.0;
    level = 200.0 - (200.0 - level) * 0.8;
    double vr = c.r * level / avg, vg = c.g * level / avg, vb = c.b * level / avg;
    if (vr > 300) vg = vg * 300 / vr, vb = vb * 300 / vr, vr = 300;
    if (vg > 300) vr = vr * 300 / vg, vb = vb * 300 / vg, vg = 300;
    if (vb > 300) vr = vr * 300 / vb, vg = vg * 300 / vb, vb = 300;
    *r = wrapSub(200, truncToInt(vr));
    *g = wrapSub(200, truncToInt(vg));
    *b = wrapSub(200, truncToInt(vb));
}

// The mean colour of the square around (x, y), clipped to the picture;
// false when nothing of it lies inside.
bool pickTemperature(const IplImage* img, int x, int y, int radius, double& t, double& green) {
    const int64_t left = std::max<int64_t>(int64_t{x} - radius, 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + radius + 1, img->width);
    const int64_t top = std::max<int64_t>(int64_t{y} - radius, 0);
    const int64_t bottom = std::min<int64_t>(int64_t{y} + radius + 1, img->height);
    if (left >= right || top >= bottom) return false;
    uint64_t sb = 0, sg = 0, sr = 0;
    for (int64_t row = top; row < bottom; ++row) {
        const uint8_t* p = rowOf(img, static_cast<int>(row)) + left * 3;
        for (int64_t col = left; col < right; ++col, p += 3) sb += p[0], sg += p[1], sr += p[2];
    }
    const double n = static_cast<double>((right - left) * (bottom - top));
    return estimateTemperature(sr / (n * 255.0), sg / (n * 255.0), sb / (n * 255.0), t, green);
}

// Runs an estimate and hands it to the host's outputs only when it is known.
template <class Estimate>
void deliver(double* outT, double* outGreen, Estimate estimate) {
    double t = 0, green = 0;
    if (!outT || !outGreen || !estimate(t, green)) return;
    *outT = t;
    *outGreen = green;
}

}  // namespace

}  // namespace lumetra::pt

using namespace lumetra;
using namespace lumetra::pt;

extern "C" {

LUMETRA_API void LUMETRA_CALL ptWhiteBalanceSP(ColorMap* m, double temperature, double green) {
    if (!m || (temperature == 6504.0 && green == 1.001)) return;
    whiteBalance(*m, temperature, green);
}

LUMETRA_API void LUMETRA_CALL ptTempToBalance(double temperature, double green, int* r, int* g, int* b) {
    if (r && g && b) tempToBalance(temperature, green, r, g, b);
}

LUMETRA_API void LUMETRA_CALL ptBalanceToTemp(int r, int g, int b, double* temperature, double* green) {
    deliver(temperature, green, [=](double& t, double& gr) {
        return estimateTemperature(200.0 - r, 200.0 - g, 200.0 - b, t, gr);
    });
}

LUMETRA_API void LUMETRA_CALL ptColorToTemp(int r, int g, int b, double* temperature, double* green) {
    deliver(temperature, green, [=](double& t, double& gr) { return estimateTemperature(r, g, b, t, gr); });
}

LUMETRA_API void LUMETRA_CALL ptPickTemp(IplImage* img, int x, int y, int radius, double* temperature,
                                         double* green) {
    if (!isBytePicture(img, 3)) return;
    deliver(temperature, green, [=](double& t, double& gr) { return pickTemperature(img, x, y, radius, t, gr); });
}

LUMETRA_API Histography* LUMETRA_CALL ptGetTemp(Histography* h, double* temperature, double* green) {
    if (!h) return h;
    if (temperature) *temperature = h->temperature;
    if (green) *green = h->greenFactor;
    return h;
}

}  // extern "C"
