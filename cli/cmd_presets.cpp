// lumetra presets: the catalogue, one preset a line.
#include <cstdio>

#include "cli/cli.h"
#include "cli/command.h"
#include "engine/catalogue.h"

namespace cli {

namespace {

struct PresetsOptions {};

int runPresets(const PresetsOptions&) {
    for (int index = 0; index < lumetra::kPresetCount; ++index)
        std::printf("%3d  %s\n", index, lumetra::presetScript(index));
    return 0;
}

}  // namespace

void addPresetsCommand(CLI::App& app) {
    CLI::App* command = addCommand(app, "presets", "List the built-in presets, one index and script a line.",
                                   "lumetra presets | grep lomo");
    runWith(command, std::make_shared<PresetsOptions>(), runPresets);
}

}  // namespace cli
