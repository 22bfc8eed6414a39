// ptDrawCurve: a natural cubic spline through the host's points, sampled
// into a 1024-entry curve table.
#include "core/spline.h"
#include "phototools/curves.h"
#include "phototools/fixed.h"

namespace lumetra::pt {

namespace {

// The host's points are doubles, and so is every value the spline keeps.
void drawCurve(int n, const double* x, const double* y, int* out) {
    sampleNaturalSpline<double>(
        x, y, n, kToneSize, [](int i) { return i * kInv1023; },
        [out](int i, double value) { out[i] = clampCurveValue(value * 1023.0); });
}

}  // namespace

}  // namespace lumetra::pt

extern "C" LUMETRA_API void LUMETRA_CALL ptDrawCurve(int n, const double* x, const double* y, int* out) {
    using namespace lumetra::pt;
    if (!out) return;
    if (n < 2 || !x || !y) {
        for (int i = 0; i < kToneSize; ++i) out[i] = i;
        return;
    }
    guarded([&] { drawCurve(n, x, y, out); });
}
