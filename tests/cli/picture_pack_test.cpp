// The picture pack as the loader serves it: every name the presets and the
// frame examples use is there, with the channel count its recipe reads, and
// the generator writes the same bytes on every run.
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

struct Expected {
    ImageKind kind;
    const char* name;
    int channels;
};

// Channel counts as the recipes read them: 4 where a step's weight is
// scaled by the picture's alpha (or the alpha is the mask), 3 where only the
// colour is read. Flattened pictures ("texture2", "texture3") and grain
// plates are 3.
const Expected kPresetPictures[] = {
    // "texture": recipes 1-5 and 7 read colour, 6, 8, 9 (and 10-13) read alpha
    {IMAGE_KIND_TEXTURE, "Texturize1_1.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize1_2.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize1_3.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize1_4.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize1_5.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize1_6.png", 4},
    {IMAGE_KIND_TEXTURE, "Texturize1_7.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize1_8.png", 4},
    {IMAGE_KIND_TEXTURE, "Texturize1_9.png", 4},
    {IMAGE_KIND_TEXTURE, "Texturize1_10.png", 3},  // preset 114 runs it with recipe 2
    {IMAGE_KIND_TEXTURE, "Texturize1_11.png", 4},  // preset 116 runs it with recipe 6
    // "texture2": flattened before blending
    {IMAGE_KIND_TEXTURE, "Texturize2_1.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_2.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_3.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_4.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_5.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_6.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_7.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_8.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_9.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_10.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_11.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_12.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_13.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_14.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_15.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_16.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_17.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_18.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_19.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_20.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_21.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_22.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_23.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_24.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_25.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_26.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_27.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_28.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_29.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_30.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_31.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_32.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Texturize2_33.jpg", 3}, {IMAGE_KIND_TEXTURE, "Texturize2_34.jpg", 3},
    // "texture3" mask and the colour-burn layer of preset 100, flattened
    {IMAGE_KIND_TEXTURE, "vtg.png", 3},
    // "bw_texture": overlay of the colour
    {IMAGE_KIND_TEXTURE, "bw1.png", 3}, {IMAGE_KIND_TEXTURE, "bw2.png", 3},
    // "muti_texture" 1: T4, T4, T; 2: T4, T; 4: T, T, T; 5: five T4
    {IMAGE_KIND_TEXTURE, "Muti_texture1-1.png", 4}, {IMAGE_KIND_TEXTURE, "Muti_texture1-2.png", 4},
    {IMAGE_KIND_TEXTURE, "Muti_texture1-3.jpg", 3}, {IMAGE_KIND_TEXTURE, "Muti_texture2-1.png", 4},
    {IMAGE_KIND_TEXTURE, "Muti_texture2-2.jpg", 3}, {IMAGE_KIND_TEXTURE, "Muti_texture4-1.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Muti_texture4-2.jpg", 3}, {IMAGE_KIND_TEXTURE, "Muti_texture4-3.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Muti_texture5-1.png", 4}, {IMAGE_KIND_TEXTURE, "Muti_texture5-2.png", 4},
    {IMAGE_KIND_TEXTURE, "Muti_texture5-3.png", 4}, {IMAGE_KIND_TEXTURE, "Muti_texture5-4.png", 4},
    {IMAGE_KIND_TEXTURE, "Muti_texture5-5.png", 4},
    // glimmer: I1 4, I2 3, I3 3 in variant 1 and 4 in variants 2 and 3
    {IMAGE_KIND_TEXTURE, "Glimmer_1.png", 4}, {IMAGE_KIND_TEXTURE, "Glimmer_2.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Glimmer_Gina.jpg", 3}, {IMAGE_KIND_TEXTURE, "Glimmer_Slide.png", 4},
    {IMAGE_KIND_TEXTURE, "Glimmer_Freddie.png", 4},
    // kailani: I1 4; I2 4 for the slide, colour only for the monochrome
    {IMAGE_KIND_TEXTURE, "Kailani_1.png", 4}, {IMAGE_KIND_TEXTURE, "Kailani_Slide.png", 4},
    {IMAGE_KIND_TEXTURE, "Kailani_Monochrome.png", 3},
    // beattle: I1 3, I2 4 (its alpha is a mask), I3 3
    {IMAGE_KIND_TEXTURE, "Beattle.jpg", 3}, {IMAGE_KIND_TEXTURE, "Beattle_blank.png", 4},
    {IMAGE_KIND_TEXTURE, "Beattle_Gina.png", 4}, {IMAGE_KIND_TEXTURE, "Beattle_blaky1.png", 4},
    {IMAGE_KIND_TEXTURE, "Beattle_blaky2.png", 3}, {IMAGE_KIND_TEXTURE, "Beattle_Floaty.png", 4},
    {IMAGE_KIND_TEXTURE, "Beattle_Monochrome1.png", 4}, {IMAGE_KIND_TEXTURE, "Beattle_Monochrome2.png", 3},
    // johnny: I1, I2 3; I3 4
    {IMAGE_KIND_TEXTURE, "Johnny_1.jpg", 3}, {IMAGE_KIND_TEXTURE, "Johnny_2.jpg", 3},
    {IMAGE_KIND_TEXTURE, "Johnny_Monochrome.png", 4},
    // grain plates
    {IMAGE_KIND_TEXTURE, "ns1.jpg", 3}, {IMAGE_KIND_TEXTURE, "ns2.png", 3}, {IMAGE_KIND_TEXTURE, "ns3.jpg", 3},
    {IMAGE_KIND_TEXTURE, "nsd1a.png", 3}, {IMAGE_KIND_TEXTURE, "nsd1b.jpg", 3},
    {IMAGE_KIND_TEXTURE, "nsd2a.png", 3}, {IMAGE_KIND_TEXTURE, "nsd2b.jpg", 3},
    {IMAGE_KIND_TEXTURE, "nsd3a.jpg", 3}, {IMAGE_KIND_TEXTURE, "nsd3b.png", 3},
    {IMAGE_KIND_TEXTURE, "nsd4a.jpg", 3}, {IMAGE_KIND_TEXTURE, "nsd4b.png", 3},
};

// The frame examples: "2,0.05,wood" and "4,0.05,0,80,9,wood_a" (whose type 5
// also draws "wood"); every frame picture and piece carries alpha.
std::vector<std::string> frameExampleNames() {
    std::vector<std::string> names;
    for (const std::string frame : {"wood", "wood_a"})
        for (int piece = 0; piece < 8; ++piece) names.push_back(frame + "_" + std::to_string(piece) + ".png");
    names.push_back("wood_a_tt.png");
    return names;
}

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

TEST_F(PicturePack, EveryPresetPictureIsServedWithTheChannelsItsRecipeReads) {
    for (const Expected& expected : kPresetPictures) {
        SCOPED_TRACE(expected.name);
        const lumetra::OwnedImage picture = load(expected.kind, expected.name);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->nChannels, expected.channels);
        EXPECT_GE(std::max(picture->width, picture->height), 512) << "sized like a real asset";
        if (expected.channels == 4) {
            EXPECT_TRUE(hasMeaningfulAlpha(picture.get()));
        }
    }
}

TEST_F(PicturePack, TheTableCoversExactlyThePicturesThePresetsName) {
    std::set<std::string> tabled;
    for (const Expected& expected : kPresetPictures) EXPECT_TRUE(tabled.insert(expected.name).second) << expected.name;
    EXPECT_EQ(tabled, picturesNamedByPresets());
}

TEST_F(PicturePack, NoTwoPicturesShareAFile) {
    std::set<std::string> files;
    for (const cli::pack::PackPicture& picture : cli::pack::packContents())
        EXPECT_TRUE(files.insert(std::string(cli::pack::folderName(picture.folder)) + "/" + picture.name).second)
            << picture.name;
}

TEST_F(PicturePack, FrameExamplesArePiecesWithAlpha) {
    for (const std::string& name : frameExampleNames()) {
        SCOPED_TRACE(name);
        const lumetra::OwnedImage piece = load(IMAGE_KIND_FRAME, name);
        ASSERT_NE(piece, nullptr);
        EXPECT_EQ(piece->nChannels, 4);
    }
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
