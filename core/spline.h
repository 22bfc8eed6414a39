// Curves through a few control points, sampled into tables: the natural
// cubic spline of the tone curves and the monotone cubic of the toning
// tables. Every operation runs in double; what a caller keeps between steps
// is rounded to the precision it asks for, so each table comes out the same
// on every build.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace lumetra {

namespace spline_detail {

// Second derivatives of the natural spline (0 at both ends), each stored
// value rounded to Real.
template <class Real>
std::vector<Real> naturalSecondDerivatives(const Real* x, const Real* y, int n) {
    const size_t count = static_cast<size_t>(n);
    std::vector<Real> d(count, Real{0});
    std::vector<Real> u(count, Real{0});
    for (size_t i = 1; i + 1 < count; ++i) {
        const double x0 = x[i - 1], x1 = x[i], x2 = x[i + 1];
        const double y0 = y[i - 1], y1 = y[i], y2 = y[i + 1];
        const Real sig = static_cast<Real>((x1 - x0) / (x2 - x0));
        const Real p = static_cast<Real>(sig * static_cast<double>(d[i - 1]) + 2.0);
        d[i] = static_cast<Real>((sig - 1.0) / p);
        const Real slopes = static_cast<Real>((y2 - y1) / (x2 - x1) - (y1 - y0) / (x1 - x0));
        u[i] = static_cast<Real>((6.0 * slopes / (x2 - x0) - sig * static_cast<double>(u[i - 1])) / p);
    }
    for (size_t k = count - 1; k-- > 0;) d[k] = static_cast<Real>(static_cast<double>(d[k]) * d[k + 1] + u[k]);
    return d;
}

constexpr int sign(double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }
constexpr double magnitude(double v) { return v < 0 ? -v : v; }

// The monotone cubic's slope at an end knot from the two intervals next to
// it (h0, d0 the nearer): the three-point estimate, made 0 against the
// nearer secant's sign and held to 3 d0 where the secants turn.
constexpr double endSlope(double h0, double h1, double d0, double d1) {
    const double m = ((2 * h0 + h1) * d0 - h0 * d1) / (h0 + h1);
    if (sign(m) != sign(d0)) return 0;
    if (sign(d0) != sign(d1) && magnitude(m) > magnitude(3 * d0)) return 3 * d0;
    return m;
}

}  // namespace spline_detail

// The natural cubic spline through the n points (x[k], y[k]), x strictly
// ascending, sampled at `count` ascending positions: emit(i, value) receives
// the value at position(i). Real is the caller's storage precision: the
// second derivatives, the interval width and factors and each value are
// rounded to Real where they are kept. A position before the first point
// takes the first y, one after the last point the last y, and one on a point
// is taken from the interval to its left. One point gives its y everywhere;
// no point emits nothing. Equal x values give not-a-number values, which the
// caller's emit must accept.
template <class Real, class Position, class Emit>
void sampleNaturalSpline(const Real* x, const Real* y, int n, int count, Position position, Emit emit) {
    if (n <= 0) return;
    const std::vector<Real> d = spline_detail::naturalSecondDerivatives(x, y, n);
    // The interval sweep only moves forward: the positions ascend.
    int lo = -1;
    int hi = 0;
    for (int i = 0; i < count; ++i) {
        const Real t = position(i);
        while (hi < n && x[hi] < t) lo = hi++;
        if (hi == n) {
            emit(i, y[n - 1]);
        } else if (lo == -1) {
            emit(i, y[0]);
        } else {
            const Real h = static_cast<Real>(static_cast<double>(x[hi]) - x[lo]);
            const Real a = static_cast<Real>((static_cast<double>(x[hi]) - t) / h);
            const Real b = static_cast<Real>((static_cast<double>(t) - x[lo]) / h);
            const double da = a, db = b, dh = h;
            const double bend = (da * da * da - da) * d[lo] + (db * db * db - db) * d[hi];
            emit(i, static_cast<Real>(da * y[lo] + db * y[hi] + bend * (dh * dh) / 6.0));
        }
    }
}

// The monotone piecewise-cubic Hermite curve through N knots (x ascending),
// in double, sampled at `count` ascending positions: emit(i, value) receives
// the value at position(i). Between knots that rise (or fall) the curve never
// turns back, and every knot's value comes back exactly. A position on a
// knot is taken from the interval to its right; positions outside the knots
// extend the end pieces. Usable at compile time.
template <size_t N, class Knot, class Position, class Emit>
constexpr void sampleMonotoneSpline(const std::array<Knot, N>& xs, const std::array<Knot, N>& ys, int count,
                                    Position position, Emit emit) {
    static_assert(N >= 3, "a monotone curve needs at least three knots");
    using namespace spline_detail;
    std::array<double, N> x{}, y{};
    for (size_t k = 0; k < N; ++k) x[k] = xs[k], y[k] = ys[k];
    std::array<double, N - 1> h{}, d{};
    for (size_t k = 0; k + 1 < N; ++k) {
        h[k] = x[k + 1] - x[k];
        d[k] = (y[k + 1] - y[k]) / h[k];
    }
    // Interior slopes: the weighted harmonic mean of the secants, 0 at a
    // turn or beside a flat interval.
    std::array<double, N> m{};
    for (size_t k = 1; k + 1 < N; ++k) {
        if (sign(d[k - 1]) != sign(d[k]) || d[k - 1] == 0 || d[k] == 0) continue;
        const double w1 = 2 * h[k] + h[k - 1];
        const double w2 = h[k] + 2 * h[k - 1];
        m[k] = (w1 + w2) / (w1 / d[k - 1] + w2 / d[k]);
    }
    m[0] = endSlope(h[0], h[1], d[0], d[1]);
    m[N - 1] = endSlope(h[N - 2], h[N - 3], d[N - 2], d[N - 3]);

    size_t k = 0;
    for (int i = 0; i < count; ++i) {
        const double at = position(i);
        while (k + 2 < N && at >= x[k + 1]) ++k;
        const double t = (at - x[k]) / h[k];
        const double t2 = t * t;
        const double t3 = t2 * t;
        emit(i, (2 * t3 - 3 * t2 + 1) * y[k] + (t3 - 2 * t2 + t) * h[k] * m[k] + (-2 * t3 + 3 * t2) * y[k + 1] +
                    (t3 - t2) * h[k] * m[k + 1]);
    }
}

}  // namespace lumetra
