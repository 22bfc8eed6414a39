// lumetra apply IN OUT [--preset N] [--vignette NAME] [--frame SPEC]
//                      [--region X,Y,W,H] [--assets DIR]
#include <opencv2/core/core_c.h>


#include "cli/apply.h"
#include "cli/cli.h"
#include "cli/command.h"

namespace cli {

void checkEffect(const EffectOptions& effect) {
    if (effect.frame)
        if (const std::optional<std::string> problem = frameSpecProblem(*effect.frame))
            throw Failure("the frame specification '" + *effect.frame + "' is unusable: " + *problem +
                          " (nothing was drawn)");
    if (!effect.preset && !effect.vignette && !effect.frame)
        throw UsageError("nothing to do: give --preset, --vignette or --frame");
}

cv::Mat applyEffect(const cv::Mat& photo, const EffectOptions& effect, AssetFolder& assets) {
    std::optional<EffectRegion> region;
    if (effect.region) region = parseRegion(*effect.region);
    cv::Mat result = photo.clone();
    IplImage src = cvIplImage(photo);
    IplImage dst = cvIplImage(result);
    const int asked = assets.asked, served = assets.served;
    FrameWatch watch{&assets, {}};
    fx(&src, &dst, effect.preset.value_or(-1), effect.vignette ? effect.vignette->c_str() : nullptr,
       effect.frame ? effect.frame->c_str() : nullptr, loadWatchingFrames, region ? &*region : nullptr, &watch);
    // A look made of pictures alone does nothing when the pack lacks them all.
    if (assets.asked > asked && assets.served == served)
        throw Failure("none of the pictures asked for was found (" + std::to_string(assets.asked - asked) +
                      " missing, such as '" + assets.warned.back() +
                      "'; 'lumetra assets DIR' draws the pack): nothing was applied");
    if (!watch.unusable.empty())
        throw Failure("--frame '" + *effect.frame + "': frame picture '" + watch.unusable.front() +
                      "' is missing or has no alpha channel; the frame (for type 5, its inner frame) was not drawn");
    return result;
}

void addEffectOptions(CLI::App* command, EffectOptions& effect) {
    command->add_option("--preset", effect.preset, "built-in preset ('lumetra presets' lists them)")
        ->check(CLI::Range(0, LUMETRA_PRESET_COUNT - 1));
    command->add_option("--vignette", effect.vignette, "vignette mask NAME from the pack's vignettes/");
    command->add_option("--frame", effect.frame, "frame TYPE,THICKNESS,NAME: TYPE 1..5, NAME from frames/");
    command->add_option("--region", effect.region, "X,Y,W,H: OUT is this window of a larger canvas");
}

namespace {

struct ApplyOptions {
    std::string in, out;
    std::string assets = defaultAssetsDir();
    EffectOptions effect;
};

int runApply(const ApplyOptions& options) {
    checkEffect(options.effect);
    if (options.effect.region) parseRegion(*options.effect.region);  // a usage error before any reading
    AssetFolder assets{options.assets, {}, true};
    Metadata metadata;
    const cv::Mat photo = readPhoto(options.in, &metadata);
    const cv::Mat result = applyEffect(photo, options.effect, assets);
    printWarnings(assets);
    writePicture(options.out, result, metadata);
    return 0;
}

}  // namespace

void addApplyCommand(CLI::App& app) {
    CLI::App* command = addCommand(app, "apply", "Run a preset, a vignette mask and/or a frame on IN.",
                                   "lumetra apply photo.jpg out.jpg --preset 4 --frame 3,0.05,wood --assets assets");
    auto options = std::make_shared<ApplyOptions>();
    addPicture(command, "IN", options->in, "input picture");
    addPicture(command, "OUT", options->out, "output picture");
    addEffectOptions(command, options->effect);
    command->add_option("--assets", options->assets, "picture pack folder ($LUMETRA_ASSETS or ./assets)");
    runWith(command, options, runApply);
}

}  // namespace cli
