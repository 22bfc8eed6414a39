#include "looks/curves.h"

#include <cmath>
#include <cstddef>

namespace lumetra {

namespace {

// A spline value on the 0..1 scale to a table entry: clamped, then
// 0..32767 rounded to nearest. NaN (only from repeated x) counts as 0.
int32_t toQ15Table(float value) {
    double v = value;
    if (!(v >= 0.0)) v = 0.0;
    if (v > 1.0) v = 1.0;
    return static_cast<int32_t>(32767.0 * v + 0.5);
}

// Second derivatives of the natural spline through the points. Every step
// is rounded to single precision where the stored value is a float, so the
// tables come out the same on every build.
std::vector<float> secondDerivatives(const CurvePointList& pts) {
    const size_t n = pts.size();
    std::vector<float> y2(n, 0.0f);
    std::vector<float> u(n > 1 ? n - 1 : 1, 0.0f);
    for (size_t i = 1; i + 1 < n; ++i) {
        const double x0 = pts[i - 1].x, x1 = pts[i].x, x2 = pts[i + 1].x;
        const double y0 = pts[i - 1].y, y1 = pts[i].y, yn = pts[i + 1].y;
        const float sig = static_cast<float>((x1 - x0) / (x2 - x0));
        const float p = static_cast<float>(sig * static_cast<double>(y2[i - 1]) + 2.0);
        y2[i] = static_cast<float>((sig - 1.0) / p);
        const float slopes = static_cast<float>((yn - y1) / (x2 - x1) - (y1 - y0) / (x1 - x0));
        u[i] = static_cast<float>((6.0 * slopes / (x2 - x0) - sig * static_cast<double>(u[i - 1])) / p);
    }
    for (size_t k = n - 1; k-- > 0;) y2[k] = static_cast<float>(static_cast<double>(y2[k]) * y2[k + 1] + u[k]);
    return y2;
}

}  // namespace

CurveLut buildCurveLut(const CurvePointList& pts) {
    CurveLut table{};
    const int n = static_cast<int>(pts.size());
    if (n == 0) return table;
    const std::vector<float> y2 = secondDerivatives(pts);
    // The interval sweep only moves forward: the samples ascend.
    int lo = -1;
    int hi = 0;
    for (int i = 0; i < kCurveLutSize; ++i) {
        const float t = static_cast<float>(i / 1023.0);
        while (hi < n && pts[hi].x < t) lo = hi++;
        float value;
        if (hi == n) {
            value = pts[n - 1].y;
        } else if (lo == -1) {
            value = pts[0].y;
        } else {
            const float h = static_cast<float>(static_cast<double>(pts[hi].x) - pts[lo].x);
            const float a = static_cast<float>((static_cast<double>(pts[hi].x) - t) / h);
            const float b = static_cast<float>((static_cast<double>(t) - pts[lo].x) / h);
            const double da = a, db = b, dh = h;
            const double bend = (da * da * da - da) * y2[lo] + (db * db * db - db) * y2[hi];
            value = static_cast<float>(da * pts[lo].y + db * pts[hi].y + bend * (dh * dh) / 6.0);
        }
        table[i] = toQ15Table(value);
    }
    return table;
}

CurveLutSet buildCurveLutSet(const CurvePointSet& points) {
    CurveLutSet set;
    set.lut[2] = buildCurveLut(points.red);
    set.lut[1] = buildCurveLut(points.green);
    set.lut[0] = buildCurveLut(points.blue);
    return set;
}

}  // namespace lumetra
