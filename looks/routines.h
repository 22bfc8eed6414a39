// The looks' routines, as the script interpreter and the numeric entry
// points call them. Each reads `src` and writes `dst` (which may be the
// same picture); `region` is the caller's view rectangle, null for the
// whole picture.
// Pictures passed as layers may be null where the command allows a missing
// picture; each routine checks what it needs before touching `dst`.
#pragma once

#include <opencv2/core/core_c.h>

#include "lumetra.h"

namespace lumetra {

// Curve and colour looks.
void applyLomo(const IplImage* src, IplImage* dst, int variant, const EffectRegion* region);
void applyLomo2(const IplImage* src, IplImage* dst, int variant, const EffectRegion* region);
void applyColor(const IplImage* src, IplImage* dst, int variant, const EffectRegion* region);
void applyColor2(const IplImage* src, IplImage* dst, int variant, const EffectRegion* region);
void applyBwColor(const IplImage* src, IplImage* dst, int variant, const EffectRegion* region);
void applyColorEffect(const IplImage* src, IplImage* dst, int type, const EffectRegion* region);
void applyNewWb(const IplImage* src, IplImage* dst, int index, const EffectRegion* region);
void applyBaw(const IplImage* src, IplImage* dst, int type, const EffectRegion* region);
void applyVignetting(const IplImage* src, IplImage* dst, const IplImage* mask, float lowClip, float highClip,
                     float saturation, const EffectRegion* region);
void applyVignetting2(const IplImage* src, IplImage* dst, int amount, int exponent, float lowClip, float highClip,
                      float saturation, const EffectRegion* region);

// Signature looks.
void applyGlimmer(const IplImage* src, const IplImage* picture1, const IplImage* picture2, const IplImage* picture3,
                  IplImage* dst, int type, const EffectRegion* region);
void applyKailani(const IplImage* src, const IplImage* picture1, const IplImage* picture2, IplImage* dst, int type,
                  const EffectRegion* region);
void applyBeattle(const IplImage* src, const IplImage* picture1, const IplImage* picture2, const IplImage* picture3,
                  IplImage* dst, int type, const EffectRegion* region);
void applyJohnny(const IplImage* src, const IplImage* picture1, const IplImage* picture2, const IplImage* picture3,
                 IplImage* dst, int type, const EffectRegion* region);

// The fixed sepia matrix, on dst in place over the whole picture.
void applySepia(IplImage* dst);

}  // namespace lumetra
