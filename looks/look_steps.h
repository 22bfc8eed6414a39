// The steps the curve and colour looks are written in, as operations of the
// per-pixel walk (pixel/pixel_walk.h). A recipe reads like its definition:
//
//   pixelWalk(dst, window, source(src) | matrix(m) | applyLevels(scale)
//                          | clampBelow(0) | vignette15(shape) | applyCurves(luts));
//
// Every step changes the pixel being built in place, in Q15; nothing clamps
// unless the step says so.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/byte_rows.h"
#include "looks/curves.h"
#include "looks/grey_rows.h"
#include "looks/hsv.h"
#include "looks/hsv_rows.h"
#include "looks/levels.h"
#include "looks/row_walk.h"
#include "looks/vignette.h"
#include "pixel/pixel_walk.h"
#include "pixel/terms.h"

namespace lumetra {

struct MatrixStep : PixelOp {
    ColorMatrix15 m;
    explicit MatrixStep(const ColorMatrix15& matrix) : m(matrix) {}
    template <class Px>
    void apply(Px& p, PixelContext&) const {
        applyMatrix(m, p);
    }
};
inline MatrixStep matrix(const ColorMatrix15& m) { return MatrixStep(m); }

struct LevelsStep : PixelOp {
    ColorScale stretch;
    explicit LevelsStep(ColorScale s) : stretch(s) {}
    template <class Px>
    void apply(Px& p, PixelContext&) const {
        applyLevels(stretch, p);
    }
};
inline LevelsStep applyLevels(ColorScale s) { return LevelsStep(s); }

struct ClampBelowStep : PixelOp {
    int32_t limit;
    explicit ClampBelowStep(int32_t k) : limit(k) {}
    template <class Px>
    void apply(Px& p, PixelContext&) const {
        clampBelow(p, limit);
    }
};
inline ClampBelowStep clampBelow(int32_t k) { return ClampBelowStep(k); }

struct ClampAboveStep : PixelOp {
    int32_t limit;
    explicit ClampAboveStep(int32_t k) : limit(k) {}
    template <class Px>
    void apply(Px& p, PixelContext&) const {
        clampAbove(p, limit);
    }
};
inline ClampAboveStep clampAbove(int32_t k) { return ClampAboveStep(k); }

// Each channel through its own table (the tables outlive the walk). The
// lookup reads inputs above 32767 like 32767 (its extrapolation stops at a
// fraction of 31) and negative inputs like 0, so over a row it needs no
// branch: inputs are held to 0..32767 and a 1025th entry continues the last
// segment.
class CurvesStep : public PixelOp {
public:
    explicit CurvesStep(const CurveLutSet& set) : luts_(&set) {
        for (size_t c = 0; c < 3; ++c) {
            const CurveLut& lut = set.lut[c];
            for (size_t i = 0; i < kCurveLutSize; ++i) extended_[c][i] = static_cast<uint32_t>(lut[i]);
            extended_[c][kCurveLutSize] = 2u * extended_[c][kCurveLutSize - 1] - extended_[c][kCurveLutSize - 2];
            for (int byte = 0; byte < 256; ++byte)
                ofByte_[c][static_cast<size_t>(byte)] = lookupHeld(extended_[c].data(), colourToQ15(static_cast<uint8_t>(byte)));
        }
        segmentPairs_ = segmentPairsOf(extended_);
        // The byte tables as words, where every entry fits 16 bits.
        byteWordsHold_ = true;
        for (size_t c = 0; c < 3; ++c)
            for (size_t byte = 0; byte < 256; ++byte) {
                const int32_t v = ofByte_[c][byte];
                byteWordsHold_ = byteWordsHold_ && v >= 0 && v <= UINT16_MAX;
                byteWords_[c][byte] = static_cast<uint16_t>(v);
            }
    }
    template <class Px>
    void apply(Px& p, PixelContext&) const {
        p.r = lookupCurve(luts_->red(), p.r);
        p.g = lookupCurve(luts_->green(), p.g);
        p.b = lookupCurve(luts_->blue(), p.b);
    }
    // A run that holds source bytes as read (every value a byte << 7, as
    // the first steps of a recipe leave it) looks each one up in a table of
    // the byte's curve value, built from the same lookup.
    [[gnu::always_inline]] friend void applyRow(CurvesStep& step, const RowPlanes& row) {
        if (holdsBytes(row)) {
            const uint16_t* const words[3] = {step.byteWords_[0].data(), step.byteWords_[1].data(),
                                              step.byteWords_[2].data()};
            const int done = step.byteWordsHold_ ? lookUpBytePlanes(row.r, row.g, row.b, row.width, words) : 0;
            for (int col = done; col < row.width; ++col) {
                row.r[col] = step.ofByte_[2][static_cast<uint32_t>(row.r[col]) >> 7];
                row.g[col] = step.ofByte_[1][static_cast<uint32_t>(row.g[col]) >> 7];
                row.b[col] = step.ofByte_[0][static_cast<uint32_t>(row.b[col]) >> 7];
            }
            return;
        }
        for (int col = 0; col < row.width; ++col) {
            row.r[col] = lookupHeld(step.extended_[2].data(), row.r[col]);
            row.g[col] = lookupHeld(step.extended_[1].data(), row.g[col]);
            row.b[col] = lookupHeld(step.extended_[0].data(), row.b[col]);
        }
    }
    // The curves as the last step of a recipe: each channel straight to its
    // stored byte. The first kHeldInputs pixels of a call go through the
    // segment pairs (segmentPairsOf), which stay in the L1 cache, or read
    // the curves directly. Past them, tables cost less than they save
    // (making one costs about as much as that many pixels, so a small
    // picture or region never pays for it, a large one at most twice):
    // channels whose bytes never fall are stored by their steps
    // (byteStepsOf), a few vector compares each and no table reads, and
    // the rest of a run, or every run where the steps do not serve, by the
    // pairs or else a table of the byte of every held input.
    [[gnu::always_inline]] void storeRow(const RowPlanes& row, uint8_t* __restrict out) {
        if (!tablesMade_ && directPixels_ < kHeldInputs) {
            directPixels_ += static_cast<uint32_t>(row.width);
            if (segmentPairs_)
                storeSegmentPairs(row, out);
            else
                storeRowDirect(row, out);
            return;
        }
        if (!tablesMade_) makeTables();
        int done = 0;
        if (steps_[0]) {
            const ByteSteps* const steps[3] = {&*steps_[0], &*steps_[1], &*steps_[2]};
            done = storeSteppedBytes(row.r, row.g, row.b, row.width, steps, out);
        }
        const RowPlanes rest = runFrom(row, done);
        if (segmentPairs_) {
            storeSegmentPairs(rest, out + 3 * done);
            return;
        }
        const uint8_t* const tables[3] = {bytes_.data(), bytes_.data() + kHeldInputs, bytes_.data() + 2 * kHeldInputs};
        storeLookedUpBytes(rest.r, rest.g, rest.b, rest.width, tables, kHeldInputs, out + 3 * done);
    }

private:
    static constexpr uint32_t kHeldInputs = 32768;
    // Whether every value of the run is a byte << 7: no bits set outside
    // bits 7 to 14.
    [[gnu::always_inline]] static bool holdsBytes(const RowPlanes& row) {
        uint32_t bits = 0;
        for (int col = 0; col < row.width; ++col)
            bits |= static_cast<uint32_t>(row.r[col]) | static_cast<uint32_t>(row.g[col]) | static_cast<uint32_t>(row.b[col]);
        return (bits & ~(255u << 7)) == 0;
    }
    static uint32_t held(int32_t v) {
        return static_cast<uint32_t>(std::clamp<int32_t>(v, 0, static_cast<int32_t>(kHeldInputs) - 1));
    }
    static int32_t lookupHeld(const uint32_t* __restrict t, int32_t v) {
        const uint32_t u = held(v);
        const uint32_t idx = u >> 5, f = u & 31;
        return static_cast<int32_t>(((32 - f) * t[idx] + f * t[idx + 1]) >> 5);
    }
    // Each segment as its start and rise in 16-bit halves, for
    // storeInterpolatedBytes: its sum 32 s + f d is the lookup's
    // (32 - f) s + f (s + d), and the shift by 12 its two shifts (by 5,
    // then 7 for the byte). That holds where every entry lies in 0..32767,
    // so starts and rises fit 16 signed bits, and where the extended last
    // segment never falls below 0, where the lookup's unsigned sum wraps.
    using SegmentPairs = std::array<std::array<uint32_t, kCurveLutSize>, 3>;
    static std::optional<SegmentPairs> segmentPairsOf(const std::array<std::array<uint32_t, kCurveLutSize + 1>, 3>& t) {
        SegmentPairs pairs;
        for (size_t c = 0; c < 3; ++c) {
            for (size_t i = 0; i < kCurveLutSize; ++i)
                if (t[c][i] > 32767u) return std::nullopt;
            const int32_t last = static_cast<int32_t>(t[c][kCurveLutSize - 1]);
            if (32 * last + 31 * (last - static_cast<int32_t>(t[c][kCurveLutSize - 2])) < 0) return std::nullopt;
            for (size_t i = 0; i < kCurveLutSize; ++i) {
                const uint32_t rise = t[c][i + 1] - t[c][i];
                pairs[c][i] = t[c][i] | rise << 16;
            }
        }
        return pairs;
    }
    void storeRowDirect(const RowPlanes& row, uint8_t* __restrict out) const {
        for (int col = 0; col < row.width; ++col) {
            out[3 * col] = static_cast<uint8_t>(toByte15(lookupHeld(extended_[0].data(), row.b[col])));
            out[3 * col + 1] = static_cast<uint8_t>(toByte15(lookupHeld(extended_[1].data(), row.g[col])));
            out[3 * col + 2] = static_cast<uint8_t>(toByte15(lookupHeld(extended_[2].data(), row.r[col])));
        }
    }
    [[gnu::always_inline]] void storeSegmentPairs(const RowPlanes& row, uint8_t* __restrict out) const {
        const uint32_t* const pairs[3] = {(*segmentPairs_)[0].data(), (*segmentPairs_)[1].data(),
                                          (*segmentPairs_)[2].data()};
        storeInterpolatedBytes(row.r, row.g, row.b, row.width, pairs, out);
    }
    // lookupHeld and toByte15 of every held input of channel c, segment by
    // segment.
    void fillBytes(size_t c, uint8_t* table) const {
        for (uint32_t idx = 0; idx < kCurveLutSize; ++idx) {
            const uint32_t start = extended_[c][idx], end = extended_[c][idx + 1];
            for (uint32_t f = 0; f < 32; ++f)
                table[32 * idx + f] = toByte15(static_cast<int32_t>(((32 - f) * start + f * end) >> 5));
        }
    }
    // The steps, where all three channels have them, and the byte table
    // where there are no segment pairs; with pairs, each channel's bytes
    // pass through one scratch table.
    void makeTables() {
        tablesMade_ = true;
        std::vector<uint8_t> scratch;
        if (segmentPairs_)
            scratch.resize(kHeldInputs);
        else
            bytes_.resize(3 * kHeldInputs + 3);  // the red table's 3 readable bytes past its end
        bool stepped = true;
        for (size_t c = 0; c < 3; ++c) {
            if (!stepped && segmentPairs_) break;
            uint8_t* table = segmentPairs_ ? scratch.data() : bytes_.data() + c * kHeldInputs;
            fillBytes(c, table);
            if (stepped) steps_[c] = byteStepsOf(table);
            stepped = stepped && steps_[c];
        }
        if (!stepped) steps_ = {};
    }

    const CurveLutSet* luts_;
    std::array<std::array<uint32_t, kCurveLutSize + 1>, 3> extended_;
    std::array<std::array<int32_t, 256>, 3> ofByte_;  // the curve of each byte << 7
    std::array<std::array<uint16_t, 256>, 3> byteWords_;
    bool byteWordsHold_ = false;
    std::optional<SegmentPairs> segmentPairs_;
    std::vector<uint8_t> bytes_;
    std::array<std::optional<ByteSteps>, 3> steps_;
    bool tablesMade_ = false;
    uint32_t directPixels_ = 0;
};
[[gnu::always_inline]] inline void finishRow(CurvesStep& step, const RowPlanes& row, uint8_t* out) {
    step.storeRow(row, out);
}
inline CurvesStep applyCurves(const CurveLutSet& set) { return CurvesStep(set); }

// r, g and b all become the luminance.
struct GreyStep : PixelOp {
    template <class Px>
    void apply(Px& p, PixelContext&) const {
        p.r = p.g = p.b = luminance15(p);
    }
};
inline GreyStep toGrey() { return {}; }

// Grey, levels and a floor as a whole recipe (the grey looks): 16 pixels at
// a time straight from bytes to bytes, the rest of the run pixel by pixel.
using GreyLevelsFloor = Fused<Then<Then<GreyStep, LevelsStep>, ClampBelowStep>>;
inline void runRow(GreyLevelsFloor& op, const uint8_t* in, const RowPlanes& row, uint8_t* out) {
    const int done = greyLevelsRows(in, row.width, op.op.first.second.stretch, op.op.second.limit, out);
    const RowPlanes rest = runFrom(row, done);
    readApplied(op, in + 3 * done, rest);
    storeRow(rest, out + 3 * done);
}

// An HSV step over a run: runs whose channels all lie within 0..32768 take
// the single-precision quotients, any other run the integer ones. Both are
// forced inline so they land in each of the caller's vector clones.
template <int32_t (*Divide)(int32_t, int32_t), class Step>
[[gnu::always_inline]] inline void applyHsvRowWith(const Step& step, const RowPlanes& row) {
    int32_t* __restrict r = row.r;
    int32_t* __restrict g = row.g;
    int32_t* __restrict b = row.b;
    PixelContext unused{};
    for (int col = 0; col < row.width; ++col) {
        Rgb15 p{r[col], g[col], b[col]};
        step.template apply<Divide>(p, unused);
        r[col] = p.r;
        g[col] = p.g;
        b[col] = p.b;
    }
}
// eightAtATime (see looks/hsv_rows.h) does what it can of a run within
// 0..32768 first.
template <class Step, class EightAtATime>
[[gnu::always_inline]] inline void applyHsvRow(const Step& step, const RowPlanes& row, EightAtATime eightAtATime) {
    if (channelsWithinUnit(row.r, row.g, row.b, row.width)) {
        applyHsvRowWith<quotientOfUnits>(step, runFrom(row, eightAtATime(row)));
    } else {
        applyHsvRowWith<divideTruncating>(step, row);
    }
}

struct SaturationStep : PixelOp {
    HueSaturation change;
    explicit SaturationStep(const HueSaturation& k) : change(k) {}
    template <int32_t (*Divide)(int32_t, int32_t) = divideTruncating, class Px>
    void apply(Px& p, PixelContext&) const {
        Hsv15 q = rgbToHsv15<Divide>(p);
        changeSaturation(change, q);
        hsvToRgb15(q, p);
    }
    [[gnu::always_inline]] friend void applyRow(SaturationStep& step, const RowPlanes& row) {
        applyHsvRow(step, row, [&](const RowPlanes& run) {
            return changeSaturationRows(run.r, run.g, run.b, run.width, step.change);
        });
    }
};
inline SaturationStep hsvSaturation(const HueSaturation& k) { return SaturationStep(k); }

// The radial vignette gain of the pixel's canvas position, Q15 or Q12,
// from the per-row gains (see VignetteGains).
template <GainScale Scale>
class VignetteGainTerm : public PixelTerm {
public:
    explicit VignetteGainTerm(const VignetteShape& shape) : shape_(shape) {}
    void start(const WalkFrame& frame) { gains_.emplace(shape_, Scale, frame.x, frame.y, frame.width, frame.height); }
    void rowStart(const RowSpot& spot) { gains_->startRow(spot.y); }
    int32_t value(const PixelContext& at) const { return gains_->at(at.col); }
    const int32_t* row() const { return gains_->row(); }
    uint32_t largest() const { return gains_->largestGain(); }

private:
    VignetteShape shape_;
    std::optional<VignetteGains> gains_;
};
inline VignetteGainTerm<GainScale::q15> vignetteWeight15(const VignetteShape& shape) {
    return VignetteGainTerm<GainScale::q15>(shape);
}

// Each channel scaled by the gain: (c * gain) >> 15 (or >> 12), the product
// taken in 64 bits since a strong levels stretch can push c far past 1.0.
template <GainScale Scale>
class VignetteStep : public PixelOp {
public:
    explicit VignetteStep(const VignetteShape& shape) : gain_(shape) {}
    void start(const WalkFrame& frame) { gain_.start(frame); }
    void rowStart(const RowSpot& spot) { gain_.rowStart(spot); }
    template <class Px>
    void apply(Px& p, PixelContext& at) const {
        constexpr int kShift = Scale == GainScale::q15 ? 15 : 12;
        const int64_t gain = gain_.value(at);
        p.r = static_cast<int32_t>((p.r * gain) >> kShift);
        p.g = static_cast<int32_t>((p.g * gain) >> kShift);
        p.b = static_cast<int32_t>((p.b * gain) >> kShift);
    }

    // Runs whose products all fit 32 bits (every run short of an extreme
    // stretch) multiply in 32 bits, at twice the lanes: the same products.
    // The runs the looks pass hold no negative values, so the largest
    // value read as unsigned bounds them (a negative one reads as 2^31 or
    // more and sends the run to 64 bits); the gains' bound is the call's.
    [[gnu::always_inline]] friend void applyRow(VignetteStep& step, const RowPlanes& row) {
        const int32_t* __restrict gain = step.gain_.row() + row.first;
        if (uint64_t{largestUnsigned(row.r, row.g, row.b, row.width)} * step.gain_.largest() <= INT32_MAX)
            scaleRow<int32_t>(row, gain);
        else
            scaleRow<int64_t>(row, gain);
    }

private:
    [[gnu::always_inline]] static uint32_t largestUnsigned(const int32_t* r, const int32_t* g, const int32_t* b,
                                                           int n) {
        uint32_t high = 0;
        for (int i = 0; i < n; ++i)
            high = std::max(high, std::max(static_cast<uint32_t>(r[i]),
                                           std::max(static_cast<uint32_t>(g[i]), static_cast<uint32_t>(b[i]))));
        return high;
    }
    template <class Product>
    [[gnu::always_inline]] static void scaleRow(const RowPlanes& row, const int32_t* __restrict gain) {
        constexpr int kShift = Scale == GainScale::q15 ? 15 : 12;
        for (int col = 0; col < row.width; ++col) {
            row.r[col] = static_cast<int32_t>((Product{row.r[col]} * gain[col]) >> kShift);
            row.g[col] = static_cast<int32_t>((Product{row.g[col]} * gain[col]) >> kShift);
            row.b[col] = static_cast<int32_t>((Product{row.b[col]} * gain[col]) >> kShift);
        }
    }

    VignetteGainTerm<Scale> gain_;
};
inline VignetteStep<GainScale::q15> vignette15(const VignetteShape& shape) {
    return VignetteStep<GainScale::q15>(shape);
}
inline VignetteStep<GainScale::q12> vignette12(const VignetteShape& shape) {
    return VignetteStep<GainScale::q12>(shape);
}

}  // namespace lumetra
