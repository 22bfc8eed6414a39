// The per-pixel walk: visits every destination pixel, lets an operation
// compute its new value in Q15, and stores it with the byte rules.
//
// An operation is a value type with three hooks, all resolved at compile
// time (nothing virtual, no function pointer in the column loop):
//
//   void start(const WalkFrame&)          once, before the first row
//   void rowStart(const RowSpot&)         at every destination row
//   template <class Px> void apply(Px& p, PixelContext& at)   every pixel
//
// Operations are composed with `|` into one type that applies its parts in
// order; each part sees the pixel the previous ones built:
//
//   pixelWalk(dst, window, source(src) | step<Overlay>(layer(texture), 32768));
//
// Deriving from PixelOp supplies empty start/rowStart hooks. Terms (values a
// step reads: image, layer, constant, mask, scratch) have the same hooks and a
// `value(const PixelContext&)`; see pixel/terms.h and pixel/layer_sampler.h.
#pragma once

#include <opencv2/core/core_c.h>

#include <array>
#include <concepts>
#include <type_traits>
#include <utility>

#include "core/image.h"
#include "core/q15.h"
#include "pixel/canvas.h"

namespace lumetra {

// What the walk covers: the destination's size and the canvas position of
// its top-left pixel.
struct WalkFrame {
    int width;
    int height;
    int32_t x;
    int32_t y;
};

// The row being started: its index in the destination and its canvas y.
struct RowSpot {
    int row;
    int32_t y;
};

constexpr int kScratchSlots = 4;

// The pixel being computed: its column, its canvas position, and scratch
// values a recipe may set and read again within this pixel.
struct PixelContext {
    int col;
    int32_t x;
    int32_t y;
    std::array<Rgba15, kScratchSlots> scratch;
};

// Empty hooks for operations and terms that need no set-up.
struct WalkHooks {
    void start(const WalkFrame&) {}
    void rowStart(const RowSpot&) {}
};

// Base of every operation (something with apply); terms derive from
// PixelTerm (something with value).
struct PixelOp : WalkHooks {};
struct PixelTerm : WalkHooks {};

template <class T>
concept PixelOperation = std::derived_from<T, PixelOp>;
template <class T>
concept PixelValue = std::derived_from<T, PixelTerm>;

// Two operations applied one after the other.
template <PixelOperation First, PixelOperation Second>
struct Then : PixelOp {
    First first;
    Second second;
    Then(First f, Second s) : first(std::move(f)), second(std::move(s)) {}

    void start(const WalkFrame& frame) {
        first.start(frame);
        second.start(frame);
    }
    void rowStart(const RowSpot& spot) {
        first.rowStart(spot);
        second.rowStart(spot);
    }
    template <class Px>
    void apply(Px& p, PixelContext& at) {
        first.apply(p, at);
        second.apply(p, at);
    }
};

// An operation may instead compute a whole destination row at once (after
// its rowStart): the walk then hands it the row and stores nothing itself.
template <class Op>
concept RowOperation = requires(Op& op, const RowSpot& spot, uint8_t* out) { op.applyRow(spot, out); };

template <PixelOperation First, PixelOperation Second>
Then<First, Second> operator|(First first, Second second) {
    return Then<First, Second>(std::move(first), std::move(second));
}

// The working pixel for a picture of `Channels` channels.
template <int Channels>
using PixelOf = std::conditional_t<Channels == 4, Rgba15, Rgb15>;

// Copies a value into a pixel: the colour, and the alpha when the target
// has one (a value without alpha covers fully).
template <class To, class From>
inline void assignPixel(To& to, const From& from) {
    to.r = from.r;
    to.g = from.g;
    to.b = from.b;
    if constexpr (std::is_same_v<To, Rgba15>) {
        if constexpr (std::is_same_v<From, Rgba15>)
            to.a = from.a;
        else
            to.a = kOne15;
    }
}

// Byte access in picture order (B, G, R[, A]) to and from the working pixel.
template <int Channels>
inline PixelOf<Channels> readPixel(const uint8_t* px) {
    PixelOf<Channels> p{};
    p.b = colourToQ15(px[0]);
    p.g = colourToQ15(px[1]);
    p.r = colourToQ15(px[2]);
    if constexpr (Channels == 4) p.a = alphaToQ15(px[3]);
    return p;
}

template <int Channels>
inline void storePixel(uint8_t* px, const PixelOf<Channels>& p) {
    px[0] = toByte15(p.b);
    px[1] = toByte15(p.g);
    px[2] = toByte15(p.r);
    if constexpr (Channels == 4) px[3] = alphaToByte15(p.a);
}

// The frame a walk over dst covers: the window's origin when it is active,
// the picture's own origin otherwise.
inline WalkFrame walkFrame(const IplImage* dst, const CanvasWindow& window) {
    return {dst->width, dst->height, window.active ? window.x : 0, window.active ? window.y : 0};
}

// The walk for a destination of a known channel count.
template <int Channels, PixelOperation Op>
void walkPixels(IplImage* dst, const CanvasWindow& window, Op& op) {
    const WalkFrame frame = walkFrame(dst, window);
    op.start(frame);
    for (int row = 0; row < frame.height; ++row) {
        const RowSpot spot{row, wrapAdd(frame.y, row)};
        op.rowStart(spot);
        uint8_t* out = rowOf(dst, row);
        if constexpr (RowOperation<Op>) {
            op.applyRow(spot, out);
        } else {
            for (int col = 0; col < frame.width; ++col) {
                PixelContext at{col, wrapAdd(frame.x, col), spot.y, {}};
                PixelOf<Channels> p{};
                op.apply(p, at);
                storePixel<Channels>(out + col * Channels, p);
            }
        }
    }
}

// Applies op to every pixel of dst (3 or 4 channels, chosen once here).
// The caller has checked dst with isBytePicture. Returns 0.
template <PixelOperation Op>
int pixelWalk(IplImage* dst, const CanvasWindow& window, Op op) {
    if (dst->nChannels == 4)
        walkPixels<4>(dst, window, op);
    else
        walkPixels<3>(dst, window, op);
    return 0;
}

}  // namespace lumetra
