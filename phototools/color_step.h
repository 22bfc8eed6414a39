// The colour step of the renderer: tone table, saturation, per-hue anchors
// and hue rotation, all worked on the pixel's luminance and the offsets of
// its channels from it, in 15-bit fixed point. One type per stage; the
// renderer instantiates the four (tone, per-hue) combinations.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/q15.h"
#include "lumetra.h"
#include "phototools/flagged_pixels.h"

namespace lumetra::pt {

constexpr int32_t kWhite15 = 32767;

// Two 32-bit values in one 64-bit table entry, so that the row passes
// fetch both with one read.
inline uint64_t pairOf(int32_t low, int32_t high) {
    return static_cast<uint32_t>(low) | static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32;
}
inline int32_t lowOf(uint64_t pair) { return static_cast<int32_t>(static_cast<uint32_t>(pair)); }
inline int32_t highOf(uint64_t pair) { return static_cast<int32_t>(static_cast<uint32_t>(pair >> 32)); }

// The per-hue anchors of each ranking's halves, index 2 * ranking + (1 for
// the upper half): the values of anchor a (low) and anchor b (high).
struct HueAnchors {
    uint64_t light[12], shift[12], sat[12];
    // The same values as doubles for the 512-bit pass's register tables,
    // the low and the high anchors apart, settings light, shift, sat, each
    // padded to sixteen entries.
    alignas(64) double low[3][16] = {}, high[3][16] = {};
    // Shift and sat (settings 1 and 2) in single precision, set when all
    // of them lie within +-kNarrowAnchor.
    alignas(64) float narrowLow[2][16] = {}, narrowHigh[2][16] = {};
    bool narrow = false;
};
constexpr int32_t kNarrowAnchor = 512;

// What the colour step reads, prepared once per call from the map.
struct ColorTables {
    int32_t saturation = 256;  // held to +-32767
    int32_t rotation = 0;
    // Old-envelope reciprocal 268435456 / envOld(L) for every incoming
    // L (0..65535): the envelope depends on L alone.
    std::vector<int32_t> inverseEnvelope;
    // tone(L) for L in 0..32767.
    std::vector<int32_t> tone;
    // (E(L) * 109 * saturation) >> 22 for L in 0..32767.
    std::vector<int32_t> envelope;
    // The per-hue stage's two reads of an incoming L (0..65535) in one
    // entry: tone(min(L, 32767)) << 16 | inverseEnvelope(L); the
    // reciprocal is below 2^14. Filled for the per-hue stages alone.
    std::vector<int32_t> tonedInverse;
    // The tone stage's L and multiplier for every incoming L, one read a
    // pixel (see toneScaleOf); filled for the tone stage alone.
    std::vector<uint64_t> toneScale;
    const int32_t* hueShift = nullptr;
    const int32_t* hueSat = nullptr;
    const int32_t* hueLight = nullptr;
    // Set when the per-hue settings lie within the ranges the per-hue row
    // pass is exact for (see perHueRow); otherwise each pixel takes the
    // per-pixel rule.
    bool perHueRows = false;
    HueAnchors anchors{};
};

// The colour step's scratch for a row of up to `width` pixels.
struct RowScratch {
    std::vector<uint8_t> ranking, flag;
    std::vector<int32_t> part;  // per-hue: each pixel's rotation part
    std::vector<int32_t> lum;   // the L of each flagged pixel
    // The flagged pixels gathered for the restore passes (their columns,
    // offsets and L): those over white from slot 0, the others from slot
    // width + kListSpare, each list with its spare slots.
    std::vector<int32_t> index, r, g, b, l;
    explicit RowScratch(int32_t width)
        : ranking(static_cast<std::size_t>(width)), flag(ranking.size()), part(ranking.size()),
          lum(ranking.size()), index(2 * (ranking.size() + PixelList::kListSpare)), r(index.size()),
          g(index.size()), b(index.size()), l(index.size()) {}
    PixelList list(std::size_t first) {
        return {index.data() + first, r.data() + first, g.data() + first, b.data() + first, l.data() + first};
    }
    PixelList overList() { return list(0); }
    PixelList underList() { return list(ranking.size() + PixelList::kListSpare); }
};

// Builds the tables the stage needs (none for the plain stage).
ColorTables prepareColorTables(const ColorMap& m, bool tone, bool perHue);

// E(L) = (38390 - L) * L + 4913920, the chroma envelope at luminance L.
inline int32_t envelopeE(int32_t l) { return (38390 - l) * l + 4913920; }

// The old envelope of an incoming luminance; moves L to 0 or 32767 at the ends.
inline int32_t oldEnvelope(int32_t& l) {
    if (l < 1) {
        const int32_t env = (256 - l) * 127;
        l = 0;
        return env;
    }
    const int32_t k = 38390 - l;
    if (k < 5624) {
        l = kWhite15;
        return (5879 - k) * 4915;
    }
    return (((l * k + 4913920) >> 7) * 109) >> 7;
}

// What the tone stage takes from an incoming L (0..65535): the toned L,
// tone(min(L, 32767)) (oldEnvelope only moves a non-negative L to the
// top), and the multiplier of the offsets, (envelope(toned L) *
// inverseEnvelope(L)) >> 13. The envelope is below 2^29 in size and the
// reciprocal below 2^14, so the multiplier fits 32 bits; tabulated as a
// pair, the toned L high.
struct ToneScale {
    int32_t l, multiplier;
};
inline ToneScale toneScaleOf(uint64_t pair) { return {highOf(pair), lowOf(pair)}; }

// Channel order of a ranking: the channels (0 red, 1 green, 2 blue) holding
// max, mid and min, and the two per-hue anchors of its low and high half.
struct Ranking {
    int max, mid, min;
    int lowA, lowB, highA, highB;
    bool odd;
};
inline constexpr Ranking kRankings[6] = {
    {0, 1, 2, 1, 0, 2, 1, false},    // R G B
    {1, 0, 2, 3, 4, 2, 3, true},     // G R B
    {1, 2, 0, 5, 4, 6, 5, false},    // G B R
    {2, 1, 0, 7, 8, 6, 7, true},     // B G R
    {2, 0, 1, 9, 8, 10, 9, false},   // B R G
    {0, 2, 1, 11, 0, 10, 11, true},  // R B G
};

inline int rankingOf(int32_t r, int32_t g, int32_t b) {
    if (g <= b) {
        if (g <= r) return b <= r ? 5 : 4;
        return 3;
    }
    if (r <= g) return r <= b ? 2 : 1;
    return 0;
}

// The compiler folds a double division of converted integers back into an
// integer one; the empty asm hides the operands' origin so it stays double.
inline double doubleQuotient(double n, double d) {
#if defined(__GNUC__)
    asm("" : "+x"(n), "+x"(d));
#endif
    return n / d;
}

// n / d truncated toward zero, as integer division gives it, through one
// double division where both are below 2^53: they are exact doubles, a
// quotient that is not whole lies at least 1/|d| from every whole number and
// the division's rounding error, at most |n/d| 2^-53, is smaller than that,
// so truncating the double gives the same integer. d must not be 0.
inline int64_t truncatedQuotient(int64_t n, int64_t d) {
    constexpr int64_t kExact = int64_t{1} << 53;
    if (n > -kExact && n < kExact && d > -kExact && d < kExact)
        return static_cast<int64_t>(doubleQuotient(static_cast<double>(n), static_cast<double>(d)));
    return n / d;
}

// A rotation in tenths of a degree as its part in 0..3599: the step adds the
// hue and takes the sum modulo 3600, so only this part matters.
inline int32_t rotationPart(int64_t rot) {
    const int64_t part = rot % 3600;
    return static_cast<int32_t>(part < 0 ? part + 3600 : part);
}
// The part a ranking of odd order turns by: the rotation is mirrored,
// 3600 - rot % 3600 unless that remainder is 0.
inline int32_t mirroredPart(int64_t rot) {
    return rot % 3600 != 0 ? rotationPart(3600 - rot % 3600) : rotationPart(rot);
}

// Hue rotation by part (0..3599) tenths of a degree, keeping max, min and
// chroma. The hue sum (part + the hue's 0..600 + 3600) % 3600 is part + hue
// less 3600 when it reaches 3600: both are below 4200 and the 3600 added
// before the remainder changes nothing.
[[gnu::always_inline]] inline void rotateHuePart(int32_t part, int32_t* channel, const Ranking& rank) {
    const int32_t vmax = channel[rank.max], vmid = channel[rank.mid], vmin = channel[rank.min];
    const int32_t chroma = vmax - vmin;
    if (chroma <= 0) return;
    // The steps keep the ranking's order (every offset is scaled by one
    // factor, and a reversed order leaves chroma <= 0), so the hue is
    // 0..600. Its numerator is below 2^25: one double division is exact
    // (see truncatedQuotient).
    const int32_t hue = static_cast<int32_t>(doubleQuotient((vmid - vmin) * 600, chroma));
    int32_t h = part + hue;
    if (h >= 3600) h -= 3600;
    const int32_t sector = h / 600;
    const int32_t f = h - sector * 600;
    const int32_t up = vmin + (chroma * f) / 600;
    const int32_t down = vmin + (chroma * (600 - f)) / 600;
    static constexpr int kPick[6][3] = {{0, 1, 2}, {3, 0, 2}, {2, 0, 1}, {2, 3, 0}, {1, 2, 0}, {0, 2, 3}};
    const int32_t value[4] = {vmax, up, vmin, down};
    channel[rank.max] = value[kPick[sector][0]];
    channel[rank.mid] = value[kPick[sector][1]];
    channel[rank.min] = value[kPick[sector][2]];
}

// Hue rotation by rot tenths of a degree, mirrored for rankings of odd order.
[[gnu::always_inline]] inline void rotateHue(int64_t rot, int32_t* channel, const Ranking& rank) {
    rotateHuePart(rank.odd ? mirroredPart(rot) : rotationPart(rot), channel, rank);
}

// Offsets d (red, green, blue) back onto L with the hue kept: a too-bright
// colour is scaled toward L below white, a too-dark one toward L above
// black. dmax and dmin are the offsets of the max and min channels; each
// channel follows the same rule (the max one lands exactly on white, the
// min one on black), so no ranking is needed here.
[[gnu::always_inline]] inline void restoreRange(int32_t l, int64_t dmax, int64_t dmin, int64_t* d, int32_t* channel) {
    if (l + dmax > kWhite15) {
        const int64_t span = kWhite15 - l;
        for (int c = 0; c < 3; ++c) d[c] = truncatedQuotient(d[c] * span, dmax);
        dmin = truncatedQuotient(dmin * span, dmax);
    }
    if (l + dmin < 0) {
        for (int c = 0; c < 3; ++c) d[c] = truncatedQuotient(d[c] * l, -dmin);
    }
    // Only settings beyond their ranges (saturation below -100 %) can leave
    // the range here; they are held to it.
    for (int c = 0; c < 3; ++c) {
        const int64_t v = l + d[c];
        channel[c] = static_cast<int32_t>(v < 0 ? 0 : (v > kWhite15 ? kWhite15 : v));
    }
}

// The plain stage's saturation on a row of planes (0..65535 in), where it
// needs no division: luminance l kept, each offset from it scaled by
// saturation / 256, then held to 0..32767; l above 32767 gives white. A
// pixel whose scaled offsets leave the range, which the restore passes
// scale back with divisions, has its offsets in place of its channels, its
// L in lum and flag kFlagOver (l + dmax > 32767) or kFlagUnder (otherwise
// l + dmin < 0); the others flag 0. ranking receives rankingOf of each
// input unless it is null.
void saturateRow(int32_t* r, int32_t* g, int32_t* b, int n, int32_t saturation, uint8_t* ranking, uint8_t* flag,
                 int32_t* lum);

// The tone stage's scaleOffsets on a row of planes in the same way as
// saturateRow: pixels whose scaled offsets leave the range have their
// offsets in place of their channels, their L in lum and the flag of the
// side they leave by.
void toneRow(int32_t* r, int32_t* g, int32_t* b, int n, const uint64_t* toneScale, uint8_t* ranking, uint8_t* flag,
             int32_t* lum);
// toneRow in 512-bit vectors, sixteen pixels a step, where the processor
// has AVX-512 (none elsewhere); returns how many pixels it did, a multiple
// of 16, for the caller to finish.
int toneRow512(int32_t* r, int32_t* g, int32_t* b, int n, const uint64_t* toneScale, uint8_t* ranking, uint8_t* flag,
               int32_t* lum);

// restoreRange on n pixels given as offsets r, g, b from L l; the channels
// come back in r, g, b. Offsets within +-2^31 and L within 0..32767, as the
// plain and tone stages leave them. Both stages scale a pixel's offsets by
// one factor; only a positive one can push them out of range (a negative
// one leaves the max channel's offset at most 0 and the min channel's at
// least 0), so the max and min channels hold the largest and smallest
// offset.
void restoreRow(int32_t* r, int32_t* g, int32_t* b, const int32_t* l, int n);

// restoreRow for pixels known to take one of its two scalings only: over
// white and not under black once scaled, or under black only. Each divides
// three times where restoreRow divides seven.
void restoreOverRow(int32_t* r, int32_t* g, int32_t* b, const int32_t* l, int n);
void restoreUnderRow(int32_t* r, int32_t* g, int32_t* b, const int32_t* l, int n);

// Whether a pixel over white that restoreOverRow brings down to white
// also lands under black, and so takes both scalings: when
// trunc(dmin (32767 - l) / dmax) < -l, that is when the quotient is at
// most -l - 1, which the products decide exactly (both below 2^47; dmax >
// 0 over white).
inline bool alsoUnderBlack(int32_t l, int32_t red, int32_t green, int32_t blue) {
    const int64_t dmax = std::max(red, std::max(green, blue));
    const int64_t dmin = std::min(red, std::min(green, blue));
    return dmin * (kWhite15 - l) <= (-int64_t{l} - 1) * dmax;
}

// Appends to `both`, in order, the pixels of `over` that alsoUnderBlack
// picks.
void gatherAlsoUnderBlack(const PixelList& over, PixelList& both);

// rotateHuePart on a row of planes (0..32767) whose incoming colours had
// the rankings `ranking`: odd rankings turn by oddPart, even ones by evenPart.
void rotateRow(int32_t* r, int32_t* g, int32_t* b, int n, const uint8_t* ranking, int32_t evenPart, int32_t oddPart);

// rotateHuePart on a row where each pixel has its own part (0..3599), or
// -1 for no rotation.
void rotateRowByParts(int32_t* r, int32_t* g, int32_t* b, int n, const uint8_t* ranking, const int32_t* part);
// Either rotation in 512-bit vectors, sixteen pixels a step, where the
// processor has AVX-512 (none elsewhere): by parts where `parts` is given,
// else by evenPart and oddPart. Returns how many pixels it did, a multiple
// of 16, for the caller to finish.
int rotateRow512(int32_t* r, int32_t* g, int32_t* b, int n, const uint8_t* ranking, const int32_t* parts,
                 int32_t evenPart, int32_t oddPart);

// The part a pixel whose incoming ranking is odd or even turns by for a
// rotation rot, -1 when rot is 0 (no rotation at all, which differs from
// a whole turn: rotateHuePart truncates).
inline int32_t partOf(int64_t rot, bool odd) {
    return rot == 0 ? -1 : (odd ? mirroredPart(rot) : rotationPart(rot));
}

// What the per-hue row pass reads.
struct PerHueInputs {
    const int32_t *tonedInverse, *envelope;
    const HueAnchors* anchors;
    int32_t rotation;
    int32_t saturation;  // held to +-32767, as the envelope table takes it
};

// The per-hue stage on a row of planes (0..65535 in) without the hue
// rotation, with (perHueToneRow) or without the tone table, flagging as
// saturateRow does: pixels whose adjusted offsets leave the range have
// their offsets in place of their channels, their L in lum and flag
// kFlagOver or kFlagUnder; those with an offset of kRestorableReach or
// more keep their input and flag kFlagWide, and the pass returns whether
// there were any. part receives each pixel's rotation part (partOf) and
// ranking the ranking of each input. Exact for the settings perHueRows
// admits.
bool perHueRow(int32_t* r, int32_t* g, int32_t* b, int n, const PerHueInputs& in, int32_t* part, uint8_t* ranking,
               uint8_t* flag, int32_t* lum);
bool perHueToneRow(int32_t* r, int32_t* g, int32_t* b, int n, const PerHueInputs& in, int32_t* part,
                   uint8_t* ranking, uint8_t* flag, int32_t* lum);
// Either pass in 512-bit vectors, sixteen pixels a step, where the
// processor has AVX-512 (none elsewhere); returns how many pixels it did,
// a multiple of 16, for the caller to finish, and sets anyWide if it
// flagged kFlagWide.
int perHueRow512(int32_t* r, int32_t* g, int32_t* b, int n, const PerHueInputs& in, int32_t* part,
                 uint8_t* ranking, uint8_t* flag, int32_t* lum, bool tone, bool& anyWide);

// What the step reads per pixel, held by value: the renderer's byte stores
// may alias anything reached through a reference, which would reload every
// field after each pixel.
struct ColorView {
    int32_t saturation, rotation;
    int32_t evenPart, oddPart;  // rotationPart and mirroredPart of the rotation
    const int32_t *inverseEnvelope, *tone, *envelope, *tonedInverse;
    const uint64_t* toneScale;
    const int32_t *hueShift, *hueSat, *hueLight;
    const HueAnchors* anchors;
    bool perHueRows;

    explicit ColorView(const ColorTables& c)
        : saturation(c.saturation), rotation(c.rotation), evenPart(rotationPart(c.rotation)),
          oddPart(mirroredPart(c.rotation)), inverseEnvelope(c.inverseEnvelope.data()), tone(c.tone.data()),
          envelope(c.envelope.data()), tonedInverse(c.tonedInverse.data()), toneScale(c.toneScale.data()),
          hueShift(c.hueShift), hueSat(c.hueSat), hueLight(c.hueLight), anchors(&c.anchors), perHueRows(c.perHueRows) {}
};

template <bool Tone, bool PerHue>
struct ColorStep {
    ColorView t;

    // r, g, b in 0..65535 on entry, 0..32767 on return.
    [[gnu::always_inline]] inline void apply(int32_t& r, int32_t& g, int32_t& b) const {
        if constexpr (PerHue) applyRanked(r, g, b);
        else applyAlike(r, g, b);
    }

    // A row of pixels held as planes, 0..65535 in, 0..32767 out, with
    // scratch for at least n pixels.
    void applyRow(int32_t* r, int32_t* g, int32_t* b, int n, RowScratch& s) const {
        if constexpr (PerHue) {
            if (t.perHueRows) return applyRankedRow(r, g, b, n, s);
            for (int i = 0; i < n; ++i) apply(r[i], g[i], b[i]);
        } else {
            applyAlikeRow(r, g, b, n, s);
        }
    }

    // The per-hue stage in passes as the plain one: the vectorised pass,
    // the restore passes, the full rule on the few pixels with wide
    // offsets, then the rotation by each pixel's own part.
    void applyRankedRow(int32_t* r, int32_t* g, int32_t* b, int n, RowScratch& s) const {
        const PerHueInputs in{t.tonedInverse, t.envelope, t.anchors, t.rotation, t.saturation};
        uint8_t* ranking = s.ranking.data();
        int32_t* part = s.part.data();
        uint8_t* flag = s.flag.data();
        const bool anyWide = Tone ? perHueToneRow(r, g, b, n, in, part, ranking, flag, s.lum.data())
                                  : perHueRow(r, g, b, n, in, part, ranking, flag, s.lum.data());
        restoreFlagged(r, g, b, n, s);
        if (anyWide) {
            for (int i = 0; i < n; ++i)
                if (flag[i] == kFlagWide) part[i] = partOf(adjustRanked(r[i], g[i], b[i]), kRankings[ranking[i]].odd);
        }
        rotateRowByParts(r, g, b, n, ranking, part);
    }

    // The plain and tone stages in three passes: the offsets scaled on the
    // whole row (the vectorised pass), the flagged pixels (whose offsets
    // leave the range) scaled back by the restore passes, then the
    // rotation, which reads the ranking of the incoming colour.
    void applyAlikeRow(int32_t* r, int32_t* g, int32_t* b, int n, RowScratch& s) const {
        uint8_t* ranking = t.rotation != 0 ? s.ranking.data() : nullptr;  // only the rotation reads it
        if constexpr (Tone)
            toneRow(r, g, b, n, t.toneScale, ranking, s.flag.data(), s.lum.data());
        else
            saturateRow(r, g, b, n, t.saturation, ranking, s.flag.data(), s.lum.data());
        restoreFlagged(r, g, b, n, s);
        if (t.rotation != 0) rotateRow(r, g, b, n, s.ranking.data(), t.evenPart, t.oddPart);
    }

    // The pixels flagged over white or under black gathered into lists by
    // the scalings they take: over white, under black, and the few over
    // white that land under black once scaled, which take both (and are
    // put back last); each list restored, and put back in the row.
    static void restoreFlagged(int32_t* r, int32_t* g, int32_t* b, int n, RowScratch& s) {
        PixelList over = s.overList(), under = s.underList();
        gatherFlagged(s.flag.data(), n, r, g, b, s.lum.data(), over, under);
        PixelList both = under.after();
        gatherAlsoUnderBlack(over, both);
        restoreOverRow(over.r, over.g, over.b, over.l, over.count);
        restoreUnderRow(under.r, under.g, under.b, under.l, under.count);
        restoreRow(both.r, both.g, both.b, both.l, both.count);
        for (const PixelList* list : {&over, &under, &both}) {
            for (int j = 0; j < list->count; ++j) {
                const int i = list->index[j];
                r[i] = list->r[j], g[i] = list->g[j], b[i] = list->b[j];
            }
        }
    }

    inline void applyAlike(int32_t& r, int32_t& g, int32_t& b) const {
        int32_t channel[3];
        scaleOffsets(r, g, b, channel);
        if (t.rotation != 0) {
            const Ranking& rank = kRankings[rankingOf(r, g, b)];
            rotateHuePart(rank.odd ? t.oddPart : t.evenPart, channel, rank);
        }
        r = channel[0];
        g = channel[1];
        b = channel[2];
    }

    // Luminance kept, offsets scaled by the saturation (or the tone
    // envelopes) and brought back into range.
    inline void scaleOffsets(int32_t r, int32_t g, int32_t b, int32_t* channel) const {
        int32_t l = luminance15({r, g, b});
        const int32_t hi = std::max(r, std::max(g, b));
        const int32_t lo = std::min(r, std::min(g, b));
        int64_t d[3], dmax, dmin;
        if constexpr (!Tone) {
            if (l > kWhite15) {
                l = kWhite15;
                d[0] = d[1] = d[2] = dmax = dmin = 0;
            } else {  // |offset| <= 65535 and |saturation| <= 32767: 32 bits suffice
                d[0] = ((r - l) * t.saturation) >> 8;
                d[1] = ((g - l) * t.saturation) >> 8;
                d[2] = ((b - l) * t.saturation) >> 8;
                dmax = ((hi - l) * t.saturation) >> 8;
                dmin = ((lo - l) * t.saturation) >> 8;
            }
        } else {
            const ToneScale scale = toneScaleOf(t.toneScale[static_cast<uint32_t>(l)]);
            const int32_t offsets[5] = {r - l, g - l, b - l, hi - l, lo - l};
            l = scale.l;
            const int64_t mult = scale.multiplier;
            d[0] = (offsets[0] * mult) >> 15;
            d[1] = (offsets[1] * mult) >> 15;
            d[2] = (offsets[2] * mult) >> 15;
            dmax = (offsets[3] * mult) >> 15;
            dmin = (offsets[4] * mult) >> 15;
        }
        restoreRange(l, dmax, dmin, d, channel);
    }

    inline void applyRanked(int32_t& r, int32_t& g, int32_t& b) const {
        const Ranking& rank = kRankings[rankingOf(r, g, b)];
        const int64_t rot = adjustRanked(r, g, b);
        if (rot == 0) return;
        int32_t channel[3] = {r, g, b};
        rotateHue(rot, channel, rank);
        r = channel[0];
        g = channel[1];
        b = channel[2];
    }

    // Everything of the per-hue rule but the rotation; returns the rotation.
    inline int64_t adjustRanked(int32_t& r, int32_t& g, int32_t& b) const {
        int32_t channel[3] = {r, g, b};
        int32_t l = luminance15({r, g, b});
        const Ranking& rank = kRankings[rankingOf(r, g, b)];
        int64_t dmax = channel[rank.max] - l;
        int64_t dmid = channel[rank.mid] - l;
        int64_t dmin = channel[rank.min] - l;
        int64_t rot = t.rotation;

        const int32_t inv = t.inverseEnvelope[static_cast<uint32_t>(l)];
        oldEnvelope(l);  // moves L to the ends; the reciprocal is tabulated
        int64_t env = 0;
        if (dmax == 0) {  // grey: no offsets to scale
            if constexpr (Tone) l = t.tone[l];
        } else {
            env = perHueAdjust(l, dmax, dmid, dmin, inv, rank, rot);
        }
        const int64_t mult = (env * inv) >> 13;
        int64_t d[3];
        d[rank.max] = (dmax * mult) >> 15;
        d[rank.mid] = (dmid * mult) >> 15;
        d[rank.min] = (dmin * mult) >> 15;
        restoreRange(l, d[rank.max], d[rank.min], d, channel);
        r = channel[0];
        g = channel[1];
        b = channel[2];
        return rot;
    }

    // The two anchors around the pixel's hue, weighted by where its middle
    // channel lies; returns the new envelope and moves L and rot.
    inline int64_t perHueAdjust(int32_t& l, int64_t dmax, int64_t dmid, int64_t dmin, int32_t inv,
                                const Ranking& rank, int64_t& rot) const {
        const int64_t avg = (dmax + dmin) >> 1;
        int a, b;
        int64_t wa, wb;
        if (dmid <= avg) {
            a = rank.lowA, b = rank.lowB, wa = dmid - dmin, wb = avg - dmid;
        } else {
            a = rank.highA, b = rank.highB, wa = dmid - avg, wb = dmax - dmid;
        }
        const int64_t sum = wa + wb;
        if (sum == 0) {  // chroma 1: the tone-only envelope, without per-hue factors
            if constexpr (Tone) l = t.tone[l];
            return t.envelope[l];
        }
        const int64_t light = (wa * t.hueLight[a] + wb * t.hueLight[b]) / sum;
        rot += (wa * t.hueShift[a] + wb * t.hueShift[b]) / sum;
        int64_t lit;
        if constexpr (Tone) {
            const int32_t toned = t.tone[l];
            const int64_t slope = (static_cast<int64_t>(toned * (kWhite15 - toned)) * inv) >> 18;
            lit = toned + ((light * (((dmax - dmin) * slope) >> 15)) >> 15);
        } else {
            lit = l + (((dmax - dmin) * light) >> 15);
        }
        l = static_cast<int32_t>(lit < 0 ? 0 : (lit > kWhite15 ? kWhite15 : lit));
        const int64_t env = t.envelope[l] * ((wa * t.hueSat[a] + wb * t.hueSat[b]) / sum);
        return env >> 8;
    }
};

}  // namespace lumetra::pt
