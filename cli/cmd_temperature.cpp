// lumetra temperature: not built yet.
#include "cli/cli.h"

namespace cli {

int runTemperature(Arguments&) { throw UsageError("'temperature' is not available in this build yet"); }

}  // namespace cli
