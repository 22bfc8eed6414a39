// "noise" and "noise_d": the photo toned through per-channel tables, partly
// greyed, softened or sharpened on bytes, then one or two grain plates laid
// over it with the blend modes. The byte passes cover the whole picture; the
// region only places the plates (and the blurred copies laid like them).
#include <algorithm>

#include "core/vector_clones.h"
#include "pixel/blend.h"
#include "pixel/byte_mix.h"
#include "pixel/byte_walk.h"
#include "pixel/gaussian.h"
#include "pixel/grain_data.h"
#include "pixel/routines.h"

namespace lumetra {

namespace {

// A layer over dst in place, laid cover-centred on the region's canvas.
void layOver(IplImage* dst, const IplImage* layer, const char* mode, int opacity, const EffectRegion* region) {
    blendByName(dst, dst, layer, 0, opacity, mode, kFitCoverCentred, region);
}

// A plate the recipes can lay over dst: 3 channels, and a fit on the
// region's canvas (which needs a region with area).
bool plateUsable(const IplImage* dst, const IplImage* plate, const EffectRegion* region) {
    return isBytePicture(plate, 3) && blendInputsUsable(dst, dst, plate, 0, 100, kFitCoverCentred, region);
}

// Each channel mixed with the pixel's rounded luminance L:
// (c * keep + L * grey + 256) >> 10, held to 0..255.
struct SaturationMix {
    int32_t keep;
    int32_t grey;
    void apply(uint8_t* px) const {
        const int32_t l = luminance8(px[0], px[1], px[2]);
        for (int c = 0; c < 3; ++c)
            px[c] = static_cast<uint8_t>(std::clamp<int32_t>((px[c] * keep + l * grey + 256) >> 10, 0, 255));
    }
};
constexpr SaturationMix kSaturation70{717, 307};
constexpr SaturationMix kSaturation80{820, 204};
constexpr SaturationMix kSaturation156{1600, -576};

// dst = the toning of src, then the saturation mix.
LUMETRA_VECTOR_CLONES void toneAndSaturate(const IplImage* src, IplImage* dst, const ChannelTables& tone,
                                           SaturationMix saturation) {
    forEachPixel(
        dst,
        [&](uint8_t* out, const uint8_t* in) {
            out[0] = tone[0][in[0]];
            out[1] = tone[1][in[1]];
            out[2] = tone[2][in[2]];
            saturation.apply(out);
        },
        src);
}

LUMETRA_VECTOR_CLONES void saturate(IplImage* dst, SaturationMix saturation) {
    forEachPixel(dst, [&](uint8_t* out) { saturation.apply(out); });
}

// t = the toning of src, each channel a mixed with 17 % of its overlay
// with the pixel's grey: (a * 213 + overlay8(a, grey) * 43 + 64) >> 8.
LUMETRA_VECTOR_CLONES void toneWithGreyOverlay(const IplImage* src, IplImage* t, const ChannelTables& tone) {
    forEachPixel(
        t,
        [&](uint8_t* out, const uint8_t* in) {
            const int32_t a[3] = {tone[0][in[0]], tone[1][in[1]], tone[2][in[2]]};
            const int32_t grey = bwMix(a[0], a[1], a[2], kNoise1Grey);
            for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>((a[c] * 213 + overlay8(a[c], grey) * 43 + 64) >> 8);
        },
        src);
}

// dst = softLight8(base, dst), channel by channel.
LUMETRA_VECTOR_CLONES void softLightOnto(const IplImage* base, IplImage* dst) {
    forEachPixel(
        dst,
        [](uint8_t* out, const uint8_t* b) {
            for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(softLight8(b[c], out[c]));
        },
        base);
}

// dst = 60 % sharp, 40 % blurred (dst holds the blurred picture).
LUMETRA_VECTOR_CLONES void mixSharpAndBlurred(const IplImage* sharp, IplImage* dst) {
    forEachPixel(
        dst,
        [](uint8_t* out, const uint8_t* s) {
            for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>((s[c] * 154 + out[c] * 102 + 64) >> 8);
        },
        sharp);
}

void noise1(const IplImage* src, IplImage* dst, const IplImage* plate, const EffectRegion* region) {
    const OwnedImage toned = createImageLike(src, 3);
    GaussianFilter highPass10(10.0f, src->width);
    if (!toned || !highPass10.ready()) return;
    toneWithGreyOverlay(src, toned.get(), noiseToning(1));
    highPass10.highPass(toned.get(), dst, true);
    softLightOnto(toned.get(), dst);
    layOver(dst, plate, "soft_light", 100, region);
}

void noise2(const IplImage* src, IplImage* dst, const IplImage* plate, const EffectRegion* region) {
    const OwnedImage toned = createImageLike(src, 3);
    GaussianFilter blur40(40.0f, src->width);
    if (!toned || !blur40.ready()) return;
    applyChannelTables(src, toned.get(), noiseToning(2));
    layOver(toned.get(), plate, "soft_light", 100, region);
    blur40.blur(toned.get(), dst);
    mixSharpAndBlurred(toned.get(), dst);
}

void noise3(const IplImage* src, IplImage* dst, const IplImage* plate, const EffectRegion* region) {
    toneAndSaturate(src, dst, noiseToning(3), kSaturation70);
    layOver(dst, plate, "soft_light", 100, region);
}

}  // namespace

void applyNoise(const IplImage* src, IplImage* dst, const IplImage* plate, int index, const EffectRegion* region) {
    if (!bytePicturesUsable(src, dst) || !plateUsable(dst, plate, region)) return;
    switch (index) {
        case 2: noise2(src, dst, plate, region); break;
        case 3: noise3(src, dst, plate, region); break;
        default: noise1(src, dst, plate, region); break;
    }
}

namespace {

void noiseD1(const IplImage* src, IplImage* dst, const IplImage* plate1, const IplImage* plate2,
             const EffectRegion* region) {
    applyChannelTables(src, dst, noiseDToning(1));
    layOver(dst, plate1, "soft_light", 30, region);
    layOver(dst, plate2, "soft_light", 100, region);
    saturate(dst, kSaturation80);
}

void noiseD2(const IplImage* src, IplImage* dst, const IplImage* plate1, const IplImage* plate2,
             const EffectRegion* region) {
    toneAndSaturate(src, dst, noiseDToning(2), kSaturation156);
    layOver(dst, plate1, "overlay", 100, region);
    layOver(dst, plate2, "soft_light", 100, region);
}

void noiseD3(const IplImage* src, IplImage* dst, const IplImage* plate1, const IplImage* plate2,
             const EffectRegion* region) {
    const OwnedImage glow = createImageLike(src, 3);
    GaussianFilter blur40(40.0f, src->width);
    if (!glow || !blur40.ready()) return;
    applyChannelTables(src, dst, noiseDToning(3));
    blur40.blur(dst, glow.get());
    layOver(dst, glow.get(), "opacity", 30, region);
    layOver(dst, plate1, "overlay", 100, region);
    layOver(dst, plate2, "overlay", 20, region);
}

void noiseD4(const IplImage* src, IplImage* dst, const IplImage* plate1, const IplImage* plate2,
             const EffectRegion* region) {
    const OwnedImage detail = createImageLike(src, 3);
    GaussianFilter highPass10(10.0f, src->width);
    if (!detail || !highPass10.ready()) return;
    applyChannelTables(src, dst, noiseDToning(4));
    highPass10.highPass(dst, detail.get(), true);
    layOver(dst, detail.get(), "soft_light", 50, region);
    layOver(dst, plate1, "soft_light", 100, region);
    layOver(dst, plate2, "soft_light", 100, region);
}

}  // namespace

void applyNoiseD(const IplImage* src, IplImage* dst, const IplImage* plate1, const IplImage* plate2, int index,
                 const EffectRegion* region) {
    if (index < 1 || index > kNoiseDRecipes) return;
    if (!bytePicturesUsable(src, dst) || !plateUsable(dst, plate1, region) || !plateUsable(dst, plate2, region)) return;
    // Recipes 3 and 4 lay a blurred or sharpened copy of dst like a plate.
    if (index >= 3 && !plateUsable(dst, dst, region)) return;
    switch (index) {
        case 1: noiseD1(src, dst, plate1, plate2, region); break;
        case 2: noiseD2(src, dst, plate1, plate2, region); break;
        case 3: noiseD3(src, dst, plate1, plate2, region); break;
        default: noiseD4(src, dst, plate1, plate2, region); break;
    }
}

}  // namespace lumetra
