// The steps the signature looks ("glimmer", "kailani", "beattle",
// "johnny") add to the framework's: two formulas for step<F>, the terms that
// read a scratch value through curves or as grey, and the whole-pixel steps
// (lightness-keeping desaturation, grey mix, chroma, the 512-entry levels
// table, the lightness duotone).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "looks/curves.h"
#include "looks/levels.h"
#include "pixel/blend_formulas.h"
#include "pixel/pixel_walk.h"
#include "pixel/terms.h"

namespace lumetra {

// ---- formulas for step<F> --------------------------------------------------

// "add": p + X, unclamped (the later steps or the store clamp).
struct Add : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) { return a + b; }
};

// "dodge": min(p + (p X) / (32768 - X), 32767), the quotient truncated. X
// is held below 32768 so the divisor stays positive; the looks only pass
// curve outputs, which never reach it.
struct Dodge : BlendFormula {
    static int32_t channel(int32_t a, int32_t b) {
        const int32_t x = std::min(b, kOne15 - 1);
        const double lift = static_cast<double>(int64_t{a} * x) / static_cast<double>(kOne15 - x);
        const int64_t f = int64_t{a} + static_cast<int64_t>(lift);
        return static_cast<int32_t>(std::min<int64_t>(f, 32767));
    }
};

// ---- terms -----------------------------------------------------------------

// Another term's colour through a curve set (the tables outlive the walk).
template <PixelValue Term>
class CurvesOfTerm : public PixelTerm {
public:
    CurvesOfTerm(const CurveLutSet& set, Term term) : luts_(&set), term_(std::move(term)) {}
    void start(const WalkFrame& frame) { term_.start(frame); }
    void rowStart(const RowSpot& spot) { term_.rowStart(spot); }
    Rgb15 value(const PixelContext& at) const { return of(term_.value(at)); }
    Rgb15 of(const Rgb15& v) const {
        return {lookupCurve(luts_->red(), v.r), lookupCurve(luts_->green(), v.g), lookupCurve(luts_->blue(), v.b)};
    }
    const Term& inner() const { return term_; }

private:
    const CurveLutSet* luts_;
    Term term_;
};
template <PixelValue Term>
CurvesOfTerm<Term> curvesOf(const CurveLutSet& set, Term term) {
    return CurvesOfTerm<Term>(set, std::move(term));
}

// Another term's luminance15 on all three channels.
template <PixelValue Term>
class GreyOfTerm : public PixelTerm {
public:
    explicit GreyOfTerm(Term term) : term_(std::move(term)) {}
    void start(const WalkFrame& frame) { term_.start(frame); }
    void rowStart(const RowSpot& spot) { term_.rowStart(spot); }
    Rgb15 value(const PixelContext& at) const {
        const auto v = term_.value(at);
        const int32_t y = luminance15(v);
        return {y, y, y};
    }
    const Term& inner() const { return term_; }

private:
    Term term_;
};
template <PixelValue Term>
GreyOfTerm<Term> greyOf(Term term) {
    return GreyOfTerm<Term>(std::move(term));
}

// ---- whole-pixel steps -----------------------------------------------------

// The same amount added to every channel (negative to lower).
struct AddEachStep : PixelOp {
    int32_t amount;
    explicit AddEachStep(int32_t k) : amount(k) {}
    template <class Px>
    void apply(Px& p, PixelContext&) const {
        p.r += amount;
        p.g += amount;
        p.b += amount;
    }
};
inline AddEachStep addEach(int32_t amount) { return AddEachStep(amount); }

// A matrix whose three rows all mix r, g and b by the same weights, each
// trunc(w * 32768) from the float weight: every channel becomes that grey.
constexpr ColorMatrix15 greyMixMatrix(float wr, float wg, float wb) {
    const std::array<int32_t, 3> row{static_cast<int32_t>(double{wr} * 32768.0),
                                     static_cast<int32_t>(double{wg} * 32768.0),
                                     static_cast<int32_t>(double{wb} * 32768.0)};
    return {row, row, row};
}

// Chroma: the identity minus the luminance weights, so each channel loses
// the pixel's luminance, all in one matrix (rounded once, at the shift).
constexpr ColorMatrix15 kChromaMatrix{{{22970, -19234, -3736}, {-9798, 13534, -3736}, {-9798, -19234, 29032}}};

// Desaturation toward the luminance that keeps HSL lightness: each channel
// mixed toward Y = trunc(0.299 r + 0.587 g + 0.114 b) (float weights, double
// sum) by 32768 - s, then shifted by half the change in max + min.
struct SaturateKeepLightness : PixelOp {
    int32_t keep;  // Q15 share of the colour kept
    explicit SaturateKeepLightness(int32_t s) : keep(s) {}
    template <class Px>
    void apply(Px& p, PixelContext&) const {
        const int32_t y = static_cast<int32_t>(double{0.299f} * p.r + double{0.587f} * p.g + double{0.114f} * p.b);
        const int32_t toward = (kOne15 - keep) * y;
        Rgb15 q{(p.r * keep + toward) >> 15, (p.g * keep + toward) >> 15, (p.b * keep + toward) >> 15};
        const int32_t shift = (extremesSum(p) - extremesSum(q)) >> 1;
        p.r = q.r + shift;
        p.g = q.g + shift;
        p.b = q.b + shift;
    }
    static int32_t extremesSum(const Rgb15& p) {
        return std::max({p.r, p.g, p.b}) + std::min({p.r, p.g, p.b});
    }
};
inline SaturateKeepLightness saturateKeepLightness(int32_t s) { return SaturateKeepLightness(s); }

// A duotone from HSL lightness L = (max + min) >> 1: red L, green L + d and
// blue L - d with d = (L below half, else 32640 - L) times the float 0.15,
// in double and truncated, so the tint fades out at black and white.
struct LightnessDuotone : PixelOp {
    template <class Px>
    void apply(Px& p, PixelContext&) const {
        const int32_t lightness = (std::max({p.r, p.g, p.b}) + std::min({p.r, p.g, p.b})) >> 1;
        const double tint = (lightness < 16384 ? lightness : 32640 - lightness) * double{0.15f};
        p.r = lightness;
        p.g = static_cast<int32_t>(lightness + tint);
        p.b = static_cast<int32_t>(lightness - tint);
    }
};
inline LightnessDuotone lightnessDuotone() { return {}; }

// Levels through a 512-entry table: entry i = trunc(512 t^(1/gamma)) with
// t = (clamp(i, 2 black, 2 white) - 2 black) / (2 white - 2 black) stored
// as a float and the power rounded to single precision; a channel v becomes
// entry[v >> 6] << 6. Channels must lie in 0..32767 (clamp first).
using LevelsTable512 = std::array<int32_t, 512>;
LevelsTable512 levelsLut512(int black, int white, float gamma);

struct LevelsTableStep : PixelOp {
    const LevelsTable512* table;
    explicit LevelsTableStep(const LevelsTable512& t) : table(&t) {}
    template <class Px>
    void apply(Px& p, PixelContext&) const {
        p.r = (*table)[p.r >> 6] << 6;
        p.g = (*table)[p.g >> 6] << 6;
        p.b = (*table)[p.b >> 6] << 6;
    }
};
inline LevelsTableStep levels512(const LevelsTable512& table) { return LevelsTableStep(table); }

}  // namespace lumetra
