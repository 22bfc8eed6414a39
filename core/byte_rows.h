// Rows of bytes into int32 values and back. A compiled clamp-and-narrow
// loop holds each lane to 0..255 with a min, a max and masks before
// packing; the saturating packs do the same clamp on the way down, in a
// third of the instructions. B, G, R rows are woven and unwoven 16 pixels
// at a time with byte shuffles, where the compiled loops take longer
// sequences.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace lumetra {

// out[i] = values[i] held to 0..255, for i below count.
void storeClampedBytes(const int32_t* values, uint8_t* out, size_t count);

// n pixels of B, G, R bytes into the planes as Q15 (byte << 7).
void readPlanes15(const uint8_t* in, int n, int32_t* r, int32_t* g, int32_t* b);

// n pixels of Q15 planes out as B, G, R bytes, each value held to 0..32767
// and shifted down 7 (toByte15).
void storePlanes15(const int32_t* r, const int32_t* g, const int32_t* b, int n, uint8_t* out);

// n pixels of planes out as B, G, R bytes, each value v as the byte at
// table[clamp(v, 0, size - 1)] of its channel's table (tables[0] blue,
// [1] green, [2] red). Every table must have 3 readable bytes past its
// last entry: the tables are read four bytes at a time.
void storeLookedUpBytes(const int32_t* r, const int32_t* g, const int32_t* b, int n, const uint8_t* const tables[3],
                        int32_t size, uint8_t* out);

// Planes whose every value is a byte << 7, each value v replaced in place
// by tables[c][v >> 7] (tables[0] blue, [1] green, [2] red) in the first
// columns a vector pass takes; returns how many (none where the processor
// has no such pass), leaving the rest to the caller.
int lookUpBytePlanes(int32_t* r, int32_t* g, int32_t* b, int n, const uint16_t* const tables[3]);

// n pixels of planes out as B, G, R bytes through piecewise linear curves
// of 1024 segments (pairs[0] blue, [1] green, [2] red): a value v held to
// 0..32767 reads its segment's pair, start s in the low 16 bits and rise d
// in the high 16, both signed, and stores (32 s + (v & 31) d) >> 12 held
// to 0..255.
void storeInterpolatedBytes(const int32_t* r, const int32_t* g, const int32_t* b, int n,
                            const uint32_t* const pairs[3], uint8_t* out);

// A channel's bytes, one for each held input 0..32767, that never fall as
// the input rises, kept as the inputs where each byte value starts: a
// search tree of 255 nodes, node h (from 1) the greatest input whose byte
// is below k = (2 m + 1) << (7 - j), where h = 2^j + m; -1 where no input's
// is. Descending it, from node 1 to 2 h + (entry < input), leaves node
// 256 + the input's byte.
struct ByteSteps {
    std::array<int16_t, 256> tree;  // entry 0 unused
};

// The steps of a channel's 32768 bytes; none where some byte falls below
// the one before, or where the processor has no vector pass to read them.
std::optional<ByteSteps> byteStepsOf(const uint8_t* bytes);

// n pixels of planes out as B, G, R bytes, each value held to 0..32767 and
// stored as its channel's byte (steps[0] blue, [1] green, [2] red), in the
// first columns the vector pass takes; returns how many.
int storeSteppedBytes(const int32_t* r, const int32_t* g, const int32_t* b, int n, const ByteSteps* const steps[3],
                      uint8_t* out);

}  // namespace lumetra
