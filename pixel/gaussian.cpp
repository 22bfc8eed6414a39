#include "pixel/gaussian.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "core/image.h"
#include "core/vector_clones.h"
#include "pixel/byte_walk.h"

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

// What one pass adds up: result element i is the sum over taps k of
// w(k) * (lo[k][i] + hi[k][i]), where tap 0 is the centre, counted once.
// The vertical pass points lo and hi at the rows above and below; the
// horizontal pass at the row shifted left and right by k pixels.
struct TapSources {
    int taps;
    const int32_t* weight;
    std::array<const uint8_t*, GaussianKernel::kMaxTaps> lo;
    std::array<const uint8_t*, GaussianKernel::kMaxTaps> hi;
};

uint8_t sumAt(const TapSources& s, int i) {
    uint32_t acc = static_cast<uint32_t>(s.weight[0]) * s.lo[0][i] + 512u;
    for (int k = 1; k < s.taps; ++k)
        acc += static_cast<uint32_t>(s.weight[k]) * static_cast<uint32_t>(s.lo[k][i] + s.hi[k][i]);
    return heldByte(acc);
}

// Elements handled per round over the accumulators, which stay in L1.
constexpr int kChunk = 3 * 512;

// The portable pass: tap by tap over a chunk of 32-bit accumulators, loops
// the compiler vectorises for the baseline instruction set.
void sumTapsPortable(const TapSources& s, uint8_t* out, int count) {
    alignas(64) uint32_t acc[kChunk];
    for (int first = 0; first < count; first += kChunk) {
        const int n = std::min(kChunk, count - first);
        const uint8_t* __restrict centre = s.lo[0] + first;
        const uint32_t w0 = static_cast<uint32_t>(s.weight[0]);
        for (int i = 0; i < n; ++i) acc[i] = w0 * centre[i] + 512u;
        for (int k = 1; k < s.taps; ++k) {
            const uint8_t* __restrict lo = s.lo[k] + first;
            const uint8_t* __restrict hi = s.hi[k] + first;
            const uint32_t w = static_cast<uint32_t>(s.weight[k]);
            for (int i = 0; i < n; ++i) acc[i] += w * static_cast<uint32_t>(lo[i] + hi[i]);
        }
        uint8_t* __restrict o = out + first;
        for (int i = 0; i < n; ++i) o[i] = heldByte(acc[i]);
    }
}

#if LUMETRA_AVX2_INTRINSICS
// The AVX2 pass: 16 elements at a time, all taps summed in registers. Pair
// sums lo + hi (at most 510) and weights (at most 1024) are 16-bit, so two
// taps go through one multiply-add into 32-bit sums. The interleaving puts
// elements 0-3 and 8-11 in one accumulator, 4-7 and 12-15 in the other;
// the 32-to-16-bit pack restores the order, the 16-to-8-bit pack holds
// sums past 255 at 255. The integer sums are those of the portable pass.
// Term k at elements i..i+15 as 16-bit lanes: the centre, lo + hi, or 0
// past the last tap.
LUMETRA_AVX2 inline __m256i tapTerm(const TapSources& s, int k, int i) {
    if (k >= s.taps) return _mm256_setzero_si256();
    const __m256i lo = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s.lo[k] + i)));
    if (k == 0) return lo;
    const __m256i hi = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s.hi[k] + i)));
    return _mm256_add_epi16(lo, hi);
}

LUMETRA_AVX2 void sumTapsAvx2(const TapSources& s, uint8_t* out, int count) {
    // Terms: the centre with w(0), then lo + hi with w(k); paired up, the
    // last one with a zero weight when the count is odd.
    const int pairs = (s.taps + 1) / 2;
    __m256i weightPair[(GaussianKernel::kMaxTaps + 1) / 2];
    for (int p = 0; p < pairs; ++p) {
        const int k = 2 * p;
        const uint32_t second = k + 1 < s.taps ? static_cast<uint32_t>(s.weight[k + 1]) : 0u;
        weightPair[p] =
            _mm256_set1_epi32(static_cast<int>(static_cast<uint32_t>(s.weight[k]) | second << 16));
    }
    const int blocks = count / 16;
    for (int b = 0; b < blocks; ++b) {
        const int i = 16 * b;
        __m256i low = _mm256_set1_epi32(512);
        __m256i high = low;
        for (int p = 0; p < pairs; ++p) {
            const __m256i first = tapTerm(s, 2 * p, i);
            const __m256i second = tapTerm(s, 2 * p + 1, i);
            const __m256i w = weightPair[p];
            low = _mm256_add_epi32(low, _mm256_madd_epi16(_mm256_unpacklo_epi16(first, second), w));
            high = _mm256_add_epi32(high, _mm256_madd_epi16(_mm256_unpackhi_epi16(first, second), w));
        }
        const __m256i words = _mm256_packus_epi32(_mm256_srli_epi32(low, 10), _mm256_srli_epi32(high, 10));
        const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), bytes);
    }
    for (int i = 16 * blocks; i < count; ++i) out[i] = sumAt(s, i);
}
#endif

using SumTaps = void (*)(const TapSources&, uint8_t*, int);

// Chosen once per filter run.
SumTaps sumTapsForThisMachine() {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx2()) return sumTapsAvx2;
#endif
    return sumTapsPortable;
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

    const SumTaps sumTaps = sumTapsForThisMachine();
    TapSources vertical{taps, kernel_.weight.data(), {}, {}};
    TapSources horizontal{taps, kernel_.weight.data(), {}, {}};
    for (int k = 0; k < taps; ++k) {
        horizontal.lo[static_cast<size_t>(k)] = padded - 3 * k;
        horizontal.hi[static_cast<size_t>(k)] = padded + 3 * k;
    }
    for (int row = 0; row < std::min(taps, height); ++row) load(row);
    for (int y = 0; y < height; ++y) {
        if (y > 0 && y + taps - 1 < height) load(y + taps - 1);
        for (int k = 0; k < taps; ++k) {
            vertical.lo[static_cast<size_t>(k)] = slot(std::max(y - k, 0));
            vertical.hi[static_cast<size_t>(k)] = slot(std::min(y + k, height - 1));
        }
        sumTaps(vertical, padded, rowBytes);
        padRow(padded, rowBytes, margin);
        if (output == Output::blur) {
            sumTaps(horizontal, rowOf(dst, y), rowBytes);
        } else {
            sumTaps(horizontal, blurred, rowBytes);
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
