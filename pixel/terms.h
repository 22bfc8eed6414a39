// The terms a per-pixel operation is composed from, and the operations that
// use them. A recipe reads like its definition:
//
//   pixelWalk(dst, window,
//             source(src)                                   // p = the photo's pixel
//             | keep<0>()                                   // V = p
//             | step<Overlay>(layer(texture), weight(32768)) // p = mix15(p, overlay(p, T), 1.0)
//             | step<Multiply>(scratch<0>(), 16384));       // p = mix15(p, p * V, 0.5)
//
// Terms (value types deriving from PixelTerm, `value(at)` gives the value):
//   image(picture)      the picture's pixel at the destination's column and row
//   layer<C>(picture, transform)  a C-channel layer sampled bilinearly at the
//                       canvas position (LayerSampler, pixel/layer_sampler.h)
//   constant(rgb)       a fixed Rgb15 colour
//   weight(t)           a fixed Q15 weight (an opacity)
//   mask(term, channel) one channel of another term's value, used as a weight
//   scratch<N>()        the value kept in scratch slot N for this pixel
// Operations (deriving from PixelOp):
//   source(picture)     p = the picture's pixel
//   keep<N>(term)       scratch slot N = the term's value (or p, with no term)
//   step<F>(X, w)       p = mix15(p, F(p, X), w) per channel; when X has alpha
//                       the weight is scaled by it first: w = (w * X.a) >> 15
//   wideStep<F>(X, w)   the same in 64 bits, for p far past white
#pragma once

#include <opencv2/core/core_c.h>

#include <cstdint>
#include <type_traits>
#include <utility>

#include "pixel/blend_formulas.h"
#include "pixel/layer_sampler.h"
#include "pixel/pixel_walk.h"

namespace lumetra {

// ---- terms -----------------------------------------------------------------

// A picture read at the destination's own column and row. The picture must
// be at least as large as the destination.
template <int Channels>
class ImageTerm : public PixelTerm {
public:
    explicit ImageTerm(const IplImage* picture) : picture_(picture) {}
    void rowStart(const RowSpot& spot) { row_ = rowOf(picture_, spot.row); }
    PixelOf<Channels> value(const PixelContext& at) const { return readPixel<Channels>(row_ + at.col * Channels); }

private:
    const IplImage* picture_;
    const uint8_t* row_ = nullptr;
};

// Pictures of 3 channels are the common case; image4 reads B, G, R, A.
inline ImageTerm<3> image(const IplImage* picture) { return ImageTerm<3>(picture); }
inline ImageTerm<4> image4(const IplImage* picture) { return ImageTerm<4>(picture); }

template <int Channels>
LayerSampler<Channels> layer(const IplImage* picture, const LayerTransform& transform) {
    return LayerSampler<Channels>(picture, transform);
}

struct ConstantColour : PixelTerm {
    Rgb15 colour;
    explicit ConstantColour(Rgb15 c) : colour(c) {}
    Rgb15 value(const PixelContext&) const { return colour; }
};
inline ConstantColour constant(Rgb15 colour) { return ConstantColour(colour); }

struct ConstantWeight : PixelTerm {
    int32_t weight15;
    explicit ConstantWeight(int32_t t) : weight15(t) {}
    int32_t value(const PixelContext&) const { return weight15; }
};
inline ConstantWeight weight(int32_t t) { return ConstantWeight(t); }

// One channel of another term's value (a sampled mask's alpha or green, say).
enum class MaskChannel { red, green, blue, alpha };

template <PixelValue Source>
class MaskTerm : public PixelTerm {
public:
    MaskTerm(Source source, MaskChannel channel) : source_(std::move(source)), channel_(channel) {}
    void start(const WalkFrame& frame) { source_.start(frame); }
    void rowStart(const RowSpot& spot) { source_.rowStart(spot); }
    int32_t value(const PixelContext& at) const {
        const auto v = source_.value(at);
        switch (channel_) {
            case MaskChannel::red: return v.r;
            case MaskChannel::green: return v.g;
            case MaskChannel::blue: return v.b;
            default:
                if constexpr (std::is_same_v<decltype(v), const Rgba15>) return v.a;
                return kOne15;
        }
    }

private:
    Source source_;
    MaskChannel channel_;
};

template <PixelValue Source>
MaskTerm<Source> mask(Source source, MaskChannel channel) {
    return MaskTerm<Source>(std::move(source), channel);
}

template <int Slot>
struct ScratchTerm : PixelTerm {
    static_assert(Slot >= 0 && Slot < kScratchSlots);
    Rgba15 value(const PixelContext& at) const { return at.scratch[Slot]; }
};
template <int Slot>
ScratchTerm<Slot> scratch() {
    return {};
}

// ---- operations ------------------------------------------------------------

template <PixelValue Term>
class SourceOp : public PixelOp {
public:
    explicit SourceOp(Term term) : term_(std::move(term)) {}
    void start(const WalkFrame& frame) { term_.start(frame); }
    void rowStart(const RowSpot& spot) { term_.rowStart(spot); }
    template <class Px>
    void apply(Px& p, PixelContext& at) {
        assignPixel(p, term_.value(at));
    }
    const Term& term() const { return term_; }

private:
    Term term_;
};

template <PixelValue Term>
SourceOp<Term> source(Term term) {
    return SourceOp<Term>(std::move(term));
}
inline SourceOp<ImageTerm<3>> source(const IplImage* picture) { return SourceOp<ImageTerm<3>>(image(picture)); }

// Keeps a value in a scratch slot for later steps of the same pixel.
template <int Slot, class Term = void>
class KeepOp : public PixelOp {
public:
    explicit KeepOp(Term term) : term_(std::move(term)) {}
    void start(const WalkFrame& frame) { term_.start(frame); }
    void rowStart(const RowSpot& spot) { term_.rowStart(spot); }
    template <class Px>
    void apply(Px&, PixelContext& at) {
        assignPixel(at.scratch[Slot], term_.value(at));
    }
    const Term& term() const { return term_; }

private:
    Term term_;
};

template <int Slot>
class KeepOp<Slot, void> : public PixelOp {
public:
    template <class Px>
    void apply(Px& p, PixelContext& at) {
        assignPixel(at.scratch[Slot], p);
    }
};

template <int Slot>
KeepOp<Slot> keep() {
    return {};
}
template <int Slot, PixelValue Term>
KeepOp<Slot, Term> keep(Term term) {
    return KeepOp<Slot, Term>(std::move(term));
}

// The combiner: p = mix15(p, F(p, X), w) on r, g, b. A blend value with
// alpha scales the weight first (w * alpha) >> 15. Wide takes the formula
// (when it is width-generic) and the mix in 64 bits, for a running value
// that earlier steps or a levels stretch may have pushed far past white.
template <class F, PixelValue Blend, PixelValue Weight, bool Wide = F::kWide>
class StepOp : public PixelOp {
public:
    StepOp(Blend blend, Weight weight) : blend_(std::move(blend)), weight_(std::move(weight)) {}
    void start(const WalkFrame& frame) {
        blend_.start(frame);
        weight_.start(frame);
    }
    void rowStart(const RowSpot& spot) {
        blend_.rowStart(spot);
        weight_.rowStart(spot);
    }
    template <class Px>
    void apply(Px& p, PixelContext& at) {
        const auto x = blend_.value(at);
        int32_t t = weight_.value(at);
        if constexpr (std::is_same_v<decltype(x), const Rgba15>) t = (t * x.a) >> 15;
        blendInto<F, Wide>(p, x, t);
    }
    const Blend& blend() const { return blend_; }
    const Weight& weight() const { return weight_; }

private:
    Blend blend_;
    Weight weight_;
};

template <class F, PixelValue Blend, PixelValue Weight>
StepOp<F, Blend, Weight> step(Blend blend, Weight weight) {
    return StepOp<F, Blend, Weight>(std::move(blend), std::move(weight));
}
template <class F, PixelValue Blend>
StepOp<F, Blend, ConstantWeight> step(Blend blend, int32_t weight15) {
    return StepOp<F, Blend, ConstantWeight>(std::move(blend), weight(weight15));
}
// step<F> on a running value that may lie far outside 0..32768.
template <class F, PixelValue Blend>
StepOp<F, Blend, ConstantWeight, true> wideStep(Blend blend, int32_t weight15) {
    return StepOp<F, Blend, ConstantWeight, true>(std::move(blend), weight(weight15));
}

}  // namespace lumetra
