// Frames: one picture stretched over the view rectangle (applyFrame), or
// eight pieces laid around it at a thickness proportional to its smaller
// side (applyFramePieces). A frame sample is laid over the source with the
// "opacity" blend: the sample's alpha is the cover, and a 4-channel source
// accumulates alpha as every blend does.
#include "pixel/frames.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/image.h"
#include "pixel/blend_layer_op.h"
#include "pixel/canvas.h"
#include "pixel/pixel_walk.h"
#include "pixel/routines.h"
#include "pixel/terms.h"

namespace lumetra {

std::optional<int> frameThickness(const CanvasWindow& window, float factor) {
    if (!hasArea(window)) return std::nullopt;
    const double t = std::trunc(static_cast<double>(std::min(window.width, window.height)) * factor);
    if (!std::isfinite(t) || t < std::numeric_limits<int>::min() || t > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(t);
}

bool frameThicknessFits(const IplImage* picture, float thick, const EffectRegion* region) {
    return frameThickness(canvasWindow(region, picture), thick).has_value();
}

bool isFramePicture(const IplImage* picture) {
    return isBytePicture(picture, 4) && picture->width <= kMaxLayerSide && picture->height <= kMaxLayerSide;
}

namespace {

// ---- the stretched frame ------------------------------------------------

// The source as the destination sees it: shifted by half the size
// difference (centred), black where the source does not reach.
OwnedImage centredSource(const IplImage* src, const IplImage* dst) {
    OwnedImage base = createImageLike(dst, src->nChannels);
    if (!base) return nullptr;
    cvSetZero(base.get());
    const int dx = (src->width - dst->width) / 2;
    const int dy = (src->height - dst->height) / 2;
    const int firstCol = std::max(0, -dx), endCol = std::min(dst->width, src->width - dx);
    const int firstRow = std::max(0, -dy), endRow = std::min(dst->height, src->height - dy);
    const size_t bytes = static_cast<size_t>(std::max(endCol - firstCol, 0)) * src->nChannels;
    for (int row = firstRow; row < endRow; ++row)
        std::copy_n(rowOf(src, row + dy) + (firstCol + dx) * src->nChannels, bytes,
                    rowOf(base.get(), row) + firstCol * src->nChannels);
    return base;
}

// The frame spans the view rectangle: the step is (side - 1) in Q15 over
// the rectangle's side, and the origin carries the rectangle's offset.
LayerTransform stretchedFrame(const IplImage* frame, const CanvasWindow& rect) {
    LayerTransform t;
    t.scaleX = ((frame->width - 1) * kOne15) / rect.width;
    t.scaleY = ((frame->height - 1) * kOne15) / rect.height;
    t.offsetX = wrapMul(rect.x, t.scaleX) / rect.width;
    t.offsetY = wrapMul(rect.y, t.scaleY) / rect.height;
    return t;
}

template <int Channels>
void drawStretchedFrame(const IplImage* base, IplImage* dst, const IplImage* frame, const CanvasWindow& rect) {
    using Op = BlendLayerOp<Opacity, Channels, 4, false, false>;
    Op op(base, frame, stretchedFrame(frame, rect), kOne15);
    walkPixels<Channels>(dst, rect, op);
}

// ---- the pieces -----------------------------------------------------------

enum Piece : int {
    kTopLeft, kTopEdge, kTopRight, kRightEdge, kBottomRight, kBottomEdge, kBottomLeft, kLeftEdge, kInterior,
};

// A piece's target rectangle in canvas coordinates (64-bit: W - 2t may
// leave the int range for a negative thickness).
struct PieceRect {
    int64_t x, y, width, height;
};

std::array<PieceRect, kFramePieces> pieceRectangles(int64_t w, int64_t h, int64_t t) {
    return {{{0, 0, t, t},
             {t, 0, w - 2 * t, t},
             {w - t, 0, t, t},
             {w - t, t, t, h - 2 * t},
             {w - t, h - t, t, t},
             {t, h - t, w - 2 * t, t},
             {0, h - t, t, t},
             {0, t, t, h - 2 * t}}};
}

// floor(position mod span): a position past either end continues from the
// other, which is what makes a repeated piece tile.
inline int32_t wrapToSpan(int32_t position, int32_t span) {
    const int32_t r = position % span;
    return r < 0 ? r + span : r;
}

// Bilinear Q15 sampling of one piece on its target rectangle, positions
// and neighbours wrapping around the piece. Same vertical-then-horizontal
// order, truncations and alpha rule as the layer sampler.
class PieceSampler {
public:
    // False when the rectangle is empty (its zone has no pixels or the
    // thickness is negative: the zone then keeps the source) or its steps
    // cannot be represented.
    bool prepare(const IplImage* piece, const PieceRect& target, bool repeat) {
        piece_ = piece;
        if (target.width <= 0 || target.height <= 0) return true;
        if (target.width > INT32_MAX || target.height > INT32_MAX || target.x > INT32_MAX || target.y > INT32_MAX ||
            target.x < INT32_MIN || target.y < INT32_MIN)
            return false;
        const int32_t tw = static_cast<int32_t>(target.width), th = static_cast<int32_t>(target.height);
        int32_t sx = ((piece->width - 1) * kOne15) / tw;
        int32_t sy = ((piece->height - 1) * kOne15) / th;
        if (repeat) {
            // A whole number of copies along the edge.
            if (sx <= sy) {
                const std::optional<int32_t> n = copies(tw, sy, piece->width);
                if (!n) return false;
                sx = wrapMul(wrapMul(piece->width, *n), kOne15) / tw;
            } else {
                const std::optional<int32_t> n = copies(th, sx, piece->height);
                if (!n) return false;
                sy = wrapMul(wrapMul(piece->height, *n), kOne15) / th;
            }
        }
        stepX_ = sx;
        stepY_ = sy;
        // The centre of each target pixel mapped into the piece.
        originX_ = wrapSub(sx / 2, wrapMul(sx, static_cast<int32_t>(target.x)));
        originY_ = wrapSub(sy / 2, wrapMul(sy, static_cast<int32_t>(target.y)));
        spanX_ = piece->width * kOne15;
        spanY_ = piece->height * kOne15;
        drawn_ = true;
        return true;
    }

    bool drawn() const { return drawn_; }

    void rowStart(int32_t y) {
        const int32_t py = wrapToSpan(wrapAdd(originY_, wrapMul(y, stepY_)), spanY_);
        const int y0 = py >> 15;
        top_ = rowOf(piece_, y0);
        bottom_ = rowOf(piece_, y0 + 1 == piece_->height ? 0 : y0 + 1);
        fy_ = py & 32767;
    }

    Rgba15 sample(int32_t x) const {
        const int32_t px = wrapToSpan(wrapAdd(originX_, wrapMul(x, stepX_)), spanX_);
        const int x0 = px >> 15;
        const int x1 = x0 + 1 == piece_->width ? 0 : x0 + 1;
        const int32_t fx = px & 32767;
        std::array<int32_t, 4> s;
        for (int c = 0; c < 4; ++c)
            s[c] = horizontal15(vertical(x0 * 4 + c), vertical(x1 * 4 + c), fx);
        Rgba15 p;
        p.b = colourSample15(s[0]);
        p.g = colourSample15(s[1]);
        p.r = colourSample15(s[2]);
        p.a = alphaSample15(s[3]);
        return p;
    }

private:
    // n = trunc(target side x step / piece side / 32768 + 0.5), in double.
    static std::optional<int32_t> copies(int32_t targetSide, int32_t step, int pieceSide) {
        const double n = std::trunc(static_cast<double>(targetSide) * step / pieceSide / 32768.0 + 0.5);
        if (!(n >= INT32_MIN && n <= INT32_MAX)) return std::nullopt;
        return static_cast<int32_t>(n);
    }

    int32_t vertical(int byte) const { return (top_[byte] * (kOne15 - fy_) + bottom_[byte] * fy_) >> 15; }

    const IplImage* piece_ = nullptr;
    bool drawn_ = false;
    int32_t stepX_ = 0, stepY_ = 0, originX_ = 0, originY_ = 0, spanX_ = 1, spanY_ = 1;
    const uint8_t* top_ = nullptr;
    const uint8_t* bottom_ = nullptr;
    int32_t fy_ = 0;
};

// Which piece covers a zone: [column band][row band], each band 0 before t,
// 1 in the middle, 2 from side - t on.
constexpr Piece kZonePieces[3][3] = {
    {kTopLeft, kLeftEdge, kBottomLeft},
    {kTopEdge, kInterior, kBottomEdge},
    {kTopRight, kRightEdge, kBottomRight},
};

// Laying the pieces over a source of `Channels` channels, zone by zone.
template <int Channels>
class FramePiecesOp : public PixelOp {
    using Composite = BlendPixel<Opacity, Channels, 4, false, false>;

public:
    FramePiecesOp(const IplImage* src, std::array<PieceSampler, kFramePieces>& samplers, int64_t w, int64_t h,
                  int64_t t)
        : source_(src), samplers_(samplers), w_(w), h_(h), t_(t) {}

    void rowStart(const RowSpot& spot) {
        source_.rowStart(spot);
        rowBand_ = band(spot.y, h_);
        for (int column = 0; column < 3; ++column) {
            const Piece piece = kZonePieces[column][rowBand_];
            if (piece != kInterior && samplers_[piece].drawn()) samplers_[piece].rowStart(spot.y);
        }
    }

    template <class Px>
    void apply(Px& p, PixelContext& at) {
        const PixelOf<Channels> base = source_.value(at);
        const Piece piece = kZonePieces[band(at.x, w_)][rowBand_];
        if (piece == kInterior || !samplers_[piece].drawn()) {
            assignPixel(p, base);  // the interior samples as fully transparent
            return;
        }
        p = Composite::blend(base, samplers_[piece].sample(at.x), kOne15);
    }

private:
    // The zone tests in their order: x < t first, then x >= W - t.
    int band(int64_t position, int64_t side) const {
        if (position < t_) return 0;
        if (position >= side - t_) return 2;
        return 1;
    }

    ImageTerm<Channels> source_;
    std::array<PieceSampler, kFramePieces>& samplers_;
    int64_t w_, h_, t_;
    int rowBand_ = 1;
};

bool framePiecesUsable(const IplImage* src, const IplImage* dst, const IplImage* const* pieces) {
    if (!isBytePicture(src) || !isBytePicture(dst, src->nChannels) || !sameSize(src, dst) || !pieces) return false;
    return std::all_of(pieces, pieces + kFramePieces, isFramePicture);
}

bool isEdge(int piece) { return piece % 2 == 1; }

}  // namespace

void applyFrame(const IplImage* src, IplImage* dst, const IplImage* frame, const EffectRegion* region) {
    if (!isBytePicture(src) || !isBytePicture(dst, src->nChannels) || !isFramePicture(frame)) return;
    const CanvasWindow rect = canvasWindow(region, dst);
    if (!hasArea(rect)) return;
    OwnedImage centred;
    const IplImage* base = src;
    if (!sameSize(src, dst)) {
        centred = centredSource(src, dst);
        if (!centred) return;
        base = centred.get();
    }
    if (dst->nChannels == 4)
        drawStretchedFrame<4>(base, dst, frame, rect);
    else
        drawStretchedFrame<3>(base, dst, frame, rect);
}

void applyFramePieces(const IplImage* src, IplImage* dst, const IplImage* const* pieces, float thick, int tile,
                      const EffectRegion* region) {
    if (!framePiecesUsable(src, dst, pieces)) return;
    const CanvasWindow rect = canvasWindow(region, src);
    const std::optional<int> thickness = frameThickness(rect, thick);
    if (!thickness) return;
    if (*thickness == 0) {
        cvCopy(src, dst);
        return;
    }
    const int64_t t = *thickness;
    const std::array<PieceRect, kFramePieces> targets = pieceRectangles(rect.width, rect.height, t);
    std::array<PieceSampler, kFramePieces> samplers;
    for (int i = 0; i < kFramePieces; ++i)
        if (!samplers[i].prepare(pieces[i], targets[i], tile != 0 && isEdge(i))) return;
    if (dst->nChannels == 4) {
        FramePiecesOp<4> op(src, samplers, rect.width, rect.height, t);
        walkPixels<4>(dst, rect, op);
    } else {
        FramePiecesOp<3> op(src, samplers, rect.width, rect.height, t);
        walkPixels<3>(dst, rect, op);
    }
}

}  // namespace lumetra
