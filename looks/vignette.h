// The radial vignette: a gain that follows the fourth-power cosine law
// 1 / (1 + d^2/R^2)^2 of natural lens falloff (or its inverse, to brighten),
// at a strength between none and full.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumetra {

struct VignetteShape {
    bool brighten;           // false darkens towards the edges
    int32_t strength;        // Q8: 256 = full effect
    int64_t radius2;         // R squared, R in pixels
    int32_t inverseRadius2;  // 0x40000000 / radius2; 0 once R passes 32768
    int32_t cx;
    int32_t cy;
};

// amount in percent (below 1 darkens, -100 = full; 1 and above brightens);
// R = max(W, H) * 2^(radiusExp / 100), at least 1 and at most 2^20.
VignetteShape prepareVignette(int amount, int radiusExp, int32_t width, int32_t height);

// About 4096 * (1 + d^2/R^2) for the squared distance d^2 from the centre.
// Radii up to 32768 use the integer reciprocal 0x40000000 / R^2; larger
// radii, where that reciprocal would be 0, divide exactly:
// q = (t << 12) / R^2.
int64_t vignetteQ(const VignetteShape& shape, int64_t distance2);

// The gain for a given q, Q15 or Q12 (32768 or 4096 at the centre).
int32_t vignetteGain15OfQ(const VignetteShape& shape, int64_t q);
int32_t vignetteGain12OfQ(const VignetteShape& shape, int64_t q);

// Squared distance along one axis. Offsets are held within 32768 of the
// centre, which changes nothing on canvases up to 65535 a side and keeps
// far-off windows from overflowing.
inline int64_t axisDistance2(int32_t position, int32_t centre) {
    int64_t d = static_cast<int64_t>(position) - centre;
    if (d > 32768) d = 32768;
    if (d < -32768) d = -32768;
    return d * d;
}

// The gain at canvas position (X, Y).
int32_t vignetteGain15(const VignetteShape& shape, int32_t x, int32_t y);
int32_t vignetteGain12(const VignetteShape& shape, int32_t x, int32_t y);

enum class GainScale { q15, q12 };

// The gains of every q a walk over a window can meet, computed once so the
// per-pixel division of the darkening rule becomes a lookup, and the gains
// of one row at a time, the row's squared distance taken once.
class VignetteGains {
public:
    // firstX, firstY: canvas position of the walk's top-left pixel;
    // width, height: the walk's size.
    VignetteGains(const VignetteShape& shape, GainScale scale, int32_t firstX, int32_t firstY, int width, int height);

    // Fills the gains of the row at canvas y; read them with at(col).
    void startRow(int32_t y);
    int32_t at(int col) const { return row_[static_cast<size_t>(col)]; }
    const int32_t* row() const { return row_.data(); }
    // No gain of the current row is larger in size: with a table, the
    // largest of every gain the walk can meet, found once.
    uint32_t largestGain() const { return largest_; }

private:
    int32_t gainOfQ(int64_t q) const;
    void fillRow(int32_t y);
    // The gains of columns begin..end-1 of the row at squared distance rowDistance2.
    void fillGains(int64_t rowDistance2, size_t begin, size_t end);
    // The same from the row's sum above the nearest column's, in 32 bits.
    void fillGains32(uint32_t rowAbove, size_t begin, size_t end);

    VignetteShape shape_;
    GainScale scale_;
    int32_t firstX_;
    std::vector<int64_t> columnDistance2_;
    // columnDistance2 * inverseRadius2: with the row's share added, q is
    // one add and a shift.
    std::vector<int64_t> columnShare_;
    // With a table of up to 2^14 gains, each column's share less the
    // nearest column's (nearestShare_), which then fits 32 bits.
    int64_t nearestShare_ = 0;
    std::vector<uint32_t> columnAbove32_;
    int64_t qFirst_ = 0;
    std::vector<int32_t> byQ_;
    std::vector<int32_t> row_;
    uint32_t largest_ = 0;
};

}  // namespace lumetra
