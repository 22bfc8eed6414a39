#include "support/pictures.h"

#include <cstring>

namespace lumetra::test {

OwnedImage makePicture(int width, int height, int channels, int padding,
                       const std::function<uint8_t(int, int, int)>& fill) {
    // Build a header over a padded buffer that OpenCV allocates and frees.
    OwnedImage picture = createImage(width + (padding + channels - 1) / channels, height, IPL_DEPTH_8U, channels);
    picture->width = width;
    picture->widthStep = width * channels + padding;
    picture->imageSize = picture->widthStep * height;
    uint32_t state = 12345u + static_cast<uint32_t>(width * 31 + height * 7 + channels);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = rowOf(picture.get(), y);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                state = state * 1664525u + 1013904223u;
                row[x * channels + c] = fill ? fill(x, y, c) : static_cast<uint8_t>(state >> 24);
            }
        std::memset(row + width * channels, kPaddingByte, static_cast<size_t>(padding));
    }
    return picture;
}

OwnedImage makeUniform(int width, int height, int channels, std::vector<uint8_t> pixel) {
    return makePicture(width, height, channels, 0, [pixel](int, int, int c) { return pixel[static_cast<size_t>(c)]; });
}

OwnedImage clonePicture(const IplImage* picture) { return OwnedImage(cvCloneImage(picture)); }

bool samePixels(const IplImage* a, const IplImage* b) {
    if (a->width != b->width || a->height != b->height || a->nChannels != b->nChannels) return false;
    const size_t bytes = static_cast<size_t>(a->width) * static_cast<size_t>(a->nChannels);
    for (int y = 0; y < a->height; ++y)
        if (std::memcmp(rowOf(a, y), rowOf(b, y), bytes) != 0) return false;
    return true;
}

bool paddingIntact(const IplImage* picture) {
    const int used = picture->width * picture->nChannels;
    for (int y = 0; y < picture->height; ++y)
        for (int i = used; i < picture->widthStep; ++i)
            if (rowOf(picture, y)[i] != kPaddingByte) return false;
    return true;
}

std::vector<uint8_t> pixelAt(const IplImage* picture, int x, int y) {
    const uint8_t* p = rowOf(picture, y) + x * picture->nChannels;
    return std::vector<uint8_t>(p, p + picture->nChannels);
}

}  // namespace lumetra::test
