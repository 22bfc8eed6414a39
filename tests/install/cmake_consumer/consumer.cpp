// Runs preset 4 ("@ lomo 5", no pictures needed) on a grey picture.
#include <opencv2/core/core_c.h>

#include <cstdio>

#include "lumetra.h"

int main() {
    IplImage* photo = cvCreateImage(cvSize(32, 24), IPL_DEPTH_8U, 3);
    cvSet(photo, cvScalar(60, 120, 180));
    fx(photo, photo, 4, nullptr, nullptr, nullptr, nullptr, nullptr);
    const bool changed = reinterpret_cast<unsigned char*>(photo->imageData)[0] != 60;
    cvReleaseImage(&photo);
    std::puts(changed ? "find_package consumer: ok" : "find_package consumer: preset 4 changed nothing");
    return changed ? 0 : 1;
}
