// lumetra histogram IN OUT [--size WxH]: the photo-tool histogram of IN
// drawn as a picture, blue, green and red overlapped in colour.
#include <opencv2/core/core_c.h>

#include <memory>

#include "cli/cli.h"
#include "cli/command.h"

namespace cli {

namespace {


cv::Size parseSize(const std::string& text) {
    const size_t x = text.find('x');
    if (x == std::string::npos) throw UsageError("--size must be WxH, not '" + text + "'");
    return {parseInt(text.substr(0, x), "--size W", 2, 8192), parseInt(text.substr(x + 1), "--size H", 2, 8192)};
}

struct HistogramOptions {
    std::string in, out;
    std::string size = "512x200";
};

int runHistogram(const HistogramOptions& options) {
    const cv::Size canvasSize = parseSize(options.size);
    cv::Mat photo = readPhoto(options.in);
    IplImage header = cvIplImage(photo);
    RecordOwner<Histography> histogram(ptCreateHistography(&header));
    if (!histogram) throw Failure("not enough memory for the histogram");
    cv::Mat canvas(canvasSize, CV_8UC3, cv::Scalar(250, 250, 250));
    IplImage target = cvIplImage(canvas);
    ptDrawHistography(histogram.get(), &target);
    writePicture(options.out, canvas);
    return 0;
}

}  // namespace

void addHistogramCommand(CLI::App& app) {
    CLI::App* command = addCommand(app, "histogram", "Draw the histogram of IN: blue, green and red overlapped.",
                                   "lumetra histogram photo.jpg histogram.png --size 300x120");
    auto options = std::make_shared<HistogramOptions>();
    addPicture(command, "IN", options->in, "input picture");
    addPicture(command, "OUT", options->out, "output picture");
    command->add_option("--size", options->size, "chart size WxH, each side 2..8192")->capture_default_str();
    runWith(command, options, runHistogram);
}

}  // namespace cli
