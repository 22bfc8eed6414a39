// Storing int32 results as bytes. A compiled clamp-and-narrow loop holds
// each lane to 0..255 with a min, a max and masks before packing; the
// saturating packs do the same clamp on the way down, in a third of the
// instructions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumetra {

// out[i] = values[i] held to 0..255, for i below count.
void storeClampedBytes(const int32_t* values, uint8_t* out, size_t count);

}  // namespace lumetra
