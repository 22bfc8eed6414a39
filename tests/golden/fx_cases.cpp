// fx: every preset, the vignette and frame stages, and a loader that
// misbehaves. Each case renders a generated picture into a destination that
// starts with another pattern, so an untouched destination is visible too.
#include <climits>
#include <cstdio>
#include <optional>

#include "golden/sweep.h"

namespace golden {

namespace {

struct FxCall {
    int preset = -1;
    std::optional<std::string> vignette{};
    std::optional<std::string> frame{};
    std::optional<EffectRegion> region{};
    bool inPlace = false;
    LoaderMode loader = LoaderMode::plain;
};

const EffectRegion kWideRegion{0, -7, 4, 300, 40};  // the picture is a window of a larger canvas

std::string variantLabel(const FxCall& call) {
    std::string label;
    if (call.region) {
        const EffectRegion& r = *call.region;
        label += "/region=" + std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.width) + "x" +
                 std::to_string(r.height);
    }
    if (call.inPlace) label += "/in-place";
    static const char* const loaderNames[] = {"", "none", "other-channels", "grey", "16-bit", "tiny"};
    if (call.loader != LoaderMode::plain) label += std::string("/loader=") + loaderNames[static_cast<int>(call.loader)];
    return label;
}

void addFx(std::vector<Case>& cases, const std::string& routine, const Shape& shape, const FxCall& call) {
    cases.push_back({routine + "/" + shape.label() + variantLabel(call), [shape, call](Hash& h) {
                         Picture src = makePicture(shape, 1);
                         Picture separate = call.inPlace ? nullptr : makePicture(shape, 2);
                         IplImage* dst = call.inPlace ? src.get() : separate.get();
                         EffectRegion region = call.region.value_or(EffectRegion{});
                         fx(src.get(), dst, call.preset, call.vignette ? call.vignette->c_str() : nullptr,
                            call.frame ? call.frame->c_str() : nullptr, packLoader(),
                            call.region ? &region : nullptr, loaderData(call.loader));
                         h.picture(dst);
                         if (!call.inPlace) h.picture(src.get());  // the source stays as it was
                     }});
}

std::string presetName(int preset) {
    char text[16];
    std::snprintf(text, sizeof text, "fx/preset=%03d", preset);
    return text;
}

std::vector<std::string> vignetteNames() {
    std::vector<std::string> names;
    for (const PackEntry& entry : pack())
        if (entry.kind == IMAGE_KIND_VIGNETTE) names.push_back(entry.name);
    return names;
}

// Every frame type, the textured borders with several blend numbers, and
// texts that name nothing drawable.
const char* const kFrameSpecs[] = {
    "1,0.05,wood.png",        "1,0.05,film.png",        "2,0.05,wood",           "2,0.12,white",
    "3,0.05,film",            "3,0.08,wood",            "4,0.05,0,80,9,wood_a",  "4,0.1,1,60,3,film_a",
    "5,0.05,0,80,9,wood_a",   "5,0.07,0,100,16,white_a", "4,0.05,0,50,19,white_a", "0,0.05,wood",
    "6,0.05,wood",            "2,0.05,absent",          "4,0.05,0,80,25,wood_a", "x",
};

}  // namespace

void addPresetCases(std::vector<Case>& cases) {
    for (int preset = 0; preset < LUMETRA_PRESET_COUNT; ++preset) {
        const std::string routine = presetName(preset);
        for (const Shape& shape : inputShapes(3, preset % 3 == 0)) addFx(cases, routine, shape, {.preset = preset});
        addFx(cases, routine, {257, 13, 3, 5}, {.preset = preset, .region = kWideRegion});
        addFx(cases, routine, {3, 2, 3, 1}, {.preset = preset, .inPlace = true});
    }
    // Indexes past the catalogue skip the preset stage; the others still run.
    for (int preset : {LUMETRA_PRESET_COUNT, INT_MAX, INT_MIN})
        addFx(cases, presetName(preset), {3, 2, 3, 1},
              {.preset = preset, .vignette = "vignette_round.png", .frame = "2,0.05,wood"});
}

void addFxStageCases(std::vector<Case>& cases) {
    for (const std::string& vignette : vignetteNames()) {
        const std::string& name = vignette;
        for (const Shape& shape : inputShapes(3, true)) addFx(cases, "fx/vignette=" + name, shape, {.vignette = vignette});
        addFx(cases, "fx/vignette=" + name, {257, 13, 3, 5}, {.vignette = vignette, .region = kWideRegion});
    }
    addFx(cases, "fx/vignette=absent.png", {257, 13, 3, 5}, {.vignette = "absent.png"});
    for (const char* frame : kFrameSpecs) {
        const bool large = frame[0] != '0' && frame[0] != '6' && frame[0] != 'x';
        for (const Shape& shape : inputShapes(3, large)) addFx(cases, std::string("fx/frame=") + frame, shape, {.frame = frame});
        addFx(cases, std::string("fx/frame=") + frame, {257, 13, 3, 5}, {.frame = frame, .region = kWideRegion});
    }
    // All three stages in one call.
    for (int preset : {4, 37, 100, 152})
        addFx(cases, presetName(preset) + "+vignette+frame", {257, 13, 3, 5},
              {.preset = preset, .vignette = "vignette_soft.png", .frame = "5,0.05,0,80,9,wood_a", .region = kWideRegion});
}

void addFxLoaderCases(std::vector<Case>& cases) {
    for (LoaderMode mode : {LoaderMode::none, LoaderMode::otherChannels, LoaderMode::grey, LoaderMode::deep, LoaderMode::tiny}) {
        for (int preset = 0; preset < LUMETRA_PRESET_COUNT; ++preset)
            addFx(cases, presetName(preset), {257, 13, 3, 5}, {.preset = preset, .loader = mode});
        addFx(cases, "fx/vignette=vignette_round.png", {257, 13, 3, 5}, {.vignette = "vignette_round.png", .loader = mode});
        for (const char* frame : {"1,0.05,wood.png", "3,0.05,film", "5,0.05,0,80,9,wood_a"})
            addFx(cases, std::string("fx/frame=") + frame, {257, 13, 3, 5}, {.frame = frame, .loader = mode});
    }
    // Pictures fx refuses: the destination keeps its pattern.
    cases.push_back({"fx/refused/4-channel", [](Hash& h) {
                         Picture src = makePicture({5, 4, 4, 0}, 1), dst = makePicture({5, 4, 4, 0}, 2);
                         fx(src.get(), dst.get(), 4, nullptr, nullptr, packLoader(), nullptr, nullptr);
                         h.picture(dst.get());
                     }});
    cases.push_back({"fx/refused/size-mismatch", [](Hash& h) {
                         Picture src = makePicture({5, 4, 3, 0}, 1), dst = makePicture({4, 5, 3, 0}, 2);
                         fx(src.get(), dst.get(), 4, nullptr, "2,0.05,wood", packLoader(), nullptr, nullptr);
                         h.picture(dst.get());
                     }});
    cases.push_back({"fx/no-loader", [](Hash& h) {
                         Picture src = makePicture({257, 13, 3, 5}, 1), dst = makePicture({257, 13, 3, 5}, 2);
                         fx(src.get(), dst.get(), 20, "vignette_round.png", "2,0.05,wood", nullptr, nullptr, nullptr);
                         h.picture(dst.get());
                     }});
}

}  // namespace golden
