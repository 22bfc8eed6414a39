// The effect routines the script interpreter and the numeric entry points
// call. Each reads `src` and writes `dst` (which may be the same picture);
// `region` is the caller's view rectangle, null for the whole picture.
// Pictures passed as layers may be null where the command allows a missing
// picture; each routine checks what it needs before touching `dst`.
#pragma once

#include <opencv2/core/core_c.h>

#include "lumetra.h"

namespace lumetra {

// Curve and colour looks (looks/).
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

// Signature looks (looks/).
void applyGlimmer(const IplImage* src, const IplImage* picture1, const IplImage* picture2, const IplImage* picture3,
                  IplImage* dst, int type, const EffectRegion* region);
void applyKailani(const IplImage* src, const IplImage* picture1, const IplImage* picture2, IplImage* dst, int type,
                  const EffectRegion* region);
void applyBeattle(const IplImage* src, const IplImage* picture1, const IplImage* picture2, const IplImage* picture3,
                  IplImage* dst, int type, const EffectRegion* region);
void applyJohnny(const IplImage* src, const IplImage* picture1, const IplImage* picture2, const IplImage* picture3,
                 IplImage* dst, int type, const EffectRegion* region);

// Compositing (pixel/).
int blendByName(const IplImage* base, IplImage* dst, const IplImage* layer, int keepAlpha, int opacity,
                const char* modeName, int fitMode, const EffectRegion* region);
void applyTexture(const IplImage* src, IplImage* dst, const IplImage* texture, int type, const EffectRegion* region);
void applyTexture3(const IplImage* src, IplImage* dst, const IplImage* texture, int type, const EffectRegion* region);
void applyBwTexture(const IplImage* src, IplImage* dst, const IplImage* texture, int type, const EffectRegion* region);
// `textures` holds kMaxMutiTextures entries; those past the count read from
// the script are null.
constexpr int kMaxMutiTextures = 10;
void applyMutiTexture(const IplImage* src, IplImage* dst, const IplImage* const* textures, int type,
                      const EffectRegion* region);
void applyNoise(const IplImage* src, IplImage* dst, const IplImage* plate, int index, const EffectRegion* region);
void applyNoiseD(const IplImage* src, IplImage* dst, const IplImage* plate1, const IplImage* plate2, int index,
                 const EffectRegion* region);

// Frames (engine/). Both refuse, leaving dst as it is, a frame or piece that
// is null, not 8-bit B, G, R, A or wider than 65535, a region without area,
// and src and dst of different channel counts. applyFrame reads a src of
// another size centred on dst; applyFramePieces needs them of one size and
// a thickness that stays in the int range. `pieces` holds kFramePieces
// entries; any nonzero `tile` repeats the edges.
constexpr int kFramePieces = 8;
void applyFrame(const IplImage* src, IplImage* dst, const IplImage* frame, const EffectRegion* region);
void applyFramePieces(const IplImage* src, IplImage* dst, const IplImage* const* pieces, float thick, int tile,
                      const EffectRegion* region);

// The fixed sepia matrix, on dst in place over the whole picture (engine/).
void applySepia(IplImage* dst);

}  // namespace lumetra
