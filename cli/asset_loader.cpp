// The host program's picture loader, serving a picture pack folder:
//   DIR/textures/  kind 0, textures and overlays named by presets
//   DIR/vignettes/ kind 1, vignette masks
//   DIR/frames/    kind 2, frame pictures and pieces
#include <opencv2/core/core_c.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/cli.h"

namespace cli {

namespace {

const char* folderOf(int kind) {
    switch (kind) {
        case IMAGE_KIND_TEXTURE: return "textures";
        case IMAGE_KIND_VIGNETTE: return "vignettes";
        case IMAGE_KIND_FRAME: return "frames";
        default: return nullptr;
    }
}

// A copy the library can own and release with cvReleaseImage.
IplImage* toOwnedIplImage(const cv::Mat& picture) {
    IplImage* image = cvCreateImage(cvSize(picture.cols, picture.rows), IPL_DEPTH_8U, picture.channels());
    const size_t rowBytes = static_cast<size_t>(picture.cols) * static_cast<size_t>(picture.channels());
    for (int y = 0; y < picture.rows; ++y)
        std::memcpy(image->imageData + static_cast<std::ptrdiff_t>(y) * image->widthStep, picture.ptr(y), rowBytes);
    return image;
}

void printWarning(const std::string& path) {
    std::fprintf(stderr, "lumetra: warning: picture '%s' is missing or unreadable\n", path.c_str());
}

}  // namespace

void printWarnings(const AssetFolder& folder) {
    for (const std::string& path : folder.warned) printWarning(path);
}

std::string defaultAssetsDir() {
    if (const char* dir = std::getenv("LUMETRA_ASSETS")) return dir;
    return "assets";
}

struct _IplImage* LUMETRA_CALL loadAsset(int kind, const char* name, void* userData) {
    auto* folder = static_cast<AssetFolder*>(userData);
    const char* sub = folderOf(kind);
    if (!folder || !sub || !name) return nullptr;
    const std::string path = folder->root + "/" + sub + "/" + name;
    ++folder->asked;
    cv::Mat picture;
    try {
        picture = readAsset(path);
    } catch (const cv::Exception&) {
        picture.release();
    }
    if (picture.empty()) {
        if (std::find(folder->warned.begin(), folder->warned.end(), path) == folder->warned.end()) {
            folder->warned.push_back(path);
            if (!folder->holdWarnings) printWarning(path);
        }
        return nullptr;
    }
    ++folder->served;
    return toOwnedIplImage(picture);
}

}  // namespace cli
