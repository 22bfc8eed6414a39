// "muti_texture": two to five textures laid over the prepared photo S in
// turn, each through its own sampler and placement. Texture n is element
// n - 1 of the list.
#include <optional>

#include "core/vector_clones.h"
#include "pixel/corner_fits.h"
#include "pixel/routines.h"
#include "pixel/texture_data.h"
#include "pixel/texture_steps.h"

namespace lumetra {

namespace {

struct MutiInputs {
    const IplImage* src;
    IplImage* dst;
    CanvasWindow window;
    AutoLevels levels;
    const IplImage* const* textures;

    const IplImage* texture(int n) const { return textures[n - 1]; }
    auto s() const { return prepareSource(levels, 1.0f); }
    // Texture n placed by a fit mode computed for texture `from`.
    LayerTransform fit(int from, int fitMode) const {
        const IplImage* t = texture(from);
        return fitLayer(t->width, t->height, window.width, window.height, fitMode);
    }
    template <int Channels>
    LayerSampler<Channels> t(int n, const LayerTransform& placed) const {
        return layer<Channels>(texture(n), placed);
    }
};

// Each recipe runs a row at a time (looks/row_walk.h), compiled for AVX2
// and for the baseline.

// Textures 2 and 1 share the stretch computed for texture 1.
LUMETRA_VECTOR_CLONES void recipe1(const MutiInputs& in) {
    const LayerTransform shared = in.fit(1, kFitStretch);
    lookWalk(in.src, in.dst, in.window,
             in.s() | step<HardLight>(in.t<3>(3, in.fit(3, kFitCoverTopLeft)), 18350) |
                 step<Overlay>(in.t<4>(2, shared), 32768) | step<SoftLight>(in.t<4>(1, shared), 32768));
}

LUMETRA_VECTOR_CLONES void recipe2(const MutiInputs& in, const LayerTransform& corner) {
    lookWalk(in.src, in.dst, in.window,
             in.s() | step<LinearLight>(in.t<3>(2, in.fit(2, kFitStretch)), 24248) |
                 step<Opacity>(in.t<4>(1, corner), 32768));
}

LUMETRA_VECTOR_CLONES void recipe3(const MutiInputs& in, const LayerTransform& shifted) {
    lookWalk(in.src, in.dst, in.window,
             in.s() | step<Opacity>(in.t<3>(2, in.fit(2, kFitStretch)), 32768) |
                 step<Multiply>(in.t<3>(3, in.fit(3, kFitCoverTopLeft)), 32768) |
                 step<Opacity>(in.t<3>(1, shifted), 32768));
}

// All three share the centred cover computed for texture 2. Vivid light
// can carry p far past white, so it and the step after it run wide.
LUMETRA_VECTOR_CLONES void recipe4(const MutiInputs& in) {
    const LayerTransform shared = in.fit(2, kFitCoverCentred);
    lookWalk(in.src, in.dst, in.window,
             in.s() | step<Screen>(in.t<3>(2, shared), 32768) | wideStep<VividLight>(in.t<3>(3, shared), 22609) |
                 wideStep<Multiply>(in.t<3>(1, shared), 28180));
}

// All five share the stretch computed for texture 5.
LUMETRA_VECTOR_CLONES void recipe5(const MutiInputs& in) {
    const LayerTransform shared = in.fit(5, kFitStretch);
    lookWalk(in.src, in.dst, in.window,
             in.s() | step<Opacity>(in.t<4>(5, shared), 32768) | step<Overlay>(in.t<4>(4, shared), 32768) |
                 step<Exclude>(in.t<4>(3, shared), 32768) | step<Screen>(in.t<4>(2, shared), 32768) |
                 step<ColorBurn>(in.t<4>(1, shared), 32768));
}

// The channel count each recipe reads from textures 1, 2, ... (0 ends).
constexpr int kChannels[5][6] = {
    {4, 4, 3, 0},        // 1
    {4, 3, 0},           // 2
    {3, 3, 3, 0},        // 3
    {3, 3, 3, 0},        // 4
    {4, 4, 4, 4, 4, 0},  // 5
};

bool texturesUsable(const IplImage* const* textures, int index) {
    const int* channels = kChannels[index - 1];
    for (int n = 0; channels[n] != 0; ++n)
        if (!textureUsable(textures[n], channels[n])) return false;
    return true;
}

}  // namespace

void applyMutiTexture(const IplImage* src, IplImage* dst, const IplImage* const* textures, int index,
                      const EffectRegion* region) {
    if (index < 1 || index > 5 || !textures) return;
    const CanvasWindow window = canvasWindow(region, src);
    if (!textureCanvasUsable(src, dst, window) || !texturesUsable(textures, index)) return;
    const IplImage* first = textures[0];
    std::optional<LayerTransform> corner;
    if (index == 2) corner = fitOneThirdTopRight(first->width, first->height, window.width, window.height);
    if (index == 3) corner = fitOneAndHalfShifted(first->width, first->height, window.width, window.height);
    if ((index == 2 || index == 3) && !corner) return;

    const ClipPair clips = mutiTextureClips(index);
    const MutiInputs in{src, dst, window, measureAutoLevels(src, region, clips.lowClip, clips.highClip), textures};
    switch (index) {
        case 1:
            return recipe1(in);
        case 2:
            return recipe2(in, *corner);
        case 3:
            return recipe3(in, *corner);
        case 4:
            return recipe4(in);
        default:
            return recipe5(in);
    }
}

}  // namespace lumetra
