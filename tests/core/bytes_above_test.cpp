#include <gtest/gtest.h>

#include "core/bytes_above.h"
#include "core/image.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

// Runs of eight thresholds (at both ends of the byte range too, and held
// there) and a set that is no run, over 3- and 4-channel rows of many
// widths with padding: every count must be the one a byte-by-byte count
// gives.
TEST(CountBytesAbove, MatchesACountOfEveryColourByte) {
    const ThresholdSet sets[] = {{0, 1, 2, 3, 4, 5, 6, 7},
                                 {100, 101, 102, 103, 104, 105, 106, 107},
                                 {0, 0, 0, 1, 2, 3, 4, 5},
                                 {251, 252, 253, 254, 255, 255, 255, 255},
                                 {0, 0, 3, 3, 90, 200, 254, 255}};
    constexpr int kSets = 5;
    for (int channels : {3, 4})
        for (int width : {1, 21, 22, 43, 64, 700}) {
            const OwnedImage picture = test::makePicture(width, 5, channels, 3);
            AboveCounts above[kSets];
            if (!countBytesAbove(picture.get(), sets, kSets, above)) GTEST_SKIP() << "no vector pass here";
            for (int s = 0; s < kSets; ++s)
                for (int j = 0; j < kThresholdsPerSet; ++j) {
                    uint64_t expected = 0;
                    for (int y = 0; y < picture->height; ++y)
                        for (int x = 0; x < width; ++x)
                            for (int c = 0; c < 3; ++c)
                                expected += rowOf(picture.get(), y)[x * channels + c] > sets[s][j] ? 1 : 0;
                    EXPECT_EQ(above[s][j], expected) << channels << " channels, width " << width << ", set " << s;
                }
        }
}

}  // namespace
}  // namespace lumetra
