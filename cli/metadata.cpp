// Photo metadata through libexiv2: the EXIF orientation turns a photo upright
// when it is read, and a written picture receives the input's EXIF (its
// orientation now upright), XMP and ICC colour profile wherever the format
// can hold them (JPEG, PNG, TIFF and WebP all can).
#include <exiv2/exiv2.hpp>
#include <opencv2/core.hpp>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "cli/cli.h"
#include "cli/metadata.h"

namespace cli {

struct PhotoMetadata {
    Exiv2::ExifData exif;
    Exiv2::XmpData xmp;
    std::vector<Exiv2::byte> icc;
    int orientation = 1;
    bool decoderTurns = false;  // OpenCV's TIFF reader applies the orientation itself
};

namespace {

// The XMP toolkit must be set up once before threads use it; exiv2's own
// warnings are silenced, the program reports what matters itself.
void startExiv2() {
    static std::once_flag started;
    std::call_once(started, [] {
        Exiv2::XmpParser::initialize();
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    });
}

int orientationOf(const Exiv2::ExifData& exif) {
    const auto tag = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    if (tag == exif.end() || tag->count() == 0) return 1;
    const long value = tag->toLong();
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
}

bool canWrite(const Exiv2::Image& image, Exiv2::MetadataId what) {
    return (image.checkMode(what) & Exiv2::amWrite) != 0;
}

// The EXIF as it stands for the written picture: upright, its stated size
// the picture's own.
Exiv2::ExifData uprightExif(Exiv2::ExifData exif, cv::Size size) {
    exif["Exif.Image.Orientation"] = static_cast<uint16_t>(1);
    if (exif.findKey(Exiv2::ExifKey("Exif.Photo.PixelXDimension")) != exif.end()) {
        exif["Exif.Photo.PixelXDimension"] = static_cast<uint32_t>(size.width);
        exif["Exif.Photo.PixelYDimension"] = static_cast<uint32_t>(size.height);
    }
    return exif;
}

}  // namespace

Metadata readMetadata(const std::string& path) {
    startExiv2();
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        auto metadata = std::make_shared<PhotoMetadata>();
        metadata->exif = image->exifData();
        metadata->xmp = image->xmpData();
        if (image->iccProfileDefined()) {
            const Exiv2::DataBuf* icc = image->iccProfile();
            metadata->icc.assign(icc->pData_, icc->pData_ + icc->size_);
        }
        metadata->orientation = orientationOf(metadata->exif);
        metadata->decoderTurns = image->mimeType() == "image/tiff";
        return metadata;
    } catch (const std::exception&) {  // a format exiv2 does not know, or a damaged block: no metadata
        return nullptr;
    }
}

int orientationToApply(const Metadata& metadata) {
    return metadata && !metadata->decoderTurns ? metadata->orientation : 1;
}

cv::Mat uprightPicture(const cv::Mat& picture, int orientation) {
    cv::Mat upright;
    switch (orientation) {
        case 2: cv::flip(picture, upright, 1); break;
        case 3: cv::rotate(picture, upright, cv::ROTATE_180); break;
        case 4: cv::flip(picture, upright, 0); break;
        case 5: cv::transpose(picture, upright); break;
        case 6: cv::rotate(picture, upright, cv::ROTATE_90_CLOCKWISE); break;
        case 7: cv::transpose(picture, upright); cv::rotate(upright, upright, cv::ROTATE_180); break;
        case 8: cv::rotate(picture, upright, cv::ROTATE_90_COUNTERCLOCKWISE); break;
        default: return picture;
    }
    return upright;
}

// exiv2 0.27 writes a WebP file's profile chunk under the tag "VP8X" instead
// of "ICCP" (right after the real VP8X chunk, where ICCP belongs): give the
// chunk its name back. RIFF chunks: tag, little-endian length, payload padded
// to an even length.
void repairWebpProfile(const std::string& path) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    size_t at = 12;  // after "RIFF", the file length and "WEBP"
    bool extendedSeen = false;
    while (at + 8 <= bytes.size()) {
        const std::string tag(bytes.data() + at, 4);
        const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 4 + i])); };
        const uint32_t length = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
        if (tag == "VP8X" && extendedSeen) {
            file.clear();
            file.seekp(static_cast<std::streamoff>(at));
            file.write("ICCP", 4);
            return;
        }
        extendedSeen = extendedSeen || tag == "VP8X";
        at += 8 + length + (length & 1);
    }
}

bool writeMetadata(const std::string& path, const PhotoMetadata& metadata, cv::Size size) {
    startExiv2();
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        if (!metadata.exif.empty() && canWrite(*image, Exiv2::mdExif))
            image->setExifData(uprightExif(metadata.exif, size));
        if (!metadata.xmp.empty() && canWrite(*image, Exiv2::mdXmp)) {
            Exiv2::XmpData xmp = metadata.xmp;
            const auto orientation = xmp.findKey(Exiv2::XmpKey("Xmp.tiff.Orientation"));
            if (orientation != xmp.end()) orientation->setValue("1");
            image->setXmpData(xmp);
        }
        // exiv2 does not declare its profile support; JPEG, PNG, TIFF and WebP take one.
        if (!metadata.icc.empty()) {
            Exiv2::DataBuf icc(metadata.icc.data(), static_cast<long>(metadata.icc.size()));
            image->setIccProfile(icc, false);
        }
        image->writeMetadata();
        if (image->mimeType() == "image/webp") repairWebpProfile(path);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace cli
