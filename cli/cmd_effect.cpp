// lumetra effect IN OUT --family F [--index N] [--picture P] [--region X,Y,W,H]
// One effect by number: family 1 a look by index, 2 a vignette mask, 3 a
// frame picture. P is handed over as it is on disk (3 or 4 channels).
#include <opencv2/core/core_c.h>

#include <memory>

#include "cli/cli.h"
#include "cli/command.h"

namespace cli {

namespace {

struct EffectCommandOptions {
    std::string in, out;
    int family = 0;
    std::optional<int> index;
    std::optional<std::string> picture, region;
};

// Look indexes that select nothing, and those that lay the picture.
bool selectsNothing(int index) {
    return (index >= 8 && index <= 16) || (index >= 47 && index <= 63) || (index >= 72 && index <= 76);
}
bool laysPicture(int index) {
    return index == 45 || index == 46 || (index >= 64 && index <= 71) || index == 84 || index == 85 ||
           index == 90 || index == 93;
}

// What the library would leave undone: a failure, not an unchanged OUT.
void checkSomethingToDo(const EffectCommandOptions& o, const cv::Mat& picture) {
    if (o.family == 1 && selectsNothing(*o.index))
        throw Failure("look " + std::to_string(*o.index) + " selects nothing (nothing was drawn)");
    if (o.family == 1 && laysPicture(*o.index) && picture.empty())
        throw Failure("look " + std::to_string(*o.index) + " lays a picture: give --picture P (nothing was drawn)");
    if (o.family == 3 && picture.channels() != 4)
        throw Failure("the frame picture '" + *o.picture + "' has no alpha channel (nothing was drawn)");
}

int runEffect(const EffectCommandOptions& o) {
    if (o.family == 1 && !o.index) throw UsageError("family 1 needs --index 1..93");
    if (o.family == 3 && !o.picture) throw UsageError("family 3 needs the frame picture: --picture P");
    std::optional<EffectRegion> region;
    if (o.region) region = parseRegion(*o.region);

    Metadata metadata;
    const cv::Mat photo = readPhoto(o.in, &metadata);
    cv::Mat picture;
    if (o.picture) {
        picture = readAsset(*o.picture);
        if (picture.empty()) throw Failure("cannot read '" + *o.picture + "' as a picture");
    }
    checkSomethingToDo(o, picture);
    cv::Mat result = photo.clone();
    IplImage src = cvIplImage(photo);
    IplImage dst = cvIplImage(result);
    IplImage layer = picture.empty() ? IplImage{} : cvIplImage(picture);
    AppplyEffect(&src, &dst, picture.empty() ? nullptr : &layer, 0, o.family, o.index.value_or(0),
                 region ? &*region : nullptr);
    writePicture(o.out, result, metadata);
    return 0;
}

}  // namespace

void addEffectCommand(CLI::App& app) {
    CLI::App* command = addCommand(app, "effect",
                                   "One effect by number: family 1 a look, 2 a vignette mask, 3 a frame picture.",
                                   "lumetra effect photo.jpg out.jpg --family 1 --index 17");
    auto options = std::make_shared<EffectCommandOptions>();
    addPicture(command, "IN", options->in, "input picture");
    addPicture(command, "OUT", options->out, "output picture");
    command->add_option("--family", options->family, "1 looks, 2 vignette mask, 3 frame")
        ->required()
        ->check(CLI::Range(1, 3));
    command->add_option("--index", options->index, "the look of family 1")->check(CLI::Range(1, 93));
    command->add_option("--picture", options->picture,
                        "P: a texture for the looks that lay one, the mask (family 2; the radial falloff "
                        "without one) or the frame with alpha (family 3)");
    command->add_option("--region", options->region, "X,Y,W,H: OUT is this window of a larger canvas");
    runWith(command, options, runEffect);
}

}  // namespace cli
