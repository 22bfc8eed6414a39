// The separable Gaussian blur on bytes with Q10 integer weights, and the
// high-pass built on it. Edges repeat the outermost row and column.
#pragma once

#include <opencv2/core/core_c.h>

#include <array>
#include <cstdint>
#include <memory>

namespace lumetra {

// Taps 0..taps-1 of one side of the kernel (tap 0 is the centre), Q10.
struct GaussianKernel {
    static constexpr int kMaxTaps = 45;
    int taps = 0;
    std::array<int32_t, kMaxTaps> weight{};
};

// g(i) = exp(-i^2 / (2 sigma^2)) / (sigma * 2.5066299438476563), the
// exponential rounded to a float, for i = 0, 1, ... until the first g(i)
// below 0.005 (excluded) or i = 44 (included); w(i) = trunc(g(i) * 1024 / S
// + 0.5) with S = g(0) + 2 (g(1) + ... + g(taps-1)).
// Refused (taps 0): a sigma that is not finite and positive, or so large
// (about 80 and up) that g(0) is already below 0.005.
GaussianKernel gaussianKernel(float sigma);

// One blur of a fixed sigma over 3-channel pictures of a fixed width: the
// kernel and the row buffers are prepared once, so that a recipe can make
// sure of everything before it writes its destination.
class GaussianFilter {
public:
    GaussianFilter(float sigma, int width);
    ~GaussianFilter();
    GaussianFilter(const GaussianFilter&) = delete;
    GaussianFilter& operator=(const GaussianFilter&) = delete;

    // The kernel was accepted and the buffers allocated.
    bool ready() const { return buffer_ != nullptr; }

    // dst = blur(src). Vertical pass first: each row is
    // (sum w(|k|) * row(y + k) + 512) >> 10, then the same along the row;
    // a result past 255 (weights adding up past 1024) is held at 255.
    // src and dst are 3-channel byte pictures of the filter's width and one
    // height; they may be the same picture.
    void blur(const IplImage* src, IplImage* dst);

    // dst = clamp(src - blur(src) + 128, 0, 255), or 255 minus that.
    void highPass(const IplImage* src, IplImage* dst, bool invert);

private:
    enum class Output { blur, detail, invertedDetail };
    void run(const IplImage* src, IplImage* dst, Output output);

    GaussianKernel kernel_;
    int width_ = 0;
    int ringRows_ = 0;
    std::unique_ptr<uint8_t[]> buffer_;  // ring of source rows, then the padded row
};

// The filters as single calls (3-channel byte pictures of one size, which
// may be the same). Return false, leaving dst untouched, when the pictures
// do not qualify, the kernel is refused or memory is short.
bool gaussianBlur(const IplImage* src, IplImage* dst, float sigma);
bool highPass(const IplImage* src, IplImage* dst, float sigma, bool invert);

}  // namespace lumetra
