// lumetra presets: the catalogue, one preset a line.
#include <cstdio>

#include "cli/cli.h"
#include "engine/catalogue.h"

namespace cli {

int runPresets(Arguments& args) {
    args.finish();
    for (int index = 0; index < lumetra::kPresetCount; ++index)
        std::printf("%3d  %s\n", index, lumetra::presetScript(index));
    return 0;
}

}  // namespace cli
