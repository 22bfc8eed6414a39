#include "phototools/color_step.h"

#include <cstddef>

#include "phototools/curves.h"

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
