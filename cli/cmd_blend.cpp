// lumetra blend BASE LAYER OUT --mode NAME [--opacity P] [--region X,Y,W,H]
// Lays LAYER over BASE with one of the 20 blend modes (AppplyTexture2): the
// layer is scaled to cover the picture (or the region's canvas), centred.
#include <opencv2/core/core_c.h>

#include <string>

#include "cli/cli.h"
#include "cli/command.h"

namespace cli {

namespace {

void checkMode(const std::string& mode) {
    const std::string problem = blendModeProblem(mode);
    if (!problem.empty()) throw UsageError(problem);
}

struct BlendOptions {
    std::string base, layer, out;
    std::optional<std::string> mode, region;
    int opacity = 100;
};

int runBlend(const BlendOptions& options) {
    if (!options.mode) throw UsageError("--mode is required; choose one of: " + blendModeList());
    checkMode(*options.mode);
    std::optional<EffectRegion> region;
    if (options.region) region = parseRegion(*options.region);

    Metadata metadata;
    cv::Mat photo = readPhoto(options.base, &metadata);
    cv::Mat layer = readAsset(options.layer);
    if (layer.empty()) throw Failure("cannot read '" + options.layer + "' as a picture");
    if (layer.cols > 65535 || layer.rows > 65535) throw Failure("LAYER is too large: at most 65535 pixels a side");
    cv::Mat result = photo.clone();
    IplImage src = cvIplImage(photo);
    IplImage dst = cvIplImage(result);
    IplImage over = cvIplImage(layer);
    AppplyTexture2(&src, &dst, &over, options.opacity, options.mode->c_str(), region ? &*region : nullptr);
    writePicture(options.out, result, metadata);
    return 0;
}

}  // namespace

void addBlendCommand(CLI::App& app) {
    CLI::App* command = addCommand(app, "blend", "Lay LAYER over BASE with one of the 20 blend modes.",
                                   "lumetra blend photo.jpg paper.png out.jpg --mode overlay --opacity 60");
    auto options = std::make_shared<BlendOptions>();
    addPicture(command, "BASE", options->base, "base picture");
    addPicture(command, "LAYER", options->layer, "layer picture, scaled to cover BASE (or the region's canvas)");
    addPicture(command, "OUT", options->out, "output picture");
    command->add_option("--mode", options->mode, "blend mode, required: " + blendModeList());
    // Past 100 the blend is extrapolated; the library clamps each channel.
    command->add_option("--opacity", options->opacity, "layer opacity in percent")
        ->check(CLI::Range(0, 1000))
        ->capture_default_str();
    command->add_option("--region", options->region, "X,Y,W,H: OUT is this window of a larger canvas");
    runWith(command, options, runBlend);
}

}  // namespace cli
