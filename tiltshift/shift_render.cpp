#include "tiltshift/shift_render.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/vector_clones.h"

namespace lumetra::tiltshift {

namespace {

// A picture coordinate of a destination coordinate: the product is formed
// in 128 bits, since a tiny region makes the scale as large as 2^46.
int32_t pictureCoordinate(int64_t destination, int64_t offset, int64_t scale, int32_t size) {
    const __int128 position = (static_cast<__int128>(destination + offset) * scale) >> 15;
    return static_cast<int32_t>(std::clamp<__int128>(position, 0, size - 1));
}

// Raised to minBlur first, then lowered to maxBlur: a minimum past the
// maximum leaves the maximum.
inline int32_t limitBlur(int64_t b, const BlurRange& range) {
    b = std::max<int64_t>(b, range.minBlur);
    b = std::min<int64_t>(b, range.maxBlur);
    return static_cast<int32_t>(b);
}

int32_t saturatedTrunc(double value, int32_t lo, int32_t hi) {
    if (!(value > lo)) return lo;
    if (value >= hi) return hi;
    return static_cast<int32_t>(value);
}

// Horizontal sample of a level at one destination column: four value
// offsets (column * 3) and the spline weights of the column's fraction.
struct ColumnTap {
    int32_t offset[4];
    SplineWeights weights;
};

std::vector<ColumnTap> columnTaps(const SplineWeightTable& table, int level, int levelWidth,
                                  const std::vector<int32_t>& columns) {
    std::vector<ColumnTap> taps(columns.size());
    for (std::size_t x = 0; x < columns.size(); ++x) {
        const int q = columns[x] >> level;
        const int f = static_cast<int>((static_cast<uint32_t>(columns[x]) << (8 - level)) & 255);
        for (int t = 0; t < 4; ++t) taps[x].offset[t] = mirrorIndex(q - 1 + t, levelWidth) * 3;
        taps[x].weights = weightsForFraction(table, f);
    }
    return taps;
}

inline uint32_t sampleAt(const uint16_t* row, const ColumnTap& tap, int channel) {
    const uint32_t sum = tap.weights.w[0] * uint32_t{row[tap.offset[0] + channel]} +
                         tap.weights.w[1] * uint32_t{row[tap.offset[1] + channel]} +
                         tap.weights.w[2] * uint32_t{row[tap.offset[2] + channel]} +
                         tap.weights.w[3] * uint32_t{row[tap.offset[3] + channel]};
    return sum >> 16;
}

// Everything one destination row needs: the row Y of every level and the
// column taps of the levels in use.
struct RowSources {
    const uint16_t* level[kMaxLevels];
    const std::vector<ColumnTap>* taps;  // indexed by level, 1..coarsest
};

// The two levels around b, mixed linearly in b: level 0 at b = 0, level 1
// at 2^(16 - T), each further level at twice the b of the one before.
LUMETRA_AVX2_CLONES
void mixRow(const RowSources& sources, int coarsest, const int32_t* columns, const int32_t* blur, int width,
            uint16_t* level0Out, const uint8_t* toEncoded, uint8_t* out) {
    for (int x = 0; x < width; ++x) {
        const int32_t b = blur[x];
        const int octave = blurOctave(b);
        const int k = octave + coarsest - 8;
        uint32_t mixed[3];
        if (k > 0) {
            const int shift = octave + 7;
            const uint32_t t = static_cast<uint32_t>(b - (1 << shift));
            const uint32_t keepA = (1u << shift) - t;
            const ColumnTap& tapA = sources.taps[k][x];
            const ColumnTap& tapB = sources.taps[k + 1][x];
            for (int c = 0; c < 3; ++c) {
                mixed[c] = (sampleAt(sources.level[k], tapA, c) * keepA + sampleAt(sources.level[k + 1], tapB, c) * t) >>
                           shift;
            }
        } else {
            const int shift = 16 - coarsest;
            const uint32_t keepA = (1u << shift) - static_cast<uint32_t>(b);
            const uint16_t* sharp = sources.level[0] + columns[x] * 3;
            const ColumnTap& tapB = sources.taps[1][x];
            for (int c = 0; c < 3; ++c) {
                mixed[c] = (uint32_t{sharp[c]} * keepA + sampleAt(sources.level[1], tapB, c) * static_cast<uint32_t>(b)) >>
                           shift;
            }
        }
        for (int c = 0; c < 3; ++c) {
            if (level0Out) level0Out[x * 3 + c] = static_cast<uint16_t>(mixed[c]);
            out[x * 3 + c] = toEncoded[mixed[c]];
        }
    }
}

// A context of one level: each destination pixel is its picture pixel.
void copyLevel0(const TiltShiftContext& context, IplImage* dst, const std::vector<int32_t>& columns,
                const std::vector<int32_t>& rows) {
    for (int y = 0; y < dst->height; ++y) {
        const uint16_t* in = row16(context.levels[0].get(), rows[y]);
        uint8_t* out = rowOf(dst, y);
        for (int x = 0; x < dst->width; ++x) {
            for (int c = 0; c < 3; ++c) out[x * 3 + c] = context.tables.toEncoded[in[columns[x] * 3 + c]];
        }
    }
}

}  // namespace

bool makeShiftView(const TiltShiftContext& context, const IplImage* dst, const EffectRegion* region,
                   ShiftView& view) {
    const IplImage* base = context.levels[0].get();
    if (!region) {
        view = ShiftView{};
        return sameSize(base, dst);
    }
    if (region->width <= 0 || region->height <= 0) return false;
    const int64_t across = (int64_t{base->width} * 32768) / region->width;
    const int64_t down = (int64_t{base->height} * 32768) / region->height;
    view.scale = std::min(across, down);
    view.left = region->x;
    view.top = region->y;
    view.regionMinSide = std::min(region->width, region->height);
    return true;
}

BlurRange blurRangeFor(const TiltShiftContext& context, float strength, const ShiftView& view) {
    BlurRange range;
    const int count = static_cast<int>(context.levels.size());
    if (count < 2) return range;
    const int height = context.levels[0]->height;
    auto shortSide = [&](int level) { return std::min(context.levels[level]->width, height); };
    int n = 2;
    while (n < count && 1.0 / strength < shortSide(n - 1)) ++n;
    range.coarsest = n - 1;
    const float inverseSide = static_cast<float>(1.0 / shortSide(range.coarsest));
    range.maxBlur = saturatedTrunc(strength / double{inverseSide} * 32768.0, 0, 32767);
    if (view.regionMinSide > 0) {
        const double minimum = (1.0 / view.regionMinSide) * 32768.0 / double{inverseSide} / 2.0;
        range.minBlur = saturatedTrunc(minimum, 0, 32768);
    }
    return range;
}

DiscBlur::DiscBlur(int centreX, int centreY, int64_t inner, int64_t outer, const BlurRange& range)
    : centreX_(centreX), centreY_(centreY), range_(range) {
    slope_ = static_cast<float>(static_cast<double>(range.maxBlur) / static_cast<double>(outer - inner));
    innerBlur_ = static_cast<int64_t>(static_cast<double>(inner) * double{slope_});
}

void DiscBlur::prepare(const std::vector<int32_t>& columns) {
    dx2_.resize(columns.size());
    for (std::size_t x = 0; x < columns.size(); ++x) dx2_[x] = heldSquare(columns[x] - centreX_);
}

void DiscBlur::fill(int32_t pictureY, int32_t* blur) const {
    const int64_t dy2 = heldSquare(pictureY - centreY_);
    const double slope = slope_;
    for (std::size_t x = 0; x < dx2_.size(); ++x) {
        const float distance = std::sqrt(static_cast<float>(dx2_[x] + dy2));
        blur[x] = limitBlur(static_cast<int64_t>(double{distance} * slope) - innerBlur_, range_);
    }
}

LineBlur::LineBlur(int x1, int y1, int x2, int y2, int64_t inner, int64_t outer, const BlurRange& range)
    : line_(x1, y1, x2, y2), range_(range) {
    cos_ = static_cast<int64_t>(std::sqrt(line_.cos2) * 32768.0);
    const int64_t span = outer - inner;
    nb_ = std::bit_width(static_cast<uint64_t>(span));
    k_ = (int64_t{range.maxBlur} << nb_) / span;
    innerBlur_ = (k_ * inner) >> nb_;
}

void LineBlur::prepare(const std::vector<int32_t>& columns) {
    columns_ = columns;
    lineAt_.clear();
    if (line_.acrossRows) {
        lineAt_.resize(columns.size());
        for (std::size_t x = 0; x < columns.size(); ++x) lineAt_[x] = line_.lineAt(columns[x]);
    }
}

void LineBlur::fill(int32_t pictureY, int32_t* blur) const {
    const int shift = nb_ + 2;
    auto blurAt = [&](int64_t d) {
        const int64_t along = ((std::llabs(d) * cos_) >> 13) * k_;
        return limitBlur((along >> shift) - innerBlur_, range_);
    };
    if (line_.acrossRows) {
        for (std::size_t x = 0; x < lineAt_.size(); ++x) blur[x] = blurAt(pictureY - lineAt_[x]);
    } else {
        const int64_t lineX = line_.lineAt(pictureY);
        for (std::size_t x = 0; x < columns_.size(); ++x) blur[x] = blurAt(columns_[x] - lineX);
    }
}

void EvenBlur::fill(int32_t, int32_t* blur) const { std::fill(blur, blur + width_, blur_); }

template <class Form>
void renderShift(TiltShiftContext& context, IplImage* dst, const ShiftView& view, const BlurRange& range,
                 Form& form, bool intoLevel0) {
    IplImage* base = context.levels[0].get();
    std::vector<int32_t> columns(dst->width), rows(dst->height);
    for (int x = 0; x < dst->width; ++x) columns[x] = pictureCoordinate(x, view.left, view.scale, base->width);
    for (int y = 0; y < dst->height; ++y) rows[y] = pictureCoordinate(y, view.top, view.scale, base->height);
    if (context.levels.size() < 2) {
        copyLevel0(context, dst, columns, rows);
        return;
    }
    form.prepare(columns);
    std::vector<ColumnTap> taps[kMaxLevels];
    for (int level = 1; level <= range.coarsest; ++level) {
        taps[level] = columnTaps(context.weights, level, context.levels[level]->width, columns);
    }
    std::vector<int32_t> blur(dst->width);
    RowSources sources{};
    sources.taps = taps;
    for (int y = 0; y < dst->height; ++y) {
        for (int level = 0; level <= range.coarsest; ++level) {
            sources.level[level] = row16(context.levels[level].get(), rows[y]);
        }
        form.fill(rows[y], blur.data());
        uint16_t* level0Out = intoLevel0 ? row16(base, y) : nullptr;
        mixRow(sources, range.coarsest, columns.data(), blur.data(), dst->width, level0Out,
               context.tables.toEncoded.data(), rowOf(dst, y));
    }
}

template void renderShift<DiscBlur>(TiltShiftContext&, IplImage*, const ShiftView&, const BlurRange&, DiscBlur&,
                                    bool);
template void renderShift<LineBlur>(TiltShiftContext&, IplImage*, const ShiftView&, const BlurRange&, LineBlur&,
                                    bool);
template void renderShift<EvenBlur>(TiltShiftContext&, IplImage*, const ShiftView&, const BlurRange&, EvenBlur&,
                                    bool);

}  // namespace lumetra::tiltshift
