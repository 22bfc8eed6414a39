// lumetra adjust: not built yet.
#include "cli/cli.h"

namespace cli {

int runAdjust(Arguments&) { throw UsageError("'adjust' is not available in this build yet"); }

}  // namespace cli
