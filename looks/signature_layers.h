// The pictures a signature look lays over the photo: each stretched over the
// canvas (fit mode 2) and read at the channel count its recipe samples.
#pragma once

#include <opencv2/core/core_c.h>

#include "core/image.h"
#include "pixel/canvas.h"
#include "pixel/terms.h"

namespace lumetra {

// A layer ready for sampling, or empty when the picture is missing, not a
// byte picture, too large to place, or when memory for a copy is short.
// A recipe that samples alpha from a 3-channel picture sees it opaque; one
// that reads only colour from a 4-channel picture ignores its alpha. Either
// way the picture is copied once, at the channel count asked for, and the
// copy lives as long as this value.
class StretchedLayer {
public:
    StretchedLayer() = default;
    StretchedLayer(const IplImage* picture, int channels, const CanvasWindow& window);

    explicit operator bool() const { return picture_ != nullptr; }

    template <int Channels>
    LayerSampler<Channels> sampler() const {
        return layer<Channels>(picture_, stretch_);
    }
    // The sampled alpha as a step weight (the mask A2 of a recipe).
    MaskTerm<LayerSampler<4>> alphaMask() const { return mask(sampler<4>(), MaskChannel::alpha); }

private:
    OwnedImage copy_;
    const IplImage* picture_ = nullptr;
    LayerTransform stretch_{};
};

}  // namespace lumetra
