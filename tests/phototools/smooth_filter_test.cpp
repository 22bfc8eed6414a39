#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "lumetra.h"
#include "support/pictures.h"

namespace lumetra {
namespace {

using test::pixelAt;
using Bytes = std::vector<uint8_t>;

// The filter as its definition reads, for comparison with the fast one:
// every sample scattered through the kernel into a line of accumulators,
// the overhangs folded back by reflection, then the combination.
struct Reference {
    std::vector<int32_t> c;
    explicit Reference(double radius) {
        const int taps = radius < 0.5 ? 3 : radius < 1.5 ? 5 : radius < 2.5 ? 7 : radius < 4.5 ? 11 : radius < 7.5 ? 17 : 27;
        const int h = taps / 2;
        std::vector<double> w;
        double sum = 0;
        for (int d = -h; d <= h; ++d) sum += w.emplace_back(std::exp(-double(d * d) / (2 * radius * radius)));
        for (double v : w) c.push_back(int32_t(32768 * v / sum));
    }
    // One line of n samples `step` apart, in place.
    void line(uint8_t* p, int n, int step) const {
        const int h = int(c.size()) / 2;
        std::vector<int32_t> acc(size_t(n + 2 * h), 0);
        for (int x = 0; x < n; ++x)
            for (size_t k = 0; k < c.size(); ++k) acc[size_t(x) + k] += c[k] * p[x * step];
        for (int i = 0; i < n + 2 * h; ++i) {  // accumulator i holds column i - h
            int col = i - h;
            if (col >= 0 && col < n) continue;
            while (col < 0 || col >= n) col = col < 0 ? -1 - col : 2 * n - 1 - col;
            acc[size_t(col + h)] += acc[size_t(i)];
        }
        for (int x = 0; x < n; ++x) p[x * step] = uint8_t(std::min(acc[size_t(x + h)] >> 15, 255));
    }
};

// ptSmoothFilterSP by the reference, whole pictures or src ROI (x, y, w, h)
// with a margin of T pixels.
void referenceFilter(const IplImage* src, IplImage* dst, double radius, int amount, int threshold) {
    const Reference ref(radius);
    const int T = int(ref.c.size());
    CvRect roi = src->roi ? CvRect{src->roi->xOffset, src->roi->yOffset, src->roi->width, src->roi->height}
                          : CvRect{0, 0, src->width, src->height};
    const int left = src->roi ? std::max(0, roi.x - T) : 0, top = src->roi ? std::max(0, roi.y - T) : 0;
    const int right = src->roi ? std::min(src->width, roi.x + roi.width + T) : src->width;
    const int bottom = src->roi ? std::min(src->height, roi.y + roi.height + T) : src->height;
    const int w = right - left, h = bottom - top;
    std::vector<uint8_t> work(size_t(w * h * 3));
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < 3 * w; ++i) work[size_t(y * 3 * w + i)] = test::pixelAt(src, left + i / 3, top + y)[size_t(i % 3)];
    for (int y = 0; y < h; ++y)
        for (int c = 0; c < 3; ++c) ref.line(&work[size_t(y * 3 * w + c)], w, 3);
    for (int i = 0; i < 3 * w; ++i) ref.line(&work[size_t(i)], h, 3 * w);
    const int K = int(-(amount * 0.01) * 32768 * 256 / (256 - threshold));
    const int dx = dst->roi ? dst->roi->xOffset : 0, dy = dst->roi ? dst->roi->yOffset : 0;
    for (int y = 0; y < roi.height; ++y)
        for (int i = 0; i < 3 * roi.width; ++i) {
            uint8_t& out = reinterpret_cast<uint8_t*>(dst->imageData)[(dy + y) * dst->widthStep + 3 * dx + i];
            int d = work[size_t((roi.y - top + y) * 3 * w + 3 * (roi.x - left) + i)] - out;
            d = d > 0 ? std::max(d - threshold, 0) : std::min(d + threshold, 0);
            out = uint8_t(std::clamp(out + ((d * K) >> 15), 0, 255));
        }
}

TEST(SmoothFilter, MatchesTheScatterDefinition) {
    // Sizes narrower and lower than the kernel make the folds bounce.
    struct Case {
        int w, h;
        double radius;
        int amount, threshold;
    };
    for (const Case c : {Case{1, 1, 8.0, -100, 0}, Case{2, 3, 1.0, 60, 0}, Case{5, 40, 3.0, -70, 4},
                         Case{61, 7, 8.0, 150, 10}, Case{70, 64, 5.0, -100, 0}, Case{33, 29, 0.3, 100, 255}}) {
        const OwnedImage src = test::makePicture(c.w, c.h, 3, 1);
        const OwnedImage dst = test::makePicture(c.w, c.h, 3, 2);
        const OwnedImage expected = test::clonePicture(dst.get());
        referenceFilter(src.get(), expected.get(), c.radius, c.amount, c.threshold);
        EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), c.radius, c.amount, c.threshold, nullptr), 1);
        EXPECT_TRUE(test::samePixels(dst.get(), expected.get())) << c.w << "x" << c.h << " r" << c.radius;
        EXPECT_TRUE(test::paddingIntact(dst.get()));
    }
}

TEST(SmoothFilter, RegionsOfInterest) {
    // src's ROI touches the left edge (reflection there, real neighbours
    // elsewhere); dst's ROI is elsewhere; dst outside it stays as it was.
    const OwnedImage src = test::makePicture(90, 60, 3, 1);
    const OwnedImage dst = test::makePicture(80, 70, 3, 3);
    const OwnedImage before = test::clonePicture(dst.get());
    cvSetImageROI(src.get(), cvRect(0, 35, 40, 20));
    cvSetImageROI(dst.get(), cvRect(30, 40, 40, 20));
    const OwnedImage expected = test::clonePicture(dst.get());
    referenceFilter(src.get(), expected.get(), 6.0, 80, 2);
    ASSERT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 6.0, 80, 2, nullptr), 1);
    cvResetImageROI(dst.get());
    cvResetImageROI(expected.get());
    EXPECT_TRUE(test::samePixels(dst.get(), expected.get()));
    EXPECT_EQ(pixelAt(dst.get(), 29, 40), pixelAt(before.get(), 29, 40));
    EXPECT_EQ(pixelAt(dst.get(), 30, 60), pixelAt(before.get(), 30, 60));
}

TEST(SmoothFilter, UniformPictureLosesALevelPerPass) {
    // radius 0.3: 3 taps, c = (125, 32516, 125), sum 32766. Each pass
    // truncates: rows (100 * 32766) >> 15 = 99, columns (99 * 32766) >> 15
    // = 98; amount -100 makes dst the blur.
    const OwnedImage picture = test::makeUniform(7, 5, 3, {100, 100, 100});
    ASSERT_EQ(ptSmoothFilterSP(picture.get(), picture.get(), 0.3, -100, 0, nullptr), 1);
    EXPECT_EQ(pixelAt(picture.get(), 0, 0), (Bytes{98, 98, 98}));
    EXPECT_EQ(pixelAt(picture.get(), 6, 4), (Bytes{98, 98, 98}));
    // Threshold 2 ignores that difference.
    const OwnedImage kept = test::makeUniform(7, 5, 3, {100, 100, 100});
    ASSERT_EQ(ptSmoothFilterSP(kept.get(), kept.get(), 0.3, -100, 2, nullptr), 1);
    EXPECT_EQ(pixelAt(kept.get(), 3, 2), (Bytes{100, 100, 100}));
}

TEST(SmoothFilter, NothingToDoAndRefusals) {
    const OwnedImage src = test::makePicture(12, 9, 3, 1);
    const OwnedImage dst = test::makePicture(12, 9, 3, 2);
    const OwnedImage before = test::clonePicture(dst.get());
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 0, 0, nullptr), 1);
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 0.05, 50, 0, nullptr), 1);
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 50, -1, nullptr), 0);
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 50, 256, nullptr), 0);
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), nan, 50, 0, nullptr), 0);
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), -inf, 50, 0, nullptr), 0);
    EXPECT_EQ(ptSmoothFilterSP(nullptr, dst.get(), 2.0, 50, 0, nullptr), 0);
    const OwnedImage grey = test::makePicture(12, 9, 4);
    EXPECT_EQ(ptSmoothFilterSP(grey.get(), dst.get(), 2.0, 50, 0, nullptr), 0);
    cvSetImageROI(src.get(), cvRect(1, 1, 5, 5));
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 50, 0, nullptr), 0);  // 5x5 against 12x9
    cvSetImageROI(dst.get(), cvRect(8, 5, 5, 5));                               // reaches past the picture
    dst->roi->width = 5;
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 50, 0, nullptr), 0);
    cvResetImageROI(dst.get());
    EXPECT_TRUE(test::samePixels(dst.get(), before.get()));
}

TEST(SmoothFilter, ProgressRecordStops) {
    const OwnedImage src = test::makePicture(20, 15, 3);
    const OwnedImage dst = test::clonePicture(src.get());
    ProgressRecord stopped{0, 0, -1};
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 50, 0, &stopped), 0);
    EXPECT_EQ(stopped.total, 15);
    EXPECT_EQ(stopped.current, -1);
    EXPECT_TRUE(test::samePixels(dst.get(), src.get()));
    ProgressRecord running{1, 0, -1};
    EXPECT_EQ(ptSmoothFilterSP(src.get(), dst.get(), 2.0, 50, 0, &running), 1);
    EXPECT_EQ(running.current, 14);
}

}  // namespace
}  // namespace lumetra
