// The picture layer of the C host example: OpenCV needs C++, so the host
// keeps it behind two C functions.
#include <opencv2/core/core_c.h>

extern "C" IplImage* host_new_picture(int width, int height) {
    IplImage* picture = cvCreateImage(cvSize(width, height), IPL_DEPTH_8U, 3);
    cvSet(picture, cvScalarAll(128));
    return picture;
}

extern "C" void host_free_picture(IplImage* picture) { cvReleaseImage(&picture); }
