// Compositing routines that have not landed yet: each leaves the destination
// as it is. A routine moves out of this file into its own when it is built.
#include "engine/routines.h"

namespace lumetra {

void applyNoise(const IplImage*, IplImage*, const IplImage*, int, const EffectRegion*) {}
void applyNoiseD(const IplImage*, IplImage*, const IplImage*, const IplImage*, int, const EffectRegion*) {}

}  // namespace lumetra
