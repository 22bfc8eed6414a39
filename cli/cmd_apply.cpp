// lumetra apply IN OUT [--preset N] [--vignette NAME] [--frame SPEC]
//                      [--region X,Y,W,H] [--assets DIR]
#include <opencv2/core/core_c.h>


#include "cli/cli.h"

namespace cli {

int runApply(Arguments& args) {
    const std::optional<std::string> preset = args.option("preset");
    const std::optional<std::string> vignette = args.option("vignette");
    const std::optional<std::string> frame = args.option("frame");
    const std::optional<std::string> regionText = args.option("region");
    AssetFolder assets{args.option("assets").value_or(defaultAssetsDir()), {}, false};
    const std::string in = args.positional("input picture IN");
    const std::string out = args.positional("output picture OUT");
    args.finish();

    const int presetIndex = preset ? parseInt(*preset, "--preset", 0, LUMETRA_PRESET_COUNT - 1) : -1;
    if (frame && frame->empty()) throw UsageError("--frame needs a specification TYPE,THICKNESS,NAME");
    if (frame)
        if (const std::optional<std::string> problem = frameSpecProblem(*frame))
            throw UsageError("--frame '" + *frame + "': " + *problem);
    std::optional<EffectRegion> region;
    if (regionText) region = parseRegion(*regionText);
    if (!preset && !vignette && !frame) throw UsageError("nothing to do: give --preset, --vignette or --frame");

    cv::Mat photo = readPhoto(in);
    cv::Mat result = photo.clone();
    IplImage src = cvIplImage(photo);
    IplImage dst = cvIplImage(result);
    FrameWatch watch{&assets, {}};
    fx(&src, &dst, presetIndex, vignette ? vignette->c_str() : nullptr, frame ? frame->c_str() : nullptr,
       loadWatchingFrames, region ? &*region : nullptr, &watch);
    if (frame && !watch.unusable.empty())
        throw UsageError("--frame '" + *frame + "': frame picture '" + watch.unusable.front() +
                         "' is missing or has no alpha channel; the frame (for type 5, its inner frame) was not drawn");
    writePicture(out, result);
    return 0;
}

}  // namespace cli
