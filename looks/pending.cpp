// Looks that have not landed yet: each leaves the destination as it is.
// A look moves out of this file into its own when it is built.
#include "engine/routines.h"

namespace lumetra {

void applyGlimmer(const IplImage*, const IplImage*, const IplImage*, const IplImage*, IplImage*, int,
                  const EffectRegion*) {}
void applyKailani(const IplImage*, const IplImage*, const IplImage*, IplImage*, int, const EffectRegion*) {}
void applyBeattle(const IplImage*, const IplImage*, const IplImage*, const IplImage*, IplImage*, int,
                  const EffectRegion*) {}
void applyJohnny(const IplImage*, const IplImage*, const IplImage*, const IplImage*, IplImage*, int,
                 const EffectRegion*) {}

}  // namespace lumetra
