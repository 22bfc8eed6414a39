// lumetra assets: not built yet.
#include "cli/cli.h"

namespace cli {

int runAssets(Arguments&) { throw UsageError("'assets' is not available in this build yet"); }

}  // namespace cli
