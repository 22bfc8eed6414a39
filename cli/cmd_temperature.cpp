// lumetra temperature IN: the colour temperature and green factor the
// histogram estimates for IN (its automatic white balance).
#include <opencv2/core/core_c.h>

#include <cstdio>
#include <memory>

#include "cli/cli.h"

namespace cli {

int runTemperature(Arguments& args) {
    const std::string in = args.positional("input picture IN");
    args.finish();
    cv::Mat photo = readPhoto(in);
    IplImage header = cvIplImage(photo);
    RecordOwner<Histography> histogram(ptCreateHistography(&header));
    if (!histogram) throw UsageError("not enough memory for the histogram");
    double temperature = 0, green = 0;
    ptGetTemp(histogram.get(), &temperature, &green);
    if (temperature == 0) {
        std::printf("temperature unknown (no pixel below 250 in all three channels)\n");
    } else {
        std::printf("temperature %.0f K, green %.4f\n", temperature, green);
    }
    return 0;
}

}  // namespace cli
