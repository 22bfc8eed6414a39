// AppplyEffect: the result code, a sample of each family's table, and the
// indexes that select nothing.
#include <gtest/gtest.h>

#include "looks/routines.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

class Effect : public ::testing::Test {
protected:
    OwnedImage src = test::makePicture(13, 9, 3, 3);
    OwnedImage dst = test::makePicture(13, 9, 3, 1);
    OwnedImage before = test::clonePicture(dst.get());

    OwnedImage byIndex(int index, IplImage* picture = nullptr) {
        OwnedImage out = test::clonePicture(dst.get());
        EXPECT_EQ(AppplyEffect(src.get(), out.get(), picture, 0, 1, index, nullptr), 1);
        return out;
    }
};

TEST_F(Effect, NullPicturesReturnZeroAndEmptySelectionsOne) {
    EXPECT_EQ(AppplyEffect(nullptr, dst.get(), nullptr, 0, 1, 1, nullptr), 0);
    EXPECT_EQ(AppplyEffect(src.get(), nullptr, nullptr, 0, 1, 1, nullptr), 0);
    for (int index : {-1, 0, 8, 16, 47, 50, 63, 72, 76, 94})
        EXPECT_TRUE(test::samePixels(byIndex(index).get(), before.get())) << index;
    EXPECT_EQ(AppplyEffect(src.get(), dst.get(), nullptr, 0, 4, 1, nullptr), 1);
    // the indexes that lay the picture do nothing without one
    for (int index : {45, 64, 71, 84, 93})
        EXPECT_TRUE(test::samePixels(byIndex(index).get(), before.get())) << index;
    EXPECT_EQ(AppplyEffect(src.get(), dst.get(), nullptr, 0, 3, 0, nullptr), 1);
    EXPECT_TRUE(test::samePixels(dst.get(), before.get()));
    EXPECT_TRUE(test::paddingIntact(dst.get()));
}

TEST_F(Effect, VignetteAndFrameFamiliesLayThePicture) {
    // no mask: the radial falloff darkens the corners
    EXPECT_EQ(AppplyEffect(src.get(), dst.get(), nullptr, 0, 2, 0, nullptr), 1);
    EXPECT_FALSE(test::samePixels(dst.get(), before.get()));
    // an opaque frame covers everything: blue 200 at every pixel
    const OwnedImage frame = test::makeUniform(4, 4, 4, {200, 0, 0, 255});
    EXPECT_EQ(AppplyEffect(src.get(), dst.get(), frame.get(), 0, 3, 0, nullptr), 1);
    EXPECT_EQ(test::pixelAt(dst.get(), 12, 8), (std::vector<uint8_t>{200, 0, 0}));
    EXPECT_TRUE(test::paddingIntact(dst.get()));
}

}  // namespace
}  // namespace lumetra
