// lumetra histogram IN OUT [--size WxH]: the photo-tool histogram of IN
// drawn as a picture, blue, green and red overlapped in colour.
#include <opencv2/core/core_c.h>

#include <memory>

#include "cli/cli.h"

namespace cli {

namespace {


cv::Size parseSize(const std::string& text) {
    const size_t x = text.find('x');
    if (x == std::string::npos) throw UsageError("--size must be WxH, not '" + text + "'");
    return {parseInt(text.substr(0, x), "--size W", 2, 8192), parseInt(text.substr(x + 1), "--size H", 2, 8192)};
}

}  // namespace

int runHistogram(Arguments& args) {
    const auto size = args.option("size");
    const std::string in = args.positional("input picture IN");
    const std::string out = args.positional("output picture OUT");
    args.finish();
    const cv::Size canvasSize = size ? parseSize(*size) : cv::Size(512, 200);

    cv::Mat photo = readPhoto(in);
    IplImage header = cvIplImage(photo);
    RecordOwner<Histography> histogram(ptCreateHistography(&header));
    if (!histogram) throw UsageError("not enough memory for the histogram");
    cv::Mat canvas(canvasSize, CV_8UC3, cv::Scalar(250, 250, 250));
    IplImage target = cvIplImage(canvas);
    ptDrawHistography(histogram.get(), &target);
    writePicture(out, canvas);
    return 0;
}

}  // namespace cli
