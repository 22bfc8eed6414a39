// ptApplyMap: renders a ColorMap onto a picture in one pass. Per pixel:
// sample (directly, through the transform, or per channel for the
// aberration; blended with a second picture in stages 4-7), gains,
// vignetting, technicolor, the stage's colour step, store. The sampler and
// the colour step are template parameters, so each stage runs its own loop.
#include <algorithm>
#include <cstring>
#include <vector>

#include "core/bilinear.h"
#include "core/image.h"
#include "phototools/color_map.h"
#include "phototools/color_step.h"
#include "phototools/lens.h"
#include "phototools/progress.h"
#include "phototools/row_planes.h"
#include "phototools/warp_rows.h"

namespace lumetra::pt {

namespace {

struct Rgb {
    int32_t r, g, b;
};

// A sample with the source position it was read at (for the vignetting).
struct Sample {
    Rgb color;
    int32_t x, y;
};

// The rows of a source picture.
struct Plane {
    const uint8_t* data = nullptr;
    std::ptrdiff_t step = 0;

    template <class T>
    const T* at(int32_t x, int32_t y) const {
        return reinterpret_cast<const T*>(data + static_cast<std::ptrdiff_t>(y) * step) + 3 * static_cast<std::ptrdiff_t>(x);
    }
};

Plane planeOf(const IplImage* image) {
    if (!image) return {};
    return {reinterpret_cast<const uint8_t*>(image->imageData), image->widthStep};
}

// How samples of type T enter the 15-bit scale: bytes as v << 7, 16-bit
// samples as v >> 1; in the blend stages each sample is first mixed with
// the second picture's sample at the same place.
template <class T, bool Blend>
struct Reader {
    static constexpr bool kDeep = sizeof(T) == 2;
    // The shift that brings an interpolated sum back to the 15-bit scale.
    static constexpr int kShift = Blend ? 15 : (kDeep ? 16 : 8);
    int32_t w = 0;  // weight of the second picture, 0..256

    inline int32_t mix(int32_t p, int32_t q) const { return ((256 - w) * p + w * q) >> (kDeep ? 9 : 1); }
    // The value that enters the bilinear interpolation.
    inline int32_t tap(const T* p, const T* q, int c) const {
        if constexpr (Blend) return mix(p[c], q[c]);
        else return p[c];
    }
    // The working value of a sample read without interpolation.
    inline int32_t direct(const T* p, const T* q, int c) const {
        if constexpr (Blend) return mix(p[c], q[c]);
        else if constexpr (kDeep) return p[c] >> 1;
        else return p[c] << 7;
    }
};

// Without a transform: destination pixel (x, y) reads source pixel (x, y).
template <class T, bool Blend>
struct DirectSampler {
    Reader<T, Blend> read;
    Plane src, src2;

    // Without a blend a row is read as a whole, by the vectorised pass.
    static constexpr bool kReadsRows = !Blend;

    struct Row {
        const T* p;
        const T* q;
        int32_t y;
    };
    Row row(int32_t y) const {
        if constexpr (Blend) return {src.at<T>(0, y), src2.at<T>(0, y), wrapShiftLeft(y, 15)};
        else return {src.at<T>(0, y), nullptr, wrapShiftLeft(y, 15)};
    }
    [[gnu::always_inline]] inline Sample at(const Row& row, int32_t x) const {
        const T* p = row.p + 3 * x;
        const T* q = nullptr;
        if constexpr (Blend) q = row.q + 3 * x;
        return {{read.direct(p, q, 2), read.direct(p, q, 1), read.direct(p, q, 0)}, wrapShiftLeft(x, 15), row.y};
    }
    void readRow(const Row& row, int32_t first, int32_t n, int32_t* r, int32_t* g, int32_t* b, WarpRows&) const {
        readPlanes(row.p + 3 * first, n, r, g, b);
    }
};

// Bilinear reads through one or three matrices. Positions are held to
// 0..xMax, 0..yMax, so the right and lower neighbours always exist (a source
// one pixel wide or high reads its single column or row for both).
template <class T, bool Blend>
struct Bilinear {
    Reader<T, Blend> read;
    Plane src, src2;
    int32_t xMax = 0, yMax = 0;
    int right = 3;  // elements to the right neighbour, 0 for a 1-pixel-wide source
    bool down = true;

    inline int32_t clampX(int32_t x) const { return x < 0 ? 0 : (x > xMax ? xMax : x); }
    inline int32_t clampY(int32_t y) const { return y < 0 ? 0 : (y > yMax ? yMax : y); }
    WarpSource warpSource() const { return {src.data, src.step, xMax, yMax, down}; }

    // The upper-left neighbour of a held position, the row below, weights.
    struct Tap {
        const T *p00, *p01, *q00, *q01;
        int32_t fx, fy;
    };
    [[gnu::always_inline]] inline Tap tapAt(int32_t x, int32_t y) const {
        const core::Split15 across = core::split15(x), downward = core::split15(y);
        const int32_t col = across.whole, line = downward.whole, below = down ? line + 1 : line;
        Tap tap{src.at<T>(col, line), src.at<T>(col, below), nullptr, nullptr, across.fraction, downward.fraction};
        if constexpr (Blend) {
            tap.q00 = src2.at<T>(col, line);
            tap.q01 = src2.at<T>(col, below);
        }
        return tap;
    }
    inline int32_t tapValue(const T* p, const T* q, int offset) const {
        if constexpr (Blend) return read.mix(p[offset], q[offset]);
        else return p[offset];
    }
    // Channel c interpolated between the four neighbours: across the row
    // first, truncated to the working scale, then down.
    [[gnu::always_inline]] inline int32_t value(const Tap& t, int c) const {
        return core::bilinear15<core::FirstAxis::Across, Reader<T, Blend>::kShift, 15>(
            tapValue(t.p00, t.q00, c), tapValue(t.p00, t.q00, right + c), tapValue(t.p01, t.q01, c),
            tapValue(t.p01, t.q01, right + c), t.fx, t.fy);
    }
};

// Position of destination pixel (x, y) through m, wrapping at 32 bits.
struct RowStart {
    uint32_t x, y;
};
inline RowStart rowStart(const Matrix& m, int32_t y) {
    return {static_cast<uint32_t>(m.b) * static_cast<uint32_t>(y) + static_cast<uint32_t>(m.c),
            static_cast<uint32_t>(m.e) * static_cast<uint32_t>(y) + static_cast<uint32_t>(m.f)};
}
inline int32_t along(uint32_t start, int32_t step, int32_t x) {
    return static_cast<int32_t>(start + static_cast<uint32_t>(step) * static_cast<uint32_t>(x));
}

// A row read pixel by pixel through the sampler's at().
template <class Sampler>
void readEachPixel(const Sampler& sampler, const typename Sampler::Row& row, int32_t first, int32_t n, int32_t* r,
                   int32_t* g, int32_t* b) {
    for (int32_t i = 0; i < n; ++i) {
        const Sample s = sampler.at(row, first + i);
        r[i] = s.color.r, g[i] = s.color.g, b[i] = s.color.b;
    }
}

// A run's start, `first` steps along from a row's start, wrapping as along().
inline WarpRun runFrom(const RowStart& start, int32_t dx, int32_t dy, int32_t first) {
    return {static_cast<uint32_t>(along(start.x, dx, first)), static_cast<uint32_t>(along(start.y, dy, first)), dx, dy};
}

template <class T, bool Blend>
struct TransformSampler {
    Bilinear<T, Blend> bilinear;
    Matrix m;

    // Bytes without a blend are read a row at a time by WarpRows.
    static constexpr bool kReadsRows = sizeof(T) == 1 && !Blend;
    using Row = RowStart;
    Row row(int32_t y) const { return rowStart(m, y); }
    void readRow(const Row& row, int32_t first, int32_t n, int32_t* r, int32_t* g, int32_t* b, WarpRows& warp) const {
        // A source one pixel wide has no right neighbour to fetch.
        if (bilinear.right == 0) return readEachPixel(*this, row, first, n, r, g, b);
        warp.read(bilinear.warpSource(), runFrom(row, m.a, m.d, first), n, r, g, b);
    }
    [[gnu::always_inline]] inline Sample at(const Row& row, int32_t x) const {
        const int32_t sx = bilinear.clampX(along(row.x, m.a, x));
        const int32_t sy = bilinear.clampY(along(row.y, m.d, x));
        const auto tap = bilinear.tapAt(sx, sy);
        return {{bilinear.value(tap, 2), bilinear.value(tap, 1), bilinear.value(tap, 0)}, sx, sy};
    }
};

// Red, green and blue each read through their own matrix.
template <class T, bool Blend>
struct PerChannelSampler {
    Bilinear<T, Blend> bilinear;
    Matrix red, green, blue;

    static constexpr bool kReadsRows = sizeof(T) == 1 && !Blend;
    struct Row {
        RowStart r, g, b;
    };
    Row row(int32_t y) const { return {rowStart(red, y), rowStart(green, y), rowStart(blue, y)}; }
    void readRow(const Row& row, int32_t first, int32_t n, int32_t* r, int32_t* g, int32_t* b, WarpRows& warp) const {
        // A source one pixel wide has no right neighbour to fetch.
        if (bilinear.right == 0) return readEachPixel(*this, row, first, n, r, g, b);
        warp.readChannels(bilinear.warpSource(), runFrom(row.r, red.a, red.d, first),
                          runFrom(row.g, green.a, green.d, first), runFrom(row.b, blue.a, blue.d, first), n, r, g, b);
    }
    [[gnu::always_inline]] inline Sample at(const Row& row, int32_t x) const {
        const int32_t gx = bilinear.clampX(along(row.g.x, green.a, x));
        const int32_t gy = bilinear.clampY(along(row.g.y, green.d, x));
        const auto tapR = bilinear.tapAt(bilinear.clampX(along(row.r.x, red.a, x)), bilinear.clampY(along(row.r.y, red.d, x)));
        const auto tapG = bilinear.tapAt(gx, gy);
        const auto tapB =
            bilinear.tapAt(bilinear.clampX(along(row.b.x, blue.a, x)), bilinear.clampY(along(row.b.y, blue.d, x)));
        return {{bilinear.value(tapR, 2), bilinear.value(tapG, 1), bilinear.value(tapB, 0)}, gx, gy};
    }
};

// Gains, vignetting and technicolor, between sampling and the colour step.
struct ChannelSteps {
    bool any = false;
    bool gains = false;
    bool vignette = false;
    bool technicolor = false;
    int32_t gain[3] = {kGainOne, kGainOne, kGainOne};
    Vignette lens;
    int32_t mixing[6] = {};

    // Gains and vignetting saturate instead of wrapping; the colour step
    // then receives 0..65535 (technicolor: 0..32768).
    [[gnu::always_inline]] inline void apply(Rgb& c, int32_t x, int32_t y) const {
        if (gains) {
            c.r = saturate32((static_cast<int64_t>(c.r) * gain[0]) >> 13);
            c.g = saturate32((static_cast<int64_t>(c.g) * gain[1]) >> 13);
            c.b = saturate32((static_cast<int64_t>(c.b) * gain[2]) >> 13);
        }
        if (vignette) {
            const int64_t g = lens.gainAt(x, y);
            c.r = lens.apply(c.r, g);
            c.g = lens.apply(c.g, g);
            c.b = lens.apply(c.b, g);
        }
        if (technicolor) {
            const int32_t r = held(c.r, 32768), g = held(c.g, 32768);
            c.r = twoColor(r, g, mixing[0], mixing[3]);
            c.g = twoColor(r, g, mixing[1], mixing[4]);
            c.b = twoColor(r, g, mixing[2], mixing[5]);
        } else {
            c.r = held(c.r, 65535);
            c.g = held(c.g, 65535);
            c.b = held(c.b, 65535);
        }
    }
    static inline int32_t held(int32_t v, int32_t top) { return v < 0 ? 0 : (v > top ? top : v); }
    static inline int32_t twoColor(int32_t r, int32_t g, int32_t tr, int32_t tg) {
        return 32768 - (((32768 - ((r * tr) >> 15)) * (32768 - ((g * tg) >> 15))) >> 15);
    }
};

// Columns sampled, coloured and stored at a time: the planes and the colour
// step's scratch stay in the L1 cache between the passes (a whole row of
// a large picture would not).
constexpr int32_t kRunColumns = 256;

// Row by row, a run of columns at a time: sample (with gains, vignetting
// and technicolor) into planes, run the colour step over the run, store.
// Everything is taken by value: the byte stores may alias whatever a
// reference reaches, and the copies keep the loop's settings in registers.
template <class Sampler, class Step>
int renderRows(const Sampler sampler, const ChannelSteps channels, const Step step, IplImage* dst,
               const Progress progress) {
    const int32_t width = dst->width;
    RowPlanes planes(std::min(width, kRunColumns));
    int32_t* __restrict red = planes.r.data();
    int32_t* __restrict green = planes.g.data();
    int32_t* __restrict blue = planes.b.data();
    for (int32_t y = 0; y < dst->height; ++y) {
        if (!progress.proceed(y)) return 0;
        const auto row = sampler.row(y);
        for (int32_t first = 0; first < width; first += kRunColumns) {
            const int32_t n = std::min(kRunColumns, width - first);
            if (channels.any) {
                for (int32_t i = 0; i < n; ++i) {
                    Sample s = sampler.at(row, first + i);
                    channels.apply(s.color, s.x, s.y);
                    red[i] = s.color.r, green[i] = s.color.g, blue[i] = s.color.b;
                }
            } else if constexpr (Sampler::kReadsRows) {
                sampler.readRow(row, first, n, red, green, blue, planes.warp);
            } else {
                readEachPixel(sampler, row, first, n, red, green, blue);
            }
            step.applyRow(red, green, blue, n, planes.scratch);
            writePlanes(red, green, blue, n, rowOf(dst, y) + 3 * first);
        }
    }
    return 1;
}

// Everything fixed for the call.
struct RenderPlan {
    const IplImage* src;
    const IplImage* src2;  // null unless the stage blends
    IplImage* dst;
    uint32_t stage;  // 0..7
    bool transform;
    bool perChannel;
    Matrix base, red, blue;
    int32_t blendWeight;
    ChannelSteps channels;
    ColorTables colors;
    Progress progress;
    bool coloursKept;  // the colour step leaves every sample as it is (KeepColours)
};

// The colour step of a plain (or blended) stage at saturation 256 without
// rotation, on samples no channel step has raised: every sample is within
// 0..32767 (bytes << 7, 16-bit >> 1, and mixes and interpolations of them), so L
// stays within range, each offset is kept as it is, none leaves the range,
// and every channel comes back unchanged.
struct KeepColours {
    void applyRow(int32_t*, int32_t*, int32_t*, int, RowScratch&) const {}
};

template <class Sampler>
int renderStage(const RenderPlan& plan, const Sampler& sampler) {
    const auto& c = plan.colors;
    switch (plan.stage & (kAdjustTone | kAdjustPerHue)) {
        case 0:
            if (plan.coloursKept) return renderRows(sampler, plan.channels, KeepColours{}, plan.dst, plan.progress);
            return renderRows(sampler, plan.channels, ColorStep<false, false>{ColorView(c)}, plan.dst, plan.progress);
        case kAdjustTone:
            return renderRows(sampler, plan.channels, ColorStep<true, false>{ColorView(c)}, plan.dst, plan.progress);
        case kAdjustPerHue:
            return renderRows(sampler, plan.channels, ColorStep<false, true>{ColorView(c)}, plan.dst, plan.progress);
        default: return renderRows(sampler, plan.channels, ColorStep<true, true>{ColorView(c)}, plan.dst, plan.progress);
    }
}

template <class T, bool Blend>
int renderSource(const RenderPlan& plan) {
    const Reader<T, Blend> read{plan.blendWeight};
    const Plane src = planeOf(plan.src), src2 = planeOf(plan.src2);
    if (!plan.transform) return renderStage(plan, DirectSampler<T, Blend>{read, src, src2});

    Bilinear<T, Blend> bilinear{read, src, src2};
    const int64_t xMax = (static_cast<int64_t>(plan.src->width - 1) << 15) - 1;
    const int64_t yMax = (static_cast<int64_t>(plan.src->height - 1) << 15) - 1;
    bilinear.xMax = static_cast<int32_t>(clamp64(xMax, 0, INT32_MAX));
    bilinear.yMax = static_cast<int32_t>(clamp64(yMax, 0, INT32_MAX));
    bilinear.right = plan.src->width > 1 ? 3 : 0;
    bilinear.down = plan.src->height > 1;
    if (plan.perChannel) return renderStage(plan, PerChannelSampler<T, Blend>{bilinear, plan.red, plan.base, plan.blue});
    return renderStage(plan, TransformSampler<T, Blend>{bilinear, plan.base});
}

// A fresh map without transform: the picture itself, or the high bytes of
// a 16-bit one.
int copyPicture(const RenderPlan& plan) {
    const IplImage* src = plan.src;
    IplImage* dst = plan.dst;
    for (int32_t y = 0; y < dst->height; ++y) {
        if (!plan.progress.proceed(y)) return 0;
        uint8_t* out = rowOf(dst, y);
        if (src->depth == IPL_DEPTH_8U) {
            std::memcpy(out, rowOf(src, y), static_cast<size_t>(dst->width) * 3);
        } else {
            const uint16_t* in = reinterpret_cast<const uint16_t*>(rowOf(src, y));
            for (int32_t i = 0; i < dst->width * 3; ++i) out[i] = static_cast<uint8_t>(in[i] >> 8);
        }
    }
    return 1;
}

bool isSourcePicture(const IplImage* image) {
    if (!image || image->nChannels != 3 || (image->depth != IPL_DEPTH_8U && image->depth != IPL_DEPTH_16U)) return false;
    const int64_t rowBytes = static_cast<int64_t>(image->width) * 3 * (image->depth == IPL_DEPTH_16U ? 2 : 1);
    return image->width > 0 && image->height > 0 && image->imageData && image->widthStep >= rowBytes;
}

// Fills the plan; false for the refusals documented in the header.
bool planRender(const IplImage* src, const IplImage* src2, IplImage* dst, const ColorMap& map, const Transform* tf,
                RenderPlan& plan) {
    if (!isSourcePicture(src) || !isBytePicture(dst, 3)) return false;
    if (src2 && (!isSourcePicture(src2) || src2->depth != src->depth || !sameSize(src, src2))) return false;
    if (map.adjustFlags >= kStageCount) return false;
    if (!tf && (dst->width > src->width || dst->height > src->height)) return false;

    plan.src = src;
    plan.dst = dst;
    plan.stage = map.adjustFlags;
    plan.blendWeight = 0;
    if (plan.stage & kAdjustBlend) {
        const int64_t w = static_cast<int64_t>(map.blendOpacity) * 256 / 100;
        plan.blendWeight = static_cast<int32_t>(clamp64(w, 0, 256));
        if (!src2) plan.stage &= ~kAdjustBlend;
    }
    plan.src2 = (plan.stage & kAdjustBlend) ? src2 : nullptr;

    int32_t cx, cy, canvasWidth, canvasHeight;
    plan.transform = tf != nullptr;
    if (tf) {
        cx = wrapSub(wrapShiftLeft(tf->width, 15) / 2, wrapShiftLeft(tf->x, 15));
        cy = wrapSub(wrapShiftLeft(tf->height, 15) / 2, wrapShiftLeft(tf->y, 15));
        plan.base = {tf->a, tf->b, wrapSub(tf->c, wrapShiftLeft(tf->x, 15)), tf->d, tf->e, wrapSub(tf->f, wrapShiftLeft(tf->y, 15))};
        canvasWidth = tf->width;
        canvasHeight = tf->height;
    } else {
        cx = wrapShiftLeft(src->width, 15) / 2;
        cy = wrapShiftLeft(src->height, 15) / 2;
        plan.base = {kQ15One, 0, 0, 0, kQ15One, 0};
        canvasWidth = src->width;
        canvasHeight = src->height;
    }

    ChannelSteps& channels = plan.channels;
    channels.gains = (map.renderFlags & kRenderGains) != 0;
    for (int k = 0; k < 3; ++k) channels.gain[k] = map.gain[k];
    channels.vignette = map.lensAmount != 0;
    if (channels.vignette &&
        !prepareVignette(map, canvasWidth > canvasHeight ? canvasWidth : canvasHeight, cx, cy, channels.lens))
        return false;
    channels.technicolor = (map.renderFlags & kRenderTechnicolor) != 0;
    for (int k = 0; k < 6; ++k) channels.mixing[k] = ChannelSteps::held(map.technicolor[k], 32768);
    channels.any = channels.gains || channels.vignette || channels.technicolor;

    plan.perChannel = map.aberration[0] != 0 || map.aberration[1] != 0;
    if (plan.perChannel) {
        plan.transform = true;
        plan.red = aberrationMatrix(plan.base, map.aberration[0], cx, cy);
        plan.blue = aberrationMatrix(plan.base, map.aberration[1], cx, cy);
    }
    return true;
}

bool isNeutral(const RenderPlan& plan, const ColorMap& map) {
    return plan.stage == 0 && !plan.transform && !plan.channels.any && map.saturation == kSaturationOne &&
           map.hueRotation == 0;
}

int applyMap(IplImage* src, IplImage* src2, IplImage* dst, const ColorMap& map, const Transform* tf,
             ProgressRecord* progress) {
    RenderPlan plan{};
    if (!planRender(src, src2, dst, map, tf, plan)) return 0;
    plan.progress = Progress{progress};
    plan.colors = prepareColorTables(map, plan.stage & kAdjustTone, plan.stage & kAdjustPerHue);
    plan.coloursKept = (plan.stage & (kAdjustTone | kAdjustPerHue)) == 0 && !plan.channels.any &&
                       plan.colors.saturation == kSaturationOne && plan.colors.rotation == 0;
    plan.progress.start(dst->height);
    if (isNeutral(plan, map)) return copyPicture(plan);

    const bool deep = src->depth == IPL_DEPTH_16U;
    const bool blend = plan.src2 != nullptr;
    if (deep) return blend ? renderSource<uint16_t, true>(plan) : renderSource<uint16_t, false>(plan);
    return blend ? renderSource<uint8_t, true>(plan) : renderSource<uint8_t, false>(plan);
}

}  // namespace

}  // namespace lumetra::pt

extern "C" LUMETRA_API int LUMETRA_CALL ptApplyMap(IplImage* src, IplImage* src2, IplImage* dst, ColorMap* map,
                                                   Transform* tf, ProgressRecord* progress) {
    using namespace lumetra::pt;
    if (!map) return 0;
    return guarded(0, [&] { return applyMap(src, src2, dst, *map, tf, progress); });
}
