// "new_wb": black and white by hue-weighted grey mixes, toned through byte
// tables, several variants sharpened or softened with the Gaussian
// high-pass or blur and mixed back by 8-bit soft light or overlay. The whole
// picture is processed on bytes; a region changes nothing.
#include <algorithm>

#include "core/vector_clones.h"
#include "looks/bw_data.h"
#include "looks/routines.h"
#include "pixel/byte_mix.h"
#include "pixel/byte_walk.h"
#include "pixel/gaussian.h"

namespace lumetra {

namespace {

uint8_t clampByte(int32_t v) { return static_cast<uint8_t>(std::clamp<int32_t>(v, 0, 255)); }

// The toning of one grey byte into a B, G, R pixel.
void toneGrey(const ChannelTables& tone, int32_t grey, uint8_t* out) {
    out[0] = tone[0][grey];
    out[1] = tone[1][grey];
    out[2] = tone[2][grey];
}

// Variants 1 to 3: the toning of (g, g, g), g the grey mix of the pixel.
LUMETRA_VECTOR_CLONES void toneGreyMix(const IplImage* src, IplImage* dst, const BwWeights& w,
                                       const ChannelTables& tone) {
    forEachPixel(
        dst, [&](uint8_t* out, const uint8_t* in) { toneGrey(tone, bwMix(in[0], in[1], in[2], w), out); }, src);
}

// Variant 4: each channel moved by half the blur's change of luminance,
// then greyed and toned.
LUMETRA_VECTOR_CLONES void halfBlurLightGrey(const IplImage* src, const IplImage* blurred, IplImage* dst,
                                             const BwWeights& w, const ChannelTables& tone) {
    forEachPixel(
        dst,
        [&](uint8_t* out, const uint8_t* in, const uint8_t* soft) {
            const int32_t change = (luminanceSum(soft[0], soft[1], soft[2]) - luminanceSum(in[0], in[1], in[2]) + 8192) >> 15;
            const int32_t d = (change * 128 + 64) >> 8;
            const int32_t grey = bwMix(clampByte(in[0] + d), clampByte(in[1] + d), clampByte(in[2] + d), w);
            toneGrey(tone, grey, out);
        },
        src, blurred);
}

// Variant 5: 80 % of the soft light of the inverted high-pass (in dst) over
// the toned picture.
LUMETRA_AVX2_CLONES void softLightDetail80(const IplImage* toned, IplImage* dst) {
    forEachPixel(
        dst,
        [](uint8_t* out, const uint8_t* t) {
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<uint8_t>((t[c] * 52 + softLight8(t[c], out[c]) * 204 + 64) >> 8);
        },
        toned);
}

// The end of variants 6 and 7: 70 % grey, 30 % colour, then toned.
void greyThirtyAndTone(const int32_t* c, const BwWeights& w, const ChannelTables& tone, uint8_t* out) {
    const int32_t grey = bwMix(c[0], c[1], c[2], w);
    for (int i = 0; i < 3; ++i) out[i] = tone[static_cast<size_t>(i)][(c[i] * 77 + grey * 179 + 64) >> 8];
}

// Half the source, half its soft light under the sigma-15 detail.
void softLightHalf(const uint8_t* in, const uint8_t* detail, int32_t* c) {
    for (int i = 0; i < 3; ++i) c[i] = ((in[i] + softLight8(in[i], detail[i])) * 128 + 64) >> 8;
}

// Variant 6: the soft-light half, lit toward the sigma-5 detail's
// luminance (38/256 of the difference), then as variant 7.
LUMETRA_VECTOR_CLONES void detailLitGrey(const IplImage* src, const IplImage* detail15, const IplImage* detail5,
                                         IplImage* dst, const BwWeights& w, const ChannelTables& tone) {
    forEachPixel(
        dst,
        [&](uint8_t* out, const uint8_t* in, const uint8_t* coarse, const uint8_t* fine) {
            int32_t c[3];
            softLightHalf(in, coarse, c);
            const int32_t change = (luminanceSum(fine[0], fine[1], fine[2]) - luminanceSum(c[0], c[1], c[2]) + 8192) >> 15;
            const int32_t d = (change * 38 + 64) >> 8;
            for (int32_t& v : c) v = clampByte(v + d);
            greyThirtyAndTone(c, w, tone, out);
        },
        src, detail15, detail5);
}

// Variant 7.
LUMETRA_VECTOR_CLONES void detailGrey(const IplImage* src, const IplImage* detail15, IplImage* dst,
                                      const BwWeights& w, const ChannelTables& tone) {
    forEachPixel(
        dst,
        [&](uint8_t* out, const uint8_t* in, const uint8_t* coarse) {
            int32_t c[3];
            softLightHalf(in, coarse, c);
            greyThirtyAndTone(c, w, tone, out);
        },
        src, detail15);
}

// Variant 8: 20 % of the overlay of the high-pass (in dst) over the toned
// picture, then saturation to 90 %.
LUMETRA_AVX2_CLONES void overlayDetail20(const IplImage* toned, IplImage* dst) {
    forEachPixel(
        dst,
        [](uint8_t* out, const uint8_t* t) {
            int32_t c[3];
            for (int i = 0; i < 3; ++i) c[i] = (t[i] * 205 + overlay8(t[i], out[i]) * 51 + 64) >> 8;
            const int32_t l = luminance8(c[0], c[1], c[2]);
            for (int i = 0; i < 3; ++i) out[i] = clampByte((c[i] * 922 + l * 102 + 256) >> 10);
        },
        toned);
}

// Variant 9: the source's colours take on the brightness of the toned grey
// (235/256), with 21/256 of the toned grey itself.
LUMETRA_VECTOR_CLONES void bumpLight(const IplImage* src, IplImage* dst, const BwWeights& w, const ToningTable& bump) {
    forEachPixel(
        dst,
        [&](uint8_t* out, const uint8_t* in) {
            const int32_t t = bump[static_cast<size_t>(bwMix(in[0], in[1], in[2], w))];
            const int32_t d = (luminanceSum(t, t, t) - luminanceSum(in[0], in[1], in[2]) + 8192) >> 15;
            const int32_t c[3] = {in[0], in[1], in[2]};
            for (int i = 0; i < 3; ++i) out[i] = clampByte((t * 21 + (c[i] + d) * 235 + 64) >> 8);
        },
        src);
}

// Each variant makes its scratch pictures and filters before it touches dst.
void newWb4(const IplImage* src, IplImage* dst) {
    const OwnedImage blurred = createImageLike(src, 3);
    GaussianFilter blur10(10.0f, src->width);
    if (!blurred || !blur10.ready()) return;
    blur10.blur(src, blurred.get());
    halfBlurLightGrey(src, blurred.get(), dst, newWbWeights(4), newWbToning(4));
}

void newWb5(const IplImage* src, IplImage* dst) {
    const OwnedImage toned = createImageLike(src, 3);
    GaussianFilter highPass10(10.0f, src->width);
    if (!toned || !highPass10.ready()) return;
    applyChannelTables(src, toned.get(), newWbToning(5));
    highPass10.highPass(toned.get(), dst, true);
    softLightDetail80(toned.get(), dst);
}

void newWb6(const IplImage* src, IplImage* dst) {
    const OwnedImage detail15 = createImageLike(src, 3);
    const OwnedImage detail5 = createImageLike(src, 3);
    GaussianFilter highPass15(15.0f, src->width);
    GaussianFilter highPass5(5.0f, src->width);
    if (!detail15 || !detail5 || !highPass15.ready() || !highPass5.ready()) return;
    highPass15.highPass(src, detail15.get(), false);
    highPass5.highPass(src, detail5.get(), false);
    detailLitGrey(src, detail15.get(), detail5.get(), dst, newWbWeights(6), newWbToning(6));
}

void newWb7(const IplImage* src, IplImage* dst) {
    const OwnedImage detail15 = createImageLike(src, 3);
    GaussianFilter highPass15(15.0f, src->width);
    if (!detail15 || !highPass15.ready()) return;
    highPass15.highPass(src, detail15.get(), false);
    detailGrey(src, detail15.get(), dst, newWbWeights(7), newWbToning(7));
}

void newWb8(const IplImage* src, IplImage* dst) {
    const OwnedImage toned = createImageLike(src, 3);
    GaussianFilter highPass15(15.0f, src->width);
    if (!toned || !highPass15.ready()) return;
    applyChannelTables(src, toned.get(), newWbToning(8));
    highPass15.highPass(toned.get(), dst, false);
    overlayDetail20(toned.get(), dst);
}

}  // namespace

void applyNewWb(const IplImage* src, IplImage* dst, int variant, const EffectRegion*) {
    if (!bytePicturesUsable(src, dst)) return;
    switch (variant) {
        case 4: newWb4(src, dst); break;
        case 5: newWb5(src, dst); break;
        case 6: newWb6(src, dst); break;
        case 7: newWb7(src, dst); break;
        case 8: newWb8(src, dst); break;
        case 9: bumpLight(src, dst, newWbWeights(9), newWbToning(9)[0]); break;
        default: toneGreyMix(src, dst, newWbWeights(variant), newWbToning(variant)); break;  // 1 to 3, and others
    }
}

}  // namespace lumetra
