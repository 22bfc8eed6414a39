// lumetra assets DIR: draws the picture pack the presets and frames name into
// DIR/textures, DIR/vignettes and DIR/frames, with the aperture shapes of
// the aperture tilt-shift in DIR/apertures.
#include <chrono>
#include <cstdio>

#include "cli/cli.h"
#include "cli/command.h"
#include "cli/picture_pack.h"

namespace cli {

namespace {

struct AssetsOptions {
    std::string dir;
};

int runAssets(const AssetsOptions& options) {
    const std::string& dir = options.dir;
    const auto started = std::chrono::steady_clock::now();
    pack::writePack(dir);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("lumetra assets: %zu pictures in %s (%.1f s)\n", pack::packContents().size(), dir.c_str(), seconds);
    return 0;
}

}  // namespace

void addAssetsCommand(CLI::App& app) {
    CLI::App* command = addCommand(app, "assets", "Draw the picture pack the presets and frames use into DIR.",
                                   "lumetra assets assets && lumetra apply in.jpg out.jpg --preset 42 --assets assets");
    auto options = std::make_shared<AssetsOptions>();
    command->add_option("DIR", options->dir, "pack folder (textures/, vignettes/, frames/ are made in it)")->required();
    runWith(command, options, runAssets);
}

}  // namespace cli
