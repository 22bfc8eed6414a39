#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "cli/cli.h"
#include "cli/metadata.h"

namespace cli {

namespace {

// Any decoded picture as 8 bits per channel: 16-bit samples keep their high byte.
cv::Mat toEightBit(const cv::Mat& picture) {
    if (picture.depth() == CV_8U) return picture;
    cv::Mat eight;
    const double scale = picture.depth() == CV_16U || picture.depth() == CV_16S ? 1.0 / 256.0 : 255.0;
    picture.convertTo(eight, CV_8U, scale);
    return eight;
}

}  // namespace

cv::Mat readPhoto(const std::string& path, Metadata* metadata) {
    if (!std::filesystem::exists(path)) throw Failure("cannot read '" + path + "': no such file");
    cv::Mat picture = cv::imread(path, cv::IMREAD_UNCHANGED);
    if (picture.empty()) throw Failure("cannot decode '" + path + "' as a picture");
    const Metadata kept = readMetadata(path);
    if (metadata) *metadata = kept;
    picture = uprightPicture(picture, orientationToApply(kept));
    picture = toEightBit(picture);
    cv::Mat bgr;
    switch (picture.channels()) {
        case 1: cv::cvtColor(picture, bgr, cv::COLOR_GRAY2BGR); break;
        case 4: cv::cvtColor(picture, bgr, cv::COLOR_BGRA2BGR); break;
        default: bgr = picture; break;
    }
    return bgr;
}

cv::Mat readAsset(const std::string& path) {
    std::error_code failed;
    if (!std::filesystem::is_regular_file(path, failed)) return cv::Mat();  // spares OpenCV's own complaint
    cv::Mat picture = cv::imread(path, cv::IMREAD_UNCHANGED);
    if (picture.empty()) return picture;
    picture = toEightBit(picture);
    if (picture.channels() == 1) {
        cv::Mat bgr;
        cv::cvtColor(picture, bgr, cv::COLOR_GRAY2BGR);
        return bgr;
    }
    return picture;
}

void writePicture(const std::string& path, const cv::Mat& picture, const Metadata& metadata) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const std::string extension = target.extension().string();
    if (extension.empty()) throw UsageError("cannot tell the format of '" + path + "': give it an extension");
    if (!cv::haveImageWriter(path)) throw UsageError("cannot write '" + path + "': unknown format " + extension);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    // Unique among this program's threads and processes.
    static std::atomic<unsigned> written_count{0};
    const fs::path temporary = folder / (".lumetra-" + std::to_string(::getpid()) + "-" +
                                         std::to_string(written_count++) + "-" + target.stem().string() + extension);
    bool written = false;
    try {
        written = cv::imwrite(temporary.string(), picture);
    } catch (const cv::Exception&) {
        written = false;
    }
    std::error_code ignored;
    if (!written) {
        fs::remove(temporary, ignored);
        throw Failure("cannot write '" + path + "'");
    }
    if (metadata && !writeMetadata(temporary.string(), *metadata, picture.size()))
        std::fprintf(stderr, "lumetra: warning: the metadata of '%s' could not be kept\n", path.c_str());
    std::error_code renamed;
    fs::rename(temporary, target, renamed);
    if (renamed) {
        fs::remove(temporary, ignored);
        throw Failure("cannot write '" + path + "': " + renamed.message());
    }
}

}  // namespace cli
