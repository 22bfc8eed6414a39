#include "core/byte_rows.h"

#include <algorithm>

#include "core/byte_shuffles.h"
#include "core/planes.h"
#include "core/vector_clones.h"

namespace lumetra {

namespace {

#if LUMETRA_AVX2_INTRINSICS

// 32 values a step. The signed pack to 16 bits keeps every value's side of
// 0 and of 255 (it saturates at -32768 and 32767), and the unsigned pack to
// bytes then clamps to 0..255 exactly.
LUMETRA_AVX2 size_t packClamped(const int32_t* values, uint8_t* out, size_t count) {
    size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const int32_t* v = values + i;
        const __m256i low = _mm256_packs_epi32(load8(v), load8(v + 8));
        const __m256i high = _mm256_packs_epi32(load8(v + 16), load8(v + 24));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), inOrder(_mm256_packus_epi16(low, high)));
    }
    return i;
}

// 16 values of a plane as toByte15 bytes, x >> 7 through the saturating
// packs as in packClamped.
LUMETRA_AVX2 inline __m256i words16(const int32_t* plane) {
    return _mm256_packs_epi32(_mm256_srai_epi32(load8(plane), 7), _mm256_srai_epi32(load8(plane + 8), 7));
}

// 16 blue, green and red bytes woven into 48 bytes of B, G, R pixels.
LUMETRA_AVX2 inline void weave16(__m128i blue, __m128i green, __m128i red, uint8_t* out) {
    const __m128i planes[3] = {blue, green, red};
    for (size_t k = 0; k < 3; ++k) {
        const __m128i block = _mm_or_si128(
            _mm_or_si128(shuffled(planes[0], kWeave[k][0]), shuffled(planes[1], kWeave[k][1])),
            shuffled(planes[2], kWeave[k][2]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * static_cast<int>(k)), block);
    }
}

LUMETRA_AVX2 int weavePlanes(const int32_t* r, const int32_t* g, const int32_t* b, int n, uint8_t* out) {
    int col = 0;
    for (; col + 16 <= n; col += 16) {
        const __m256i blueGreen = inOrder(_mm256_packus_epi16(words16(b + col), words16(g + col)));
        const __m256i red = inOrder(_mm256_packus_epi16(words16(r + col), _mm256_setzero_si256()));
        weave16(_mm256_castsi256_si128(blueGreen), _mm256_extracti128_si256(blueGreen, 1), _mm256_castsi256_si128(red),
                out + 3 * col);
    }
    return col;
}

// 16 held values of a plane looked up in a byte table, as words: each
// lookup gathers the four bytes from the entry on and keeps the first.
LUMETRA_AVX2 inline __m256i lookedUp8(const int32_t* plane, const uint8_t* table, __m256i last) {
    const __m256i index = _mm256_min_epi32(_mm256_max_epi32(load8(plane), _mm256_setzero_si256()), last);
    const __m256i words = _mm256_i32gather_epi32(reinterpret_cast<const int*>(table), index, 1);
    return _mm256_and_si256(words, _mm256_set1_epi32(255));
}
LUMETRA_AVX2 inline __m256i lookedUp16(const int32_t* plane, const uint8_t* table, __m256i last) {
    return _mm256_packs_epi32(lookedUp8(plane, table, last), lookedUp8(plane + 8, table, last));
}

LUMETRA_AVX2 int weaveLookedUp(const int32_t* r, const int32_t* g, const int32_t* b, int n,
                               const uint8_t* const tables[3], int32_t size, uint8_t* out) {
    const __m256i last = _mm256_set1_epi32(size - 1);
    int col = 0;
    for (; col + 16 <= n; col += 16) {
        const __m256i blueGreen = inOrder(_mm256_packus_epi16(lookedUp16(b + col, tables[0], last),
                                                              lookedUp16(g + col, tables[1], last)));
        const __m256i red = inOrder(_mm256_packus_epi16(lookedUp16(r + col, tables[2], last), _mm256_setzero_si256()));
        weave16(_mm256_castsi256_si128(blueGreen), _mm256_extracti128_si256(blueGreen, 1), _mm256_castsi256_si128(red),
                out + 3 * col);
    }
    return col;
}

// 16 held values of a plane through a curve of segment pairs, as words.
// The gather reads 4 KB, which stays in the L1 cache; one multiply-add of
// the pair by the words (32, v & 31) makes the interpolated sum.
LUMETRA_AVX2 inline __m256i interpolated8(const int32_t* plane, const uint32_t* pairs) {
    const __m256i held = _mm256_min_epi32(_mm256_max_epi32(load8(plane), _mm256_setzero_si256()), _mm256_set1_epi32(32767));
    const __m256i fraction = _mm256_and_si256(held, _mm256_set1_epi32(31));
    const __m256i weights = _mm256_or_si256(_mm256_slli_epi32(fraction, 16), _mm256_set1_epi32(32));
    const __m256i pair = _mm256_i32gather_epi32(reinterpret_cast<const int*>(pairs), _mm256_srli_epi32(held, 5), 4);
    return _mm256_srai_epi32(_mm256_madd_epi16(pair, weights), 12);
}
LUMETRA_AVX2 inline __m256i interpolated16(const int32_t* plane, const uint32_t* pairs) {
    return _mm256_packs_epi32(interpolated8(plane, pairs), interpolated8(plane + 8, pairs));
}

LUMETRA_AVX2 int weaveInterpolated(const int32_t* r, const int32_t* g, const int32_t* b, int n,
                                   const uint32_t* const pairs[3], uint8_t* out) {
    int col = 0;
    for (; col + 16 <= n; col += 16) {
        const __m256i blueGreen =
            inOrder(_mm256_packus_epi16(interpolated16(b + col, pairs[0]), interpolated16(g + col, pairs[1])));
        const __m256i red = inOrder(_mm256_packus_epi16(interpolated16(r + col, pairs[2]), _mm256_setzero_si256()));
        weave16(_mm256_castsi256_si128(blueGreen), _mm256_extracti128_si256(blueGreen, 1), _mm256_castsi256_si128(red),
                out + 3 * col);
    }
    return col;
}

LUMETRA_AVX512_WARNINGS_OFF
// 32 values of a plane, each a byte << 7, through a 256-entry word table
// held in eight registers: four two-register word permutations read its
// quarters, and bits 6 and 7 of the byte pick among them.
LUMETRA_AVX512_VBMI inline void lookUp32(int32_t* plane, const __m512i (&table)[8]) {
    const __m256i low = _mm512_cvtepi32_epi16(_mm512_srli_epi32(_mm512_loadu_si512(plane), 7));
    const __m256i high = _mm512_cvtepi32_epi16(_mm512_srli_epi32(_mm512_loadu_si512(plane + 16), 7));
    const __m512i index = _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
    const __mmask32 oddQuarter = _mm512_test_epi16_mask(index, _mm512_set1_epi16(64));
    const __mmask32 upperHalf = _mm512_test_epi16_mask(index, _mm512_set1_epi16(128));
    const __m512i lower = _mm512_mask_blend_epi16(oddQuarter, _mm512_permutex2var_epi16(table[0], index, table[1]),
                                                  _mm512_permutex2var_epi16(table[2], index, table[3]));
    const __m512i upper = _mm512_mask_blend_epi16(oddQuarter, _mm512_permutex2var_epi16(table[4], index, table[5]),
                                                  _mm512_permutex2var_epi16(table[6], index, table[7]));
    const __m512i words = _mm512_mask_blend_epi16(upperHalf, lower, upper);
    _mm512_storeu_si512(plane, _mm512_cvtepu16_epi32(_mm512_castsi512_si256(words)));
    _mm512_storeu_si512(plane + 16, _mm512_cvtepu16_epi32(_mm512_extracti64x4_epi64(words, 1)));
}

LUMETRA_AVX512_VBMI int lookUpBytePlanes512(int32_t* const planes[3], int n, const uint16_t* const tables[3]) {
    const int columns = n - n % 32;
    for (int c = 0; c < 3; ++c) {
        __m512i table[8];
        for (int k = 0; k < 8; ++k) table[k] = _mm512_loadu_si512(tables[c] + 32 * k);
        for (int col = 0; col < columns; col += 32) lookUp32(planes[c] + col, table);
    }
    return columns;
}
LUMETRA_AVX512_WARNINGS_ON

// Byte permutations between 16 pixels' 48 B, G, R bytes and 32-bit lanes:
// lane p's low byte takes (or gives) channel c of pixel p, byte 3 p + c;
// weaving takes the three low bytes of each lane, B, G, R.
struct PixelLanes {
    int8_t channel[3][64];
    int8_t woven[64];
};
constexpr PixelLanes pixelLanes() {
    PixelLanes lanes{};
    for (int p = 0; p < 16; ++p)
        for (int c = 0; c < 3; ++c) {
            lanes.channel[c][4 * p] = static_cast<int8_t>(3 * p + c);
            lanes.woven[3 * p + c] = static_cast<int8_t>(4 * p + c);
        }
    return lanes;
}
constexpr PixelLanes kPixelLanes = pixelLanes();
constexpr __mmask64 kPixelBytes48 = 0xffffffffffffull;

LUMETRA_AVX512_WARNINGS_OFF
// unweavePlanes sixteen pixels a step in 512-bit vectors: one byte
// permutation per channel puts each byte in its own zeroed 32-bit lane.
// The loads and stores take the 48 bytes alone.
LUMETRA_AVX512_VBMI int unweavePlanes512(const uint8_t* in, int n, int32_t* r, int32_t* g, int32_t* b) {
    int32_t* const planes[3] = {b, g, r};
    __m512i channel[3];
    for (int c = 0; c < 3; ++c) channel[c] = _mm512_loadu_si512(kPixelLanes.channel[c]);
    int col = 0;
    for (; col + 16 <= n; col += 16) {
        const __m512i bytes = _mm512_maskz_loadu_epi8(kPixelBytes48, in + 3 * col);
        for (int c = 0; c < 3; ++c) {
            const __m512i lanes = _mm512_maskz_permutexvar_epi8(0x1111111111111111ull, channel[c], bytes);
            _mm512_storeu_si512(planes[c] + col, _mm512_slli_epi32(lanes, 7));
        }
    }
    return col;
}

// toByte15 of a plane's sixteen values: held at 0 below, shifted down 7,
// held at 255 above (32767 >> 7).
LUMETRA_AVX512_VBMI inline __m512i byteLanes(const int32_t* plane) {
    const __m512i held = _mm512_max_epi32(_mm512_loadu_si512(plane), _mm512_setzero_si512());
    return _mm512_min_epu32(_mm512_srli_epi32(held, 7), _mm512_set1_epi32(255));
}

// weavePlanes sixteen pixels a step: each pixel's bytes gathered in its
// 32-bit lane, then one byte permutation packs the lanes' three low bytes.
LUMETRA_AVX512_VBMI int weavePlanes512(const int32_t* r, const int32_t* g, const int32_t* b, int n, uint8_t* out) {
    const __m512i woven = _mm512_loadu_si512(kPixelLanes.woven);
    int col = 0;
    for (; col + 16 <= n; col += 16) {
        const __m512i pixels = _mm512_or_si512(
            byteLanes(b + col),
            _mm512_or_si512(_mm512_slli_epi32(byteLanes(g + col), 8), _mm512_slli_epi32(byteLanes(r + col), 16)));
        _mm512_mask_storeu_epi8(out + 3 * col, kPixelBytes48, _mm512_permutexvar_epi8(woven, pixels));
    }
    return col;
}
LUMETRA_AVX512_WARNINGS_ON

// Byte permutations for storeSteppedBytes. The saturating pack of two
// vectors of sixteen values leaves word q holding pixel pixelOfWord(q):
// each 128-bit lane takes four of the first vector, then four of the
// second. A woven output byte 3 p + c then reads word wordOfPixel(p) of
// channel c's bytes, blue and green in the first table, red in the second.
constexpr int pixelOfWord(int q) { return (q % 8 < 4 ? 0 : 16) + 4 * (q / 8) + q % 4; }
struct SteppedWeave {
    int8_t index[2][64];
};
constexpr SteppedWeave steppedWeave() {
    int wordOfPixel[32]{};
    for (int q = 0; q < 32; ++q) wordOfPixel[pixelOfWord(q)] = q;
    SteppedWeave weave{};
    for (int o = 0; o < 96; ++o) weave.index[o / 64][o % 64] = static_cast<int8_t>(32 * (o % 3) + wordOfPixel[o / 3]);
    return weave;
}
constexpr SteppedWeave kSteppedWeave = steppedWeave();

LUMETRA_AVX512_WARNINGS_OFF
// 32 held inputs (words, 0..32767) down the search tree, held in eight
// registers of 32 nodes. At each level the node's entry less the input is
// negative exactly where the input reaches it (both lie within 16 signed
// bits, so the difference does too), and one double shift appends that
// sign bit to the node. Nodes below 64 come from the first two registers,
// 64..127 from the next two; the last level's 128 nodes take two lookups
// and bit 6 of the node picks one.
LUMETRA_AVX512_BITS inline __m512i stepDown(__m512i node, __m512i entry, __m512i input) {
    return _mm512_shldi_epi16(node, _mm512_sub_epi16(entry, input), 1);
}
// The three channels go down level by level together, so that each
// level's lookups overlap the others' arithmetic.
LUMETRA_AVX512_BITS inline void descended(__m512i (&node)[3], const __m512i (&input)[3], const __m512i (&tree)[3][8]) {
    for (int c = 0; c < 3; ++c) node[c] = _mm512_set1_epi16(1);
    for (int level = 0; level < 6; ++level)
        for (int c = 0; c < 3; ++c)
            node[c] = stepDown(node[c], _mm512_permutex2var_epi16(tree[c][0], node[c], tree[c][1]), input[c]);
    for (int c = 0; c < 3; ++c)
        node[c] = stepDown(node[c], _mm512_permutex2var_epi16(tree[c][2], node[c], tree[c][3]), input[c]);
    for (int c = 0; c < 3; ++c) {
        const __mmask32 upper = _mm512_test_epi16_mask(node[c], _mm512_set1_epi16(64));
        const __m512i last = _mm512_mask_blend_epi16(upper, _mm512_permutex2var_epi16(tree[c][4], node[c], tree[c][5]),
                                                     _mm512_permutex2var_epi16(tree[c][6], node[c], tree[c][7]));
        node[c] = stepDown(node[c], last, input[c]);
    }
}

// A plane's 32 values held to 0..32767 as words, in the pack's order.
LUMETRA_AVX512_BITS inline __m512i heldWords(const int32_t* plane) {
    const __m512i words = _mm512_packus_epi32(_mm512_loadu_si512(plane), _mm512_loadu_si512(plane + 16));
    return _mm512_min_epu16(words, _mm512_set1_epi16(32767));
}

LUMETRA_AVX512_BITS int weaveStepped(const int32_t* r, const int32_t* g, const int32_t* b, int n,
                                     const ByteSteps* const steps[3], uint8_t* out) {
    __m512i trees[3][8];
    for (int c = 0; c < 3; ++c)
        for (int k = 0; k < 8; ++k) trees[c][k] = _mm512_loadu_si512(steps[c]->tree.data() + 32 * k);
    const __m512i first = _mm512_loadu_si512(kSteppedWeave.index[0]);
    const __m512i second = _mm512_loadu_si512(kSteppedWeave.index[1]);
    int col = 0;
    for (; col + 32 <= n; col += 32) {
        const __m512i input[3] = {heldWords(b + col), heldWords(g + col), heldWords(r + col)};
        __m512i node[3];
        descended(node, input, trees);
        // The nodes end at 256 + byte: the narrowing keeps the byte.
        const __m256i blue = _mm512_cvtepi16_epi8(node[0]);
        const __m256i green = _mm512_cvtepi16_epi8(node[1]);
        const __m512i red = _mm512_castsi256_si512(_mm512_cvtepi16_epi8(node[2]));
        const __m512i blueGreen = _mm512_inserti64x4(_mm512_castsi256_si512(blue), green, 1);
        _mm512_storeu_si512(out + 3 * col, _mm512_permutex2var_epi8(blueGreen, first, red));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 3 * col + 64),
                            _mm512_castsi512_si256(_mm512_permutex2var_epi8(blueGreen, second, red)));
    }
    return col;
}
LUMETRA_AVX512_WARNINGS_ON

LUMETRA_AVX2 inline void storeQ15(int32_t* plane, __m128i bytes) {
    const __m256i low = _mm256_slli_epi32(_mm256_cvtepu8_epi32(bytes), 7);
    const __m256i high = _mm256_slli_epi32(_mm256_cvtepu8_epi32(_mm_srli_si128(bytes, 8)), 7);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(plane), low);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(plane + 8), high);
}

LUMETRA_AVX2 int unweavePlanes(const uint8_t* in, int n, int32_t* r, int32_t* g, int32_t* b) {
    int col = 0;
    for (; col + 16 <= n; col += 16) {
        const Channels16 bytes = unweave16(in + 3 * col);
        storeQ15(b + col, bytes.c[0]), storeQ15(g + col, bytes.c[1]), storeQ15(r + col, bytes.c[2]);
    }
    return col;
}
#endif

int unwoven(const uint8_t* in, int n, int32_t* r, int32_t* g, int32_t* b) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx512Vbmi()) return unweavePlanes512(in, n, r, g, b);
    if (cpuHasAvx2()) return unweavePlanes(in, n, r, g, b);
#endif
    (void)in, (void)n, (void)r, (void)g, (void)b;
    return 0;
}

int woven(const int32_t* r, const int32_t* g, const int32_t* b, int n, uint8_t* out) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx512Vbmi()) return weavePlanes512(r, g, b, n, out);
    if (cpuHasAvx2()) return weavePlanes(r, g, b, n, out);
#endif
    (void)r, (void)g, (void)b, (void)n, (void)out;
    return 0;
}

int wovenLookedUp(const int32_t* r, const int32_t* g, const int32_t* b, int n, const uint8_t* const tables[3],
                  int32_t size, uint8_t* out) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx2()) return weaveLookedUp(r, g, b, n, tables, size, out);
#endif
    (void)r, (void)g, (void)b, (void)n, (void)tables, (void)size, (void)out;
    return 0;
}

int wovenInterpolated(const int32_t* r, const int32_t* g, const int32_t* b, int n, const uint32_t* const pairs[3],
                      uint8_t* out) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx2()) return weaveInterpolated(r, g, b, n, pairs, out);
#endif
    (void)r, (void)g, (void)b, (void)n, (void)pairs, (void)out;
    return 0;
}

size_t packedCount(const int32_t* values, uint8_t* out, size_t count) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx2()) return packClamped(values, out, count);
#endif
    (void)values, (void)out, (void)count;
    return 0;
}

}  // namespace

int lookUpBytePlanes(int32_t* r, int32_t* g, int32_t* b, int n, const uint16_t* const tables[3]) {
#if LUMETRA_AVX2_INTRINSICS
    int32_t* const planes[3] = {b, g, r};
    if (cpuHasAvx512Vbmi()) return lookUpBytePlanes512(planes, n, tables);
#endif
    (void)r, (void)g, (void)b, (void)n, (void)tables;
    return 0;
}

void storeClampedBytes(const int32_t* values, uint8_t* out, size_t count) {
    for (size_t i = packedCount(values, out, count); i < count; ++i)
        out[i] = static_cast<uint8_t>(std::clamp<int32_t>(values[i], 0, 255));
}

void readPlanes15(const uint8_t* in, int n, int32_t* r, int32_t* g, int32_t* b) {
    const int done = unwoven(in, n, r, g, b);
    bytesToPlanes(in + 3 * done, n - done, r + done, g + done, b + done);
}

void storePlanes15(const int32_t* r, const int32_t* g, const int32_t* b, int n, uint8_t* out) {
    const int done = woven(r, g, b, n, out);
    planesToBytes(r + done, g + done, b + done, n - done, out + 3 * done);
}

void storeLookedUpBytes(const int32_t* r, const int32_t* g, const int32_t* b, int n, const uint8_t* const tables[3],
                        int32_t size, uint8_t* out) {
    for (int col = wovenLookedUp(r, g, b, n, tables, size, out); col < n; ++col) {
        const int32_t values[3] = {b[col], g[col], r[col]};
        for (int c = 0; c < 3; ++c) out[3 * col + c] = tables[c][std::clamp(values[c], 0, size - 1)];
    }
}

std::optional<ByteSteps> byteStepsOf(const uint8_t* bytes) {
#if LUMETRA_AVX2_INTRINSICS
    constexpr int kInputs = 32768;
    if (!cpuHasAvx512Bits()) return std::nullopt;
    bool rising = true;
    for (int v = 1; v < kInputs; ++v) rising &= bytes[v] >= bytes[v - 1];
    if (!rising) return std::nullopt;
    ByteSteps steps{};
    for (int level = 0; level < 8; ++level)
        for (int m = 0; m < 1 << level; ++m) {
            const int k = (2 * m + 1) << (7 - level);
            const uint8_t* start = std::lower_bound(bytes, bytes + kInputs, k);
            steps.tree[static_cast<size_t>((1 << level) + m)] = static_cast<int16_t>(start - bytes - 1);
        }
    return steps;
#else
    (void)bytes;
    return std::nullopt;
#endif
}

int storeSteppedBytes(const int32_t* r, const int32_t* g, const int32_t* b, int n, const ByteSteps* const steps[3],
                      uint8_t* out) {
#if LUMETRA_AVX2_INTRINSICS
    if (cpuHasAvx512Bits()) return weaveStepped(r, g, b, n, steps, out);
#endif
    (void)r, (void)g, (void)b, (void)n, (void)steps, (void)out;
    return 0;
}

void storeInterpolatedBytes(const int32_t* r, const int32_t* g, const int32_t* b, int n,
                            const uint32_t* const pairs[3], uint8_t* out) {
    for (int col = wovenInterpolated(r, g, b, n, pairs, out); col < n; ++col) {
        const int32_t values[3] = {b[col], g[col], r[col]};
        for (int c = 0; c < 3; ++c) {
            const int32_t held = std::clamp(values[c], 0, 32767);
            const uint32_t pair = pairs[c][held >> 5];
            const int32_t sum = 32 * static_cast<int16_t>(pair & 0xffff) + (held & 31) * static_cast<int16_t>(pair >> 16);
            out[3 * col + c] = static_cast<uint8_t>(std::clamp(sum >> 12, 0, 255));
        }
    }
}

}  // namespace lumetra
