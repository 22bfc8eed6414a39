// Gradient soft light. The gradient position of pixel (x, y) is
//   d = (x * (2^30 / width) + y * (2^30 / height)) >> 15   (0..65535),
// segment j = d >> 14 between stops j and j + 1 at fraction u = d & 16383:
//   top = ((16384 - u) * stop[j] + u * stop[j + 1]) >> 14.
// The base is the Q15 mix of 70 % grey and 30 % colour of the pixel's
// bytes; soft light with w = 2 top - 32768 darkens by base - base^2 (w < 1)
// or lightens toward the square root of base:
//   byte = (((w * e) >> 15) + base) >> 7.
#include <cmath>

#include "looks/color_effect_steps.h"
#include "looks/row_walk.h"

namespace lumetra {

namespace {

constexpr uint32_t kDiagonal = 0x40000000u;

struct RowTerms {
    uint32_t rowTerm;
    const uint32_t* columnTerm;
};

inline int32_t softLight(int32_t top, int32_t base, const int32_t* sqrtTable) {
    const int32_t w = 2 * top - 32768;
    const int32_t darken = base - ((base * base) >> 15), lighten = sqrtTable[base >> 7] - base;
    const int32_t e = w < 1 ? darken : lighten;
    return (((w * e) >> 15) + base) >> 7;
}

inline int32_t mixStops(int32_t lower, int32_t upper, int32_t u) { return ((16384 - u) * lower + u * upper) >> 14; }

// Pixels begin..end-1 of a row, all within the segment from stop `lower`
// to stop `upper`.
LUMETRA_VECTOR_CLONES void softLightRun(uint8_t* __restrict row, int begin, int end, RowTerms terms, Rgb15 lower,
                                      Rgb15 upper, const int32_t* __restrict sqrtTable) {
    for (int x = begin; x < end; ++x) {
        const int32_t u = static_cast<int32_t>(((terms.columnTerm[x] + terms.rowTerm) >> 15) & 16383);
        uint8_t* px = row + 3 * x;
        const int32_t R = px[2], G = px[1], B = px[0];
        const int32_t baseR = (kGradientBase[0][0] * R + kGradientBase[0][1] * G + kGradientBase[0][2] * B) >> 8;
        const int32_t baseG = (kGradientBase[1][0] * R + kGradientBase[1][1] * G + kGradientBase[1][2] * B) >> 8;
        const int32_t baseB = (kGradientBase[2][0] * R + kGradientBase[2][1] * G + kGradientBase[2][2] * B) >> 8;
        px[2] = static_cast<uint8_t>(softLight(mixStops(lower.r, upper.r, u), baseR, sqrtTable));
        px[1] = static_cast<uint8_t>(softLight(mixStops(lower.g, upper.g, u), baseG, sqrtTable));
        px[0] = static_cast<uint8_t>(softLight(mixStops(lower.b, upper.b, u), baseB, sqrtTable));
    }
}

// The row in runs of one gradient segment: the position grows with x, so
// a row crosses each segment boundary at most once.
void softLightRow(uint8_t* row, int width, RowTerms terms, const GradientStops& stops, const int32_t* sqrtTable) {
    const auto segment = [&terms](int x) { return ((terms.columnTerm[x] + terms.rowTerm) >> 15) >> 14; };
    for (int begin = 0; begin < width;) {
        const uint32_t j = segment(begin);
        int end = begin + 1;
        while (end < width && segment(end) == j) ++end;
        softLightRun(row, begin, end, terms, stops[j], stops[j + 1], sqrtTable);
        begin = end;
    }
}

}  // namespace

GradientSoftLight::GradientSoftLight(int width, const GradientStops& stops)
    : stops_(stops), columnTerm_(size_t(width > 0 ? width : 1)) {
    const uint32_t step = kDiagonal / static_cast<uint32_t>(columnTerm_.size());
    for (size_t x = 0; x < columnTerm_.size(); ++x) columnTerm_[x] = static_cast<uint32_t>(x) * step;
    // sq[i] = trunc(sqrt(i / 256) * 32768), the root taken of a float.
    for (int i = 0; i < 256; ++i) sqrtTable_[i] = static_cast<int32_t>(std::sqrt(float(i) / 256.0f) * 32768.0f);
}

void GradientSoftLight::apply(IplImage* picture) {
    const uint32_t rowStep = kDiagonal / static_cast<uint32_t>(picture->height);
    for (int y = 0; y < picture->height; ++y)
        softLightRow(rowOf(picture, y), picture->width, RowTerms{static_cast<uint32_t>(y) * rowStep, columnTerm_.data()},
                     stops_, sqrtTable_);
}

}  // namespace lumetra
