// Pictures for tests: deterministic contents, optional row padding whose
// bytes are marked so a test can see that nobody touched them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/image.h"

namespace lumetra::test {

constexpr uint8_t kPaddingByte = 0xA5;

// A w x h picture with `channels` channels and `padding` extra bytes per row,
// filled by fill(x, y, channel) (a fixed pseudo-random pattern by default).
OwnedImage makePicture(int width, int height, int channels, int padding = 0,
                       const std::function<uint8_t(int, int, int)>& fill = {});
OwnedImage makeUniform(int width, int height, int channels, std::vector<uint8_t> pixel);
OwnedImage clonePicture(const IplImage* picture);

// Same size, channels and pixel bytes (padding not compared).
bool samePixels(const IplImage* a, const IplImage* b);
// Whether every padding byte still holds kPaddingByte.
bool paddingIntact(const IplImage* picture);
std::vector<uint8_t> pixelAt(const IplImage* picture, int x, int y);

}  // namespace lumetra::test
