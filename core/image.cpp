#include "core/image.h"

#include <algorithm>
#include <limits>

namespace lumetra {

OwnedImage createImage(int width, int height, int depth, int channels) {
    if (width <= 0 || height <= 0 || channels <= 0 || channels > 4) return nullptr;
    // cvCreateImage keeps widthStep in an int: refuse what would not fit.
    const int64_t bytesPerRow = static_cast<int64_t>(width) * channels * ((depth & 255) / 8 + 1);
    if (bytesPerRow + 8 > std::numeric_limits<int>::max()) return nullptr;
    try {
        return OwnedImage(cvCreateImage(cvSize(width, height), depth, channels));
    } catch (...) {
        return nullptr;
    }
}

OwnedImage createImageLike(const IplImage* like, int channels) {
    if (!like) return nullptr;
    return createImage(like->width, like->height, like->depth, channels);
}

bool isBytePicture(const IplImage* image) {
    return image && image->depth == IPL_DEPTH_8U && (image->nChannels == 3 || image->nChannels == 4) &&
           image->width > 0 && image->height > 0 && image->imageData &&
           static_cast<int64_t>(image->widthStep) >= static_cast<int64_t>(image->width) * image->nChannels;
}

bool isBytePicture(const IplImage* image, int channels) {
    return isBytePicture(image) && image->nChannels == channels;
}

bool sameSize(const IplImage* a, const IplImage* b) {
    return a && b && a->width == b->width && a->height == b->height;
}

void convertChannels(const IplImage* src, IplImage* dst) {
    if (!src || !dst || src->nChannels != 4 || dst->nChannels != 3) return;
    // Both pictures have the same size in every legitimate call; the smaller
    // extent keeps a mismatched pair inside its buffers.
    const int height = std::min(src->height, dst->height);
    const int width = std::min(src->width, dst->width);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rowOf(src, y);
        uint8_t* out = rowOf(dst, y);
        for (int x = 0; x < width; ++x, in += 4, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
}

FlatPicture::FlatPicture(OwnedImage loaded) : loaded_(std::move(loaded)) {
    if (loaded_ && loaded_->nChannels == 4) {
        flat_ = createImageLike(loaded_.get(), 3);
        if (flat_) {
            convertChannels(loaded_.get(), flat_.get());
        } else {
            loaded_.reset();  // no memory for the copy: the command sees no picture
        }
    }
}

}  // namespace lumetra
