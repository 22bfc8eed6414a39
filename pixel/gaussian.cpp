#include "pixel/gaussian.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "engine/image.h"
#include "pixel/byte_walk.h"
#include "pixel/vector_clones.h"

namespace lumetra {

GaussianKernel gaussianKernel(float sigma) {
    GaussianKernel kernel;
    if (!std::isfinite(sigma) || !(sigma > 0)) return kernel;
    std::array<double, GaussianKernel::kMaxTaps> g{};
    int taps = 0;
    for (int i = 0; i < GaussianKernel::kMaxTaps; ++i) {
        const double exponent = -static_cast<double>(i * i) / (2.0 * sigma * sigma);
        const double value = static_cast<float>(std::exp(exponent)) / (sigma * 2.5066299438476563);
        if (value < 0.005) break;
        g[static_cast<size_t>(taps++)] = value;
    }
    if (taps == 0) return kernel;
    double sum = g[0];
    double sides = 0;
    for (int i = 1; i < taps; ++i) sides += g[static_cast<size_t>(i)];
    sum += 2 * sides;
    for (int i = 0; i < taps; ++i)
        kernel.weight[static_cast<size_t>(i)] = static_cast<int32_t>(g[static_cast<size_t>(i)] * 1024 / sum + 0.5);
    kernel.taps = taps;
    return kernel;
}

namespace {

// A weighted sum as a byte. The rounded weights can add up to a little more
// than 1024 (1026 for sigma 40, more for some other sigmas), so white could
// come out as 256: it is held at 255.
inline uint8_t heldByte(uint32_t acc) { return static_cast<uint8_t>(std::min<uint32_t>(acc >> 10, 255)); }

// Elements (bytes of interleaved pixels) handled per pass over the
// accumulators, which stay in the L1 cache.
constexpr int kChunk = 3 * 512;

// out[i] = (sum w(|k|) * rows[k][i] + 512) >> 10 for k = -(taps-1)..taps-1,
// where rows points at the centre row's pointer.
LUMETRA_VECTOR_CLONES void verticalPass(const uint8_t* const* rows, const int32_t* weight, int taps, uint8_t* out,
                                        int count) {
    alignas(64) uint32_t acc[kChunk];
    for (int first = 0; first < count; first += kChunk) {
        const int n = std::min(kChunk, count - first);
        const uint8_t* __restrict centre = rows[0] + first;
        const uint32_t w0 = static_cast<uint32_t>(weight[0]);
        for (int i = 0; i < n; ++i) acc[i] = w0 * centre[i] + 512u;
        for (int k = 1; k < taps; ++k) {
            const uint8_t* __restrict above = rows[-k] + first;
            const uint8_t* __restrict below = rows[k] + first;
            const uint32_t w = static_cast<uint32_t>(weight[k]);
            for (int i = 0; i < n; ++i) acc[i] += w * static_cast<uint32_t>(above[i] + below[i]);
        }
        uint8_t* __restrict o = out + first;
        for (int i = 0; i < n; ++i) o[i] = heldByte(acc[i]);
    }
}

// out[i] = (sum w(|k|) * row[i + 3k] + 512) >> 10 along a row whose pixels
// continue 3 * (taps - 1) bytes past both ends.
LUMETRA_VECTOR_CLONES void horizontalPass(const uint8_t* row, const int32_t* weight, int taps, uint8_t* out,
                                          int count) {
    alignas(64) uint32_t acc[kChunk];
    for (int first = 0; first < count; first += kChunk) {
        const int n = std::min(kChunk, count - first);
        const uint8_t* __restrict centre = row + first;
        const uint32_t w0 = static_cast<uint32_t>(weight[0]);
        for (int i = 0; i < n; ++i) acc[i] = w0 * centre[i] + 512u;
        for (int k = 1; k < taps; ++k) {
            const uint8_t* __restrict left = centre - 3 * k;
            const uint8_t* __restrict right = centre + 3 * k;
            const uint32_t w = static_cast<uint32_t>(weight[k]);
            for (int i = 0; i < n; ++i) acc[i] += w * static_cast<uint32_t>(left[i] + right[i]);
        }
        uint8_t* __restrict o = out + first;
        for (int i = 0; i < n; ++i) o[i] = heldByte(acc[i]);
    }
}

LUMETRA_VECTOR_CLONES void highPassRow(const uint8_t* __restrict source, const uint8_t* __restrict blurred,
                                       uint8_t* __restrict out, int count, bool invert) {
    const int32_t flip = invert ? 255 : 0;
    for (int i = 0; i < count; ++i) {
        const int32_t detail = std::clamp<int32_t>(source[i] - blurred[i] + 128, 0, 255);
        out[i] = static_cast<uint8_t>(detail ^ flip);  // 255 - v for a byte v
    }
}

// Repeats the first and last pixel of the row at out into the margins.
void padRow(uint8_t* out, int bytes, int margin) {
    for (int i = margin - 3; i >= 0; i -= 3) std::memcpy(out - margin + i, out, 3);
    for (int i = 0; i < margin; i += 3) std::memcpy(out + bytes + i, out + bytes - 3, 3);
}

}  // namespace

GaussianFilter::GaussianFilter(float sigma, int width) : kernel_(gaussianKernel(sigma)), width_(width) {
    if (kernel_.taps == 0 || width <= 0 || width > (1 << 26)) return;
    ringRows_ = 2 * kernel_.taps - 1;
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    const size_t margin = static_cast<size_t>(kernel_.taps - 1) * 3;
    // The ring of source rows, the padded vertical result, the blurred row.
    const size_t bytes = rowBytes * static_cast<size_t>(ringRows_) + (rowBytes + 2 * margin) + rowBytes;
    buffer_.reset(new (std::nothrow) uint8_t[bytes]);
}

GaussianFilter::~GaussianFilter() = default;

void GaussianFilter::run(const IplImage* src, IplImage* dst, Output output) {
    const int height = src->height;
    const int taps = kernel_.taps;
    const int rowBytes = width_ * 3;
    const int margin = (taps - 1) * 3;
    uint8_t* ring = buffer_.get();
    uint8_t* padded = ring + static_cast<size_t>(rowBytes) * static_cast<size_t>(ringRows_) + margin;
    uint8_t* blurred = padded + rowBytes + margin;
    auto slot = [&](int row) { return ring + static_cast<size_t>(row % ringRows_) * static_cast<size_t>(rowBytes); };
    // Source rows are copied in before the destination row that could
    // overwrite them is written, so src may be dst.
    auto load = [&](int row) { std::memcpy(slot(row), rowOf(src, row), static_cast<size_t>(rowBytes)); };

    std::array<const uint8_t*, 2 * GaussianKernel::kMaxTaps - 1> rows{};
    const uint8_t** centre = rows.data() + (taps - 1);
    for (int row = 0; row < std::min(taps, height); ++row) load(row);
    for (int y = 0; y < height; ++y) {
        if (y > 0 && y + taps - 1 < height) load(y + taps - 1);
        for (int k = -(taps - 1); k < taps; ++k) centre[k] = slot(std::clamp(y + k, 0, height - 1));
        verticalPass(centre, kernel_.weight.data(), taps, padded, rowBytes);
        padRow(padded, rowBytes, margin);
        if (output == Output::blur) {
            horizontalPass(padded, kernel_.weight.data(), taps, rowOf(dst, y), rowBytes);
        } else {
            horizontalPass(padded, kernel_.weight.data(), taps, blurred, rowBytes);
            highPassRow(slot(y), blurred, rowOf(dst, y), rowBytes, output == Output::invertedDetail);
        }
    }
}

void GaussianFilter::blur(const IplImage* src, IplImage* dst) { run(src, dst, Output::blur); }

void GaussianFilter::highPass(const IplImage* src, IplImage* dst, bool invert) {
    run(src, dst, invert ? Output::invertedDetail : Output::detail);
}

bool gaussianBlur(const IplImage* src, IplImage* dst, float sigma) {
    if (!bytePicturesUsable(src, dst)) return false;
    GaussianFilter filter(sigma, src->width);
    if (!filter.ready()) return false;
    filter.blur(src, dst);
    return true;
}

bool highPass(const IplImage* src, IplImage* dst, float sigma, bool invert) {
    if (!bytePicturesUsable(src, dst)) return false;
    GaussianFilter filter(sigma, src->width);
    if (!filter.ready()) return false;
    filter.highPass(src, dst, invert);
    return true;
}

}  // namespace lumetra
