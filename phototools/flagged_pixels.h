// The pixels a colour pass leaves to the restore passes, gathered into
// short lists so that the divisions run on those pixels only: each entry
// holds the pixel's column, its offsets and its L.
#pragma once

#include <cstdint>

namespace lumetra::pt {

// A list of gathered pixels over arrays with room for kListSpare entries
// past the most it can hold: a vector pass stores 8 lanes where fewer may
// count.
struct PixelList {
    static constexpr int kListSpare = 8;
    int32_t* index;
    int32_t* r;
    int32_t* g;
    int32_t* b;
    int32_t* l;
    int count = 0;

    void push(int32_t column, int32_t red, int32_t green, int32_t blue, int32_t lum) {
        index[count] = column, r[count] = red, g[count] = green, b[count] = blue, l[count] = lum;
        ++count;
    }
    // The list that starts where this one ends.
    PixelList after() const { return {index + count, r + count, g + count, b + count, l + count}; }
};

// The flags a colour pass sets: over white, or under black only; and, from
// the per-hue passes, out of range with an offset the restore passes cannot
// take (kRestorableReach or more in size), left to the full rule.
constexpr uint8_t kFlagOver = 1;
constexpr uint8_t kFlagUnder = 2;
constexpr uint8_t kFlagWide = 4;
constexpr int32_t kRestorableReach = 1 << 30;

// Appends every pixel i below n flagged kFlagOver to `over` and every one
// flagged kFlagUnder to `under`, in column order, with r[i], g[i], b[i]
// and lum[i]. Other flags are not gathered.
void gatherFlagged(const uint8_t* flag, int n, const int32_t* r, const int32_t* g, const int32_t* b,
                   const int32_t* lum, PixelList& over, PixelList& under);

}  // namespace lumetra::pt
