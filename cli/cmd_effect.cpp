// lumetra effect IN OUT --family F [--index N] [--picture P] [--region X,Y,W,H]
// One effect by number: family 1 a look by index, 2 a vignette mask, 3 a
// frame picture. P is handed over as it is on disk (3 or 4 channels).
#include <opencv2/core/core_c.h>

#include "cli/cli.h"

namespace cli {

int runEffect(Arguments& args) {
    const std::optional<std::string> familyText = args.option("family");
    const std::optional<std::string> indexText = args.option("index");
    const std::optional<std::string> picturePath = args.option("picture");
    const std::optional<std::string> regionText = args.option("region");
    const std::string in = args.positional("input picture IN");
    const std::string out = args.positional("output picture OUT");
    args.finish();

    if (!familyText) throw UsageError("--family is required: 1 looks, 2 vignette mask, 3 frame");
    const int family = parseInt(*familyText, "--family", 1, 3);
    if (family == 1 && !indexText) throw UsageError("family 1 needs --index 1..93");
    const int index = indexText ? parseInt(*indexText, "--index", 1, 93) : 0;
    if (family == 3 && !picturePath) throw UsageError("family 3 needs the frame picture: --picture P");
    std::optional<EffectRegion> region;
    if (regionText) region = parseRegion(*regionText);

    cv::Mat photo = readPhoto(in);
    cv::Mat picture;
    if (picturePath) {
        picture = readAsset(*picturePath);
        if (picture.empty()) throw UsageError("cannot read '" + *picturePath + "' as a picture");
    }
    cv::Mat result = photo.clone();
    IplImage src = cvIplImage(photo);
    IplImage dst = cvIplImage(result);
    IplImage layer = picture.empty() ? IplImage{} : cvIplImage(picture);
    AppplyEffect(&src, &dst, picture.empty() ? nullptr : &layer, 0, family, index, region ? &*region : nullptr);
    writePicture(out, result);
    return 0;
}

}  // namespace cli
