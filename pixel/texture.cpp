// "texture": one texture laid over the prepared photo S by a fixed recipe.
// Each recipe below is its row of the recipe table: p = S, then its steps.
#include "core/vector_clones.h"
#include "pixel/routines.h"
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

    auto s() const { return prepareSource(levels, k); }
    LayerSampler<3> t() const { return layer<3>(texture, placed); }
    LayerSampler<4> t4() const { return layer<4>(texture, placed); }
};

// Each recipe runs a row at a time (looks/row_walk.h), compiled for AVX2
// and for the baseline.

// T is read by two steps. The last step puts the warm edge colour where
// the vignette gain G falls: p = mix15(C1, p, G), written as a step toward
// C1 by 32768 - G.
LUMETRA_VECTOR_CLONES void recipe1(const TextureInputs& in) {
    const VignetteShape shape = prepareVignette(-32, -100, in.window.width, in.window.height);
    LayerSampler<3> t = in.t();
    lookWalk(in.src, in.dst, in.window,
             in.s() | sampling(t) | step<LinearDodge>(sampled(t), 11141) | step<Difference>(sampled(t), 21954) |
                 step<Opacity>(constant(kTexture1Edge), complement(vignetteWeight15(shape))));
}

LUMETRA_VECTOR_CLONES void recipe2(const TextureInputs& in) {
    lookWalk(in.src, in.dst, in.window, in.s() | step<Exclude>(in.t(), 16711));
}

LUMETRA_VECTOR_CLONES void recipe3(const TextureInputs& in) {
    lookWalk(in.src, in.dst, in.window, in.s() | step<ColorDodge>(in.t(), 20971));
}

LUMETRA_VECTOR_CLONES void recipe4(const TextureInputs& in) {
    lookWalk(in.src, in.dst, in.window, in.s() | step<Exclude>(in.t(), 32768));
}

// The burn reads T through the half-saturation matrix.
LUMETRA_VECTOR_CLONES void recipe5(const TextureInputs& in) {
    LayerSampler<3> t = in.t();
    lookWalk(in.src, in.dst, in.window,
             in.s() | sampling(t) | step<Screen>(sampled(t), 17039) |
                 step<ColorBurn>(matrixed(sampled(t), saturationMatrix(0.5)), 17367));
}

// V = S: S screened over itself.
LUMETRA_VECTOR_CLONES void recipe6(const TextureInputs& in) {
    lookWalk(
        in.src, in.dst, in.window,
        in.s() | selfStep<Screen>(32768) | step<Opacity>(in.t4(), 16711) | step<Color>(constant(kTexture6Tint), 11141));
}

// V = the grey average of T.
LUMETRA_VECTOR_CLONES void recipe7(const TextureInputs& in) {
    LayerSampler<3> t = in.t();
    lookWalk(in.src, in.dst, in.window,
             in.s() | sampling(t) | step<Exclude>(sampled(t), 28508) |
                 step<LinearDodge>(greyAverage(sampled(t)), 21299) | step<HardMix>(greyAverage(sampled(t)), 5242));
}

// V = S: S multiplied by itself.
LUMETRA_VECTOR_CLONES void recipe8(const TextureInputs& in) {
    lookWalk(in.src, in.dst, in.window, in.s() | selfStep<Multiply>(32768) | step<Overlay>(in.t4(), 32768));
}

LUMETRA_VECTOR_CLONES void recipe9(const TextureInputs& in) {
    lookWalk(in.src, in.dst, in.window,
             in.s() | step<Difference>(in.t4(), 26214) | step<PinLight>(constant(kTexture9Pin), 32768));
}

LUMETRA_VECTOR_CLONES void recipe10(const TextureInputs& in) {
    lookWalk(in.src, in.dst, in.window, in.s() | step<Luminosity>(in.t4(), 32768));
}

LUMETRA_VECTOR_CLONES void recipe11(const TextureInputs& in) {
    lookWalk(in.src, in.dst, in.window, in.s() | step<Opacity>(in.t4(), 32768));
}

// Recipes 6 and 8 to 13 read the texture's alpha.
int textureChannels(int index) { return index == 6 || index >= 8 ? 4 : 3; }

}  // namespace

void applyTexture(const IplImage* src, IplImage* dst, const IplImage* texture, int index, const EffectRegion* region) {
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
        case 1:
            return recipe1(in);
        case 2:
            return recipe2(in);
        case 3:
            return recipe3(in);
        case 4:
            return recipe4(in);
        case 5:
            return recipe5(in);
        case 6:
            return recipe6(in);
        case 7:
            return recipe7(in);
        case 8:
            return recipe8(in);
        case 9:
            return recipe9(in);
        case 10:
            return recipe10(in);
        default:
            return recipe11(in);
    }
}

}  // namespace lumetra
