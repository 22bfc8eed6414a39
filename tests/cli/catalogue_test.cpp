// Every preset of the catalogue does something visible: with the picture
// pack, each one changes the default picture.
#include <gtest/gtest.h>
#include <opencv2/core/core_c.h>

#include <map>
#include <string>

#include "cli/cli.h"
#include "engine/catalogue.h"
#include "shared_pack.h"

namespace {

// Presets allowed to leave the picture as it was, and why. Each one names a
// routine that is still an empty stub in this tree; the entry goes when the
// routine lands (the test then fails until it is removed).
constexpr const char* kTexture = "pending routine: applyTexture";
constexpr const char* kTexture3 = "pending routine: applyTexture3";
constexpr const char* kBwTexture = "pending routine: applyBwTexture";
constexpr const char* kMutiTexture = "pending routine: applyMutiTexture";
constexpr const char* kColorEffect = "pending routine: applyColorEffect";
constexpr const char* kBaw = "pending routine: applyBaw";
constexpr const char* kSignature = "pending routine: the signature looks (glimmer, kailani, beattle, johnny)";
constexpr const char* kNewWb = "pending routine: applyNewWb";
constexpr const char* kGrain = "pending routine: the grain routines applyNoise, applyNoiseD";

const std::map<int, const char*> kUnchangedPresets = {
    {33, kTexture}, {34, kTexture}, {35, kTexture}, {36, kTexture}, {37, kTexture}, {38, kTexture},
    {39, kTexture}, {40, kTexture}, {41, kTexture}, {73, kTexture3}, {74, kTexture3}, {75, kTexture3},
    {76, kTexture3}, {77, kTexture3}, {78, kTexture3}, {79, kTexture3}, {80, kTexture3}, {81, kBwTexture},
    {82, kBwTexture}, {83, kMutiTexture}, {84, kMutiTexture}, {85, kMutiTexture}, {86, kMutiTexture},
    {87, kColorEffect}, {88, kColorEffect}, {89, kColorEffect}, {90, kColorEffect}, {91, kColorEffect},
    {92, kColorEffect}, {93, kColorEffect}, {94, kColorEffect}, {95, kColorEffect}, {96, kColorEffect},
    {97, kColorEffect}, {98, kColorEffect}, {99, kColorEffect}, {114, kTexture}, {116, kTexture}, {119, kBaw},
    {120, kBaw}, {121, kSignature}, {122, kSignature}, {123, kSignature}, {124, kSignature}, {125, kSignature},
    {126, kSignature}, {127, kSignature}, {128, kSignature}, {129, kSignature}, {130, kSignature},
    {131, kSignature}, {132, kSignature}, {133, kSignature}, {134, kSignature}, {135, kSignature},
    {136, kSignature}, {137, kSignature}, {138, kNewWb}, {139, kNewWb}, {140, kNewWb}, {141, kNewWb},
    {142, kNewWb}, {143, kNewWb}, {144, kNewWb}, {145, kNewWb}, {146, kGrain}, {147, kGrain}, {148, kGrain},
    {149, kGrain}, {150, kGrain}, {151, kGrain}, {152, kGrain},
};

TEST(Catalogue, EveryPresetChangesTheDefaultPicture) {
    cli::AssetFolder assets{test::sharedPackDir(), {}, true};
    cv::Mat photo = cli::drawSamplePicture(600, 400);  // half the default size: a quarter of the time
    IplImage src = cvIplImage(photo);
    for (int preset = 0; preset < lumetra::kPresetCount; ++preset) {
        cv::Mat result = photo.clone();
        IplImage dst = cvIplImage(result);
        fx(&src, &dst, preset, nullptr, nullptr, cli::loadAsset, nullptr, &assets);
        const bool changed = cv::norm(photo, result, cv::NORM_INF) > 0;
        const auto allowed = kUnchangedPresets.find(preset);
        if (allowed != kUnchangedPresets.end())
            EXPECT_FALSE(changed) << "preset " << preset << " now changes the picture (" << allowed->second
                                  << " has landed): take it off the list";
        else
            EXPECT_TRUE(changed) << "preset " << preset << " leaves the picture unchanged: "
                                 << lumetra::presetScript(preset);
    }
    EXPECT_TRUE(assets.warned.empty()) << assets.warned.front();
}

}  // namespace
