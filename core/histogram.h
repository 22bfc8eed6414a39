// Counting the colour values of a picture, channel by channel.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lumetra {

// Counts of each colour channel's values and of the pixels counted. A pixel
// counts only when all three of its values fall below Bins, so a histogram
// of fewer bins leaves out the pixels with a channel at or above its top.
//
// Neighbouring pixels often share a value: counting them alternately into
// two banks keeps consecutive increments of one counter from waiting on
// each other. Read the sums with at().
template <class Count, int Bins = 256>
class ChannelHistogram {
public:
    // The count of `value` in `channel`, in picture order (0 blue, 1 green,
    // 2 red).
    Count at(int channel, int value) const {
        const auto c = static_cast<size_t>(channel), v = static_cast<size_t>(value);
        return static_cast<Count>(banks_[0][c][v] + banks_[1][c][v]);
    }
    // Every counted pixel adds one to exactly one blue count.
    uint64_t pixels() const {
        uint64_t sum = 0;
        for (int value = 0; value < Bins; ++value) sum += at(0, value);
        return sum;
    }

    // One pixel into bank 0 or 1.
    void add(int bank, unsigned blue, unsigned green, unsigned red) {
        constexpr unsigned top = Bins;
        if (blue >= top || green >= top || red >= top) return;
        auto& counts = banks_[static_cast<size_t>(bank)];
        ++counts[0][blue];
        ++counts[1][green];
        ++counts[2][red];
    }

private:
    std::array<std::array<std::array<Count, Bins>, 3>, 2> banks_{};
};

// Counts the `width` pixels of one row, `step` samples apart (a fourth
// channel is skipped), into every histogram given. Each value is shifted
// right by Shift first: 8 keeps the top byte of a 16-bit sample.
template <int Shift = 0, class Sample, class... Histograms>
void countRow(const Sample* row, int width, int step, Histograms&... histograms) {
    const auto countPixel = [&](const Sample* p, int bank) {
        const unsigned blue = p[0] >> Shift, green = p[1] >> Shift, red = p[2] >> Shift;
        (histograms.add(bank, blue, green, red), ...);
    };
    int x = 0;
    for (; x + 2 <= width; x += 2, row += 2 * step) {
        countPixel(row, 0);
        countPixel(row + step, 1);
    }
    if (x < width) countPixel(row, 0);
}

}  // namespace lumetra
