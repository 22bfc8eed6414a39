// Both tilt-shift families. Pyramid: disc, line and even blur at a few
// strengths, full size and as previews, and the keep flag (a kept result is
// what the next apply starts from). Aperture: disc, line and even blur with
// generated aperture shapes at a few radius factors.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

#include "golden/sweep.h"

namespace golden {

namespace {

struct PyramidRelease {
    void operator()(TiltShiftContext* context) const noexcept { doShiftEnd(context); }
};
struct ApertureRelease {
    void operator()(ApertureContext* context) const noexcept { doShiftApEnd(context); }
};
using Pyramid = std::unique_ptr<TiltShiftContext, PyramidRelease>;
using Aperture = std::unique_ptr<ApertureContext, ApertureRelease>;

// One apply on the context into dst; region may be null.
using PyramidApply = std::function<void(TiltShiftContext*, IplImage*, EffectRegion*)>;

std::string real(const char* key, double value) {
    char text[48];
    std::snprintf(text, sizeof text, "/%s=%g", key, value);
    return text;
}

// A picture of `shape` opened as a context; `applies` run in order, each
// into its own destination (the preview's size with a region), all hashed.
void addPyramid(std::vector<Case>& cases, const std::string& variant, const Shape& shape,
                std::vector<PyramidApply> applies, std::optional<EffectRegion> region = {},
                std::optional<Shape> dstShape = {}) {
    std::string name = "tiltshift/pyramid" + variant + "/" + shape.label();
    if (region)
        name += "/preview=" + std::to_string(region->x) + "," + std::to_string(region->y) + "," +
                std::to_string(region->width) + "x" + std::to_string(region->height);
    if (dstShape) name += "/dst=" + dstShape->label();
    cases.push_back({name, [shape, applies, region, dstShape](Hash& h) {
                         Picture src = makePicture(shape, 1);
                         Pyramid context(doShiftStart(src.get()));
                         h.number(context != nullptr);
                         src.reset();  // the context keeps its own copy
                         for (const PyramidApply& apply : applies) {
                             Picture dst = makePicture(dstShape.value_or(Shape{shape.width, shape.height, 3, 2}), 2);
                             EffectRegion view = region.value_or(EffectRegion{});
                             apply(context.get(), dst.get(), region ? &view : nullptr);
                             h.picture(dst.get());
                         }
                     }});
}

PyramidApply disc(float strength, int x, int y, int inner, int outer, int keep = 1) {
    return [=](TiltShiftContext* c, IplImage* dst, EffectRegion* r) { AppplyShiftRound(c, dst, strength, x, y, inner, outer, r, keep); };
}
PyramidApply line(float strength, int x1, int y1, int x2, int y2, int inner, int outer, int keep = 1) {
    return [=](TiltShiftContext* c, IplImage* dst, EffectRegion* r) {
        AppplyShiftLine(c, dst, strength, x1, y1, x2, y2, inner, outer, r, keep);
    };
}
PyramidApply even(float strength) {
    return [=](TiltShiftContext* c, IplImage* dst, EffectRegion* r) { AppplyShiftBlur(c, dst, strength, r); };
}

void addPyramidCases(std::vector<Case>& cases) {
    for (const Shape& shape : inputShapes(3, true)) {
        const bool big = shape.width == 640;
        const int cx = shape.width / 2, cy = shape.height / 2, side = std::max(shape.width, shape.height);
        for (float strength : {0.05f, 0.3f, 2.0f}) {
            if (big && strength == 2.0f) continue;
            addPyramid(cases, real("disc/strength", strength), shape, {disc(strength, cx, cy, side / 8, side / 3)});
            addPyramid(cases, real("line/strength", strength), shape,
                       {line(strength, 0, cy, shape.width, cy + 3, side / 10, side / 4)});
            addPyramid(cases, real("even/strength", strength), shape, {even(strength)});
        }
    }
    const Shape wide{257, 13, 3, 5}, tall{13, 200, 3, 1};
    for (const Shape& shape : {wide, tall}) {
        addPyramid(cases, "/disc/outer-below-inner", shape, {disc(0.2f, 20, 6, 15, 3)});
        addPyramid(cases, "/disc/off-picture", shape, {disc(0.2f, -400, 300, 10, 90)});
        addPyramid(cases, "/line/steep", shape, {line(0.25f, 5, 0, 9, 190, 4, 30)});
        addPyramid(cases, "/even/negative", shape, {even(-1.0f)});
        addPyramid(cases, "/even/huge", shape, {even(1e30f)});
    }
    // Keep: a kept disc is where the next apply starts from; keep=1 leaves
    // the context as it was.
    for (int keep : {0, 1}) {
        const std::string k = "/keep=" + std::to_string(keep);
        addPyramid(cases, "/disc,disc" + k, wide, {disc(0.2f, 60, 6, 10, 60, keep), disc(0.2f, 200, 6, 10, 60, keep)});
        addPyramid(cases, "/line,even" + k, wide, {line(0.3f, 0, 2, 256, 10, 3, 20, keep), even(0.1f)});
        addPyramid(cases, "/disc,line" + k, {640, 427, 3, 3},
                   {disc(0.15f, 320, 200, 60, 200, keep), line(0.15f, 0, 100, 639, 300, 30, 120, keep)});
    }
    // Previews: a reduced view, a crop reaching past the picture's edges,
    // and keep=0 with a region (the context stays as it was).
    const EffectRegion reduced{0, 0, 0, 128, 7}, crop{0, -10, 3, 514, 26};
    for (const auto& [region, dst] : {std::pair{reduced, Shape{128, 7, 3, 1}}, std::pair{crop, Shape{40, 9, 3, 0}}}) {
        addPyramid(cases, "/disc", wide, {disc(0.3f, 128, 6, 20, 80)}, region, dst);
        addPyramid(cases, "/line", wide, {line(0.3f, 0, 0, 256, 12, 5, 40)}, region, dst);
        addPyramid(cases, "/even", wide, {even(0.3f)}, region, dst);
    }
    addPyramid(cases, "/disc,even/keep=0", wide, {disc(0.3f, 128, 6, 20, 80, 0), even(0.2f)}, reduced, Shape{128, 7, 3, 1});
    addPyramid(cases, "/disc", {640, 427, 3, 3}, {disc(0.2f, 320, 213, 50, 200)}, EffectRegion{0, 0, 0, 160, 107},
               Shape{160, 107, 3, 0});
    // Refused: equal inner and outer, equal points, a wrong destination.
    addPyramid(cases, "/disc/refused", wide, {disc(0.3f, 10, 6, 8, 8), disc(0.3f, 10, 6, -5, -5)});
    addPyramid(cases, "/line/refused", wide, {line(0.3f, 7, 7, 7, 7, 3, 20)});
    addPyramid(cases, "/even/refused", wide, {even(0.3f)}, std::nullopt, Shape{256, 13, 3, 0});
    addPyramid(cases, "/even/refused", wide, {even(0.3f)}, std::nullopt, Shape{257, 13, 4, 0});
    addPyramid(cases, "/even/refused", wide, {even(0.3f)}, EffectRegion{0, 0, 0, 0, 13}, Shape{20, 13, 3, 0});
    cases.push_back({"tiltshift/pyramid/refused/start", [](Hash& h) {
                         Picture four = makePicture({9, 7, 4, 0}, 1), deep = makePicture({9, 7, 3, 0, IPL_DEPTH_16U}, 1);
                         h.number(doShiftStart(nullptr) != nullptr);
                         h.number(Pyramid(doShiftStart(four.get())) != nullptr);
                         h.number(Pyramid(doShiftStart(deep.get())) != nullptr);
                         Picture dst = makePicture({9, 7, 3, 0}, 2);
                         AppplyShiftBlur(nullptr, dst.get(), 0.3f, nullptr);
                         doShiftEnd(nullptr);
                         h.picture(dst.get());
                     }});
}

// ---- Aperture -------------------------------------------------------------

enum class ApertureShape { disc, hexagon, pattern };

// A generated aperture: its green channel draws the shape.
Picture makeAperture(ApertureShape kind, int size) {
    if (kind == ApertureShape::pattern) return makePicture({size, size, 3, 1}, 7);
    Picture picture = makePicture({size, size, 3, 1}, 7);
    const int centre = size - 1;  // doubled coordinates
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int dx = 2 * x - centre, dy = 2 * y - centre;
            const bool inside = kind == ApertureShape::disc
                                    ? dx * dx + dy * dy <= size * size
                                    : std::abs(dy) <= size * 7 / 8 && 2 * std::abs(dx) + std::abs(dy) <= 2 * size * 7 / 8;
            picture->imageData[y * picture->widthStep + 3 * x + 1] = static_cast<char>(inside ? 255 : 0);
        }
    return picture;
}

using ApertureApply = std::function<void(ApertureContext*, IplImage*)>;

void addAperture(std::vector<Case>& cases, const std::string& variant, const Shape& shape, ApertureShape kind,
                 int apertureSize, float radius, std::vector<ApertureApply> applies) {
    static const char* const kinds[] = {"disc", "hexagon", "pattern"};
    const std::string name = "tiltshift/aperture" + variant + "/" + shape.label() + "/shape=" +
                             kinds[static_cast<int>(kind)] + std::to_string(apertureSize) + real("radius", radius);
    cases.push_back({name, [=](Hash& h) {
                         Picture src = makePicture(shape, 1);
                         Picture aperture = makeAperture(kind, apertureSize);
                         Aperture context(doShiftApStart(src.get(), aperture.get(), radius));
                         h.number(context != nullptr);
                         for (const ApertureApply& apply : applies) {
                             Picture dst = makePicture({shape.width, shape.height, 3, 2}, 2);
                             apply(context.get(), dst.get());
                             h.picture(dst.get());
                         }
                         h.picture(src.get());
                     }});
}

ApertureApply apDisc(int x, int y, int inner, int outer) {
    return [=](ApertureContext* c, IplImage* dst) { ApplyShiftApRound(c, dst, x, y, inner, outer, 0); };
}
ApertureApply apLine(int x1, int y1, int x2, int y2, int inner, int outer) {
    return [=](ApertureContext* c, IplImage* dst) { ApplyShiftApLine(c, dst, x1, y1, x2, y2, inner, outer, 0); };
}
ApertureApply apEven() {
    return [](ApertureContext* c, IplImage* dst) { ApplyShiftApBlur(c, dst, 0, 0); };
}

void addApertureCases(std::vector<Case>& cases) {
    for (const Shape& shape : inputShapes(3, false))
        for (ApertureShape kind : {ApertureShape::disc, ApertureShape::hexagon})
            for (float radius : {0.0f, 0.1f, 0.5f, 3.0f}) {
                const int cx = shape.width / 2, cy = shape.height / 2;
                addAperture(cases, "/disc,line,even", shape, kind, 9, radius,
                            {apDisc(cx, cy, 2, 40), apLine(0, cy, shape.width, cy + 2, 1, 20), apEven()});
            }
    const Shape wide{257, 13, 3, 5};
    addAperture(cases, "/disc/turned", wide, ApertureShape::pattern, 5, 0.3f, {apDisc(100, 6, 30, 4)});
    addAperture(cases, "/line/steep", wide, ApertureShape::disc, 1, 0.3f, {apLine(100, 0, 104, 12, 3, 25)});
    addAperture(cases, "/disc,line", wide, ApertureShape::hexagon, 31, 1.0f, {apDisc(-50, 400, 10, 300), apLine(0, 0, 256, 0, 0, 6)});
    // The large picture: a few small kernels only.
    addAperture(cases, "/disc,line,even", {640, 427, 3, 3}, ApertureShape::disc, 9, 0.01f,
                {apDisc(320, 213, 40, 160), apLine(0, 100, 639, 330, 20, 90), apEven()});
    addAperture(cases, "/even", {640, 427, 3, 3}, ApertureShape::hexagon, 15, 0.02f, {apEven()});
    // Refused: equal inner and outer, equal points, a wrong destination; a
    // shape without green, a radius that is not finite.
    addAperture(cases, "/refused", wide, ApertureShape::disc, 9, 0.1f, {apDisc(10, 6, 5, 5), apLine(3, 3, 3, 3, 1, 9)});
    cases.push_back({"tiltshift/aperture/refused/start", [](Hash& h) {
                         Picture src = makePicture({257, 13, 3, 5}, 1);
                         Picture dark = makePicture({5, 5, 3, 0}, 1);
                         for (int y = 0; y < 5; ++y)
                             for (int x = 0; x < 5; ++x) dark->imageData[y * dark->widthStep + 3 * x + 1] = 0;
                         Picture aperture = makeAperture(ApertureShape::disc, 9);
                         h.number(Aperture(doShiftApStart(src.get(), dark.get(), 0.1f)) != nullptr);
                         h.number(Aperture(doShiftApStart(src.get(), aperture.get(), std::numeric_limits<float>::infinity())) != nullptr);
                         h.number(Aperture(doShiftApStart(src.get(), nullptr, 0.1f)) != nullptr);
                         h.number(Aperture(doShiftApStart(nullptr, aperture.get(), 0.1f)) != nullptr);
                         Aperture context(doShiftApStart(src.get(), aperture.get(), 0.1f));
                         Picture narrow = makePicture({256, 13, 3, 0}, 2), four = makePicture({257, 13, 4, 0}, 2);
                         ApplyShiftApBlur(context.get(), narrow.get(), 0, 0);
                         ApplyShiftApBlur(context.get(), four.get(), 0, 0);
                         ApplyShiftApBlur(nullptr, narrow.get(), 0, 0);
                         doShiftApEnd(nullptr);
                         h.picture(narrow.get());
                         h.picture(four.get());
                     }});
}

}  // namespace

void addTiltShiftCases(std::vector<Case>& cases) {
    addPyramidCases(cases);
    addApertureCases(cases);
}

}  // namespace golden
