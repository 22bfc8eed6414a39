// The tilt-shift transfer curve: 8-bit encoded values to 16-bit linear light
// and back, as two tables, and the conversions of whole pictures through them.
#pragma once

#include <array>
#include <cstdint>

#include "core/image.h"

namespace lumetra::tiltshift {

struct TransferTables {
    std::array<uint16_t, 256> toLinear;   // encoded byte -> linear, 0..65535
    std::array<uint8_t, 65536> toEncoded;  // linear -> encoded byte
};

// Fills both tables; every step of the curve is a 32-bit float.
void buildTransferTables(TransferTables& tables);

// src: 8-bit, 3 channels; dst: 16-bit, 3 channels, same size.
void encodedToLinear(const TransferTables& tables, const IplImage* src, IplImage* dst);
// src: 16-bit, 3 channels; dst: 8-bit, 3 channels, same size.
void linearToEncoded(const TransferTables& tables, const IplImage* src, IplImage* dst);

inline const uint16_t* row16(const IplImage* image, int y) {
    return reinterpret_cast<const uint16_t*>(rowOf(image, y));
}
inline uint16_t* row16(IplImage* image, int y) { return reinterpret_cast<uint16_t*>(rowOf(image, y)); }

}  // namespace lumetra::tiltshift
