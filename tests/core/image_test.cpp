#include <gtest/gtest.h>

#include "core/image.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

using test::makePicture;

TEST(ConvertChannels, DropsAlphaRowByRowHonouringEachWidthStep) {
    const OwnedImage four = makePicture(7, 5, 4, /*padding=*/9);
    const OwnedImage three = makePicture(7, 5, 3, /*padding=*/5, [](int, int, int) { return 0; });
    convertChannels(four.get(), three.get());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const std::vector<uint8_t> in = test::pixelAt(four.get(), x, y);
            EXPECT_EQ(test::pixelAt(three.get(), x, y), std::vector<uint8_t>(in.begin(), in.begin() + 3));
        }
    EXPECT_TRUE(test::paddingIntact(three.get()));
}

TEST(ConvertChannels, IgnoresNullAndWrongChannelCounts) {
    const OwnedImage three = makePicture(4, 4, 3);
    const OwnedImage before = test::clonePicture(three.get());
    const OwnedImage alsoThree = makePicture(4, 4, 3, 0, [](int, int, int) { return 9; });
    convertChannels(nullptr, three.get());
    convertChannels(alsoThree.get(), three.get());  // source without alpha
    const OwnedImage four = makePicture(4, 4, 4);
    convertChannels(four.get(), nullptr);
    convertChannels(four.get(), test::makePicture(4, 4, 4).get());  // destination with alpha
    EXPECT_TRUE(test::samePixels(three.get(), before.get()));
}

TEST(BytePicture, AcceptsOnlyEightBitThreeOrFourChannelPicturesWithSaneRows) {
    EXPECT_TRUE(isBytePicture(makePicture(1, 1, 3).get()));
    EXPECT_TRUE(isBytePicture(makePicture(5, 1, 4, 3).get(), 4));
    EXPECT_FALSE(isBytePicture(nullptr));
    EXPECT_FALSE(isBytePicture(createImage(4, 4, IPL_DEPTH_8U, 1).get()));
    EXPECT_FALSE(isBytePicture(createImage(4, 4, IPL_DEPTH_16U, 3).get()));
    const OwnedImage shortRows = makePicture(4, 4, 3);
    shortRows->widthStep = 11;
    EXPECT_FALSE(isBytePicture(shortRows.get()));
    EXPECT_FALSE(createImage(0, 4, IPL_DEPTH_8U, 3));
    EXPECT_FALSE(createImage(1 << 30, 1, IPL_DEPTH_8U, 3));
}

}  // namespace
}  // namespace lumetra
