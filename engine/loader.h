// The host's picture loader as the interpreter uses it: every result is
// owned at once, checked, and released exactly once by its owner.
#pragma once

#include <string>

#include "core/image.h"

namespace lumetra {

class PictureLoader {
public:
    PictureLoader(ImageLoaderFn loadImage, void* userData) : loadImage_(loadImage), userData_(userData) {}

    // The picture named `name`, or null when the host has none. A picture
    // that is not 8-bit with 3 or 4 channels is released at once and taken
    // as missing; an empty name (a script that ended early) is not asked for.
    OwnedImage load(ImageKind kind, const std::string& name) const;

    // As load(), except that the token "NULL" stands for no picture and the
    // host is not asked.
    OwnedImage loadUnlessNull(ImageKind kind, const std::string& name) const;

    ImageLoaderFn function() const { return loadImage_; }
    void* userData() const { return userData_; }

private:
    ImageLoaderFn loadImage_;
    void* userData_;
};

}  // namespace lumetra
