// A phone photo made here: stored sideways with EXIF orientation 6 (turn a
// quarter clockwise to view), a camera make, an XMP property and an ICC
// profile. Read, it comes out upright; written, every item is kept and the
// orientation says upright.
#include <gtest/gtest.h>

#include <exiv2/exiv2.hpp>
#include <opencv2/imgcodecs.hpp>

#include <unistd.h>

#include <filesystem>
#include <vector>

#include "cli/cli.h"
#include "cli/metadata.h"

namespace {

namespace fs = std::filesystem;

// The smallest well-formed display profile: a 128-byte header (length,
// version 2.1, class "mntr", space "RGB ", connection space "XYZ ", the
// signature "acsp") and an empty tag table.
std::vector<Exiv2::byte> fakeProfile() {
    std::vector<Exiv2::byte> icc(132, 0);
    icc[3] = 132;
    icc[8] = 0x02;
    icc[9] = 0x10;
    const auto put = [&icc](size_t at, const char* text) { std::copy(text, text + 4, icc.begin() + long(at)); };
    put(12, "mntr");
    put(16, "RGB ");
    put(20, "XYZ ");
    put(36, "acsp");
    return icc;
}

// 40 wide, 20 high as stored, a red square in the stored top-left corner.
void makePhonePhoto(const std::string& path) {
    cv::Mat stored(20, 40, CV_8UC3, cv::Scalar(128, 128, 128));
    stored(cv::Rect(0, 0, 6, 6)).setTo(cv::Scalar(0, 0, 255));
    ASSERT_TRUE(cv::imwrite(path, stored));
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    Exiv2::ExifData exif;
    exif["Exif.Image.Orientation"] = static_cast<uint16_t>(6);
    exif["Exif.Image.Make"] = "Lumetra test camera";
    image->setExifData(exif);
    Exiv2::XmpData xmp;
    xmp["Xmp.xmp.CreatorTool"] = "lumetra metadata test";
    image->setXmpData(xmp);
    std::vector<Exiv2::byte> icc = fakeProfile();
    Exiv2::DataBuf profile(icc.data(), static_cast<long>(icc.size()));
    image->setIccProfile(profile, false);
    image->writeMetadata();
    cli::repairProfileChunk(path);
}

class KeptMetadata : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("lumetra-metadata-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string file(const char* stem) const { return (folder_ / (std::string(stem) + GetParam())).string(); }

    fs::path folder_;
};

TEST_P(KeptMetadata, PhonePhotoComesOutUprightWithItsMetadata) {
    const std::string in = file("phone"), out = file("out");
    makePhonePhoto(in);
    cli::Metadata metadata;
    const cv::Mat photo = cli::readPhoto(in, &metadata);
    // Turned a quarter clockwise: 20 wide, 40 high, the red square now top right.
    ASSERT_EQ(photo.size(), cv::Size(20, 40));
    const cv::Vec3b corner = photo.at<cv::Vec3b>(2, 17);
    EXPECT_GT(corner[2], 200);
    EXPECT_LT(corner[0], 60);
    cli::writePicture(out, photo, metadata);

    Exiv2::Image::AutoPtr written = Exiv2::ImageFactory::open(out);
    written->readMetadata();
    const Exiv2::ExifData& exif = written->exifData();
    ASSERT_NE(exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation")), exif.end());
    EXPECT_EQ(exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"))->toLong(), 1);
    ASSERT_NE(exif.findKey(Exiv2::ExifKey("Exif.Image.Make")), exif.end());
    EXPECT_EQ(exif.findKey(Exiv2::ExifKey("Exif.Image.Make"))->toString(), "Lumetra test camera");
    const Exiv2::XmpData& xmp = written->xmpData();
    ASSERT_NE(xmp.findKey(Exiv2::XmpKey("Xmp.xmp.CreatorTool")), xmp.end());
    EXPECT_EQ(xmp.findKey(Exiv2::XmpKey("Xmp.xmp.CreatorTool"))->toString(), "lumetra metadata test");
    ASSERT_TRUE(written->iccProfileDefined());
    const Exiv2::DataBuf* icc = written->iccProfile();
    EXPECT_EQ(std::vector<Exiv2::byte>(icc->pData_, icc->pData_ + icc->size_), fakeProfile());
    // Upright already: reading the result again turns nothing.
    EXPECT_EQ(cli::readPhoto(out).size(), cv::Size(20, 40));
}

INSTANTIATE_TEST_SUITE_P(Formats, KeptMetadata, ::testing::Values(".jpg", ".png", ".tif", ".webp"),
                         [](const auto& info) { return std::string(info.param + 1); });

}  // namespace
