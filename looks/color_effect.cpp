// "ColorEffect": a look made with the photo tools. The variant's settings
// go into a ColorMap through the exported setters (brightness, light/dark,
// white balance, lens correction, technicolor), ptApplyMap renders it, and
// at most one finishing step follows: a tone curve, a relief shading, a
// gradient soft light or a halftone duotone.
//
// The render goes straight into dst unless dst shares memory with src;
// then into a scratch picture copied to dst at the end. Every finishing
// step is a point operation or keeps the rows it still needs, so it runs
// in place. The whole picture is processed: the region is not used.
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "looks/color_effect_data.h"
#include "looks/color_effect_steps.h"
#include "looks/look_steps.h"
#include "looks/routines.h"
#include "looks/row_walk.h"

namespace lumetra {

namespace {

int truncated(float v) { return static_cast<int>(v); }

}  // namespace

OwnedMap colorEffectMap(const ColorEffectSettings& s) {
    OwnedMap map(ptNewColorMap());
    if (!map) return map;
    ptBrightnessSP(map.get(), truncated(s.brightness));
    ptLightDarkSP(map.get(), truncated(s.light), truncated(s.dark));
    ptWhiteBalanceSP(map.get(), s.temperature, s.green);
    ptLensCorrection(map.get(), truncated(s.lensAmount), truncated(s.lensRadius));
    const auto technicolor = [&map](const TechnicolorPreset& c) {
        ptTechnicolor(map.get(), c[0], c[1], c[2], c[3], c[4], c[5]);
    };
    if (s.useTechnicolorA) technicolor(kTechnicolorA);
    if (s.useTechnicolorC) technicolor(kTechnicolorC);
    return map;
}

namespace {

bool sharesMemory(const IplImage* a, const IplImage* b) {
    const auto start = [](const IplImage* p) { return reinterpret_cast<uintptr_t>(p->imageData); };
    const auto end = [&start](const IplImage* p) { return start(p) + size_t(p->height) * size_t(p->widthStep); };
    return start(a) < end(b) && start(b) < end(a);
}

LUMETRA_VECTOR_CLONES void finishingCurve(IplImage* picture, const CurveLutSet& luts) {
    lookWalk(picture, picture, canvasWindow(nullptr, picture), applyCurves(luts));
}

void copyRows(const IplImage* from, IplImage* to) {
    for (int y = 0; y < from->height; ++y) std::memcpy(rowOf(to, y), rowOf(from, y), 3 * size_t(from->width));
}

}  // namespace

void applyColorEffect(const IplImage* src, IplImage* dst, int variant, const EffectRegion*) {
    if (!lookPicturesUsable(src, dst)) return;
    const ColorEffectSettings s = colorEffectSettings(variant);

    // Everything that can fail is taken before dst is written.
    OwnedMap map = colorEffectMap(s);
    if (!map) return;
    OwnedImage scratch;
    if (sharesMemory(src, dst) && !(scratch = createImageLike(src, 3))) return;
    IplImage* picture = scratch ? scratch.get() : dst;
    std::optional<ReliefShading> relief;
    if (s.useRelief) relief.emplace(src->width, 8.0f, s.reliefMultiply);
    std::optional<GradientSoftLight> gradientA, gradientB;
    if (s.useGradientA) gradientA.emplace(src->width, kGradientA);
    if (s.useGradientB) gradientB.emplace(src->width, kGradientB);
    std::optional<HalftoneDuotone> duotone;
    if (s.useDuotoneYellow || s.useDuotoneGrey) {
        duotone.emplace(src);
        if (!duotone->ready()) return;
    }
    std::optional<CurveLutSet> curve;
    if (s.useCurves) curve = buildCurveLutSet(colorEffectCurve());

    // ptApplyMap writes every row or, refusing, none.
    if (ptApplyMap(const_cast<IplImage*>(src), nullptr, picture, map.get(), nullptr, nullptr) != 1) return;
    map.reset();

    if (curve) finishingCurve(picture, *curve);
    if (relief) relief->apply(picture);
    if (gradientB) gradientB->apply(picture);
    if (gradientA) gradientA->apply(picture);
    if (s.useDuotoneYellow) duotone->apply(picture, kDuotoneYellow);
    if (s.useDuotoneGrey) duotone->apply(picture, kDuotoneGrey);
    if (scratch) copyRows(scratch.get(), dst);
}

}  // namespace lumetra
