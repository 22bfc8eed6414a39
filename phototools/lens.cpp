// Lens setters and the set-up of their corrections for the renderer.
#include "phototools/lens.h"

#include "core/vignette_law.h"

namespace lumetra::pt {

bool prepareVignette(const ColorMap& m, int32_t side, int32_t cx, int32_t cy, Vignette& v) {
    const int64_t length = truncToInt(vignette_law::referenceLength(side, m.lensRadius));
    if (length < 1 || length > 46340) return false;
    v.brighten = vignette_law::brightens(m.lensAmount);
    v.r2 = length * length;
    v.inverse = vignette_law::inverseRadius2(v.r2);
    v.strength = vignette_law::strength(m.lensAmount);
    if (v.strength > (int64_t{1} << 24)) v.strength = int64_t{1} << 24;  // any more saturates every channel
    v.cx = cx;
    v.cy = cy;
    return true;
}

Matrix aberrationMatrix(const Matrix& base, int32_t value, int32_t cx, int32_t cy) {
    const int64_t k = static_cast<int64_t>(value) * 32768 / 50000;
    auto scaled = [k](int32_t entry) { return wrapAdd(entry, static_cast<int32_t>((entry * k) >> 15)); };
    Matrix m = base;
    m.a = scaled(base.a);
    m.b = scaled(base.b);
    m.d = scaled(base.d);
    m.e = scaled(base.e);
    m.c = wrapAdd(base.c, static_cast<int32_t>((base.c * k - cx * k) >> 15));
    m.f = wrapAdd(base.f, static_cast<int32_t>((base.f * k - cy * k) >> 15));
    return m;
}

}  // namespace lumetra::pt

extern "C" {

LUMETRA_API void LUMETRA_CALL ptLensCorrection(ColorMap* m, int amount, int radius) {
    if (!m) return;
    m->lensAmount = amount;
    m->lensRadius = radius;
}

LUMETRA_API ColorMap* LUMETRA_CALL ptAberration(ColorMap* m, int red, int blue) {
    if (!m) return m;
    m->aberration[0] = red;
    m->aberration[1] = blue;
    return m;
}

}  // extern "C"
