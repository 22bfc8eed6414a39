// Picture conventions shared by every subsystem: byte access through
// imageData/widthStep, validity checks made at the entry points, and the
// owner type that releases scratch and loaded pictures on every path.
#pragma once

#include <opencv2/core/core_c.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "lumetra.h"

namespace lumetra {

struct ImageRelease {
    void operator()(IplImage* image) const noexcept {
        if (image) cvReleaseImage(&image);
    }
};

// Sole owner of a picture made by cvCreateImage or received from the loader.
using OwnedImage = std::unique_ptr<IplImage, ImageRelease>;

// A new picture, or null when the size is unusable or memory is short.
OwnedImage createImage(int width, int height, int depth, int channels);

// A new picture of `like`'s size and depth with the given channel count.
OwnedImage createImageLike(const IplImage* like, int channels);

inline uint8_t* rowOf(IplImage* image, int y) {
    return reinterpret_cast<uint8_t*>(image->imageData) + static_cast<std::ptrdiff_t>(y) * image->widthStep;
}
inline const uint8_t* rowOf(const IplImage* image, int y) {
    return reinterpret_cast<const uint8_t*>(image->imageData) + static_cast<std::ptrdiff_t>(y) * image->widthStep;
}

// An 8-bit picture with 3 or 4 interleaved channels whose rows fit their
// widthStep: the only kind the pixel code reads or writes.
bool isBytePicture(const IplImage* image);
bool isBytePicture(const IplImage* image, int channels);
bool sameSize(const IplImage* a, const IplImage* b);

// What every look needs before it touches dst: two 8-bit 3-channel
// pictures of one size (they may be the same picture).
inline bool lookPicturesUsable(const IplImage* src, const IplImage* dst) {
    return isBytePicture(src, 3) && isBytePicture(dst, 3) && sameSize(src, dst);
}

// Copies a 4-channel picture into a 3-channel one of the same size, dropping
// alpha. Does nothing unless src has 4 channels, dst 3, and both are given.
void convertChannels(const IplImage* src, IplImage* dst);

// A loaded picture as a 3-channel routine needs it: the picture itself when
// it has 3 channels, or a 3-channel copy of a 4-channel one. Owns both.
class FlatPicture {
public:
    explicit FlatPicture(OwnedImage loaded);
    const IplImage* get() const { return flat_ ? flat_.get() : loaded_.get(); }
    IplImage* get() { return flat_ ? flat_.get() : loaded_.get(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    OwnedImage loaded_;
    OwnedImage flat_;
};

}  // namespace lumetra
