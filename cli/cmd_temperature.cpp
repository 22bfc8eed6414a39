// lumetra temperature IN: the colour temperature and green factor the
// histogram estimates for IN (its automatic white balance).
#include <opencv2/core/core_c.h>

#include <cstdio>
#include <memory>

#include "cli/cli.h"
#include "cli/command.h"

namespace cli {

namespace {

struct TemperatureOptions {
    std::string in;
};

int runTemperature(const TemperatureOptions& options) {
    cv::Mat photo = readPhoto(options.in);
    IplImage header = cvIplImage(photo);
    RecordOwner<Histography> histogram(ptCreateHistography(&header));
    if (!histogram) throw Failure("not enough memory for the histogram");
    double temperature = 0, green = 0;
    ptGetTemp(histogram.get(), &temperature, &green);
    if (temperature == 0) {
        std::printf("temperature unknown (no pixel below 250 in all three channels)\n");
    } else {
        std::printf("temperature %.0f K, green %.4f\n", temperature, green);
    }
    return 0;
}

}  // namespace

void addTemperatureCommand(CLI::App& app) {
    CLI::App* command = addCommand(app, "temperature",
                                   "Print the colour temperature and green factor estimated for IN.",
                                   "lumetra temperature photo.jpg");
    auto options = std::make_shared<TemperatureOptions>();
    addPicture(command, "IN", options->in, "input picture");
    runWith(command, options, runTemperature);
}

}  // namespace cli
