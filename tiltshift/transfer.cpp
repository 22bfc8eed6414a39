#include "tiltshift/transfer.h"

#include <math.h>

#include <cmath>

namespace lumetra::tiltshift {

namespace {

// The curve: offset a, exponent g, and a straight toe meeting the power
// segment with the same value and slope. Each line rounds to a float.
struct TransferCurve {
    float a = 0.055f;
    float g = 2.4f;
    float toeSlope;
    float encodedBreak;
    float linearBreak;

    TransferCurve() {
        const float gMinus1 = g - 1.0f;
        const float left = powf(gMinus1 / a, gMinus1);
        const float onePlusA = 1.0f + a;
        const float right = powf(onePlusA / g, g);
        toeSlope = left * right;
        encodedBreak = a / gMinus1;
        linearBreak = encodedBreak / toeSlope;
    }
    float linear(float e) const {
        if (e <= encodedBreak) return e / toeSlope;
        const float base = (e + a) / (1.0f + a);
        return powf(base, g);
    }
    float encoded(float l) const {
        if (l <= linearBreak) return l * toeSlope;
        const float invG = 1.0f / g;
        const float power = powf(l, invG);
        const float scaled = (1.0f + a) * power;
        return scaled - a;
    }
};

}  // namespace

void buildTransferTables(TransferTables& tables) {
    const TransferCurve curve;
    for (int i = 0; i < 256; ++i) {
        const float e = static_cast<float>(i) / 256.0f;
        const float scaled = curve.linear(e) * 65536.0f;
        tables.toLinear[i] = static_cast<uint16_t>(std::fmin(std::fmax(scaled, 0.0f), 65535.0f));
    }
    for (int j = 0; j < 65536; ++j) {
        const float l = static_cast<float>(j) / 65536.0f;
        const float scaled = curve.encoded(l) * 256.0f;
        tables.toEncoded[j] = static_cast<uint8_t>(std::fmin(std::fmax(scaled, 0.0f), 255.0f));
    }
}

void encodedToLinear(const TransferTables& tables, const IplImage* src, IplImage* dst) {
    const int values = src->width * 3;
    for (int y = 0; y < src->height; ++y) {
        const uint8_t* in = rowOf(src, y);
        uint16_t* out = row16(dst, y);
        for (int i = 0; i < values; ++i) out[i] = tables.toLinear[in[i]];
    }
}

void linearToEncoded(const TransferTables& tables, const IplImage* src, IplImage* dst) {
    const int values = src->width * 3;
    for (int y = 0; y < src->height; ++y) {
        const uint16_t* in = row16(src, y);
        uint8_t* out = rowOf(dst, y);
        for (int i = 0; i < values; ++i) out[i] = tables.toEncoded[in[i]];
    }
}

}  // namespace lumetra::tiltshift
