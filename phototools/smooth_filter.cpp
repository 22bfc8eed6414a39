// ptSmoothFilterSP: a separable Gaussian blur of src's working area, then
// dst moved toward the blur (negative amounts) or away from it (positive,
// an unsharp mask), differences up to the threshold ignored.
//
// The blur is a convolution with integer weights c[k] = trunc(32768 w / sum)
// whose overhangs past the ends of a line fold back by reflection (column
// -1 onto 0, n onto n - 1, bouncing when the kernel is longer than the
// line), each output clamp(sum >> 15, 0, 255). The sums are exact integers,
// so they are formed as gathers: a plain symmetric sum inside the line, and
// near its ends a few precomputed weights per output that already hold the
// folded taps. Rows are blurred into a working buffer, then its columns in
// place through a ring of saved rows.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/image.h"
#include "core/vector_clones.h"
#include "phototools/fixed.h"
#include "phototools/progress.h"

namespace lumetra::pt {

namespace {

constexpr int kMaxTaps = 27;

// Taps of the Gaussian of the given sigma.
int tapsFor(double radius) {
    if (radius < 0.5) return 3;
    if (radius < 1.5) return 5;
    if (radius < 2.5) return 7;
    if (radius < 4.5) return 11;
    if (radius < 7.5) return 17;
    return 27;
}

// c[h + d] = trunc(32768 w(d) / sum of w), w(d) = exp(-d^2 / (2 radius^2)):
// symmetric, so only c[h..] is kept (centre first).
struct Kernel {
    int half = 0;
    int32_t weight[kMaxTaps / 2 + 1] = {};  // weight[j] = c[h + j] = c[h - j]
    int taps() const { return 2 * half + 1; }
    int32_t tap(int k) const { return weight[k < half ? half - k : k - half]; }
};

Kernel gaussianKernel(double radius) {
    Kernel kernel;
    kernel.half = (tapsFor(radius) - 1) / 2;
    double w[kMaxTaps];
    double sum = 0.0;
    for (int k = 0; k < kernel.taps(); ++k) {
        const double d = k - kernel.half;
        w[k] = std::exp(-(d * d) / (2.0 * (radius * radius)));
        sum += w[k];
    }
    for (int j = 0; j <= kernel.half; ++j) kernel.weight[j] = static_cast<int32_t>(32768.0 * w[kernel.half + j] / sum);
    return kernel;
}

// Position p folded into 0..n-1 by reflection about both ends.
int reflect(int p, int n) {
    while (p < 0 || p >= n) p = p < 0 ? -1 - p : 2 * n - 1 - p;
    return p;
}

// The blur of one line of n samples. Outputs [interiorBegin, interiorEnd)
// are plain symmetric sums; every other output is a weighted sum of the
// sources first..first+weights.size()-1, the folded taps included.
struct EdgeOutput {
    int output;
    int first;
    std::vector<int32_t> weights;
};

class LineKernel {
public:
    LineKernel(const Kernel& kernel, int n) : kernel_(kernel) {
        const int h = kernel.half;
        const bool roomy = n >= 4 * h + 2;  // the two ends' folds stay apart
        interiorBegin_ = roomy ? h : 0;
        interiorEnd_ = roomy ? n - h : 0;
        std::vector<std::vector<int32_t>> dense;  // per edge output, over its window
        std::vector<int> firstOf;
        std::vector<int> slot(size_t(n), -1);
        const auto addEdge = [&](int o, int first, int last) {
            slot[size_t(o)] = static_cast<int>(edges_.size());
            edges_.push_back(EdgeOutput{o, first, std::vector<int32_t>(size_t(last - first), 0)});
        };
        for (int o = 0; o < n; ++o) {
            if (o >= interiorBegin_ && o < interiorEnd_) continue;
            if (!roomy) addEdge(o, 0, n);
            else if (o < h) addEdge(o, 0, 2 * h + 1);
            else addEdge(o, n - 2 * h - 1, n);
        }
        // Scatter every source that can reach an edge output through the taps.
        const auto scatter = [&](int x) {
            for (int k = 0; k < kernel.taps(); ++k) {
                const int o = reflect(x + k - h, n);
                if (slot[size_t(o)] < 0) continue;
                EdgeOutput& e = edges_[size_t(slot[size_t(o)])];
                e.weights[size_t(x - e.first)] += kernel.tap(k);
            }
        };
        if (!roomy) {
            for (int x = 0; x < n; ++x) scatter(x);
        } else {
            for (int x = 0; x < 2 * h + 1; ++x) scatter(x);
            for (int x = n - 2 * h - 1; x < n; ++x) scatter(x);
        }
        for (EdgeOutput& e : edges_) trim(e);
    }
    const Kernel& kernel() const { return kernel_; }
    int interiorBegin() const { return interiorBegin_; }
    int interiorEnd() const { return interiorEnd_; }
    const std::vector<EdgeOutput>& edges() const { return edges_; }

private:
    // Drops the zero weights at both ends of the window.
    static void trim(EdgeOutput& e) {
        auto& w = e.weights;
        const auto nonzero = [](int32_t v) { return v != 0; };
        const auto head = std::find_if(w.begin(), w.end(), nonzero);
        if (head == w.end()) {
            w.clear();
            return;
        }
        const auto tail = std::find_if(w.rbegin(), w.rend(), nonzero).base();
        e.first += static_cast<int>(head - w.begin());
        w = std::vector<int32_t>(head, tail);
    }

    Kernel kernel_;
    int interiorBegin_ = 0;
    int interiorEnd_ = 0;
    std::vector<EdgeOutput> edges_;
};

inline uint8_t storeSum(int32_t sum) { return static_cast<uint8_t>(std::min(sum >> 15, 255)); }

// out[i] = the symmetric sum around in[i] along samples 3 apart (the same
// channel of the neighbouring pixels). The half-width is a constant, so the
// taps unroll and each output's sum stays in a register.
template <int H>
LUMETRA_VECTOR_CLONES void blurAlongRow(const uint8_t* __restrict in, uint8_t* __restrict out, int count,
                                      const Kernel& kernel) {
    int32_t c[H + 1];
    for (int j = 0; j <= H; ++j) c[j] = kernel.weight[j];
    for (int i = 0; i < count; ++i) {
        int32_t sum = c[0] * in[i];
        for (int j = 1; j <= H; ++j) sum += c[j] * (in[i - 3 * j] + in[i + 3 * j]);
        out[i] = storeSum(sum);
    }
}

// out[i] = the symmetric sum over the rows rows[H - j] .. rows[H + j].
template <int H>
LUMETRA_VECTOR_CLONES void blurAcrossRows(const uint8_t* const* rows, uint8_t* __restrict out, int count,
                                        const Kernel& kernel) {
    int32_t c[H + 1];
    const uint8_t* __restrict above[H + 1];
    const uint8_t* __restrict below[H + 1];
    for (int j = 0; j <= H; ++j) c[j] = kernel.weight[j], above[j] = rows[H - j], below[j] = rows[H + j];
    for (int i = 0; i < count; ++i) {
        int32_t sum = c[0] * above[0][i];
        for (int j = 1; j <= H; ++j) sum += c[j] * (above[j][i] + below[j][i]);
        out[i] = storeSum(sum);
    }
}

// The half-widths of the kernel sizes, resolved once per call.
template <template <int> class Pass, class... Args>
void withHalfWidth(int half, Args&&... args) {
    switch (half) {
        case 1: return Pass<1>::run(args...);
        case 2: return Pass<2>::run(args...);
        case 3: return Pass<3>::run(args...);
        case 5: return Pass<5>::run(args...);
        case 8: return Pass<8>::run(args...);
        default: return Pass<13>::run(args...);
    }
}
template <int H>
struct AlongRow {
    static void run(const uint8_t* in, uint8_t* out, int count, const Kernel& k) { blurAlongRow<H>(in, out, count, k); }
};
template <int H>
struct AcrossRows {
    static void run(const uint8_t* const* rows, uint8_t* out, int count, const Kernel& k) {
        blurAcrossRows<H>(rows, out, count, k);
    }
};

// A rectangle of a picture, in pixels.
struct Area {
    int x, y, width, height;
};

struct Plan {
    Area blur;      // src's working area: the ROI and its margins
    Area combine;   // within the working area: the ROI
    Area target;    // dst's ROI
};

Area roiOf(const IplImage* image) {
    if (!image->roi) return {0, 0, image->width, image->height};
    return {image->roi->xOffset, image->roi->yOffset, image->roi->width, image->roi->height};
}

bool liesIn(const Area& a, const IplImage* image) {
    return a.x >= 0 && a.y >= 0 && a.width > 0 && a.height > 0 && int64_t{a.x} + a.width <= image->width &&
           int64_t{a.y} + a.height <= image->height;
}

// The ROI extended by `margin` pixels on each side, clipped to the picture.
Area workingArea(const IplImage* src, int margin, Area& roiWithin) {
    const Area roi = roiOf(src);
    if (!src->roi) {
        roiWithin = {0, 0, roi.width, roi.height};
        return roi;
    }
    const int left = std::max(0, roi.x - margin), top = std::max(0, roi.y - margin);
    const int right = static_cast<int>(std::min<int64_t>(src->width, int64_t{roi.x} + roi.width + margin));
    const int bottom = static_cast<int>(std::min<int64_t>(src->height, int64_t{roi.y} + roi.height + margin));
    roiWithin = {roi.x - left, roi.y - top, roi.width, roi.height};
    return {left, top, right - left, bottom - top};
}

const uint8_t* pixelAt(const IplImage* image, int x, int y) { return rowOf(image, y) + 3 * std::ptrdiff_t(x); }
uint8_t* pixelAt(IplImage* image, int x, int y) { return rowOf(image, y) + 3 * std::ptrdiff_t(x); }

// The working buffer: rows of 3 * width bytes.
class WorkRows {
public:
    WorkRows(int width, int height) : stride_(3 * size_t(width)), bytes_(stride_ * size_t(height)) {}
    uint8_t* row(int y) { return bytes_.data() + stride_ * size_t(y); }
    size_t stride() const { return stride_; }

private:
    size_t stride_;
    std::vector<uint8_t> bytes_;
};

bool blurRows(const IplImage* src, const Area& area, const Kernel& kernel, WorkRows& work, const Progress& progress) {
    const LineKernel line(kernel, area.width);
    progress.start(area.height);
    for (int y = 0; y < area.height; ++y) {
        if (!progress.proceed(y)) return false;
        const uint8_t* in = pixelAt(src, area.x, area.y + y);
        uint8_t* out = work.row(y);
        const int begin = line.interiorBegin(), end = line.interiorEnd();
        if (end > begin) withHalfWidth<AlongRow>(kernel.half, in + 3 * begin, out + 3 * begin, 3 * (end - begin), kernel);
        for (const EdgeOutput& e : line.edges())
            for (int c = 0; c < 3; ++c) {
                int32_t sum = 0;
                for (size_t m = 0; m < e.weights.size(); ++m) sum += e.weights[m] * in[3 * (e.first + int(m)) + c];
                out[3 * e.output + c] = storeSum(sum);
            }
    }
    return true;
}

// Columns of the working buffer in place. Output row y reads rows up to
// y + h, so the rows not yet blurred are kept in a ring: the last T rows, or all
// of them when the kernel folds across the whole height.
bool blurColumns(WorkRows& work, const Area& area, const Kernel& kernel, const Progress& progress) {
    const LineKernel line(kernel, area.height);
    const int h = kernel.half, height = area.height;
    const bool whole = line.interiorEnd() == 0;
    const int ringRows = whole ? height : kernel.taps();
    const size_t stride = work.stride();
    std::vector<uint8_t> ring(stride * size_t(ringRows));
    const auto saved = [&](int y) { return ring.data() + stride * size_t(y % ringRows); };
    int loaded = 0;  // rows 0..loaded-1 are in the ring
    const auto loadThrough = [&](int last) {
        for (; loaded <= std::min(last, height - 1); ++loaded) std::memcpy(saved(loaded), work.row(loaded), stride);
    };
    const uint8_t* window[kMaxTaps];
    auto edge = line.edges().begin();
    progress.start(height);
    for (int y = 0; y < height; ++y) {
        if (!progress.proceed(y)) return false;
        loadThrough(whole ? height - 1 : y + h);
        uint8_t* out = work.row(y);
        if (y >= line.interiorBegin() && y < line.interiorEnd()) {
            for (int k = 0; k < kernel.taps(); ++k) window[k] = saved(y - h + k);
            withHalfWidth<AcrossRows>(kernel.half, window, out, static_cast<int>(stride), kernel);
            continue;
        }
        const EdgeOutput& e = *edge++;
        std::vector<int32_t> sum(stride, 0);
        for (size_t m = 0; m < e.weights.size(); ++m) {
            const uint8_t* in = saved(e.first + int(m));
            for (size_t i = 0; i < stride; ++i) sum[i] += e.weights[m] * in[i];
        }
        for (size_t i = 0; i < stride; ++i) out[i] = storeSum(sum[i]);
    }
    return true;
}

// dst += ((blur - dst) past the threshold) * K >> 15, clamped, with
// K = trunc(-amount / 100 * 32768 * 256 / (256 - threshold)). The product
// is taken in 64 bits, so extreme amounts saturate instead of wrapping.
struct Combination {
    int16_t change[511];  // indexed by blur - dst + 255, held to -256..256
    Combination(int amount, int threshold) {
        const double a = amount * 0.01;
        const int64_t k = truncToInt(-a * 32768 * 256 / (256 - threshold));
        for (int d = -255; d <= 255; ++d) {
            const int past = d > 0 ? std::max(d - threshold, 0) : std::min(d + threshold, 0);
            change[d + 255] = static_cast<int16_t>(clamp64((past * k) >> 15, -256, 256));
        }
    }
    uint8_t apply(uint8_t blur, uint8_t ref) const {
        return static_cast<uint8_t>(std::clamp(ref + change[blur - ref + 255], 0, 255));
    }
};

bool combine(WorkRows& work, const Area& within, IplImage* dst, const Area& target, const Combination& mix,
             const Progress& progress) {
    progress.start(target.height);
    for (int y = 0; y < target.height; ++y) {
        if (!progress.proceed(y)) return false;
        const uint8_t* blur = work.row(within.y + y) + 3 * std::ptrdiff_t(within.x);
        uint8_t* out = pixelAt(dst, target.x, target.y + y);
        for (int i = 0; i < 3 * target.width; ++i) out[i] = mix.apply(blur[i], out[i]);
    }
    return true;
}

int smoothFilter(IplImage* src, IplImage* dst, double radius, int amount, int threshold, ProgressRecord* record) {
    if (!isBytePicture(src, 3) || !isBytePicture(dst, 3)) return 0;
    if (threshold < 0 || threshold > 255 || !std::isfinite(radius)) return 0;
    const Area srcRoi = roiOf(src), target = roiOf(dst);
    if (!liesIn(srcRoi, src) || !liesIn(target, dst)) return 0;
    if (srcRoi.width != target.width || srcRoi.height != target.height) return 0;
    if (amount == 0 || radius <= 0.1) return 1;

    const Kernel kernel = gaussianKernel(radius);
    Area within{};
    const Area area = workingArea(src, kernel.taps(), within);
    WorkRows work(area.width, area.height);
    const Progress progress{record};
    if (!blurRows(src, area, kernel, work, progress)) return 0;
    if (!blurColumns(work, area, kernel, progress)) return 0;
    return combine(work, within, dst, target, Combination(amount, threshold), progress) ? 1 : 0;
}

}  // namespace

}  // namespace lumetra::pt

extern "C" LUMETRA_API int LUMETRA_CALL ptSmoothFilterSP(IplImage* src, IplImage* dst, double radius, int amount,
                                                         int threshold, ProgressRecord* progress) {
    using namespace lumetra::pt;
    return guarded(0, [&] { return smoothFilter(src, dst, radius, amount, threshold, progress); });
}
