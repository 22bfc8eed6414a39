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
// from the smallest to the middle weighted by the hue between the two largest.
// Each weighted step divides by 100 on its own (truncating); the sum is held
// to 0..255. Ties go the way the comparisons below fall.
constexpr int32_t bwMix(int32_t b, int32_t g, int32_t r, const BwWeights& w) {
    int32_t max = 0, mid = 0, min = 0, w1 = 0, w2 = 0;
    if (r < g) {
        if (r < b) {
            if (g < b) {
                max = b, mid = g, min = r, w1 = w.blues, w2 = w.cyans;
            } else {
                max = g, mid = b, min = r, w1 = w.greens, w2 = w.cyans;
            }
        } else {
            max = g, mid = r, min = b, w1 = w.greens, w2 = w.yellows;
        }
    } else if (g < b) {
        if (r < b) {
            max = b, mid = r, min = g, w1 = w.blues, w2 = w.magentas;
        } else {
            max = r, mid = b, min = g, w1 = w.reds, w2 = w.magentas;
        }
    } else {
        max = r, mid = g, min = b, w1 = w.reds, w2 = w.yellows;
    }
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
    if (s > 127) return b + ((strength * (kRootTimes16[static_cast<size_t>(b)] - b) + 64) >> 8);
    return b + ((strength * (b - ((b * b + 64) >> 8)) + 64) >> 8);
}

// 8-bit overlay of top s over base b; reaches 257 at (255, 255).
constexpr int32_t overlay8(int32_t b, int32_t s) {
    return b > 127 ? (b + s) * 2 - ((s * b) >> 7) - 255 : (s * b) >> 7;
}

// Luminance of (B, G, R) bytes in Q15 units (weights 9798, 19234, 3736),
// not shifted; a grey byte v gives v << 15.
constexpr int32_t luminanceSum(int32_t b, int32_t g, int32_t r) { return 9798 * r + 19234 * g + 3736 * b; }

// The same luminance as a byte, rounded.
constexpr int32_t luminance8(int32_t b, int32_t g, int32_t r) { return (luminanceSum(b, g, r) + 8192) >> 15; }

}  // namespace lumetra
