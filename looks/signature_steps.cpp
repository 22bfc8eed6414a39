// The set-up halves of the signature looks' steps: the levels table and the
// stretched layers.
#include <cmath>
#include <cstring>

#include "looks/signature_layers.h"
#include "looks/signature_steps.h"

namespace lumetra {

LevelsTable512 levelsLut512(int black, int white, float gamma) {
    LevelsTable512 table{};
    const int low = 2 * black, high = 2 * white;
    const double exponent = 1.0 / static_cast<double>(gamma);
    for (int i = 0; i < 512; ++i) {
        const float t = static_cast<float>(static_cast<double>(std::clamp(i, low, high) - low) / (high - low));
        const float power = static_cast<float>(std::pow(static_cast<double>(t), exponent));
        table[static_cast<size_t>(i)] = static_cast<int32_t>(512.0 * power);
    }
    return table;
}

namespace {

// Colour kept, alpha 255 added (full cover).
void addOpaqueAlpha(const IplImage* src, IplImage* dst) {
    for (int y = 0; y < src->height; ++y) {
        const uint8_t* in = rowOf(src, y);
        uint8_t* out = rowOf(dst, y);
        for (int x = 0; x < src->width; ++x) {
            std::memcpy(out + 4 * x, in + 3 * x, 3);
            out[4 * x + 3] = 255;
        }
    }
}

}  // namespace

StretchedLayer::StretchedLayer(const IplImage* picture, int channels, const CanvasWindow& window) {
    if (!isBytePicture(picture) || !hasArea(window) ||
        !canFitLayer(picture->width, picture->height, window.width, window.height, kFitStretch))
        return;
    if (picture->nChannels != channels) {
        copy_ = createImageLike(picture, channels);
        if (!copy_) return;
        if (channels == 3)
            convertChannels(picture, copy_.get());
        else
            addOpaqueAlpha(picture, copy_.get());
    }
    picture_ = copy_ ? copy_.get() : picture;
    stretch_ = fitLayer(picture->width, picture->height, window.width, window.height, kFitStretch);
}

}  // namespace lumetra
