// Toning tables: byte-to-byte tone curves through a few listed (input,
// value) knots, filled in by the monotone cubic of core/spline.h: between
// knots that rise (or fall) the curve never turns back, and every knot's
// value comes back exactly. The tables are built at compile time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/spline.h"
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

// floor(v + 0.5) held to 0..255.
constexpr uint8_t roundToByte(double v) {
    const double shifted = v + 0.5;
    if (!(shifted > 0)) return 0;
    if (shifted >= 255) return 255;
    return static_cast<uint8_t>(static_cast<int>(shifted));
}

}  // namespace toning_detail

// The monotone cubic through the knots at every byte, rounded to a byte.
template <size_t N>
constexpr ToningTable monotoneTable(const KnotInputs<N>& xs, const KnotValues<N>& ys) {
    ToningTable table{};
    sampleMonotoneSpline(
        xs, ys, 256, [](int x) { return static_cast<double>(x); },
        [&table](int x, double value) { table[static_cast<size_t>(x)] = toning_detail::roundToByte(value); });
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
