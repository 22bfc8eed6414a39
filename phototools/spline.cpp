// ptDrawCurve: a natural cubic spline through the host's points, sampled
// into a 1024-entry curve table.
#include <vector>

#include "phototools/curves.h"
#include "phototools/fixed.h"

namespace lumetra::pt {

namespace {

// Second derivatives of the natural spline (zero at both ends).
std::vector<double> splineSecondDerivatives(int n, const double* x, const double* y) {
    std::vector<double> d(static_cast<size_t>(n), 0.0);
    std::vector<double> u(static_cast<size_t>(n - 1), 0.0);
    for (int i = 1; i < n - 1; ++i) {
        const double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
        const double p = sig * d[i - 1] + 2.0;
        d[i] = (sig - 1.0) / p;
        u[i] = (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
        u[i] = (6.0 * u[i] / (x[i + 1] - x[i - 1]) - sig * u[i - 1]) / p;
    }
    d[n - 1] = 0.0;
    for (int k = n - 2; k >= 0; --k) d[k] = d[k] * d[k + 1] + u[k];
    return d;
}

void drawCurve(int n, const double* x, const double* y, int* out) {
    const std::vector<double> d = splineSecondDerivatives(n, x, y);
    int j = 0;
    int lo = -1;
    for (int i = 0; i < kToneSize; ++i) {
        const double t = i * kInv1023;
        while (j < n && x[j] < t) lo = j++;  // strict: a sample on a point interpolates to its left
        if (j == n) {
            out[i] = clampCurveValue(y[n - 1] * 1023.0);
        } else if (lo == -1) {
            out[i] = clampCurveValue(y[0] * 1023.0);
        } else {
            const int hi = j;
            const double h = x[hi] - x[lo];
            const double a = (x[hi] - t) / h;
            const double b = (t - x[lo]) / h;
            const double s =
                a * y[lo] + b * y[hi] + ((a * a * a - a) * d[lo] + (b * b * b - b) * d[hi]) * (h * h) / 6.0;
            out[i] = clampCurveValue(s * 1023.0);
        }
    }
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
