// Compositing routines that have not landed yet: each leaves the destination
// as it is. A routine moves out of this file into its own when it is built.
#include "engine/routines.h"

namespace lumetra {

void applyTexture(const IplImage*, IplImage*, const IplImage*, int, const EffectRegion*) {}
void applyTexture3(const IplImage*, IplImage*, const IplImage*, int, const EffectRegion*) {}
void applyBwTexture(const IplImage*, IplImage*, const IplImage*, int, const EffectRegion*) {}
void applyMutiTexture(const IplImage*, IplImage*, const IplImage* const*, int, const EffectRegion*) {}

}  // namespace lumetra
