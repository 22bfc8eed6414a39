// The contact sheet: one labelled cell per preset, laid out as a grid, with
// every missing pack picture named once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "cli/contact_sheet.h"
#include "engine/catalogue.h"

namespace {

namespace fs = std::filesystem;

// A photo with some colour in it, so a preset that does anything shows.
cv::Mat testPhoto(cv::Size size) {
    cv::Mat photo(size, CV_8UC3);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            photo.at<cv::Vec3b>(y, x) = cv::Vec3b(static_cast<uchar>(40 + 150 * x / size.width),
                                                  static_cast<uchar>(90 + 100 * y / size.height), 170);
    return photo;
}

class ContactSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        emptyPack_ = fs::temp_directory_path() / ("lumetra-empty-pack-" + std::to_string(::getpid()));
        fs::create_directories(emptyPack_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(emptyPack_, ignored);
    }
    fs::path emptyPack_;
};

TEST_F(ContactSheetTest, HasOneLabelledCellPerPresetInAGrid) {
    cli::AssetFolder assets{emptyPack_.string(), {}, true};
    cli::SheetOptions options;
    options.columns = 10;
    options.thumbnailSide = 60;
    int progressCalls = 0;
    const cli::ContactSheet sheet = drawContactSheet(testPhoto(cv::Size(300, 200)), assets, options,
                                                     [&](int done, int total) {
                                                         EXPECT_EQ(done, ++progressCalls);
                                                         EXPECT_EQ(total, lumetra::kPresetCount);
                                                     });
    ASSERT_EQ(sheet.cells.size(), 153u);
    ASSERT_EQ(sheet.labels.size(), 153u);
    EXPECT_EQ(progressCalls, 153);
    EXPECT_EQ(sheet.original.size(), cv::Size(60, 40)) << "the thumbnail keeps the photo's aspect";

    const cv::Rect whole(0, 0, sheet.picture.cols, sheet.picture.rows);
    const cv::Vec3b background = sheet.picture.at<cv::Vec3b>(0, 0);
    for (size_t i = 0; i < sheet.cells.size(); ++i) {
        SCOPED_TRACE("preset " + std::to_string(i));
        const cv::Rect cell = sheet.cells[i];
        EXPECT_EQ(cell & whole, cell) << "inside the sheet";
        EXPECT_EQ(cell & sheet.labels[i], sheet.labels[i]) << "the label belongs to its cell";
        // row-major: ten to a row, left to right
        EXPECT_EQ(cell.x, sheet.cells[i % 10].x);
        EXPECT_EQ(cell.y, sheet.cells[i - i % 10].y);
        if (i % 10 != 0) {
            EXPECT_GE(cell.x, sheet.cells[i - 1].br().x) << "no overlap with the left neighbour";
        }
        if (i >= 10) {
            EXPECT_GE(cell.y, sheet.cells[i - 10].br().y) << "no overlap with the cell above";
        }
        // the label is written: it holds ink
        const cv::Mat label = sheet.picture(sheet.labels[i]);
        int ink = 0;
        for (int y = 0; y < label.rows; ++y)
            for (int x = 0; x < label.cols; ++x) ink += label.at<cv::Vec3b>(y, x) != background;
        EXPECT_GT(ink, 40);
    }
}

TEST_F(ContactSheetTest, ShowsTheOriginalAndEveryResult) {
    cli::AssetFolder assets{emptyPack_.string(), {}, true};
    cli::SheetOptions options;
    options.thumbnailSide = 48;
    const cv::Mat photo = testPhoto(cv::Size(48, 32));  // already small: used as it is
    const cli::ContactSheet sheet = drawContactSheet(photo, assets, options);
    EXPECT_EQ(cv::norm(sheet.picture(sheet.original), photo, cv::NORM_INF), 0.0);
    ASSERT_EQ(sheet.changed.size(), 153u);
    for (size_t i = 0; i < sheet.cells.size(); ++i) {
        const cv::Mat shown = sheet.picture(cv::Rect(sheet.cells[i].tl(), photo.size()));
        // an unchanged preset shows the photo itself
        if (!sheet.changed[i]) {
            EXPECT_EQ(cv::norm(shown, photo, cv::NORM_INF), 0.0) << "preset " << i;
        }
    }
}

TEST_F(ContactSheetTest, NamesEachMissingPictureOnce) {
    cli::AssetFolder assets{emptyPack_.string(), {}, true};
    cli::SheetOptions options;
    options.thumbnailSide = 24;
    drawContactSheet(testPhoto(cv::Size(24, 16)), assets, options);
    const std::set<std::string> unique(assets.warned.begin(), assets.warned.end());
    EXPECT_EQ(unique.size(), assets.warned.size());
    // vtg.png is asked for by nine presets
    EXPECT_EQ(std::count(assets.warned.begin(), assets.warned.end(), emptyPack_.string() + "/textures/vtg.png"), 1);
}

}  // namespace
