// Photo metadata through libexiv2: the EXIF orientation turns a photo upright
// when it is read, and a written picture receives the input's EXIF (its
// orientation now upright), XMP and ICC colour profile wherever the format
// can hold them (JPEG, PNG, TIFF and WebP all can).
#include <exiv2/exiv2.hpp>
#include <zlib.h>
#include <opencv2/core.hpp>

#include <algorithm>
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

// The XMP toolkit is set up once, with a lock: it is not safe on several
// threads at once, and batch reads and writes photos on several. exiv2's own
// warnings are silenced; the program reports what matters itself.
void lockXmp(void* data, bool lock) {
    auto* mutex = static_cast<std::mutex*>(data);
    if (lock) mutex->lock();
    else mutex->unlock();
}

void startExiv2() {
    static std::once_flag started;
    static std::mutex xmpLock;
    std::call_once(started, [] {
        Exiv2::XmpParser::initialize(lockXmp, &xmpLock);
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

namespace {

std::vector<char> fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

uint32_t readUint32(const std::vector<char>& bytes, size_t at, bool bigEndian) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        const uint32_t byte = static_cast<unsigned char>(bytes[at + (bigEndian ? i : 3 - i)]);
        value = value << 8 | byte;
    }
    return value;
}

// exiv2 0.27 writes a WebP file's profile chunk under the tag "VP8X" instead
// of "ICCP" (right after the real VP8X chunk, where ICCP belongs). RIFF
// chunks: tag, little-endian length, payload padded to an even length.
void repairWebpProfile(std::vector<char>& bytes) {
    bool extendedSeen = false;
    for (size_t at = 12; at + 8 <= bytes.size();) {  // after "RIFF", the file length and "WEBP"
        const std::string tag(bytes.data() + at, 4);
        if (tag == "VP8X" && extendedSeen) {
            std::copy_n("ICCP", 4, bytes.begin() + static_cast<std::ptrdiff_t>(at));
            return;
        }
        extendedSeen = extendedSeen || tag == "VP8X";
        const uint32_t length = readUint32(bytes, at + 4, false);
        at += 8 + size_t(length) + (length & 1);
    }
}

// exiv2 0.27 writes a PNG profile chunk with an empty profile name, which
// PNG readers refuse. PNG chunks: big-endian length, tag, data, and a CRC-32
// of tag and data.
void repairPngProfile(std::vector<char>& bytes) {
    static const std::string kName = "ICC profile";
    for (size_t at = 8; at + 12 <= bytes.size();) {  // after the signature
        const uint32_t length = readUint32(bytes, at, true);
        const std::string tag(bytes.data() + at + 4, 4);
        if (tag == "IDAT" || at + 12 + length > bytes.size()) return;
        if (tag == "iCCP" && length > 0 && bytes[at + 8] == 0) {
            std::vector<char> chunk(bytes.begin() + static_cast<std::ptrdiff_t>(at + 4),
                                    bytes.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
            chunk.insert(chunk.begin() + 4, kName.begin(), kName.end());
            const uint32_t crc = static_cast<uint32_t>(
                ::crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), static_cast<uInt>(chunk.size())));
            const uint32_t newLength = length + static_cast<uint32_t>(kName.size());
            std::vector<char> whole;
            for (int shift = 24; shift >= 0; shift -= 8) whole.push_back(static_cast<char>(newLength >> shift));
            whole.insert(whole.end(), chunk.begin(), chunk.end());
            for (int shift = 24; shift >= 0; shift -= 8) whole.push_back(static_cast<char>(crc >> shift));
            bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                        bytes.begin() + static_cast<std::ptrdiff_t>(at + 12 + length));
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), whole.begin(), whole.end());
            return;
        }
        at += 12 + length;
    }
}

}  // namespace

void repairProfileChunk(const std::string& path) {
    std::vector<char> bytes = fileBytes(path);
    const std::string head(bytes.data(), std::min<size_t>(bytes.size(), 12));
    const std::vector<char> before = bytes;
    if (head.size() == 12 && head.compare(0, 4, "RIFF") == 0 && head.compare(8, 4, "WEBP") == 0)
        repairWebpProfile(bytes);
    else if (head.compare(0, 4, "\x89PNG") == 0)
        repairPngProfile(bytes);
    if (bytes != before) writeBytes(path, bytes);
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
        if (!metadata.icc.empty()) repairProfileChunk(path);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace cli
