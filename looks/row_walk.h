// The walk the looks run on: like pixelWalk, but a row at a time. The row is
// read into three planes of Q15 channels, every step of the recipe runs
// over the whole row before the next one starts, and the planes are stored
// with the byte rule. Each step's loop is then a plain loop over arrays the
// compiler vectorises, and what a step fixes for the call stays in
// registers across the row.
//
// Steps are the per-pixel operations of pixel/pixel_walk.h; a step that
// keeps scratch values for a later step of the same pixel needs the
// per-pixel order of pixelWalk instead.
#pragma once

#include <opencv2/core/core_c.h>

#include <algorithm>
#include <cstdint>

#include "core/byte_rows.h"
#include "core/image.h"
#include "core/q15.h"
#include "core/vector_clones.h"
#include "pixel/pixel_walk.h"

namespace lumetra {

// A run of one destination row in planes: element i holds column
// first + i. Runs are short enough for the planes to stay in the L1 cache
// while every step passes over them, beside the tables and scratch the
// steps read (256 columns measured a few per cent faster than 512).
struct RowPlanes {
    int32_t* __restrict r;
    int32_t* __restrict g;
    int32_t* __restrict b;
    int width;  // elements in the run
    int first;  // destination column of element 0
    int32_t x;  // canvas x of element 0
    int32_t y;  // canvas y of the row
};
constexpr int kRunLength = 256;

// The run's elements from `done` on.
inline RowPlanes runFrom(const RowPlanes& row, int done) {
    return {row.r + done, row.g + done, row.b + done, row.width - done, row.first + done, wrapAdd(row.x, done), row.y};
}

// A step over a whole row: its per-pixel apply, column by column. Steps
// with a cheaper form over planes overload applyRow.
template <PixelOperation Op>
[[gnu::always_inline]] inline void applyRow(Op& op, const RowPlanes& row) {
    int32_t* __restrict r = row.r;
    int32_t* __restrict g = row.g;
    int32_t* __restrict b = row.b;
    for (int col = 0; col < row.width; ++col) {
        Rgb15 p{r[col], g[col], b[col]};
        PixelContext at{row.first + col, wrapAdd(row.x, col), row.y, {}};
        op.apply(p, at);
        r[col] = p.r;
        g[col] = p.g;
        b[col] = p.b;
    }
}

template <PixelOperation First, PixelOperation Second>
[[gnu::always_inline]] inline void applyRow(Then<First, Second>& op, const RowPlanes& row) {
    applyRow(op.first, row);
    applyRow(op.second, row);
}

// Reads a run of src's bytes into the planes as Q15, and stores the planes
// as bytes.
inline void readRow(const uint8_t* in, const RowPlanes& row) { readPlanes15(in, row.width, row.r, row.g, row.b); }
inline void storeRow(const RowPlanes& row, uint8_t* out) { storePlanes15(row.r, row.g, row.b, row.width, out); }

// The last step of a recipe ends the row. Steps that can go straight to
// bytes overload this (CurvesStep).
template <PixelOperation Op>
[[gnu::always_inline]] inline void finishRow(Op& op, const RowPlanes& row, uint8_t* out) {
    applyRow(op, row);
    storeRow(row, out);
}
template <PixelOperation First, PixelOperation Second>
[[gnu::always_inline]] inline void finishRow(Then<First, Second>& op, const RowPlanes& row, uint8_t* out) {
    applyRow(op.first, row);
    finishRow(op.second, row, out);
}

// Steps run together, pixel by pixel, in one pass: for chains of plain
// arithmetic (matrix, levels, clamps, grey), whose values then stay in
// registers instead of passing through the planes once per step. As the
// first steps of a recipe the pass reads the source bytes itself.
template <PixelOperation Op>
struct Fused : PixelOp {
    Op op;
    explicit Fused(Op o) : op(std::move(o)) {}
    void start(const WalkFrame& frame) { op.start(frame); }
    void rowStart(const RowSpot& spot) { op.rowStart(spot); }
    template <class Px>
    void apply(Px& p, PixelContext& at) {
        op.apply(p, at);
    }
};
template <PixelOperation Op>
Fused<Op> fused(Op op) {
    return Fused<Op>(std::move(op));
}

template <PixelOperation Op>
[[gnu::always_inline]] inline void readApplied(Op& op, const uint8_t* in, const RowPlanes& row) {
    readRow(in, row);
    applyRow(op, row);
}
template <PixelOperation Op>
[[gnu::always_inline]] inline void readApplied(Fused<Op>& step, const uint8_t* __restrict in, const RowPlanes& row) {
    int32_t* __restrict r = row.r;
    int32_t* __restrict g = row.g;
    int32_t* __restrict b = row.b;
    for (int col = 0; col < row.width; ++col) {
        Rgb15 p{colourToQ15(in[3 * col + 2]), colourToQ15(in[3 * col + 1]), colourToQ15(in[3 * col])};
        PixelContext at{row.first + col, wrapAdd(row.x, col), row.y, {}};
        step.op.apply(p, at);
        r[col] = p.r, g[col] = p.g, b[col] = p.b;
    }
}
template <PixelOperation First, PixelOperation Second>
[[gnu::always_inline]] inline void readApplied(Then<First, Second>& op, const uint8_t* in, const RowPlanes& row) {
    readApplied(op.first, in, row);
    applyRow(op.second, row);
}

// One run of a row: read, the recipe, stored.
template <PixelOperation Op>
[[gnu::always_inline]] inline void runRow(Op& op, const uint8_t* in, const RowPlanes& row, uint8_t* out) {
    readRow(in, row);
    finishRow(op, row, out);
}
template <PixelOperation First, PixelOperation Second>
[[gnu::always_inline]] inline void runRow(Then<First, Second>& op, const uint8_t* in, const RowPlanes& row,
                                          uint8_t* out) {
    readApplied(op.first, in, row);
    finishRow(op.second, row, out);
}
// A whole recipe fused: its results go through the planes, whose store
// (saturating packs and byte shuffles) is cheaper than storing each pixel's
// bytes as it is made; this also serves a run stored over its own source.
template <PixelOperation Op>
[[gnu::always_inline]] inline void runRow(Fused<Op>& op, const uint8_t* in, const RowPlanes& row, uint8_t* out) {
    readApplied(op, in, row);
    storeRow(row, out);
}

// dst = the recipe op applied to src's pixels (3-channel pictures of one
// size, possibly the same), positioned on the canvas of `window`.
template <PixelOperation Op>
[[gnu::always_inline]] inline void lookWalk(const IplImage* src, IplImage* dst, const CanvasWindow& window, Op op) {
    const WalkFrame frame = walkFrame(dst, window);
    alignas(64) int32_t planes[3][kRunLength];
    op.start(frame);
    for (int y = 0; y < frame.height; ++y) {
        const int32_t canvasY = wrapAdd(frame.y, y);
        op.rowStart(RowSpot{y, canvasY});
        const uint8_t* in = rowOf(src, y);
        uint8_t* out = rowOf(dst, y);
        for (int first = 0; first < frame.width; first += kRunLength) {
            const int32_t canvasX = wrapAdd(frame.x, first);
            const RowPlanes run{planes[0], planes[1], planes[2], std::min(kRunLength, frame.width - first), first,
                                canvasX, canvasY};
            runRow(op, in + 3 * first, run, out + 3 * first);
        }
    }
}

}  // namespace lumetra
