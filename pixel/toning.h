// Toning tables: byte-to-byte tone curves through a few listed (input,
// value) knots, filled in by monotone piecewise-cubic Hermite interpolation.
// Between knots that rise (or fall) the curve never turns back, and every
// knot's value comes back exactly. The tables are built at compile time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "pixel/channel_tables.h"

namespace lumetra {

using ToningTable = std::array<uint8_t, 256>;

// Knot inputs ascending from 0 to 255; one row of values per curve.
template <size_t N>
using KnotInputs = std::array<int, N>;
template <size_t N>
using KnotValues = std::array<int, N>;

// Red, green and blue rows of one toning triple, in that order.
template <size_t N>
struct ToningKnots {
    KnotValues<N> red;
    KnotValues<N> green;
    KnotValues<N> blue;
};

namespace toning_detail {

constexpr int sign(double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }
constexpr double magnitude(double v) { return v < 0 ? -v : v; }

// The slope at an end knot from the two intervals next to it (h0, d0 the
// nearer): the three-point estimate, made 0 against the nearer secant's
// sign and held to 3 d0 where the secants turn.
constexpr double endSlope(double h0, double h1, double d0, double d1) {
    const double m = ((2 * h0 + h1) * d0 - h0 * d1) / (h0 + h1);
    if (sign(m) != sign(d0)) return 0;
    if (sign(d0) != sign(d1) && magnitude(m) > magnitude(3 * d0)) return 3 * d0;
    return m;
}

// floor(v + 0.5) held to 0..255.
constexpr uint8_t roundToByte(double v) {
    const double shifted = v + 0.5;
    if (!(shifted > 0)) return 0;
    if (shifted >= 255) return 255;
    return static_cast<uint8_t>(static_cast<int>(shifted));
}

}  // namespace toning_detail

template <size_t N>
constexpr ToningTable monotoneTable(const KnotInputs<N>& xs, const KnotValues<N>& ys) {
    static_assert(N >= 3, "a toning curve needs at least three knots");
    using namespace toning_detail;
    std::array<double, N - 1> h{}, d{};
    for (size_t k = 0; k + 1 < N; ++k) {
        h[k] = xs[k + 1] - xs[k];
        d[k] = (ys[k + 1] - ys[k]) / h[k];
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

    ToningTable table{};
    size_t k = 0;
    for (int x = 0; x < 256; ++x) {
        while (k + 2 < N && x >= xs[k + 1]) ++k;
        const double t = (x - xs[k]) / h[k];
        const double t2 = t * t;
        const double t3 = t2 * t;
        const double value = (2 * t3 - 3 * t2 + 1) * ys[k] + (t3 - 2 * t2 + t) * h[k] * m[k] +
                             (-2 * t3 + 3 * t2) * ys[k + 1] + (t3 - t2) * h[k] * m[k + 1];
        table[static_cast<size_t>(x)] = roundToByte(value);
    }
    return table;
}

// The triple as channel tables in picture order (blue, green, red).
template <size_t N>
constexpr ChannelTables toningTables(const KnotInputs<N>& xs, const ToningKnots<N>& knots) {
    return {monotoneTable(xs, knots.blue), monotoneTable(xs, knots.green), monotoneTable(xs, knots.red)};
}

// One table for all three channels.
template <size_t N>
constexpr ChannelTables toningTables(const KnotInputs<N>& xs, const KnotValues<N>& all) {
    const ToningTable table = monotoneTable(xs, all);
    return {table, table, table};
}

}  // namespace lumetra
