// Transform records (shift, rotate, scale of the destination-to-source
// matrix) and the lossless quarter-turn copy ptRotateClone.
#include <cmath>

#include "core/image.h"
#include "phototools/color_map.h"
#include "phototools/fixed.h"

namespace lumetra::pt {

namespace {

// Source pixel read by destination pixel (x, y) of a W x H result, for the
// quarter turn r and the mirror flag.
struct QuarterTurn {
    int turn;
    bool mirror;
    int width;   // of the result
    int height;

    void source(int x, int y, int& sx, int& sy) const {
        const int fx = mirror ? width - 1 - x : x;  // the mirror flips the result left to right
        switch (turn) {
            case 0: sx = fx, sy = y; break;
            case 1: sx = y, sy = width - 1 - fx; break;
            case 2: sx = width - 1 - fx, sy = height - 1 - y; break;
            default: sx = height - 1 - y, sy = fx; break;
        }
    }
};

IplImage* rotateClone(const IplImage* src, int quarterTurns, bool mirror) {
    const int turn = ((quarterTurns % 4) + 4) % 4;
    const bool sideways = turn % 2 == 1;
    OwnedImage result = createImage(sideways ? src->height : src->width, sideways ? src->width : src->height,
                                    IPL_DEPTH_8U, 3);
    if (!result) return nullptr;
    const QuarterTurn geometry{turn, mirror, result->width, result->height};
    const int channels = src->nChannels;
    for (int y = 0; y < result->height; ++y) {
        uint8_t* out = rowOf(result.get(), y);
        for (int x = 0; x < result->width; ++x, out += 3) {
            int sx = 0;
            int sy = 0;
            geometry.source(x, y, sx, sy);
            const uint8_t* in = rowOf(src, sy) + static_cast<std::ptrdiff_t>(sx) * channels;
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
    return result.release();
}

}  // namespace

}  // namespace lumetra::pt

using namespace lumetra;
using namespace lumetra::pt;

extern "C" {

LUMETRA_API Transform* LUMETRA_CALL ptNewTransform(int x, int y, int width, int height) {
    return guarded<Transform*>(nullptr, [=] { return newTransform(x, y, width, height); });
}

LUMETRA_API Transform* LUMETRA_CALL ptTransformShift(Transform* t, float dx, float dy) {
    if (!t) return t;
    const double shiftX = static_cast<double>(t->b) * dy + static_cast<double>(t->a) * dx;
    const double shiftY = static_cast<double>(t->e) * dy + static_cast<double>(t->d) * dx;
    t->c = wrapSub(t->c, truncToInt(shiftX));
    t->f = wrapSub(t->f, truncToInt(shiftY));
    return t;
}

LUMETRA_API Transform* LUMETRA_CALL ptTransformRotate(Transform* t, float angle) {
    if (!t) return t;
    const double co = std::cos(angle);
    const double si = std::sin(angle);
    const double cosine = static_cast<float>(co);  // both taken in single precision
    const double sine = static_cast<float>(si);
    const double a = t->a, b = t->b, d = t->d, e = t->e;
    t->a = truncToInt(a * cosine - b * sine);
    t->b = truncToInt(a * sine + b * cosine);
    t->d = truncToInt(d * cosine - e * sine);
    t->e = truncToInt(d * sine + e * cosine);
    return t;
}

LUMETRA_API Transform* LUMETRA_CALL ptTransformScale(Transform* t, float sx, float sy) {
    if (!t) return t;
    t->a = truncToInt(t->a / static_cast<double>(sx));
    t->d = truncToInt(t->d / static_cast<double>(sx));
    t->b = truncToInt(t->b / static_cast<double>(sy));
    t->e = truncToInt(t->e / static_cast<double>(sy));
    return t;
}

LUMETRA_API IplImage* LUMETRA_CALL ptRotateClone(IplImage* src, int quarterTurns, int mirror) {
    if (!isBytePicture(src)) return nullptr;
    return guarded<IplImage*>(nullptr, [=] { return rotateClone(src, quarterTurns, mirror != 0); });
}

}  // extern "C"
