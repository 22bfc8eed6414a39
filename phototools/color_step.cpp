#include "phototools/color_step.h"

#include <cstddef>

#include "core/divide.h"
#include "core/vector_clones.h"
#include "phototools/curves.h"

namespace lumetra::pt {

namespace {

int32_t heldSaturation(int32_t saturation) {
    return saturation > kWhite15 ? kWhite15 : (saturation < -kWhite15 ? -kWhite15 : saturation);
}

// tone(L): the 10-bit table read at L * 1023 / 32640 and scaled back.
int32_t toneOf(const ColorMap& m, int32_t l) {
    const int32_t index = (l * 1023) / 32640;
    const uint32_t entry = m.toneTable[index < kToneSize ? index : kToneMax];
    const int32_t value = entry > static_cast<uint32_t>(kToneMax) ? kToneMax : static_cast<int32_t>(entry);
    return (value * 32640) / 1023;
}

// The anchors of each ranking's halves; false when a setting lies beyond
// the bounds the per-hue row pass is exact for: per-hue values within
// +-2^16 and the rotation within +-2^30 (so that rotation plus shift stays
// in 32 bits).
bool prepareAnchors(const ColorMap& m, HueAnchors& anchors) {
    constexpr int32_t kBound = 1 << 16;
    for (int i = 0; i < 12; ++i) {
        for (const int32_t v : {m.hueShift[i], m.hueSat[i], m.hueLight[i]})
            if (v < -kBound || v > kBound) return false;
    }
    if (m.hueRotation < -(1 << 30) || m.hueRotation > (1 << 30)) return false;
    anchors.narrow = true;
    for (int i = 0; i < 12; ++i) {
        for (const int32_t v : {m.hueShift[i], m.hueSat[i]})
            if (v < -kNarrowAnchor || v > kNarrowAnchor) anchors.narrow = false;
    }
    for (int k = 0; k < 6; ++k) {
        const Ranking& rank = kRankings[k];
        const int low = 2 * k, high = 2 * k + 1;
        const int a[2] = {rank.lowA, rank.highA}, b[2] = {rank.lowB, rank.highB};
        for (const int half : {0, 1}) {
            const int index = half ? high : low;
            anchors.light[index] = pairOf(m.hueLight[a[half]], m.hueLight[b[half]]);
            anchors.shift[index] = pairOf(m.hueShift[a[half]], m.hueShift[b[half]]);
            anchors.sat[index] = pairOf(m.hueSat[a[half]], m.hueSat[b[half]]);
            const int32_t* const settings[3] = {m.hueLight, m.hueShift, m.hueSat};
            for (int q = 0; q < 3; ++q) {
                anchors.low[q][index] = settings[q][a[half]];
                anchors.high[q][index] = settings[q][b[half]];
            }
            for (int q = 1; q < 3; ++q) {
                anchors.narrowLow[q - 1][index] = static_cast<float>(settings[q][a[half]]);
                anchors.narrowHigh[q - 1][index] = static_cast<float>(settings[q][b[half]]);
            }
        }
    }
    return true;
}

// Masks (all ones when the condition holds) and a select on them: the row
// passes pick with these rather than with conditions, which the compiler
// may turn into branches that stop the loop from vectorising.
[[gnu::always_inline]] inline int32_t mask(bool condition) { return -static_cast<int32_t>(condition); }
[[gnu::always_inline]] inline int32_t select(int32_t m, int32_t yes, int32_t no) { return (yes & m) | (no & ~m); }

// rankingOf in arithmetic, so that the row passes vectorise: green <= blue
// gives 3, 4 or 5, else 0, 1 or 2.
[[gnu::always_inline]] inline int32_t rankingCode(int32_t red, int32_t green, int32_t blue) {
    const int32_t greenLow = 3 + (green <= red) * (1 + (blue <= red));
    const int32_t greenHigh = (red <= green) * (1 + (red <= blue));
    return greenHigh + (green <= blue) * (greenLow - greenHigh);
}

}  // namespace

// Runs pixel(i, flag, rank) for every i below n, a block of 64 at a time:
// the body leaves each pixel's flag and ranking in int32 lanes, which are
// narrowed to bytes after the block. With byte stores in the same loop the
// compiler takes 32 pixels a step and runs out of registers.
template <bool Ranked, class Pixel>
[[gnu::always_inline]] inline void inBlocks(int n, uint8_t* __restrict ranking, uint8_t* __restrict flag,
                                            Pixel pixel) {
    constexpr int kBlock = 64;
    alignas(32) int32_t flags[kBlock], ranks[kBlock];
    for (int start = 0; start < n; start += kBlock) {
        const int count = std::min(kBlock, n - start);
        for (int i = 0; i < count; ++i) pixel(start + i, flags[i], ranks[i]);
        for (int i = 0; i < count; ++i) flag[start + i] = static_cast<uint8_t>(flags[i]);
        if constexpr (Ranked)
            for (int i = 0; i < count; ++i) ranking[start + i] = static_cast<uint8_t>(ranks[i]);
    }
}

// Written as selects without branches so that it vectorises. Every product
// stays inside 32 bits: inputs are 0..65535, so |offset| <= 65535 and the
// luminance sum is below 32768 * 65536; the saturation is held to +-32767.
// The offsets of the max and min channels are not scaled apart: scaling by
// a saturation of one sign and the floor shift keep (Rising) or reverse
// the order of the offsets, so they are the largest and smallest scaled
// offset, or the other way round.
template <bool Ranked, bool Rising>
[[gnu::always_inline]] inline void saturateRowBody(int32_t* __restrict r, int32_t* __restrict g,
                                                   int32_t* __restrict b, int n, int32_t saturation,
                                                   uint8_t* __restrict ranking, uint8_t* __restrict flag,
                                                   int32_t* __restrict lum) {
    inBlocks<Ranked>(n, ranking, flag, [=](int i, int32_t& pixelFlag, int32_t& rank) __attribute__((always_inline)) {
        const int32_t red = r[i], green = g[i], blue = b[i];
        const int32_t l = luminance15({red, green, blue});
        const int32_t dr = ((red - l) * saturation) >> 8;
        const int32_t dg = ((green - l) * saturation) >> 8;
        const int32_t db = ((blue - l) * saturation) >> 8;
        const int32_t largest = std::max(dr, std::max(dg, db)), smallest = std::min(dr, std::min(dg, db));
        const int32_t dmax = Rising ? largest : smallest;
        const int32_t dmin = Rising ? smallest : largest;
        // Masks: all ones for a white pixel, for a pixel left to the restore
        // passes (over white, or under black only).
        const int32_t white = -static_cast<int32_t>(l > kWhite15);
        const int32_t over = ~white & mask(l + dmax > kWhite15);
        const int32_t outside = over | (~white & mask(l + dmin < 0));
        // Rising, the offsets of a pixel left in place lie between dmin and
        // dmax, so L + offset is already in range; falling, the max and min
        // channels' offsets swap places and it may not be.
        const auto pick = [white, outside, l](int32_t offset) {
            const int32_t moved = Rising ? l + offset : std::min(std::max(l + offset, 0), kWhite15);
            return select(white, kWhite15, select(outside, offset, moved));
        };
        r[i] = pick(dr);
        g[i] = pick(dg);
        b[i] = pick(db);
        pixelFlag = select(over, kFlagOver, outside & kFlagUnder);
        lum[i] = l;
        if constexpr (Ranked) rank = rankingCode(red, green, blue);
    });
}

LUMETRA_VECTOR_CLONES
void saturateRow(int32_t* r, int32_t* g, int32_t* b, int n, int32_t saturation, uint8_t* ranking, uint8_t* flag,
                 int32_t* lum) {
    if (saturation >= 0) {
        if (ranking) saturateRowBody<true, true>(r, g, b, n, saturation, ranking, flag, lum);
        else saturateRowBody<false, true>(r, g, b, n, saturation, ranking, flag, lum);
    } else {
        if (ranking) saturateRowBody<true, false>(r, g, b, n, saturation, ranking, flag, lum);
        else saturateRowBody<false, false>(r, g, b, n, saturation, ranking, flag, lum);
    }
}

// The tone rule as selects, so that it vectorises (the table is read by
// gathers). The multiplier fits 32 bits (see toneScaleOf), so each offset
// times it fits 64.
template <bool Ranked>
[[gnu::always_inline]] inline void toneRowBody(int32_t* __restrict r, int32_t* __restrict g, int32_t* __restrict b,
                                               int n, const uint64_t* __restrict toneScale,
                                               uint8_t* __restrict ranking, uint8_t* __restrict flag,
                                               int32_t* __restrict lum) {
    for (int i = 0; i < n; ++i) {
        const int32_t red = r[i], green = g[i], blue = b[i];
        const int32_t incoming = luminance15({red, green, blue});
        const ToneScale scale = toneScaleOf(toneScale[incoming]);
        const int32_t l = scale.l, mult = scale.multiplier;
        const auto scaled = [mult, incoming](int32_t c) {
            return static_cast<int32_t>((static_cast<int64_t>(c - incoming) * mult) >> 15);
        };
        // As in saturateRow, the max and min channels' offsets are the
        // largest and smallest scaled offset, swapped for a negative mult.
        const int32_t dr = scaled(red), dg = scaled(green), db = scaled(blue);
        const int32_t largest = std::max(dr, std::max(dg, db)), smallest = std::min(dr, std::min(dg, db));
        const int32_t rising = mask(mult >= 0);
        const int32_t dmax = select(rising, largest, smallest), dmin = select(rising, smallest, largest);
        const int32_t over = mask(l + dmax > kWhite15);
        const int32_t outside = over | mask(l + dmin < 0);
        const auto pick = [outside, l](int32_t offset) {
            const int32_t held = std::min(std::max(l + offset, 0), kWhite15);
            return (held & ~outside) | (offset & outside);
        };
        r[i] = pick(dr);
        g[i] = pick(dg);
        b[i] = pick(db);
        flag[i] = static_cast<uint8_t>(select(over, kFlagOver, outside & kFlagUnder));
        lum[i] = l;
        if constexpr (Ranked) ranking[i] = static_cast<uint8_t>(rankingCode(red, green, blue));
    }
}

LUMETRA_VECTOR_CLONES
void toneRow(int32_t* r, int32_t* g, int32_t* b, int n, const uint64_t* toneScale, uint8_t* ranking, uint8_t* flag,
             int32_t* lum) {
    const int done = toneRow512(r, g, b, n, toneScale, ranking, flag, lum);
    r += done, g += done, b += done, flag += done, lum += done, n -= done;
    if (ranking) toneRowBody<true>(r, g, b, n, toneScale, ranking + done, flag, lum);
    else toneRowBody<false>(r, g, b, n, toneScale, ranking, flag, lum);
}

// restoreRange as selects, in double: a pixel over white has its offsets
// scaled by (32767 - L) / dmax, then one under black by L / -dmin, each
// quotient truncated. The products are below 2^31 * 2^15 = 2^46, exact in
// double, so each product by the divisor's raised reciprocal truncates to
// the integer quotient (see raisedReciprocal), one division serving the
// three channels; scaling never grows an offset, so the results fit 32
// bits. Lanes that need no scaling divide d * 1 by 1.
LUMETRA_VECTOR_CLONES
void restoreRow(int32_t* __restrict r, int32_t* __restrict g, int32_t* __restrict b, const int32_t* __restrict l,
                int n) {
    for (int i = 0; i < n; ++i) {
        const double lum = l[i];
        const int32_t red = r[i], green = g[i], blue = b[i];
        const double dmax = std::max(red, std::max(green, blue));
        const double dmin = std::min(red, std::min(green, blue));
        const bool over = lum + dmax > kWhite15;
        const double overFactor = over ? kWhite15 - lum : 1.0;
        const double overReciprocal = raisedReciprocal(over ? dmax : 1.0);
        const auto overScaled = [=](double d) {
            return static_cast<double>(static_cast<int32_t>(d * overFactor * overReciprocal));
        };
        const double minOver = overScaled(dmin);
        const bool under = lum + minOver < 0;
        const double underFactor = under ? lum : 1.0, underReciprocal = raisedReciprocal(under ? -minOver : 1.0);
        const auto finish = [=](double d) {
            const double scaled = static_cast<int32_t>(overScaled(d) * underFactor * underReciprocal);
            return static_cast<int32_t>(std::min(std::max(lum + scaled, 0.0), double{kWhite15}));
        };
        r[i] = finish(red);
        g[i] = finish(green);
        b[i] = finish(blue);
    }
}

namespace {

struct FactorDivisor {
    double factor, divisor;
};

// L + d' held to 0..32767 for d' = trunc(d * factor / divisor), in double
// as in restoreRow, for each channel of n pixels; factorAndDivisor(L, dmax,
// dmin) gives the pair.
template <class FactorAndDivisor>
[[gnu::always_inline]] inline void scaleOnce(int32_t* __restrict r, int32_t* __restrict g, int32_t* __restrict b,
                                             const int32_t* __restrict l, int n, FactorAndDivisor factorAndDivisor) {
    for (int i = 0; i < n; ++i) {
        const double lum = l[i];
        const int32_t red = r[i], green = g[i], blue = b[i];
        const double dmax = std::max(red, std::max(green, blue));
        const double dmin = std::min(red, std::min(green, blue));
        const FactorDivisor pair = factorAndDivisor(lum, dmax, dmin);
        const double factor = pair.factor, reciprocal = raisedReciprocal(pair.divisor);
        const auto finish = [=](double d) {
            const double scaled = static_cast<int32_t>(d * factor * reciprocal);
            return static_cast<int32_t>(std::min(std::max(lum + scaled, 0.0), double{kWhite15}));
        };
        r[i] = finish(red);
        g[i] = finish(green);
        b[i] = finish(blue);
    }
}

}  // namespace

LUMETRA_VECTOR_CLONES
void restoreOverRow(int32_t* r, int32_t* g, int32_t* b, const int32_t* l, int n) {
    scaleOnce(r, g, b, l, n, [](double lum, double dmax, double) { return FactorDivisor{kWhite15 - lum, dmax}; });
}

LUMETRA_VECTOR_CLONES
void restoreUnderRow(int32_t* r, int32_t* g, int32_t* b, const int32_t* l, int n) {
    scaleOnce(r, g, b, l, n, [](double lum, double, double dmin) { return FactorDivisor{lum, -dmin}; });
}

// A rotation part (0..3599, or -1 for none) as 600 whole + rest: -1
// splits to (0, -1), and only a rest below 0 marks no rotation.
struct PartSplit {
    int32_t whole, rest;
};
[[gnu::always_inline]] inline PartSplit splitPart(int32_t part) { return {part / 600, part % 600}; }

// rotateHuePart on a row, as selects so that it vectorises. Ranking k
// holds max, mid, min in: 0 R G B, 1 G R B, 2 G B R, 3 B G R, 4 B R G,
// 5 R B G (kRankings). Sector s of the turned hue gives max, mid, min the
// values {vmax, up, vmin}, {down, vmax, vmin}, {vmin, vmax, up},
// {vmin, down, vmax}, {up, vmin, vmax}, {vmax, vmin, down} (kPick). A pixel
// with chroma <= 0 or a part below 0 keeps its values; the lanes computed
// for it are discarded, and stay free of overflow (channels are 0..32767).
// splitAt(i, k) gives pixel i's part, split.
//
// The turned hue part + hue (hue 0..600) is taken apart without dividing:
// with part = 600 whole + rest, rest + hue lies in 0..1199, so its sector
// is whole or whole + 1 (6 wrapping to 0, as the hue wraps at 3600) and
// its fraction what lies past that sector's start. down needs no division
// of its own: chroma (600 - f) / 600 = chroma - ceil(chroma f / 600).
template <class SplitAt>
[[gnu::always_inline]] inline void rotateRowBody(int32_t* __restrict r, int32_t* __restrict g, int32_t* __restrict b,
                                                 int n, const uint8_t* __restrict ranking, SplitAt splitAt) {
    for (int i = 0; i < n; ++i) {
        const int32_t red = r[i], green = g[i], blue = b[i];
        const int32_t k = ranking[i];
        const PartSplit part = splitAt(i, k);
        const int32_t redMax = mask((k == 0) | (k == 5)), redMid = mask((k == 1) | (k == 4));
        const int32_t greenMax = mask((k == 1) | (k == 2)), greenMid = mask((k == 0) | (k == 3));
        const int32_t blueMax = mask((k == 3) | (k == 4)), blueMid = mask((k == 2) | (k == 5));
        const int32_t vmax = select(redMax, red, select(greenMax, green, blue));
        const int32_t vmid = select(redMid, red, select(greenMid, green, blue));
        const int32_t vmin = select(mask(k <= 1), blue, select(mask(k <= 3), red, green));
        const int32_t chroma = vmax - vmin;
        const int32_t active = mask((chroma > 0) & (part.rest >= 0));
        // The numerator is below 600 * 32768 < 2^30 and the chroma at most
        // 32767, with a quotient of at most 600: quotientOfUnits is exact.
        const int32_t hue = quotientOfUnits((vmid - vmin) * 600, select(mask(chroma > 0), chroma, 1));
        // Masked: an inactive lane's hue (chroma <= 0 divides by 1) is
        // unbounded, and chroma * f must not overflow.
        const int32_t turned = (part.rest + hue) & active;
        const int32_t carry = mask(turned >= 600);
        const int32_t f = turned - (600 & carry);
        int32_t sector = part.whole - carry;
        sector -= 6 & mask(sector >= 6);
        const int32_t product = chroma * f;
        const int32_t upStep = product / 600;
        const int32_t up = vmin + upStep;
        const int32_t down = vmin + chroma - upStep - 1 - mask(product == upStep * 600);
        const int32_t newMax = select(mask((sector == 0) | (sector == 5)), vmax,
                                      select(mask(sector == 1), down, select(mask(sector == 4), up, vmin)));
        const int32_t newMid =
            select(mask(sector == 0), up, select(mask(sector <= 2), vmax, select(mask(sector == 3), down, vmin)));
        const int32_t newMin =
            select(mask(sector <= 1), vmin, select(mask(sector == 2), up, select(mask(sector == 5), down, vmax)));
        r[i] = select(active, select(redMax, newMax, select(redMid, newMid, newMin)), red);
        g[i] = select(active, select(greenMax, newMax, select(greenMid, newMid, newMin)), green);
        b[i] = select(active, select(blueMax, newMax, select(blueMid, newMid, newMin)), blue);
    }
}

// The odd rankings turn by oddPart, the even ones by evenPart.
LUMETRA_VECTOR_CLONES
void rotateRow(int32_t* r, int32_t* g, int32_t* b, int n, const uint8_t* ranking, int32_t evenPart, int32_t oddPart) {
    const int done = rotateRow512(r, g, b, n, ranking, nullptr, evenPart, oddPart);
    r += done, g += done, b += done, ranking += done, n -= done;
    const PartSplit even = splitPart(evenPart), odd = splitPart(oddPart);
    rotateRowBody(r, g, b, n, ranking, [=](int, int32_t k) {
        const int32_t isOdd = mask(k & 1);
        return PartSplit{select(isOdd, odd.whole, even.whole), select(isOdd, odd.rest, even.rest)};
    });
}

LUMETRA_VECTOR_CLONES
void rotateRowByParts(int32_t* r, int32_t* g, int32_t* b, int n, const uint8_t* ranking, const int32_t* __restrict part) {
    const int done = rotateRow512(r, g, b, n, ranking, part, 0, 0);
    r += done, g += done, b += done, ranking += done, part += done, n -= done;
    rotateRowBody(r, g, b, n, ranking, [=](int i, int32_t) { return splitPart(part[i]); });
}

namespace {

// (wa * va + wb * vb) / sum truncated, in double: with the bounds perHueRows
// sets (|v| <= 2^16, weights and sum below 2^16) the numerator is an exact
// double below 2^34, and the quotient truncates as in truncatedQuotient.
[[gnu::always_inline]] inline int32_t weightedQuotient(int32_t wa, int32_t wb, uint64_t anchors, double sum) {
    const double va = lowOf(anchors), vb = highOf(anchors);
    return static_cast<int32_t>((static_cast<double>(wa) * va + static_cast<double>(wb) * vb) / sum);
}

// The per-hue rule of ColorStep::adjustRanked as selects, so that it
// vectorises (tables and anchors are read by gathers). With the bounds of
// perHueRows every product fits 64 bits: the envelope is below 2^28.3 and
// the weighted saturation 2^16, so the envelope times it (>> 8) is below
// 2^36.3; the reciprocal is 1..8256 (the old envelope is at least 32512),
// so the multiplier is below 2^36.3 and an offset (below 2^16) times it
// below 2^52.3. The incoming L is 0..65535 and oldEnvelope only moves it to
// min(L, 32767).
template <bool Tone>
[[gnu::always_inline]] inline bool perHueRowBody(int32_t* __restrict r, int32_t* __restrict g,
                                                 int32_t* __restrict b, int n, const PerHueInputs& in,
                                                 int32_t* __restrict part, uint8_t* __restrict ranking,
                                                 uint8_t* __restrict flag, int32_t* __restrict lum) {
    const int32_t* __restrict tonedInverse = in.tonedInverse;
    const int32_t* __restrict envelope = in.envelope;
    const HueAnchors& anchors = *in.anchors;
    const int32_t rotation = in.rotation;
    int32_t anyWide = 0;
    for (int i = 0; i < n; ++i) {
        const int32_t red = r[i], green = g[i], blue = b[i];
        const int32_t incoming = luminance15({red, green, blue});
        const int32_t hi = std::max(red, std::max(green, blue));
        const int32_t lo = std::min(red, std::min(green, blue));
        const int32_t dmax = hi - incoming, dmin = lo - incoming;
        const int32_t dmid = red + green + blue - hi - lo - incoming;
        const int32_t k = rankingCode(red, green, blue);
        const int32_t tonedAndInverse = tonedInverse[incoming];
        const int64_t inv = tonedAndInverse & 0xffff;
        const int32_t l = std::min(incoming, kWhite15);
        const int32_t toned = tonedAndInverse >> 16;
        const int32_t plainL = Tone ? toned : l;  // the L of grey pixels and of chroma 1

        // The two anchors around the hue, weighted by where the middle
        // channel lies between max, their mean and min.
        const int32_t avg = (dmax + dmin) >> 1;
        const int32_t upper = mask(dmid > avg);
        const int32_t wa = select(upper, dmid - avg, dmid - dmin);
        const int32_t wb = select(upper, dmax - dmid, avg - dmid);
        const int32_t sum = wa + wb;
        const int32_t anchor = 2 * k + (upper & 1);
        const double divisor = select(mask(sum > 0), sum, 1);  // the quotients of sum 0 are discarded
        const int32_t light = weightedQuotient(wa, wb, anchors.light[anchor], divisor);
        const int32_t shift = weightedQuotient(wa, wb, anchors.shift[anchor], divisor);
        const int32_t sat = weightedQuotient(wa, wb, anchors.sat[anchor], divisor);
        int64_t lit;
        if constexpr (Tone) {
            const int64_t slope = (static_cast<int64_t>(toned * (kWhite15 - toned)) * inv) >> 18;
            lit = toned + ((light * ((static_cast<int64_t>(dmax - dmin) * slope) >> 15)) >> 15);
        } else {
            lit = l + ((static_cast<int64_t>(dmax - dmin) * light) >> 15);
        }
        const int32_t litL = static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(lit, 0), kWhite15));

        // Weighted pixels take the lit L and the envelope times the weighted
        // saturation; grey ones the plain L and no envelope; those of chroma
        // 1 the plain L and the envelope (factor 256, shifted out exactly).
        const int32_t grey = mask(dmax == 0);
        const int32_t weighted = ~grey & mask(sum != 0);
        const int32_t newL = select(weighted, litL, plainL);
        const int32_t factor = select(weighted, sat, ~grey & 256);
        const int64_t env = (static_cast<int64_t>(envelope[newL]) * factor) >> 8;
        const int64_t mult = (env * inv) >> 13;
        const auto offset = [mult, incoming](int32_t c) { return ((c - incoming) * mult) >> 15; };
        // Only a positive multiplier leaves the range, so max and min take
        // the largest and smallest offsets there.
        const int64_t ofMax = offset(hi), ofMin = offset(lo);
        const int32_t over = mask(newL + ofMax > kWhite15);
        const int32_t outside = over | mask(newL + ofMin < 0);
        const int32_t wide = outside & mask((ofMax >= kRestorableReach) | (ofMin <= -kRestorableReach));
        anyWide |= wide;
        const auto finish = [outside, wide, newL](int32_t input, int64_t d) {
            const int32_t held = static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(newL + d, 0), kWhite15));
            return select(outside, select(wide, input, static_cast<int32_t>(d)), held);
        };
        r[i] = finish(red, offset(red));
        g[i] = finish(green, offset(green));
        b[i] = finish(blue, offset(blue));
        lum[i] = newL;
        flag[i] = static_cast<uint8_t>(select(wide, kFlagWide, select(over, kFlagOver, outside & kFlagUnder)));
        ranking[i] = static_cast<uint8_t>(k);

        // partOf without branches: the rotation moves by the weighted shift.
        const int32_t rot = rotation + (shift & weighted);
        int32_t turn = rot % 3600;
        turn += 3600 & mask(turn < 0);
        const int32_t mirrored = select(mask(turn == 0), 0, 3600 - turn);
        part[i] = select(mask(rot == 0), -1, select(mask(k & 1), mirrored, turn));
    }
    return anyWide != 0;
}

}  // namespace

LUMETRA_VECTOR_CLONES
bool perHueRow(int32_t* r, int32_t* g, int32_t* b, int n, const PerHueInputs& in, int32_t* part, uint8_t* ranking,
               uint8_t* flag, int32_t* lum) {
    bool anyWide = false;
    const int done = perHueRow512(r, g, b, n, in, part, ranking, flag, lum, false, anyWide);
    return perHueRowBody<false>(r + done, g + done, b + done, n - done, in, part + done, ranking + done, flag + done,
                                lum + done) || anyWide;
}

LUMETRA_VECTOR_CLONES
bool perHueToneRow(int32_t* r, int32_t* g, int32_t* b, int n, const PerHueInputs& in, int32_t* part,
                   uint8_t* ranking, uint8_t* flag, int32_t* lum) {
    bool anyWide = false;
    const int done = perHueRow512(r, g, b, n, in, part, ranking, flag, lum, true, anyWide);
    return perHueRowBody<true>(r + done, g + done, b + done, n - done, in, part + done, ranking + done, flag + done,
                               lum + done) || anyWide;
}

ColorTables prepareColorTables(const ColorMap& m, bool tone, bool perHue) {
    ColorTables t;
    t.saturation = heldSaturation(m.saturation);
    t.rotation = m.hueRotation;
    t.hueShift = m.hueShift;
    t.hueSat = m.hueSat;
    t.hueLight = m.hueLight;
    if (!tone && !perHue) return t;
    if (perHue) t.perHueRows = prepareAnchors(m, t.anchors);

    t.inverseEnvelope.resize(65536);
    for (int32_t l = 0; l < 65536; ++l) {
        int32_t moved = l;
        t.inverseEnvelope[static_cast<std::size_t>(l)] = 268435456 / oldEnvelope(moved);
    }
    t.tone.resize(kWhite15 + 1);
    t.envelope.resize(kWhite15 + 1);
    for (int32_t l = 0; l <= kWhite15; ++l) {
        t.tone[static_cast<std::size_t>(l)] = tone ? toneOf(m, l) : l;
        t.envelope[static_cast<std::size_t>(l)] =
            static_cast<int32_t>((static_cast<int64_t>(envelopeE(l)) * 109 * t.saturation) >> 22);
    }
    if (perHue) {
        t.tonedInverse.resize(65536);
        for (std::size_t l = 0; l < 65536; ++l)
            t.tonedInverse[l] = t.tone[std::min<std::size_t>(l, kWhite15)] << 16 | t.inverseEnvelope[l];
    }
    if (tone && !perHue) {
        t.toneScale.resize(65536);
        for (int32_t l = 0; l < 65536; ++l) {
            const int32_t toned = t.tone[static_cast<std::size_t>(std::min(l, kWhite15))];
            const int64_t product = t.envelope[static_cast<std::size_t>(toned)] *
                                    int64_t{t.inverseEnvelope[static_cast<std::size_t>(l)]};
            t.toneScale[static_cast<std::size_t>(l)] = pairOf(static_cast<int32_t>(product >> 13), toned);
        }
    }
    return t;
}

}  // namespace lumetra::pt
