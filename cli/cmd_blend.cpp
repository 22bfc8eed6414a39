// lumetra blend BASE LAYER OUT --mode NAME [--opacity P] [--region X,Y,W,H]
// Lays LAYER over BASE with one of the 20 blend modes (AppplyTexture2): the
// layer is scaled to cover the picture (or the region's canvas), centred.
#include <opencv2/core/core_c.h>

#include <string>

#include "cli/cli.h"
#include "pixel/blend_names.h"

namespace cli {

namespace {

std::string modeList() {
    std::string list;
    for (const char* name : lumetra::kBlendModeNames) list += (list.empty() ? "" : ", ") + std::string(name);
    return list;
}

void checkMode(const std::string& mode) {
    for (const char* name : lumetra::kBlendModeNames)
        if (mode == name) return;
    throw UsageError("unknown blend mode '" + mode + "'; choose one of: " + modeList());
}

}  // namespace

int runBlend(Arguments& args) {
    const std::optional<std::string> mode = args.option("mode");
    const std::optional<std::string> opacityText = args.option("opacity");
    const std::optional<std::string> regionText = args.option("region");
    const std::string basePath = args.positional("base picture BASE");
    const std::string layerPath = args.positional("layer picture LAYER");
    const std::string out = args.positional("output picture OUT");
    args.finish();

    if (!mode) throw UsageError("--mode is required; choose one of: " + modeList());
    checkMode(*mode);
    // Past 100 the blend is extrapolated; the library clamps each channel.
    const int opacity = opacityText ? parseInt(*opacityText, "--opacity", 0, 1000) : 100;
    std::optional<EffectRegion> region;
    if (regionText) region = parseRegion(*regionText);

    cv::Mat photo = readPhoto(basePath);
    cv::Mat layer = readAsset(layerPath);
    if (layer.empty()) throw UsageError("cannot read '" + layerPath + "' as a picture");
    if (layer.cols > 65535 || layer.rows > 65535) throw UsageError("LAYER is too large: at most 65535 pixels a side");
    cv::Mat result = photo.clone();
    IplImage src = cvIplImage(photo);
    IplImage dst = cvIplImage(result);
    IplImage over = cvIplImage(layer);
    AppplyTexture2(&src, &dst, &over, opacity, mode->c_str(), region ? &*region : nullptr);
    writePicture(out, result);
    return 0;
}

}  // namespace cli
