// The walk the signature looks run on: the per-pixel recipe of pixelWalk,
// scratch values included, computed a run of a row at a time. Each step
// passes over the whole run before the next starts (as in lookWalk), and
// the scratch slots are planes beside the pixel's own, so a step reads the
// value its pixel kept. The steps' loops are then plain loops over arrays
// that the compiler vectorises; the result is that of pixelWalk.
//
// Steps that read the pixel's context (source, keep, step) have their own
// run form here; every other step is taken to read only the pixel and runs
// through its row form (looks/row_walk.h).
#pragma once

#include <opencv2/core/core_c.h>

#include <array>
#include <cstdint>
#include <type_traits>

#include "looks/row_walk.h"
#include "looks/signature_steps.h"
#include "pixel/pixel_walk.h"
#include "pixel/terms.h"

namespace lumetra {

// A run of a row: the pixel's planes and, per scratch slot, three more.
struct ScratchRun : RowPlanes {
    std::array<std::array<int32_t*, 3>, kScratchSlots> kept;
};

// ---- terms over a run (element col of the run) ----------------------------

// Terms that read only the pixel's column.
template <PixelValue Term>
[[gnu::always_inline]] inline auto termAt(const Term& term, const ScratchRun& run, int col) {
    return term.value(PixelContext{run.first + col, 0, 0, {}});
}

// A kept value has no alpha of its own: it covers fully.
template <int Slot>
[[gnu::always_inline]] inline Rgb15 termAt(const ScratchTerm<Slot>&, const ScratchRun& run, int col) {
    return {run.kept[Slot][0][col], run.kept[Slot][1][col], run.kept[Slot][2][col]};
}

template <PixelValue Term>
[[gnu::always_inline]] inline Rgb15 termAt(const CurvesOfTerm<Term>& term, const ScratchRun& run, int col) {
    return term.of(termAt(term.inner(), run, col));
}

template <PixelValue Term>
[[gnu::always_inline]] inline Rgb15 termAt(const GreyOfTerm<Term>& term, const ScratchRun& run, int col) {
    const int32_t y = luminance15(termAt(term.inner(), run, col));
    return {y, y, y};
}

// ---- steps over a run ------------------------------------------------------

template <PixelOperation Op>
[[gnu::always_inline]] inline void applyRun(Op& op, const ScratchRun& run) {
    applyRow(op, static_cast<const RowPlanes&>(run));
}

template <PixelOperation First, PixelOperation Second>
[[gnu::always_inline]] inline void applyRun(Then<First, Second>& op, const ScratchRun& run) {
    applyRun(op.first, run);
    applyRun(op.second, run);
}

template <PixelValue Term>
[[gnu::always_inline]] inline void applyRun(SourceOp<Term>& op, const ScratchRun& run) {
    for (int col = 0; col < run.width; ++col) {
        const Rgb15 v = termAt(op.term(), run, col);
        run.r[col] = v.r;
        run.g[col] = v.g;
        run.b[col] = v.b;
    }
}

template <int Slot>
[[gnu::always_inline]] inline void applyRun(KeepOp<Slot>&, const ScratchRun& run) {
    int32_t* __restrict r = run.kept[Slot][0];
    int32_t* __restrict g = run.kept[Slot][1];
    int32_t* __restrict b = run.kept[Slot][2];
    for (int col = 0; col < run.width; ++col) {
        r[col] = run.r[col];
        g[col] = run.g[col];
        b[col] = run.b[col];
    }
}

template <class F, PixelValue Blend, PixelValue Weight>
[[gnu::always_inline]] inline void applyRun(StepOp<F, Blend, Weight>& op, const ScratchRun& run) {
    for (int col = 0; col < run.width; ++col) {
        const auto x = termAt(op.blend(), run, col);
        int32_t t = termAt(op.weight(), run, col);
        if constexpr (std::is_same_v<decltype(x), const Rgba15>) t = (t * x.a) >> 15;
        Rgb15 p{run.r[col], run.g[col], run.b[col]};
        blendInto<F>(p, x, t);
        run.r[col] = p.r;
        run.g[col] = p.g;
        run.b[col] = p.b;
    }
}

// dst (3 channels) = the recipe, which starts from its own source step,
// positioned on the canvas of `window`. Each recipe's walk is compiled for
// AVX2 and for the portable baseline.
template <PixelOperation Op>
LUMETRA_AVX2_CLONES void signatureWalk(IplImage* dst, const CanvasWindow& window, Op op) {
    const WalkFrame frame = walkFrame(dst, window);
    alignas(64) int32_t planes[3][kRunLength];
    alignas(64) int32_t kept[kScratchSlots][3][kRunLength];
    op.start(frame);
    for (int y = 0; y < frame.height; ++y) {
        const int32_t canvasY = wrapAdd(frame.y, y);
        op.rowStart(RowSpot{y, canvasY});
        uint8_t* out = rowOf(dst, y);
        for (int first = 0; first < frame.width; first += kRunLength) {
            ScratchRun run{};
            static_cast<RowPlanes&>(run) = RowPlanes{planes[0], planes[1], planes[2],
                                                     std::min(kRunLength, frame.width - first), first,
                                                     wrapAdd(frame.x, first), canvasY};
            for (int slot = 0; slot < kScratchSlots; ++slot)
                run.kept[static_cast<size_t>(slot)] = {kept[slot][0], kept[slot][1], kept[slot][2]};
            applyRun(op, run);
            storeRow(run, out + 3 * first);
        }
    }
}

}  // namespace lumetra
