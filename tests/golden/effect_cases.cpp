// AppplyEffect: every index of the looks family with and without the host's
// picture, the vignette family with a mask or the radial falloff, the frame
// family on 3- and 4-channel pictures, regions, and the calls that select
// nothing or are refused.
#include <optional>

#include "golden/sweep.h"

namespace golden {

namespace {

struct EffectCall {
    int family = 1;
    int index = 0;
    Shape src{257, 13, 3, 5};
    std::optional<Shape> picture{};
    std::optional<EffectRegion> region{};
    std::optional<Shape> dst{};  // as src when absent
};

std::string regionLabel(const EffectRegion& r) {
    return "/region=" + std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.width) + "x" +
           std::to_string(r.height);
}

void addEffect(std::vector<Case>& cases, const EffectCall& call, const std::string& variant = "") {
    std::string name = "AppplyEffect/family=" + std::to_string(call.family) + "/index=" + std::to_string(call.index) + "/" +
                       call.src.label();
    if (call.dst) name += "/dst=" + call.dst->label();
    if (call.picture) name += "/picture=" + call.picture->label();
    if (call.region) name += regionLabel(*call.region);
    cases.push_back({name + variant, [call](Hash& h) {
                         Picture src = makePicture(call.src, 1);
                         Picture dst = makePicture(call.dst.value_or(call.src), 2);
                         Picture picture = call.picture ? makePicture(*call.picture, 3) : nullptr;
                         EffectRegion region = call.region.value_or(EffectRegion{});
                         h.number(AppplyEffect(src.get(), dst.get(), picture.get(), 0, call.family, call.index,
                                               call.region ? &region : nullptr));
                         h.picture(dst.get());
                         h.picture(src.get());
                     }});
}

bool laysPicture(int index) {
    return index == 45 || index == 46 || (index >= 64 && index <= 71) || index == 84 || index == 85 || index == 90 ||
           index == 93;
}

const Shape kTexture3{37, 23, 3, 2};
const Shape kTexture4{29, 41, 4, 0};
const EffectRegion kWideRegion{0, -7, 4, 300, 40};

}  // namespace

void addEffectCases(std::vector<Case>& cases) {
    // Family 1: every index (0 and 94 select nothing) on the small inputs,
    // the laying ones with 3- and 4-channel pictures; every 6th on the large
    // picture and within a region.
    for (int index = 0; index <= 94; ++index) {
        for (const Shape& src : inputShapes(3, false)) addEffect(cases, {1, index, src});
        if (laysPicture(index))
            for (const Shape& picture : {kTexture3, kTexture4}) {
                addEffect(cases, {1, index, {257, 13, 3, 5}, picture});
                addEffect(cases, {1, index, {3, 2, 3, 1}, picture});
            }
        if (index % 6 == 1) {
            addEffect(cases, {1, index, {640, 427, 3, 3}, laysPicture(index) ? std::optional(kTexture3) : std::nullopt});
            addEffect(cases, {1, index, {257, 13, 3, 5}, std::nullopt, kWideRegion});
        }
    }
    for (int index : {45, 64, 70, 84, 93}) addEffect(cases, {1, index, {640, 427, 3, 3}, kTexture4});
    for (int index : {66, 90}) addEffect(cases, {1, index, {257, 13, 3, 5}, kTexture3, kWideRegion});
    // Refused by the looks: 4-channel pictures, sizes that differ.
    for (int index : {3, 20, 29, 41, 65, 80})
        addEffect(cases, {1, index, {9, 7, 4, 0}, laysPicture(index) ? std::optional(kTexture3) : std::nullopt});
    addEffect(cases, {1, 19, {9, 7, 3, 1}, std::nullopt, std::nullopt, Shape{8, 7, 3, 0}});

    // Family 2: the vignette with a mask of several sizes, the radial falloff
    // without one.
    for (const Shape& src : inputShapes(3, true)) {
        addEffect(cases, {2, 0, src});
        addEffect(cases, {2, 0, src, kTexture3});
    }
    addEffect(cases, {2, 0, {257, 13, 3, 5}, Shape{1, 1, 3, 0}});
    addEffect(cases, {2, 0, {257, 13, 3, 5}, Shape{300, 2, 3, 1}});
    addEffect(cases, {2, 0, {257, 13, 3, 5}, kTexture3, kWideRegion});
    addEffect(cases, {2, 0, {257, 13, 3, 5}, std::nullopt, kWideRegion});
    addEffect(cases, {2, 0, {257, 13, 3, 5}, kTexture4}, "/refused");
    addEffect(cases, {2, 0, {9, 7, 4, 0}, kTexture3});

    // Family 3: a B, G, R, A frame over 3- and 4-channel pictures, with a
    // region, over a destination of another size, and refused frames.
    for (int channels : {3, 4}) {
        for (const Shape& src : inputShapes(channels, channels == 3)) addEffect(cases, {3, 0, src, kTexture4});
        addEffect(cases, {3, 0, {257, 13, channels, 5}, kTexture4, kWideRegion});
        addEffect(cases, {3, 0, {257, 13, channels, 5}, Shape{1, 1, 4, 0}});
        addEffect(cases, {3, 0, {30, 20, channels, 1}, kTexture4, std::nullopt, Shape{41, 17, channels, 2}});
        addEffect(cases, {3, 0, {257, 13, channels, 5}}, "/refused");
        addEffect(cases, {3, 0, {257, 13, channels, 5}, kTexture3}, "/refused");
    }
    static const EffectRegion empty{0, 3, 3, 0, 5};
    addEffect(cases, {3, 0, {9, 7, 3, 1}, kTexture4, empty}, "/refused");

    // Families that select nothing, and a null destination.
    for (int family : {0, 4, -1}) addEffect(cases, {family, 1, {9, 7, 3, 1}});
    cases.push_back({"AppplyEffect/null-dst", [](Hash& h) {
                         Picture src = makePicture({9, 7, 3, 1}, 1);
                         h.number(AppplyEffect(src.get(), nullptr, nullptr, 0, 1, 1, nullptr));
                         h.number(AppplyEffect(nullptr, src.get(), nullptr, 0, 1, 1, nullptr));
                         h.picture(src.get());
                     }});
}

}  // namespace golden
