#include <gtest/gtest.h>

#include "pixel/routines.h"
#include "support/pictures.h"
#include "support/recording_loader.h"

namespace lumetra {
namespace {

// Preset 42 is "@ texture2 Texturize2_1.jpg overlay 100": the loaded
// picture, flattened to 3 channels, goes through blendByName.
TEST(Texture2, PresetRunsTheNamedBlendOnTheFlattenedTexture) {
    const OwnedImage src = test::makePicture(30, 20, 3, 2);
    const OwnedImage texture = test::makePicture(11, 9, 4);
    test::RecordingLoader loader;
    loader.serve("Texturize2_1.jpg", test::clonePicture(texture.get()));
    const OwnedImage dst = test::makePicture(30, 20, 3, 1);
    fx(src.get(), dst.get(), 42, nullptr, nullptr, test::RecordingLoader::load, nullptr, loader.userData());

    const OwnedImage flat = createImageLike(texture.get(), 3);
    convertChannels(texture.get(), flat.get());
    const OwnedImage expected = test::clonePicture(src.get());
    blendByName(src.get(), expected.get(), flat.get(), 0, 100, "overlay", 0, nullptr);
    EXPECT_TRUE(test::samePixels(dst.get(), expected.get()));
    EXPECT_FALSE(test::samePixels(dst.get(), src.get()));
}

TEST(Texture2, ExportBlendsByNameAndIgnoresUnknownNames) {
    const OwnedImage src = test::makePicture(16, 12, 3);
    const OwnedImage layer = test::makePicture(5, 7, 4);
    const OwnedImage dst = test::makePicture(16, 12, 3);
    const OwnedImage expected = test::makePicture(16, 12, 3);
    const EffectRegion region{0, 3, 2, 40, 30};
    blendByName(src.get(), expected.get(), layer.get(), 0, 45, "hard_mix", 0, &region);
    AppplyTexture2(src.get(), dst.get(), layer.get(), 45, "hard_mix", const_cast<EffectRegion*>(&region));
    EXPECT_TRUE(test::samePixels(dst.get(), expected.get()));

    const OwnedImage before = test::clonePicture(dst.get());
    AppplyTexture2(src.get(), dst.get(), layer.get(), 45, "Hard_mix", nullptr);
    AppplyTexture2(src.get(), dst.get(), layer.get(), 45, nullptr, nullptr);
    AppplyTexture2(nullptr, dst.get(), layer.get(), 45, "hard_mix", nullptr);
    AppplyTexture2(src.get(), dst.get(), nullptr, 45, "hard_mix", nullptr);
    EXPECT_TRUE(test::samePixels(dst.get(), before.get()));
}

}  // namespace
}  // namespace lumetra
