// Frame drawing has not landed yet: both routines leave the destination as
// it is. The frame specification is already parsed by the interpreter.
#include "engine/routines.h"

namespace lumetra {

void applyFrame(const IplImage*, IplImage*, const IplImage*, const EffectRegion*) {}
void applyFramePieces(const IplImage*, IplImage*, const IplImage* const*, float, int, const EffectRegion*) {}

}  // namespace lumetra
