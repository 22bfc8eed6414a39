// "texture": one texture laid over the prepared photo S by a fixed recipe.
// Each recipe below is its row of the recipe table: p = S, then its steps.
#include "engine/routines.h"
#include "pixel/texture_data.h"
#include "pixel/texture_steps.h"

namespace lumetra {

namespace {

// What every recipe reads: the photo with its measured levels, the texture
// and where it lies on the canvas.
struct TextureInputs {
    const IplImage* src;
    IplImage* dst;
    CanvasWindow window;
    AutoLevels levels;
    float k;
    const IplImage* texture;
    LayerTransform placed;

    auto start() const { return preparedSource(src, levels, k); }
    LayerSampler<3> t() const { return layer<3>(texture, placed); }
    LayerSampler<4> t4() const { return layer<4>(texture, placed); }
};

// V (slot 0) holds T, so the texture is sampled once for both steps; the
// last step puts the warm edge colour where the vignette gain G falls:
// p = mix15(C1, p, G), written as a step toward C1 by 32768 - G.
void recipe1(const TextureInputs& in) {
    const VignetteShape shape = prepareVignette(-32, -100, in.window.width, in.window.height);
    pixelWalk(in.dst, in.window,
              in.start() | keep<0>(in.t()) | step<LinearDodge>(scratch<0>(), 11141) |
                  step<Difference>(scratch<0>(), 21954) |
                  step<Opacity>(constant(kTexture1Edge), complement(vignetteWeight15(shape))));
}

void recipe2(const TextureInputs& in) { pixelWalk(in.dst, in.window, in.start() | step<Exclude>(in.t(), 16711)); }

void recipe3(const TextureInputs& in) {
    pixelWalk(in.dst, in.window, in.start() | step<ColorDodge>(in.t(), 20971));
}

void recipe4(const TextureInputs& in) { pixelWalk(in.dst, in.window, in.start() | step<Exclude>(in.t(), 32768)); }

// The burn reads T through the half-saturation matrix.
void recipe5(const TextureInputs& in) {
    pixelWalk(in.dst, in.window,
              in.start() | keep<0>(in.t()) | step<Screen>(scratch<0>(), 17039) |
                  step<ColorBurn>(matrixed(scratch<0>(), saturationMatrix(0.5)), 17367));
}

// S screened over itself.
void recipe6(const TextureInputs& in) {
    pixelWalk(in.dst, in.window,
              in.start() | keep<0>() | step<Screen>(scratch<0>(), 32768) | step<Opacity>(in.t4(), 16711) |
                  step<Color>(constant(kTexture6Tint), 11141));
}

// V (slot 1) is the grey average of T.
void recipe7(const TextureInputs& in) {
    pixelWalk(in.dst, in.window,
              in.start() | keep<0>(in.t()) | step<Exclude>(scratch<0>(), 28508) | keep<1>(greyAverage(scratch<0>())) |
                  step<LinearDodge>(scratch<1>(), 21299) | step<HardMix>(scratch<1>(), 5242));
}

// S multiplied by itself.
void recipe8(const TextureInputs& in) {
    pixelWalk(in.dst, in.window,
              in.start() | keep<0>() | step<Multiply>(scratch<0>(), 32768) | step<Overlay>(in.t4(), 32768));
}

void recipe9(const TextureInputs& in) {
    pixelWalk(in.dst, in.window,
              in.start() | step<Difference>(in.t4(), 26214) | step<PinLight>(constant(kTexture9Pin), 32768));
}

void recipe10(const TextureInputs& in) {
    pixelWalk(in.dst, in.window, in.start() | step<Luminosity>(in.t4(), 32768));
}

void recipe11(const TextureInputs& in) { pixelWalk(in.dst, in.window, in.start() | step<Opacity>(in.t4(), 32768)); }

// Recipes 6 and 8 to 13 read the texture's alpha.
int textureChannels(int index) { return index == 6 || index >= 8 ? 4 : 3; }

}  // namespace

void applyTexture(const IplImage* src, IplImage* dst, const IplImage* texture, int index,
                  const EffectRegion* region) {
    if (index < 1 || index > 13) return;
    const CanvasWindow window = canvasWindow(region, src);
    if (!textureCanvasUsable(src, dst, window) || !textureUsable(texture, textureChannels(index))) return;
    const TextureSetup& setup = textureSetup(index);
    const TextureInputs in{src,
                           dst,
                           window,
                           measureAutoLevels(src, region, setup.lowClip, setup.highClip),
                           setup.k,
                           texture,
                           fitLayer(texture->width, texture->height, window.width, window.height, setup.fit)};
    switch (index) {
        case 1: return recipe1(in);
        case 2: return recipe2(in);
        case 3: return recipe3(in);
        case 4: return recipe4(in);
        case 5: return recipe5(in);
        case 6: return recipe6(in);
        case 7: return recipe7(in);
        case 8: return recipe8(in);
        case 9: return recipe9(in);
        case 10: return recipe10(in);
        default: return recipe11(in);
    }
}

}  // namespace lumetra
