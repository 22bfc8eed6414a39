// Every preset of the catalogue does something visible: with the picture
// pack, each one changes the default picture.
#include <gtest/gtest.h>
#include <opencv2/core/core_c.h>

#include <string>

#include "cli/cli.h"
#include "engine/catalogue.h"
#include "shared_pack.h"

namespace {

TEST(Catalogue, EveryPresetChangesTheDefaultPicture) {
    cli::AssetFolder assets{test::sharedPackDir(), {}, true};
    cv::Mat photo = cli::drawSamplePicture(600, 400);  // half the default size: a quarter of the time
    IplImage src = cvIplImage(photo);
    for (int preset = 0; preset < lumetra::kPresetCount; ++preset) {
        cv::Mat result = photo.clone();
        IplImage dst = cvIplImage(result);
        fx(&src, &dst, preset, nullptr, nullptr, cli::loadAsset, nullptr, &assets);
        EXPECT_GT(cv::norm(photo, result, cv::NORM_INF), 0)
            << "preset " << preset << " leaves the picture unchanged: " << lumetra::presetScript(preset);
    }
    EXPECT_TRUE(assets.warned.empty()) << assets.warned.front();
}

}  // namespace
