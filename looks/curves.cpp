#include "looks/curves.h"

#include <cstddef>

#include "core/spline.h"

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

}  // namespace

CurveLut buildCurveLut(const CurvePointList& pts) {
    CurveLut table{};
    std::vector<float> xs, ys;
    for (const CurvePoint& p : pts) xs.push_back(p.x), ys.push_back(p.y);
    // The points are 32-bit floats, and so is every value the spline keeps.
    sampleNaturalSpline<float>(
        xs.data(), ys.data(), static_cast<int>(pts.size()), kCurveLutSize,
        [](int i) { return static_cast<float>(i / 1023.0); },
        [&table](int i, float value) { table[static_cast<size_t>(i)] = toQ15Table(value); });
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
