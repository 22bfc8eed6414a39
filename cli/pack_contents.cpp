// The whole picture pack: vignette masks here, textures and frames in their
// own files, and the writer that stores them in the loader's folders.
#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <malloc.h>
#include <mutex>
#include <thread>

#include "cli/cli.h"
#include "cli/pack_drawing.h"

namespace cli::pack {

namespace {

// Vignette masks multiply the photo (255 keeps it): white in the middle,
// darker toward the edges. `floor` is what the corners keep.
PackPicture vignetteMask(std::string name, double cx, double cy, double inner, double outer, double floor) {
    return {Folder::vignettes, std::move(name), 3, [=] {
                const cv::Mat falloff = radialFalloff(kTextureSize, cx, cy, inner, outer);
                const cv::Mat keep = floor + (1.0 - floor) * falloff;
                return Drawing{shade(keep, cv::Scalar::all(0.5), 1.0), {}};
            }};
}

// JPEG at a fixed quality; PNG at a fixed compression, so bytes never vary.
const std::vector<int> kJpegSettings = {cv::IMWRITE_JPEG_QUALITY, 92};
const std::vector<int> kPngSettings = {cv::IMWRITE_PNG_COMPRESSION, 1, cv::IMWRITE_PNG_STRATEGY, cv::IMWRITE_PNG_STRATEGY_RLE};

void store(const std::string& dir, const PackPicture& picture) {
    const std::string path = dir + "/" + folderName(picture.folder) + "/" + picture.name;
    const bool isJpeg = picture.name.ends_with(".jpg");
    bool written = false;
    try {
        written = cv::imwrite(path, toStoredPicture(picture, picture.draw()), isJpeg ? kJpegSettings : kPngSettings);
    } catch (const cv::Exception&) {
        written = false;
    }
    if (!written) throw Failure("cannot write '" + path + "'");
}

}  // namespace

const char* folderName(Folder folder) {
    switch (folder) {
        case Folder::textures: return "textures";
        case Folder::vignettes: return "vignettes";
        case Folder::apertures: return "apertures";
        default: return "frames";
    }
}

std::vector<PackPicture> vignettePictures() {
    return {
        vignetteMask("vignette_round.png", 0.5, 0.5, 0.35, 1.0, 0.25),
        vignetteMask("vignette_soft.png", 0.5, 0.5, 0.2, 1.2, 0.55),
        vignetteMask("vignette_strong.png", 0.5, 0.5, 0.15, 0.85, 0.05),
        vignetteMask("vignette_offcentre.png", 0.62, 0.4, 0.15, 1.0, 0.2),
        vignetteMask("vignette_low.png", 0.5, 0.3, 0.25, 1.05, 0.3),
    };
}

std::vector<PackPicture> packContents() {
    std::vector<PackPicture> all = texturePictures();
    for (auto&& group : {vignettePictures(), framePictures(), aperturePictures()})
        all.insert(all.end(), group.begin(), group.end());
    return all;
}

cv::Mat toStoredPicture(const PackPicture& picture, const Drawing& drawing) {
    const bool hasAlpha = !drawing.alpha.empty();
    if (hasAlpha != (picture.channels == 4))
        throw std::logic_error("picture '" + picture.name + "' is drawn with the wrong channel count");
    std::vector<cv::Mat> channels;
    cv::split(drawing.colour, channels);
    if (hasAlpha) channels.push_back(drawing.alpha);
    cv::Mat merged, stored;
    cv::merge(channels, merged);
    merged.convertTo(stored, CV_8U, 255.0);  // rounds to nearest and saturates
    return stored;
}

void writePack(const std::string& dir) { writePictures(dir, packContents()); }

void writePictures(const std::string& dir, const std::vector<PackPicture>& contents) {
    namespace fs = std::filesystem;
    for (Folder folder : {Folder::textures, Folder::vignettes, Folder::frames, Folder::apertures}) {
        std::error_code failed;
        fs::create_directories(fs::path(dir) / folderName(folder), failed);
        if (failed) throw Failure("cannot create '" + dir + "/" + folderName(folder) + "': " + failed.message());
    }
    // Drawing makes many picture-sized scratch buffers. Keep freed memory for
    // the next one instead of handing it back to the system: on virtual
    // machines every fresh page costs a fault, which made drawing ten times slower.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    // Pictures are independent (each has its own seeds), so they are drawn
    // on a few threads; the bytes do not depend on the order.
    std::atomic<size_t> next{0};
    std::mutex failureLock;
    std::string failure;
    const auto work = [&] {
        for (size_t i = next++; i < contents.size(); i = next++) {
            try {
                store(dir, contents[i]);
            } catch (const std::exception& error) {
                const std::lock_guard<std::mutex> hold(failureLock);
                if (failure.empty()) failure = error.what();
            }
        }
    };
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::thread> threads;
    for (unsigned i = 1; i < workers; ++i) threads.emplace_back(work);
    work();
    for (std::thread& thread : threads) thread.join();
    if (!failure.empty()) throw Failure(failure);
}

}  // namespace cli::pack
