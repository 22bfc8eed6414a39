// Mixing rules on bytes, for the looks that work on 8-bit channels directly
// rather than on the Q15 working pixel: the hue-weighted grey, the 8-bit
// soft light and overlay, and the byte luminance. Pixels are B, G, R bytes.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace lumetra {

// Percent weights of the grey mix by the hue range a pixel falls in.
struct BwWeights {
    int32_t reds;
    int32_t yellows;
    int32_t greens;
    int32_t cyans;
    int32_t blues;
    int32_t magentas;
};

// The grey of (B, G, R): the smallest channel, plus the step from the middle
// channel to the largest weighted by the largest channel's hue, plus the step
// from the smallest to the middle weighted by the hue between the two largest
// (yellows when blue is smallest, cyans when red is, magentas when green is).
// Each weighted step divides by 100 on its own (truncating); the sum is held
// to 0..255. Where channels tie, the step between them is 0, so which of
// them counts as larger changes nothing. No branches: pixels of any hue run
// at the same speed.
constexpr int32_t bwMix(int32_t b, int32_t g, int32_t r, const BwWeights& w) {
    const int32_t max = std::max(r, std::max(g, b));
    const int32_t min = std::min(r, std::min(g, b));
    const int32_t mid = r + g + b - max - min;
    const int32_t w1 = max == r ? w.reds : max == g ? w.greens : w.blues;
    const int32_t w2 = min == b ? w.yellows : min == r ? w.cyans : w.magentas;
    const int32_t grey = min + (max - mid) * w1 / 100 + (mid - min) * w2 / 100;
    return std::clamp<int32_t>(grey, 0, 255);
}

// 16 x the truncated square root of every byte. The float root truncates to
// the integer root: below 256 the root of k * k - 1 lies over 1/32 under k.
inline constexpr std::array<uint8_t, 256> kRootTimes16 = [] {
    std::array<uint8_t, 256> table{};
    int32_t root = 0;
    for (int32_t b = 0; b < 256; ++b) {
        if ((root + 1) * (root + 1) <= b) ++root;
        table[static_cast<size_t>(b)] = static_cast<uint8_t>(root * 16);
    }
    return table;
}();

// 8-bit soft light of top s over base b (both bytes; the result is a byte).
// Above the middle the base is pushed toward 16 x its truncated root.
constexpr int32_t softLight8(int32_t b, int32_t s) {
    const int32_t strength = 2 * s - 255;
    const int32_t lighter = b + ((strength * (kRootTimes16[static_cast<size_t>(b)] - b) + 64) >> 8);
    const int32_t darker = b + ((strength * (b - ((b * b + 64) >> 8)) + 64) >> 8);
    return s > 127 ? lighter : darker;
}

// 8-bit overlay of top s over base b; reaches 257 at (255, 255).
constexpr int32_t overlay8(int32_t b, int32_t s) {
    const int32_t product = (s * b) >> 7;
    const int32_t screen = (b + s) * 2 - product - 255;
    return b > 127 ? screen : product;
}

// Luminance of (B, G, R) bytes in Q15 units (weights 9798, 19234, 3736),
// not shifted; a grey byte v gives v << 15.
constexpr int32_t luminanceSum(int32_t b, int32_t g, int32_t r) { return 9798 * r + 19234 * g + 3736 * b; }

// The same luminance as a byte, rounded.
constexpr int32_t luminance8(int32_t b, int32_t g, int32_t r) { return (luminanceSum(b, g, r) + 8192) >> 15; }

}  // namespace lumetra
