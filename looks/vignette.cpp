#include "looks/vignette.h"

#include <algorithm>
#include <cstdint>

#include "core/vignette_law.h"

#include "core/q15.h"
#include "core/vector_clones.h"

namespace lumetra {

namespace {
constexpr int64_t kLargestRadius = int64_t{1} << 20;
// Beyond this many distinct q values (far-off or huge windows) the gains
// are computed one by one instead of tabulated.
constexpr int64_t kLargestGainTable = int64_t{1} << 18;
constexpr size_t kLargestTable32 = size_t{1} << 14;

// The law in 32-bit words: q * q keeps its low 32 bits, and a q so large
// that its square wraps to 0 darkens fully.
int32_t falloff(const VignetteShape& shape, int64_t q) {
    return vignette_law::falloff<int32_t>(wrapTo32(q), shape.brighten, 0);
}

// The largest size among gains, as unsigned (the size of INT32_MIN fits).
uint32_t largestSize(const std::vector<int32_t>& gains) {
    uint32_t largest = 0;
    for (int32_t gain : gains) {
        const uint32_t bits = static_cast<uint32_t>(gain);
        largest = std::max(largest, gain < 0 ? 0u - bits : bits);
    }
    return largest;
}
}  // namespace

VignetteShape prepareVignette(int amount, int radiusExp, int32_t width, int32_t height) {
    VignetteShape shape{};
    shape.cx = width >> 1;
    shape.cy = height >> 1;
    shape.brighten = vignette_law::brightens(amount);
    shape.strength = wrapTo32(vignette_law::strength(amount));
    const double radius = vignette_law::referenceLength(std::max(width, height), radiusExp);
    int64_t r = 1;
    if (radius > 1.0) r = radius < static_cast<double>(kLargestRadius) ? static_cast<int64_t>(radius) : kLargestRadius;
    shape.radius2 = r * r;
    shape.inverseRadius2 = static_cast<int32_t>(vignette_law::inverseRadius2(shape.radius2));
    return shape;
}

int64_t vignetteQ(const VignetteShape& shape, int64_t distance2) {
    const int64_t t = shape.radius2 + distance2;
    if (shape.inverseRadius2 > 0) return vignette_law::spreadQ12(static_cast<uint64_t>(t), static_cast<uint64_t>(shape.inverseRadius2));
    return (t << 12) / shape.radius2;
}

int32_t vignetteGain15OfQ(const VignetteShape& shape, int64_t q) {
    return vignette_law::gain<15>(falloff(shape, q), shape.strength);
}

int32_t vignetteGain12OfQ(const VignetteShape& shape, int64_t q) {
    return vignette_law::gain<12>(falloff(shape, q), shape.strength);
}

int32_t vignetteGain15(const VignetteShape& shape, int32_t x, int32_t y) {
    return vignetteGain15OfQ(shape, vignetteQ(shape, axisDistance2(x, shape.cx) + axisDistance2(y, shape.cy)));
}

int32_t vignetteGain12(const VignetteShape& shape, int32_t x, int32_t y) {
    return vignetteGain12OfQ(shape, vignetteQ(shape, axisDistance2(x, shape.cx) + axisDistance2(y, shape.cy)));
}

VignetteGains::VignetteGains(const VignetteShape& shape, GainScale scale, int32_t firstX, int32_t firstY, int width,
                             int height)
    : shape_(shape), scale_(scale), firstX_(firstX), columnDistance2_(static_cast<size_t>(std::max(width, 0))),
      row_(static_cast<size_t>(std::max(width, 0))) {
    if (width <= 0 || height <= 0) return;
    for (int col = 0; col < width; ++col)
        columnDistance2_[static_cast<size_t>(col)] =
            axisDistance2(wrapAdd(firstX, col), shape.cx);
    int64_t rowNearest = INT64_MAX, rowFarthest = 0;
    for (int row = 0; row < height; ++row) {
        const int64_t d2 =
            axisDistance2(wrapAdd(firstY, row), shape.cy);
        rowNearest = std::min(rowNearest, d2);
        rowFarthest = std::max(rowFarthest, d2);
    }
    const auto [colNearest, colFarthest] = std::minmax_element(columnDistance2_.begin(), columnDistance2_.end());
    // q grows with the distance, so the walk meets only q in [first, last].
    qFirst_ = vignetteQ(shape, *colNearest + rowNearest);
    const int64_t qLast = vignetteQ(shape, *colFarthest + rowFarthest);
    if (qLast - qFirst_ >= kLargestGainTable) return;
    columnShare_.resize(columnDistance2_.size());
    for (size_t col = 0; col < columnShare_.size(); ++col)
        columnShare_[col] = columnDistance2_[col] * shape.inverseRadius2;
    byQ_.resize(static_cast<size_t>(qLast - qFirst_ + 1));
    // Every sum the walk meets, less qFirst << 18, lies in 0 .. size << 18;
    // with up to 2^14 gains that is below 2^32, and so is each column's
    // share above the nearest column's.
    if (byQ_.size() <= kLargestTable32) {
        nearestShare_ = *colNearest * shape.inverseRadius2;
        columnAbove32_.resize(columnShare_.size());
        for (size_t col = 0; col < columnShare_.size(); ++col)
            columnAbove32_[col] = static_cast<uint32_t>(columnShare_[col] - nearestShare_);
    }
    for (size_t i = 0; i < byQ_.size(); ++i) byQ_[i] = gainOfQ(qFirst_ + static_cast<int64_t>(i));
    largest_ = largestSize(byQ_);
}

int32_t VignetteGains::gainOfQ(int64_t q) const {
    return scale_ == GainScale::q15 ? vignetteGain15OfQ(shape_, q) : vignetteGain12OfQ(shape_, q);
}

// Every row of every vignetted look passes here: worth an AVX2 version.
LUMETRA_VECTOR_CLONES void VignetteGains::fillGains(int64_t rowDistance2, size_t begin, size_t end) {
    if (byQ_.empty() || shape_.inverseRadius2 == 0) {
        for (size_t col = begin; col < end; ++col)
            row_[col] = gainOfQ(vignetteQ(shape_, rowDistance2 + columnDistance2_[col]));
        return;
    }
    // (t0 + dx^2) * inverse, split so the row's share is taken once.
    const int64_t rowShare = (shape_.radius2 + rowDistance2) * shape_.inverseRadius2;
    // q - qFirst = (rowShare - (qFirst << 18) + share) >> 18, as the shift
    // passes a multiple of 2^18; in 32 bits, eight columns a step.
    const int64_t rowAbove = rowShare + nearestShare_ - (qFirst_ << 18);
    if (!columnAbove32_.empty() && rowAbove >= 0 && rowAbove <= UINT32_MAX) {
        fillGains32(static_cast<uint32_t>(rowAbove), begin, end);
        return;
    }
    const uint64_t lastIndex = byQ_.size() - 1;
    const int64_t* __restrict share = columnShare_.data();
    const int32_t* __restrict byQ = byQ_.data();
    int32_t* __restrict gains = row_.data();
    for (size_t col = begin; col < end; ++col) {
        const int64_t q = (rowShare + share[col]) >> 18;
        gains[col] = byQ[std::min(static_cast<uint64_t>(q - qFirst_), lastIndex)];
    }
}

namespace {
#if LUMETRA_AVX2_INTRINSICS
LUMETRA_AVX512_WARNINGS_OFF
// gainsAbove32 sixteen columns a step where the processor has AVX-512. A
// row's index moves with the distance from the centre, by at most a step
// or two per column where the radius is large, so sixteen neighbours'
// indices mostly lie within 32 entries of the smaller end's: those are
// read by one permutation of two registers loaded there, kept inside the
// table; other steps gather. Returns the columns done.
LUMETRA_AVX512_VBMI size_t gainsInWindows(const uint32_t* above, const int32_t* byQ, int32_t* gains, uint32_t rowAbove,
                                          int32_t lastIndex, size_t begin, size_t end) {
    if (lastIndex < 31) return begin;
    const __m512i row = _mm512_set1_epi32(static_cast<int32_t>(rowAbove)), last = _mm512_set1_epi32(lastIndex);
    size_t col = begin;
    for (; col + 16 <= end; col += 16) {
        const __m512i sum = _mm512_add_epi32(row, _mm512_loadu_si512(above + col));
        const __m512i index = _mm512_min_epi32(_mm512_srli_epi32(sum, 18), last);
        const int32_t ends = std::min(_mm_cvtsi128_si32(_mm512_castsi512_si128(index)),
                                      _mm_extract_epi32(_mm512_extracti32x4_epi32(index, 3), 3));
        const int32_t start = std::min(ends, lastIndex - 31);
        const __m512i offset = _mm512_sub_epi32(index, _mm512_set1_epi32(start));
        __m512i gain;
        if (_mm512_cmpgt_epu32_mask(offset, _mm512_set1_epi32(31)) == 0)
            gain = _mm512_permutex2var_epi32(_mm512_loadu_si512(byQ + start), offset,
                                             _mm512_loadu_si512(byQ + start + 16));
        else
            gain = _mm512_i32gather_epi32(index, byQ, 4);
        _mm512_storeu_si512(gains + col, gain);
    }
    return col;
}
LUMETRA_AVX512_WARNINGS_ON
#endif

size_t gainsInVectors(const uint32_t* above, const int32_t* byQ, int32_t* gains, uint32_t rowAbove, int32_t lastIndex,
                      size_t begin, size_t end) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx512Vbmi()) return gainsInWindows(above, byQ, gains, rowAbove, lastIndex, begin, end);
#endif
    (void)above, (void)byQ, (void)gains, (void)rowAbove, (void)lastIndex, (void)end;
    return begin;
}

// Gains of columns begin..end-1 by their share above the nearest column's.
// The index is below 2^14 after the shift: signed 32-bit lanes read it.
LUMETRA_VECTOR_CLONES void gainsAbove32(const uint32_t* __restrict above, const int32_t* __restrict byQ,
                                        int32_t* __restrict gains, uint32_t rowAbove, int32_t lastIndex,
                                        size_t begin, size_t end) {
    for (size_t col = gainsInVectors(above, byQ, gains, rowAbove, lastIndex, begin, end); col < end; ++col)
        gains[col] = byQ[std::min(static_cast<int32_t>((rowAbove + above[col]) >> 18), lastIndex)];
}
}  // namespace

void VignetteGains::fillGains32(uint32_t rowAbove, size_t begin, size_t end) {
    gainsAbove32(columnAbove32_.data(), byQ_.data(), row_.data(), rowAbove, static_cast<int32_t>(byQ_.size() - 1),
                 begin, end);
}

// Without a table the gains' bound is the row's own.
void VignetteGains::startRow(int32_t y) {
    fillRow(y);
    if (byQ_.empty()) largest_ = largestSize(row_);
}

// The gain depends on the column only through its squared distance from
// the centre column, so a column left of the centre whose mirror image
// (2 cx - x) lies in the walk copies that column's gain: about half the
// row is computed.
LUMETRA_VECTOR_CLONES void VignetteGains::fillRow(int32_t y) {
    const int64_t rowDistance2 = axisDistance2(y, shape_.cy);
    const int64_t width = static_cast<int64_t>(row_.size());
    if (firstX_ + width - 1 > INT32_MAX) {  // canvas positions wrap: no mirror image to trust
        fillGains(rowDistance2, 0, static_cast<size_t>(width));
        return;
    }
    const int64_t centre = static_cast<int64_t>(shape_.cx) - firstX_;  // the centre's column
    const int64_t split = std::clamp<int64_t>(centre, 0, width);       // first column at or right of it
    // Columns below `split` mirror to 2 centre - col; those in [mirrored, split) land inside the walk.
    const int64_t mirrored = std::clamp<int64_t>(2 * centre - width + 1, 0, split);
    fillGains(rowDistance2, static_cast<size_t>(split), static_cast<size_t>(width));
    fillGains(rowDistance2, 0, static_cast<size_t>(mirrored));
    int32_t* __restrict gains = row_.data();
    for (int64_t col = mirrored; col < split; ++col) gains[col] = gains[2 * centre - col];
}

}  // namespace lumetra
