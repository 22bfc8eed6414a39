// lumetra assets DIR: draws the picture pack the presets and frames name into
// DIR/textures, DIR/vignettes and DIR/frames, with the aperture shapes of
// the aperture tilt-shift in DIR/apertures.
#include <chrono>
#include <cstdio>

#include "cli/cli.h"
#include "cli/picture_pack.h"

namespace cli {

int runAssets(Arguments& args) {
    const std::string dir = args.positional("pack folder DIR");
    args.finish();
    const auto started = std::chrono::steady_clock::now();
    pack::writePack(dir);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("lumetra assets: %zu pictures in %s (%.1f s)\n", pack::packContents().size(), dir.c_str(), seconds);
    return 0;
}

}  // namespace cli
