// The ColorMap record: creation, copies, release, and the tone-table
// composition every tone setter goes through.
#include <cstring>
#include <new>

#include "phototools/color_map.h"
#include "phototools/curves.h"
#include "phototools/fixed.h"

namespace lumetra::pt {

namespace {

// Records are single zero-filled blocks from the global operator new, so
// one release serves all three kinds.
template <class Record>
Record* newRecord() {
    void* block = ::operator new(sizeof(Record));
    std::memset(block, 0, sizeof(Record));
    return static_cast<Record*>(block);
}

ColorMap* newColorMap() {
    ColorMap* m = newRecord<ColorMap>();
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i) m->byteTables[c][i] = static_cast<uint8_t>(i);
    for (int i = 0; i < kToneSize; ++i) m->toneTable[i] = static_cast<uint32_t>(i);
    for (int i = 0; i < 4; ++i) m->colorMatrix[i][i] = kQ15One;
    for (int& g : m->gain) g = kGainOne;
    m->saturation = kSaturationOne;
    for (int& shift : m->hueShift) shift = 100;
    for (int& sat : m->hueSat) sat = kSaturationOne;
    return m;
}

}  // namespace

int clampCurveValue(double v) {
    if (v > 1023.0) return kToneMax;
    if (!(v >= 0.0)) return 0;  // negative or not a number
    return static_cast<int>(v);
}

void composeCurve(const int32_t* curve, ColorMap& m) {
    // Producers keep curves in 0..1023; a host's curve or a hand-edited
    // table is held to that range so no entry can index outside the curve.
    for (uint32_t& entry : m.toneTable) {
        const uint32_t index = entry > static_cast<uint32_t>(kToneMax) ? kToneMax : entry;
        entry = static_cast<uint32_t>(clamp10(curve[index]));
    }
    m.adjustFlags |= kAdjustTone;
}

Transform* newTransform(int x, int y, int width, int height) {
    Transform* t = newRecord<Transform>();
    *t = Transform{x, y, width, height, kQ15One, 0, 0, 0, kQ15One, 0};
    return t;
}

Histography* newHistography() { return newRecord<Histography>(); }

}  // namespace lumetra::pt

using namespace lumetra::pt;

extern "C" {

LUMETRA_API ColorMap* LUMETRA_CALL ptNewColorMap(void) {
    return guarded<ColorMap*>(nullptr, [] { return newColorMap(); });
}

LUMETRA_API ColorMap* LUMETRA_CALL ptNewColorMapWithHistography(Histography* h) {
    return guarded<ColorMap*>(nullptr, [h] {
        ColorMap* m = newColorMap();
        if (h) std::memcpy(&m->histography, h, sizeof(Histography));
        return m;
    });
}

LUMETRA_API ColorMap* LUMETRA_CALL ptCloneColorMap(ColorMap* m) {
    if (!m) return nullptr;
    return guarded<ColorMap*>(nullptr, [m] {
        ColorMap* copy = newRecord<ColorMap>();
        std::memcpy(copy, m, sizeof(ColorMap));
        return copy;
    });
}

LUMETRA_API void LUMETRA_CALL ptDeleteColorMap(void* p) { ::operator delete(p); }
// The same function under the names of the other two records.
LUMETRA_API void LUMETRA_CALL ptDeleteHistography(void* p) __attribute__((alias("ptDeleteColorMap")));
LUMETRA_API void LUMETRA_CALL ptDeleteTransform(void* p) __attribute__((alias("ptDeleteColorMap")));

LUMETRA_API ColorMap* LUMETRA_CALL ptApplyCurveSP(ColorMap* m, const int* curve) {
    if (!m || !curve) return m;
    composeCurve(curve, *m);
    return m;
}

}  // extern "C"
