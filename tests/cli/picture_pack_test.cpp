// The picture pack as the loader serves it: every name the presets and the
// frame examples use is there, and the generator writes the same bytes on
// every run.
#include <gtest/gtest.h>
#include <unistd.h>
#include <opencv2/core/core_c.h>
#include <opencv2/imgcodecs.hpp>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/picture_pack.h"
#include "core/image.h"
#include "engine/catalogue.h"
#include "shared_pack.h"

namespace {

namespace fs = std::filesystem;

// The picture names a script mentions: the tokens that end in an image extension.
std::set<std::string> picturesNamedByPresets() {
    std::set<std::string> names;
    for (int index = 0; index < lumetra::kPresetCount; ++index) {
        std::istringstream words(lumetra::presetScript(index));
        for (std::string word; words >> word;)
            if (word.ends_with(".png") || word.ends_with(".jpg")) names.insert(word);
    }
    return names;
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One generated pack for the whole suite: drawing it takes a few seconds.
class PicturePack : public ::testing::Test {
protected:
    static void SetUpTestSuite() { root_ = new fs::path(test::sharedPackDir()); }
    static void TearDownTestSuite() {
        delete root_;
        root_ = nullptr;
    }

    // The picture as the host program's loader hands it to the library.
    static lumetra::OwnedImage load(ImageKind kind, const std::string& name) {
        cli::AssetFolder folder{root_->string(), {}, true};
        return lumetra::OwnedImage(cli::loadAsset(kind, name.c_str(), &folder));
    }

    static fs::path* root_;
};
fs::path* PicturePack::root_ = nullptr;

// Alpha that is not the same everywhere: the picture says where it covers.
bool hasMeaningfulAlpha(const IplImage* picture) {
    std::vector<cv::Mat> channels;
    cv::split(cv::cvarrToMat(picture), channels);
    double low = 0, high = 0;
    cv::minMaxLoc(channels[3], &low, &high);
    return high - low >= 64;
}

}  // namespace

// Every picture a preset names is served, sized like a real asset; where it
// has alpha, the alpha says where it covers. The golden sweep pins each
// picture's bytes and channels, and the catalogue test sees a recipe that
// refuses its picture (the photo is left unchanged).
TEST_F(PicturePack, EveryPresetPictureIsServedLikeARealAsset) {
    for (const std::string& name : picturesNamedByPresets()) {
        SCOPED_TRACE(name);
        const lumetra::OwnedImage picture = load(IMAGE_KIND_TEXTURE, name);
        ASSERT_NE(picture, nullptr);
        EXPECT_GE(std::max(picture->width, picture->height), 512);
        if (picture->nChannels == 4) {
            EXPECT_TRUE(hasMeaningfulAlpha(picture.get()));
        }
    }
}

TEST_F(PicturePack, NoTwoPicturesShareAFile) {
    std::set<std::string> files;
    for (const cli::pack::PackPicture& picture : cli::pack::packContents())
        EXPECT_TRUE(files.insert(std::string(cli::pack::folderName(picture.folder)) + "/" + picture.name).second)
            << picture.name;
}

TEST_F(PicturePack, EveryFrameComesInAllFiveTypes) {
    for (const std::string frame : {"wood", "film", "white"}) {
        SCOPED_TRACE(frame);
        // type 1: one picture, covering at the border and clear in the middle
        const lumetra::OwnedImage whole = load(IMAGE_KIND_FRAME, frame + ".png");
        ASSERT_NE(whole, nullptr);
        ASSERT_EQ(whole->nChannels, 4);
        const cv::Mat pixels = cv::cvarrToMat(whole.get());
        EXPECT_EQ(pixels.at<cv::Vec4b>(2, pixels.cols / 2)[3], 255);
        EXPECT_EQ(pixels.at<cv::Vec4b>(pixels.rows / 2, pixels.cols / 2)[3], 0);
        // types 2 and 3: eight pieces; types 4 and 5: the mat's eight pieces and its texture
        for (const std::string& set : {frame, frame + "_a"})
            for (int piece = 0; piece < 8; ++piece) {
                const lumetra::OwnedImage loaded = load(IMAGE_KIND_FRAME, set + "_" + std::to_string(piece) + ".png");
                ASSERT_NE(loaded, nullptr) << set << " piece " << piece;
                EXPECT_EQ(loaded->nChannels, 4);
            }
        const lumetra::OwnedImage texture = load(IMAGE_KIND_FRAME, frame + "_a_tt.png");
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->nChannels, 4);
    }
}

TEST_F(PicturePack, EdgePiecesRepeatWithoutASeam) {
    // A repeated edge continues at column 0 after its last column: the two
    // ends must look like neighbours, not like a cut.
    const lumetra::OwnedImage top = load(IMAGE_KIND_FRAME, "wood_1.png");
    ASSERT_NE(top, nullptr);
    const cv::Mat pixels = cv::cvarrToMat(top.get());
    const double acrossSeam = cv::norm(pixels.col(pixels.cols - 1), pixels.col(0), cv::NORM_L1);
    const double withinPiece = cv::norm(pixels.col(pixels.cols / 2 - 1), pixels.col(pixels.cols / 2), cv::NORM_L1);
    EXPECT_LE(acrossSeam, 2.0 * withinPiece + 4.0 * pixels.rows);
}

TEST_F(PicturePack, VignetteMasksKeepTheMiddleAndDarkenTheEdges) {
    int masks = 0;
    for (const cli::pack::PackPicture& picture : cli::pack::vignettePictures()) {
        SCOPED_TRACE(picture.name);
        const lumetra::OwnedImage mask = load(IMAGE_KIND_VIGNETTE, picture.name);
        ASSERT_NE(mask, nullptr);
        EXPECT_EQ(mask->nChannels, 3);
        const cv::Mat pixels = cv::cvarrToMat(mask.get());
        EXPECT_GT(pixels.at<cv::Vec3b>(pixels.rows / 2, pixels.cols / 2)[1], pixels.at<cv::Vec3b>(0, 0)[1] + 100);
        ++masks;
    }
    EXPECT_GE(masks, 3);
}

TEST_F(PicturePack, ApertureShapesAreOpeningsOnBlack) {
    for (const cli::pack::PackPicture& picture : cli::pack::aperturePictures()) {
        SCOPED_TRACE(picture.name);
        const cv::Mat shape = cli::readAsset((*root_ / "apertures" / picture.name).string());
        ASSERT_FALSE(shape.empty());
        EXPECT_EQ(shape.channels(), 3);
        EXPECT_EQ(shape.at<cv::Vec3b>(shape.rows / 2, shape.cols / 2)[1], 255);  // the blur reads green
        EXPECT_EQ(shape.at<cv::Vec3b>(0, 0)[1], 0);
    }
    EXPECT_EQ(cli::pack::aperturePictures().size(), 3u);
}

TEST_F(PicturePack, AMissingPictureIsNamedOnceAndServedAsNull) {
    cli::AssetFolder folder{root_->string(), {}, true};
    EXPECT_EQ(cli::loadAsset(IMAGE_KIND_TEXTURE, "no_such_texture.png", &folder), nullptr);
    EXPECT_EQ(cli::loadAsset(IMAGE_KIND_TEXTURE, "no_such_texture.png", &folder), nullptr);
    EXPECT_EQ(folder.warned.size(), 1u);
    // a kind outside the three folders is not served either
    EXPECT_EQ(cli::loadAsset(7, "vtg.png", &folder), nullptr);
}

TEST_F(PicturePack, ACorruptPictureIsServedAsNull) {
    const fs::path corrupt = *root_ / "textures" / "corrupt.png";
    std::ofstream(corrupt) << "not a picture";
    cli::AssetFolder folder{root_->string(), {}, true};
    EXPECT_EQ(cli::loadAsset(IMAGE_KIND_TEXTURE, "corrupt.png", &folder), nullptr);
    EXPECT_EQ(folder.warned.size(), 1u);
    fs::remove(corrupt);
}

TEST_F(PicturePack, DrawingAgainWritesTheSameBytes) {
    // Every third picture drawn again, in another order on other threads:
    // a sample of every kind of drawing, at a third of the cost.
    std::vector<cli::pack::PackPicture> sample;
    const std::vector<cli::pack::PackPicture> all = cli::pack::packContents();
    for (size_t i = all.size(); i-- > 0;)
        if (i % 3 == 0) sample.push_back(all[i]);
    const fs::path second = fs::temp_directory_path() / ("lumetra-pack-again-" + std::to_string(::getpid()));
    cli::pack::writePictures(second.string(), sample);
    for (const cli::pack::PackPicture& picture : sample) {
        const fs::path relative = fs::path(cli::pack::folderName(picture.folder)) / picture.name;
        const std::string first = fileBytes(*root_ / relative);
        EXPECT_FALSE(first.empty()) << relative;
        EXPECT_EQ(first, fileBytes(second / relative)) << relative;
    }
    std::error_code ignored;
    fs::remove_all(second, ignored);
}
