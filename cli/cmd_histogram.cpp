// lumetra histogram: not built yet.
#include "cli/cli.h"

namespace cli {

int runHistogram(Arguments&) { throw UsageError("'histogram' is not available in this build yet"); }

}  // namespace cli
