// Looks that have not landed yet: each leaves the destination as it is.
// A look moves out of this file into its own when it is built.
#include "engine/routines.h"

namespace lumetra {

void applyColorEffect(const IplImage*, IplImage*, int, const EffectRegion*) {}
void applyNewWb(const IplImage*, IplImage*, int, const EffectRegion*) {}
void applyBaw(const IplImage*, IplImage*, int, const EffectRegion*) {}

}  // namespace lumetra
