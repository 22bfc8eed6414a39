// The pixel subsystem's routines (compositing, textures, grain, frames), as
// the script interpreter and the numeric entry points call them. Each reads
// `src` and writes `dst` (which may be the same picture); `region` is the
// caller's view rectangle, null for the whole picture.
// Pictures passed as layers may be null where the command allows a missing
// picture; each routine checks what it needs before touching `dst`.
#pragma once

#include <opencv2/core/core_c.h>

#include "lumetra.h"
#include "pixel/blend_names.h"

namespace lumetra {

// Compositing.
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

// Frames. Both refuse, leaving dst as it is, a frame or piece that
// is null, not 8-bit B, G, R, A or wider than 65535, a region without area,
// and src and dst of different channel counts. applyFrame reads a src of
// another size centred on dst; applyFramePieces needs them of one size and
// a thickness that stays in the int range. `pieces` holds kFramePieces
// entries; any nonzero `tile` repeats the edges.
constexpr int kFramePieces = 8;
void applyFrame(const IplImage* src, IplImage* dst, const IplImage* frame, const EffectRegion* region);
void applyFramePieces(const IplImage* src, IplImage* dst, const IplImage* const* pieces, float thick, int tile,
                      const EffectRegion* region);

// A frame picture or piece: 8-bit B, G, R, A, 1 to kMaxLayerSide a side.
bool isFramePicture(const IplImage* picture);
// Whether pieces at `thick` can frame `picture` within `region`: the
// region has area and the thickness stays in the int range.
bool frameThicknessFits(const IplImage* picture, float thick, const EffectRegion* region);

}  // namespace lumetra
