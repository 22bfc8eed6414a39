// AppplyTexture2: every blend mode, 3- and 4-channel sources and layers,
// opacities inside and outside 0..100, regions, and the refusals.
#include "golden/sweep.h"

namespace golden {

namespace {

const char* const kModes[] = {"opacity",     "darken",      "lighten",      "multiply",   "screen",
                              "color_dodge", "color_burn",  "linear_dodge", "linear_burn", "overlay",
                              "hard_light",  "soft_light",  "vivid_light",  "linear_light", "pin_light",
                              "hard_mix",    "difference",  "exclude",      "color",      "luminosity"};

struct BlendCall {
    Shape src;
    Shape layer;
    int opacity = 100;
    const char* mode = "opacity";
    const EffectRegion* region = nullptr;
    int dstChannels = 0;  // 0: as src
};

const EffectRegion kWideRegion{0, -9, 5, 301, 37};

void addBlend(std::vector<Case>& cases, const std::string& variant, const BlendCall& call) {
    const std::string name = std::string("AppplyTexture2/") + (call.mode ? call.mode : "null") + "/opacity=" +
                             std::to_string(call.opacity) + "/layer=" + call.layer.label() + "/" + call.src.label() + variant;
    cases.push_back({name, [call](Hash& h) {
                         Picture src = makePicture(call.src, 1);
                         Shape dstShape = call.src;
                         if (call.dstChannels) dstShape.channels = call.dstChannels;
                         Picture dst = makePicture(dstShape, 2);
                         Picture layer = makePicture(call.layer, 3);
                         EffectRegion region = call.region ? *call.region : EffectRegion{};
                         AppplyTexture2(src.get(), dst.get(), layer.get(), call.opacity, call.mode,
                                        call.region ? &region : nullptr);
                         h.picture(dst.get());
                         h.picture(src.get());
                     }});
}

}  // namespace

void addBlendCases(std::vector<Case>& cases) {
    for (const char* mode : kModes)
        for (int srcChannels : {3, 4})
            for (int layerChannels : {3, 4}) {
                const Shape layer{37, 23, layerChannels, layerChannels == 3 ? 2 : 0};
                for (const Shape& src : inputShapes(srcChannels, false))
                    for (int opacity : {100, 55}) addBlend(cases, "", {src, layer, opacity, mode});
                addBlend(cases, "/region=-9,5,301x37", {{257, 13, srcChannels, 5}, layer, 100, mode, &kWideRegion});
                addBlend(cases, "", {{257, 13, srcChannels, 5}, layer, srcChannels == 3 ? -30 : 130, mode});
                if (srcChannels != layerChannels) addBlend(cases, "", {{640, 427, srcChannels, 3}, layer, 75, mode});
            }
    // Layers of one row or column and of one pixel; a canvas the layer's
    // aspect ratio crops across the other axis.
    for (const Shape& layer : {Shape{1, 1, 4, 0}, Shape{1, 40, 3, 0}, Shape{40, 1, 4, 0}, Shape{3, 200, 3, 1}})
        for (const char* mode : {"overlay", "color"}) addBlend(cases, "", {{257, 13, 3, 5}, layer, 80, mode});
    // Refused: the destination keeps its pattern.
    const Shape layer{37, 23, 4, 0};
    addBlend(cases, "/refused", {{9, 7, 3, 1}, layer, 100, "Overlay"});
    addBlend(cases, "/refused", {{9, 7, 3, 1}, layer, 100, nullptr});
    addBlend(cases, "/refused", {{9, 7, 4, 0}, layer, -1, "screen"});
    addBlend(cases, "/refused/dst=4-channel", {{9, 7, 3, 1}, layer, 100, "screen", nullptr, 4});
    static const EffectRegion empty{0, 0, 0, 0, 7};
    addBlend(cases, "/refused/region=0x7", {{9, 7, 3, 1}, layer, 100, "screen", &empty});
    cases.push_back({"AppplyTexture2/refused/null-layer", [](Hash& h) {
                         Picture src = makePicture({9, 7, 3, 0}, 1), dst = makePicture({9, 7, 3, 0}, 2);
                         AppplyTexture2(src.get(), dst.get(), nullptr, 100, "screen", nullptr);
                         h.picture(dst.get());
                     }});
    // The vertical step's truncation where its remainder is 32767: a layer
    // whose second row is one below its first, on a canvas 32768 tall
    // (scale 1), so canvas row 1 samples at fy = 1 and
    // (t x 32767 + (t - 1) x 1) >> 15 = t - 1.
    cases.push_back({"AppplyTexture2/opacity/opacity=100/layer=2x2c3-row-step/3x2c3p1/region=0,0,3x32768", [](Hash& h) {
                         Picture src = makePicture({3, 2, 3, 1}, 1), dst = makePicture({3, 2, 3, 1}, 2);
                         Picture layer = makePicture({2, 2, 3, 0}, 3);
                         const uint8_t top[6] = {200, 101, 37, 150, 90, 12};
                         for (int i = 0; i < 6; ++i) {
                             layer->imageData[i] = static_cast<char>(top[i]);
                             layer->imageData[layer->widthStep + i] = static_cast<char>(top[i] - 1);
                         }
                         EffectRegion tall{0, 0, 0, 3, 32768};
                         AppplyTexture2(src.get(), dst.get(), layer.get(), 100, "opacity", &tall);
                         h.picture(dst.get());
                     }});
    cases.push_back({"AppplyTexture2/multiply/smaller-dst", [](Hash& h) {
                         Picture src = makePicture({30, 20, 3, 0}, 1), dst = makePicture({17, 11, 3, 2}, 2);
                         Picture layer = makePicture({37, 23, 4, 0}, 3);
                         AppplyTexture2(src.get(), dst.get(), layer.get(), 90, "multiply", nullptr);
                         h.picture(dst.get());
                     }});
}

}  // namespace golden
