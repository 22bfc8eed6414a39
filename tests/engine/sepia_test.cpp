#include <gtest/gtest.h>

#include "engine/interpreter.h"
#include "looks/routines.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes sepiaOf(Bytes bgr) {
    const OwnedImage picture = test::makeUniform(1, 1, 3, bgr);
    applySepia(picture.get());
    return test::pixelAt(picture.get(), 0, 0);
}

TEST(Sepia, SaturatesAboveWhiteAndTruncatesTheRest) {
    // white: R = 0.393*255 + 0.769*255 + 0.189*255 = 344.505 -> 255,
    // G = 306.765 -> 255, B = 238.935 -> 238
    EXPECT_EQ(sepiaOf({255, 255, 255}), (Bytes{238, 255, 255}));
    // grey 128: R = 172.928, G = 153.344, B = 119.296
    EXPECT_EQ(sepiaOf({128, 128, 128}), (Bytes{119, 153, 172}));
    EXPECT_EQ(sepiaOf({0, 0, 0}), (Bytes{0, 0, 0}));
    // pure blue 200: R = 0.189*200 = 37.8, G = 33.6, B = 26.2
    EXPECT_EQ(sepiaOf({200, 0, 0}), (Bytes{26, 33, 37}));
}

TEST(Sepia, ClassicCommandToneTheDestinationInPlaceAndLeavesPaddingAlone) {
    const OwnedImage src = test::makePicture(5, 3, 3, 7);
    const OwnedImage dst = test::makeUniform(5, 3, 3, {128, 128, 128});
    const StageContext context{dst.get(), nullptr, PictureLoader(nullptr, nullptr)};
    runScript("@ classic", src.get(), context);
    EXPECT_EQ(test::pixelAt(dst.get(), 4, 2), (Bytes{119, 153, 172}));  // dst toned, src never read

    applySepia(src.get());
    EXPECT_TRUE(test::paddingIntact(src.get()));
}

}  // namespace
}  // namespace lumetra
