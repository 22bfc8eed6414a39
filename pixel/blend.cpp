#include "pixel/blend.h"

#include <cstring>

#include "core/image.h"
#include "pixel/blend_layer_op.h"
#include "pixel/canvas.h"
#include "pixel/pixel_walk.h"
#include "pixel/routines.h"

namespace lumetra {

namespace {

// What a blend fixes once per call, before any pixel is touched.
struct BlendSetup {
    CanvasWindow window;
    LayerTransform transform;
    int32_t opacity;
    int variant;  // 4 x keepAlpha + 2 x (4-channel base) + (4-channel layer)
    bool wide;    // the weight leaves 0..32768: mix with 64-bit products
};

BlendSetup prepareBlend(const IplImage* base, const IplImage* layer, int keepAlpha, int opacity, int fitMode,
                        const EffectRegion* region) {
    BlendSetup setup{};
    setup.window = canvasWindow(region, base);
    // Cover-centred first; modes 1 to 3 replace it, anything else keeps it.
    setup.transform = fitLayer(layer->width, layer->height, setup.window.width, setup.window.height, kFitCoverCentred);
    if (fitMode == kFitCoverTopLeft || fitMode == kFitStretch || fitMode == kFitStrip)
        setup.transform = fitLayer(layer->width, layer->height, setup.window.width, setup.window.height, fitMode);
    setup.opacity = opacity15(opacity);
    setup.variant = (keepAlpha ? 4 : 0) + (base->nChannels == 4 ? 2 : 0) + (layer->nChannels == 4 ? 1 : 0);
    setup.wide = setup.opacity < 0 || setup.opacity > kOne15;
    return setup;
}

template <class F, int BaseChannels, int LayerChannels, bool KeepAlpha, bool Wide>
void runVariant(const IplImage* base, IplImage* dst, const IplImage* layer, const BlendSetup& setup) {
    using Op = BlendLayerOp<F, BaseChannels, LayerChannels, KeepAlpha, Wide>;
    Op op(base, layer, setup.transform, setup.opacity);
    walkPixels<Op::kStoreChannels>(dst, setup.window, op);
}

template <class F, int BaseChannels, int LayerChannels, bool KeepAlpha>
void runVariant(const IplImage* base, IplImage* dst, const IplImage* layer, const BlendSetup& setup) {
    if (setup.wide)
        runVariant<F, BaseChannels, LayerChannels, KeepAlpha, true>(base, dst, layer, setup);
    else
        runVariant<F, BaseChannels, LayerChannels, KeepAlpha, false>(base, dst, layer, setup);
}

template <class F>
int blendMode(const IplImage* base, IplImage* dst, const IplImage* layer, int keepAlpha, int opacity, int fitMode,
              const EffectRegion* region) {
    if (!blendInputsUsable(base, dst, layer, keepAlpha, opacity, fitMode, region)) return 0;
    const BlendSetup setup = prepareBlend(base, layer, keepAlpha, opacity, fitMode, region);
    switch (setup.variant) {
        case 0: runVariant<F, 3, 3, false>(base, dst, layer, setup); break;
        case 1: runVariant<F, 3, 4, false>(base, dst, layer, setup); break;
        case 2: runVariant<F, 4, 3, false>(base, dst, layer, setup); break;
        case 3: runVariant<F, 4, 4, false>(base, dst, layer, setup); break;
        case 4: runVariant<F, 3, 3, true>(base, dst, layer, setup); break;
        case 5: runVariant<F, 3, 4, true>(base, dst, layer, setup); break;
        case 6: runVariant<F, 4, 3, true>(base, dst, layer, setup); break;
        default: runVariant<F, 4, 4, true>(base, dst, layer, setup); break;
    }
    return 0;
}

}  // namespace

const std::array<BlendEntry, kBlendModeCount> blendTable = {{
    {kBlendModeNames[0], blendMode<Opacity>},
    {kBlendModeNames[1], blendMode<Darken>},
    {kBlendModeNames[2], blendMode<Lighten>},
    {kBlendModeNames[3], blendMode<Multiply>},
    {kBlendModeNames[4], blendMode<Screen>},
    {kBlendModeNames[5], blendMode<ColorDodge>},
    {kBlendModeNames[6], blendMode<ColorBurn>},
    {kBlendModeNames[7], blendMode<LinearDodge>},
    {kBlendModeNames[8], blendMode<LinearBurn>},
    {kBlendModeNames[9], blendMode<Overlay>},
    {kBlendModeNames[10], blendMode<HardLight>},
    {kBlendModeNames[11], blendMode<SoftLight>},
    {kBlendModeNames[12], blendMode<VividLight>},
    {kBlendModeNames[13], blendMode<LinearLight>},
    {kBlendModeNames[14], blendMode<PinLight>},
    {kBlendModeNames[15], blendMode<HardMix>},
    {kBlendModeNames[16], blendMode<Difference>},
    {kBlendModeNames[17], blendMode<Exclude>},
    {kBlendModeNames[18], blendMode<Color>},
    {kBlendModeNames[19], blendMode<Luminosity>},
}};

int blendModeIndex(const char* name) {
    if (!name) return -1;
    for (int i = 0; i < kBlendModeCount; ++i)
        if (std::strcmp(name, blendTable[static_cast<size_t>(i)].name) == 0) return i;
    return -1;
}

bool blendInputsUsable(const IplImage* base, const IplImage* dst, const IplImage* layer, int keepAlpha, int opacity,
                       int fitMode, const EffectRegion* region) {
    if (!isBytePicture(base) || !isBytePicture(dst) || !isBytePicture(layer)) return false;
    if (base->width < dst->width || base->height < dst->height) return false;
    const bool storesAlpha = keepAlpha || base->nChannels == 4;
    if (dst->nChannels != (storesAlpha ? 4 : 3)) return false;
    if (storesAlpha && opacity15(opacity) < 0) return false;
    const CanvasWindow window = canvasWindow(region, base);
    if (!hasArea(window)) return false;
    return canFitLayer(layer->width, layer->height, window.width, window.height, fitMode);
}

int blendByName(const IplImage* base, IplImage* dst, const IplImage* layer, int keepAlpha, int opacity,
                const char* modeName, int fitMode, const EffectRegion* region) {
    const int index = blendModeIndex(modeName);
    if (index < 0) return 0;
    return blendTable[static_cast<size_t>(index)].blend(base, dst, layer, keepAlpha, opacity, fitMode, region);
}

}  // namespace lumetra
