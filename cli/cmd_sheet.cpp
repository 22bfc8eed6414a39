// lumetra sheet: not built yet.
#include "cli/cli.h"

namespace cli {

int runSheet(Arguments&) { throw UsageError("'sheet' is not available in this build yet"); }

}  // namespace cli
