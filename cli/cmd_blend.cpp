// lumetra blend: not built yet.
#include "cli/cli.h"

namespace cli {

int runBlend(Arguments&) { throw UsageError("'blend' is not available in this build yet"); }

}  // namespace cli
