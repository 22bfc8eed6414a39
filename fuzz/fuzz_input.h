// Turns fuzzer bytes into the values a caller can pass: sizes, channel
// counts, padding, indexes, regions, texts and pictures.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/image.h"

namespace lumetra::fuzz {

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t byte() { return used_ < size_ ? data_[used_++] : 0; }
    int32_t int32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = (value << 8) | byte();
        return static_cast<int32_t>(value);
    }
    // A small value in low..high, the common case for sizes.
    int range(int low, int high) { return low + byte() % (high - low + 1); }
    // Either a plausible value near `typical` or any 32-bit value.
    int32_t mostly(int32_t typical, int spread) {
        const uint8_t selector = byte();
        if (selector < 200) return typical + range(-spread, spread);
        return int32();
    }
    std::string text(size_t maxLength) {
        const size_t length = byte() % (maxLength + 1);
        std::string result;
        for (size_t i = 0; i < length && used_ < size_; ++i) result.push_back(static_cast<char>(byte()));
        return result;
    }
    const uint8_t* rest() const { return data_ + used_; }
    size_t restSize() const { return size_ - used_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t used_ = 0;
};

// A photo-like byte pattern (ramps, edges every 16 and 512 bytes, a little
// noise), made once: pictures are filled by copying from it, so the
// fuzzer's time goes to the library rather than to drawing.
inline const std::vector<uint8_t>& picturePattern() {
    static const std::vector<uint8_t> pattern = [] {
        std::vector<uint8_t> bytes(1u << 16);
        uint32_t noise = 12345;
        for (size_t i = 0; i < bytes.size(); ++i) {
            noise = noise * 1103515245u + 12345u;
            bytes[i] = static_cast<uint8_t>(i * 7 + (i >> 4) + ((i >> 9) & 1) * 128 + ((noise >> 16) & 7));
        }
        return bytes;
    }();
    return pattern;
}

// Fills every byte of the picture (row padding too) from the pattern,
// starting at an offset the seed picks.
inline void fillPicture(IplImage* picture, uint8_t seed) {
    const std::vector<uint8_t>& pattern = picturePattern();
    const size_t start = static_cast<size_t>(seed) * 193;
    size_t done = 0, total = static_cast<size_t>(picture->imageSize);
    while (done < total) {
        const size_t from = (start + done) % pattern.size();
        const size_t chunk = std::min(total - done, pattern.size() - from);
        std::memcpy(picture->imageData + done, pattern.data() + from, chunk);
        done += chunk;
    }
}

// A width x height picture whose rows carry 0 to 5 bytes of padding, filled
// from the pattern; the input picks the padding and the fill. Null when
// createImage refuses the form.
inline OwnedImage makePicture(Input& in, int width, int height, int depth, int channels) {
    const int padding = in.range(0, 5);
    OwnedImage picture = createImage(width + padding, height, depth, channels);
    if (!picture) return picture;
    picture->width = width;  // rows keep their padded widthStep
    fillPicture(picture.get(), in.byte());
    return picture;
}

// 1 channel now and then (refused by most entry points), else 3 or 4.
inline int channelsOf(Input& in) {
    const uint8_t pick = in.byte() % 16;
    return pick == 0 ? 1 : pick < 9 ? 3 : 4;
}

// A source of 1 to 32 pixels a side and 1, 3 or 4 channels, and where the
// call writes: the source itself (one time in `inPlaceOdds`) or a separate
// picture, now and then of another channel count or size.
struct SourceAndDestination {
    int width, height;
    OwnedImage src;
    OwnedImage separate;
    IplImage* dst;
};
inline SourceAndDestination makeSourceAndDestination(Input& in, int inPlaceOdds) {
    SourceAndDestination pictures{};
    pictures.width = in.range(1, 32);
    pictures.height = in.range(1, 32);
    const int srcChannels = channelsOf(in);
    pictures.src = makePicture(in, pictures.width, pictures.height, IPL_DEPTH_8U, srcChannels);
    const bool inPlace = in.byte() % inPlaceOdds == 0;
    const int dstChannels = in.byte() % 8 == 0 ? channelsOf(in) : srcChannels;
    const bool otherSize = in.byte() % 4 == 0;
    const int dstWidth = otherSize ? in.range(1, 36) : pictures.width;
    const int dstHeight = otherSize ? in.range(1, 36) : pictures.height;
    pictures.separate = makePicture(in, dstWidth, dstHeight, IPL_DEPTH_8U, dstChannels);
    pictures.dst = inPlace ? pictures.src.get() : pictures.separate.get();
    return pictures;
}

// A layer or host picture: 1 to 40 pixels a side, 1, 3 or 4 channels, now
// and then 16-bit.
inline OwnedImage makeLayer(Input& in) {
    const int depth = in.byte() % 16 == 0 ? IPL_DEPTH_16U : IPL_DEPTH_8U;
    const int channels = channelsOf(in);
    const int width = in.range(1, 40), height = in.range(1, 40);
    return makePicture(in, width, height, depth, channels);
}

}  // namespace lumetra::fuzz
