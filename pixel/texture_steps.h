// The pieces the texture overlays ("texture", "texture3", "bw_texture",
// "muti_texture") are written in, beside the walk's own terms and steps
// (pixel/terms.h) and the look steps (looks/look_steps.h):
//
//   prepareSource(levels, k)         p = S from the photo's pixel, its
//                                    saturation and levels set from its
//                                    own range
//   sampling(t), sampled(t)          one layer sampler read by several steps
//   selfStep<F>(w)                   a step blending p with itself
//   matrixed(term, m)                a term's value through a colour matrix
//   greyAverage(term)                a term's value as the plain mean grey
//   complement(weight)               32768 - a weight
//   textureUsable(...)               the entry checks of a texture picture
#pragma once

#include <opencv2/core/core_c.h>

#include <cstdint>
#include <utility>

#include "core/image.h"
#include "looks/look_steps.h"
#include "pixel/canvas.h"
#include "pixel/terms.h"

namespace lumetra {

// S from the photo's pixel: the saturation matrix of the measured range
// times k, the levels stretch, then every channel held to 0..32768. The
// factor is taken in double (range and k both widened from float) and not
// rounded back.
inline auto prepareSource(const AutoLevels& levels, float k) {
    const double saturation = static_cast<double>(levels.range) * static_cast<double>(k);
    return matrix(saturationMatrix(saturation)) | applyLevels(levels.scale) | clampBelow(0) | clampAbove(kOne15);
}

// A layer sampler that several steps of one recipe read: the recipe owns
// it, `sampling` runs its set-up in the walk (before the steps that read
// it), and each `sampled` term reads the row's samples it made.
template <class Sampler>
class SamplingOp : public PixelOp {
public:
    explicit SamplingOp(Sampler& sampler) : sampler_(&sampler) {}
    void start(const WalkFrame& frame) { sampler_->start(frame); }
    void rowStart(const RowSpot& spot) { sampler_->rowStart(spot); }
    template <class Px>
    void apply(Px&, PixelContext&) const {}

private:
    Sampler* sampler_;
};
template <class Sampler>
SamplingOp<Sampler> sampling(Sampler& sampler) {
    return SamplingOp<Sampler>(sampler);
}

template <class Sampler>
class SampledTerm : public PixelTerm {
public:
    explicit SampledTerm(const Sampler& sampler) : sampler_(&sampler) {}
    auto value(const PixelContext& at) const { return sampler_->value(at); }

private:
    const Sampler* sampler_;
};
template <class Sampler>
SampledTerm<Sampler> sampled(const Sampler& sampler) {
    return SampledTerm<Sampler>(sampler);
}

// p = mix15(p, F(p, p), w): a step whose blend value is the running pixel
// itself (a recipe's "V = S" followed by a step with V).
template <class F>
struct SelfStep : PixelOp {
    int32_t weight15;
    explicit SelfStep(int32_t w) : weight15(w) {}
    template <class Px>
    void apply(Px& p, PixelContext&) const {
        const Rgb15 self{p.r, p.g, p.b};
        Rgb15 colour = self;
        blendInto<F>(colour, self, weight15);
        p.r = colour.r;
        p.g = colour.g;
        p.b = colour.b;
    }
};
template <class F>
SelfStep<F> selfStep(int32_t weight15) {
    return SelfStep<F>(weight15);
}

// A term's colour through a Q15 matrix (alpha, if any, dropped: the result
// weighs fully).
template <PixelValue Term>
class MatrixTerm : public PixelTerm {
public:
    MatrixTerm(Term term, const ColorMatrix15& m) : term_(std::move(term)), m_(m) {}
    void start(const WalkFrame& frame) { term_.start(frame); }
    void rowStart(const RowSpot& spot) { term_.rowStart(spot); }
    Rgb15 value(const PixelContext& at) const {
        const auto v = term_.value(at);
        Rgb15 p{v.r, v.g, v.b};
        applyMatrix(m_, p);
        return p;
    }

private:
    Term term_;
    ColorMatrix15 m_;
};
template <PixelValue Term>
MatrixTerm<Term> matrixed(Term term, const ColorMatrix15& m) {
    return MatrixTerm<Term>(std::move(term), m);
}

// The plain average of r, g and b in every channel: thirds 10923, 10923,
// 10922 (they sum to 32768, so a grey value is its own average).
template <PixelValue Term>
class GreyAverageTerm : public PixelTerm {
public:
    explicit GreyAverageTerm(Term term) : term_(std::move(term)) {}
    void start(const WalkFrame& frame) { term_.start(frame); }
    void rowStart(const RowSpot& spot) { term_.rowStart(spot); }
    Rgb15 value(const PixelContext& at) const {
        const auto v = term_.value(at);
        const int32_t grey = (10923 * v.r + 10923 * v.g + 10922 * v.b) >> 15;
        return {grey, grey, grey};
    }

private:
    Term term_;
};
template <PixelValue Term>
GreyAverageTerm<Term> greyAverage(Term term) {
    return GreyAverageTerm<Term>(std::move(term));
}

// 32768 - w. With it, mix15(C, p, w) is written as a step toward C:
// mix15(p, C, 32768 - w) multiplies and adds the very same terms.
template <PixelValue Weight>
class ComplementTerm : public PixelTerm {
public:
    explicit ComplementTerm(Weight weight) : weight_(std::move(weight)) {}
    void start(const WalkFrame& frame) { weight_.start(frame); }
    void rowStart(const RowSpot& spot) { weight_.rowStart(spot); }
    int32_t value(const PixelContext& at) const { return kOne15 - weight_.value(at); }

private:
    Weight weight_;
};
template <PixelValue Weight>
ComplementTerm<Weight> complement(Weight weight) {
    return ComplementTerm<Weight>(std::move(weight));
}

// A texture a recipe can sample: an 8-bit picture with the channel count the
// recipe reads (alpha only where it names one), and sides the sampler's Q15
// coordinates can hold.
inline bool textureUsable(const IplImage* texture, int channels) {
    return isBytePicture(texture, channels) && canFitLayer(texture->width, texture->height, 1, 1, kFitStretch);
}

// The common entry check of the texture routines: photo and destination
// usable, and a canvas with area to fit textures on.
inline bool textureCanvasUsable(const IplImage* src, const IplImage* dst, const CanvasWindow& window) {
    return lookPicturesUsable(src, dst) && hasArea(window);
}

}  // namespace lumetra
