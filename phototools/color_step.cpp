#include "phototools/color_step.h"

#include <cstddef>

#include "phototools/curves.h"
#include "pixel/vector_clones.h"

namespace lumetra::pt {

namespace {

int32_t heldSaturation(int32_t saturation) {
    return saturation > kWhite15 ? kWhite15 : (saturation < -kWhite15 ? -kWhite15 : saturation);
}

// tone(L): the 10-bit table read at L * 1023 / 32640 and scaled back.
int32_t toneOf(const ColorMap& m, int32_t l) {
    const int32_t index = (l * 1023) / 32640;
    const uint32_t entry = m.toneTable[index < kToneSize ? index : kToneMax];
    const int32_t value = entry > static_cast<uint32_t>(kToneMax) ? kToneMax : static_cast<int32_t>(entry);
    return (value * 32640) / 1023;
}

}  // namespace

// Written as selects without branches so that it vectorises. Every product
// stays inside 32 bits: inputs are 0..65535, so |offset| <= 65535 and the
// luminance sum is below 32768 * 65536; the saturation is held to +-32767.
LUMETRA_VECTOR_CLONES
void saturateRow(int32_t* __restrict r, int32_t* __restrict g, int32_t* __restrict b, int n, int32_t saturation,
                 uint8_t* __restrict ranking, uint8_t* __restrict flag) {
    for (int i = 0; i < n; ++i) {
        const int32_t red = r[i], green = g[i], blue = b[i];
        const int32_t l = (9798 * red + 19234 * green + 3736 * blue) >> 15;
        const int32_t hi = std::max(red, std::max(green, blue));
        const int32_t lo = std::min(red, std::min(green, blue));
        const int32_t dmax = ((hi - l) * saturation) >> 8;
        const int32_t dmin = ((lo - l) * saturation) >> 8;
        // Masks: all ones for a white pixel, for a pixel left to the full rule.
        const int32_t white = -static_cast<int32_t>(l > kWhite15);
        const int32_t outside = ~white & -static_cast<int32_t>((l + dmax > kWhite15) | (l + dmin < 0));
        const auto pick = [white, outside](int32_t input, int32_t saturated) {
            const int32_t kept = (saturated & ~outside) | (input & outside);
            return (kept & ~white) | (kWhite15 & white);
        };
        const auto held = [](int32_t v) { return std::min(std::max(v, 0), kWhite15); };
        r[i] = pick(red, held(l + (((red - l) * saturation) >> 8)));
        g[i] = pick(green, held(l + (((green - l) * saturation) >> 8)));
        b[i] = pick(blue, held(l + (((blue - l) * saturation) >> 8)));
        flag[i] = static_cast<uint8_t>(outside & 1);
        // rankingOf in arithmetic: green <= blue gives 3, 4 or 5, else 0, 1 or 2.
        const int32_t greenLow = 3 + (green <= red) * (1 + (blue <= red));
        const int32_t greenHigh = (red <= green) * (1 + (red <= blue));
        ranking[i] = static_cast<uint8_t>(greenHigh + (green <= blue) * (greenLow - greenHigh));
    }
}

ColorTables prepareColorTables(const ColorMap& m, bool tone, bool perHue) {
    ColorTables t;
    t.saturation = heldSaturation(m.saturation);
    t.rotation = m.hueRotation;
    t.hueShift = m.hueShift;
    t.hueSat = m.hueSat;
    t.hueLight = m.hueLight;
    if (!tone && !perHue) return t;

    t.inverseEnvelope.resize(65536);
    for (int32_t l = 0; l < 65536; ++l) {
        int32_t moved = l;
        t.inverseEnvelope[static_cast<std::size_t>(l)] = 268435456 / oldEnvelope(moved);
    }
    t.tone.resize(kWhite15 + 1);
    t.envelope.resize(kWhite15 + 1);
    for (int32_t l = 0; l <= kWhite15; ++l) {
        t.tone[static_cast<std::size_t>(l)] = tone ? toneOf(m, l) : l;
        t.envelope[static_cast<std::size_t>(l)] =
            static_cast<int32_t>((static_cast<int64_t>(envelopeE(l)) * 109 * t.saturation) >> 22);
    }
    return t;
}

}  // namespace lumetra::pt
