// The looks' point data against the tables that define it: the
// number of points in each list and the sums of their x and y (a mistyped
// digit moves a sum by at least 0.0001), and the curves built from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "looks/color_data.h"
#include "looks/lomo_data.h"

namespace lumetra {
namespace {

struct Fingerprint {
    int variant;
    int count[3];  // red, green, blue
    double sumX;
    double sumY;
};

// Counts and sums taken from the published tables.
constexpr Fingerprint kLomo[] = {
    {1, {4, 4, 2}, 4.8950, 4.9300}, {2, {3, 4, 3}, 4.7500, 4.4135}, {3, {3, 3, 3}, 4.5000, 4.0250},
    {4, {4, 4, 4}, 6.0000, 5.4930}, {5, {4, 4, 5}, 5.6402, 6.7352},
};
constexpr Fingerprint kLomo2[] = {
    {1, {5, 4, 4}, 6.4860, 6.4937},  {2, {5, 4, 4}, 5.9918, 6.7369},  {3, {5, 3, 3}, 4.3488, 4.8820},
    {4, {4, 4, 3}, 4.9371, 5.5211},  {5, {3, 3, 3}, 4.3017, 4.3762},  {6, {2, 2, 2}, 3.0000, 3.0625},
    {7, {4, 4, 3}, 5.7761, 5.5723},  {8, {3, 4, 3}, 4.9174, 4.9917},  {9, {3, 3, 2}, 4.3136, 4.3879},
    {10, {3, 4, 4}, 5.2663, 5.6506}, {11, {3, 4, 4}, 6.1644, 5.7996}, {12, {4, 4, 2}, 5.0037, 5.2937},
    {13, {2, 4, 2}, 4.1371, 4.2272}, {14, {3, 4, 3}, 4.7997, 4.6624}, {15, {3, 4, 2}, 4.7448, 4.4626},
    {16, {4, 4, 3}, 4.9486, 6.3759}, {17, {5, 5, 3}, 6.4190, 6.5328}, {18, {5, 5, 5}, 7.8385, 9.5246},
    {19, {4, 3, 4}, 3.4464, 5.1721}, {20, {3, 4, 3}, 4.8349, 4.8152},
};

constexpr Fingerprint kColor2[] = {
    {2, {3, 4, 3}, 5.0076, 5.0626}, {3, {3, 4, 3}, 5.1919, 5.1880}, {4, {3, 4, 4}, 5.5605, 5.8351},
    {5, {3, 4, 4}, 5.4821, 6.9996}, {6, {2, 3, 4}, 4.3252, 4.2075}, {7, {3, 3, 3}, 4.5408, 4.2350},
    {8, {5, 4, 4}, 7.1523, 5.8425}, {9, {5, 5, 5}, 7.4582, 8.5874},
};

// Sums and shape of one list; the spline must pass through every point:
// its y lies between the two table entries around x.
void checkList(const CurvePointList& list, int count, double& sumX, double& sumY) {
    ASSERT_EQ(static_cast<int>(list.size()), count);
    const CurveLut lut = buildCurveLut(list);
    for (size_t k = 0; k < list.size(); ++k) {
        const CurvePoint p = list[k];
        sumX += p.x;
        sumY += p.y;
        ASSERT_GE(p.x, 0.0f);
        ASSERT_LE(p.x, 1.0f);
        if (k > 0) {
            ASSERT_GT(p.x, list[k - 1].x);
        }
        const int i = std::min(static_cast<int>(p.x * 1023.0), 1022);
        const double y = std::clamp(p.y, 0.0f, 1.0f) * 32767.0;
        EXPECT_GE(y, std::min(lut[i], lut[i + 1]) - 3.0) << "point " << k;
        EXPECT_LE(y, std::max(lut[i], lut[i + 1]) + 3.0) << "point " << k;
    }
}

void checkSets(const Fingerprint* prints, size_t n, const std::function<CurvePointSet(int)>& points) {
    for (size_t v = 0; v < n; ++v) {
        const Fingerprint& print = prints[v];
        SCOPED_TRACE(print.variant);
        const CurvePointSet set = points(print.variant);
        double sumX = 0, sumY = 0;
        checkList(set.red, print.count[0], sumX, sumY);
        checkList(set.green, print.count[1], sumX, sumY);
        checkList(set.blue, print.count[2], sumX, sumY);
        EXPECT_NEAR(sumX, print.sumX, 5e-5);
        EXPECT_NEAR(sumY, print.sumY, 5e-5);
    }
}

TEST(PointData, LomoSetsMatchTheirTables) { checkSets(kLomo, std::size(kLomo), lomoPoints); }
TEST(PointData, Lomo2SetsMatchTheirTables) { checkSets(kLomo2, std::size(kLomo2), lomo2Points); }

TEST(PointData, Color2SetsAndSingleCurvesMatchTheirTables) {
    checkSets(kColor2, std::size(kColor2), color2Points);
    double sumX = 0, sumY = 0;
    checkList(color2Curve(11), 5, sumX, sumY);
    EXPECT_NEAR(sumX, 2.4861, 5e-5);
    EXPECT_NEAR(sumY, 3.1409, 5e-5);
    sumX = sumY = 0;
    checkList(color2Curve(12), 3, sumX, sumY);
    EXPECT_NEAR(sumX, 1.4901, 5e-5);
    EXPECT_NEAR(sumY, 1.5372, 5e-5);
}

// The hue-dependent saturation changes are continuous across sector
// borders: the end of each ramp meets the start of the next sector, which
// a mistyped A or B breaks.
TEST(ColourData, SaturationChangesMeetAtEverySectorBorder) {
    const HueSaturation* tables[] = {&colorLook(1).saturation, &colorLook(2).saturation, &colorLook(3).saturation,
                                     &colorLook(4).saturation,  &colorLook(5).saturation};
    std::vector<const HueSaturation*> all(std::begin(tables), std::end(tables));
    for (int v = 2; v <= 10; ++v) all.push_back(&color2Saturation(v));
    for (size_t t = 0; t < all.size(); ++t) {
        const HueSaturation& k = *all[t];
        for (int sector = 0; sector < 6; ++sector) {
            const SectorRamp& here = k[static_cast<size_t>(sector)];
            const SectorRamp& next = k[static_cast<size_t>((sector + 1) % 6)];
            const int64_t end = (int64_t{here.a} * 4096 + here.b) >> 12;
            EXPECT_NEAR(end, next.b >> 12, 1) << "table " << t << " sector " << sector;
        }
    }
}

TEST(ColourData, ColoursAndSepiaMatchTheirByteAndDecimalForms) {
    // Overlay colours: bytes 62,18,151; 18,154,146; 75,141,17; 199,181,23.
    const uint8_t bytes[4][3] = {{62, 18, 151}, {18, 154, 146}, {75, 141, 17}, {199, 181, 23}};
    for (int v = 2; v <= 5; ++v) {
        const Rgb15 c = colorLook(v).overlay;
        EXPECT_EQ(c.r >> 7, bytes[v - 2][0]) << v;
        EXPECT_EQ(c.g >> 7, bytes[v - 2][1]) << v;
        EXPECT_EQ(c.b >> 7, bytes[v - 2][2]) << v;
    }
    const double sepia[3][3] = {{0.393, 0.769, 0.189}, {0.349, 0.686, 0.168}, {0.272, 0.534, 0.131}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(kSepiaMatrix[i][j], static_cast<int32_t>(sepia[i][j] * 32768)) << i << j;
    EXPECT_EQ(colorLook(1).hue, 21572);  // 316 degrees: 21572 * 60 / 4096
    EXPECT_EQ(colorLook(0).weight, 9175);
    EXPECT_EQ(bwColorClips(3).lower, 0.45f);
    EXPECT_EQ(bwColorClips(9).upper, 0.01f);
}

}  // namespace
}  // namespace lumetra
