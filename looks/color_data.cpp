#include "looks/color_data.h"

namespace lumetra {

namespace {

// Hue-dependent saturation changes, sectors red-yellow .. magenta-red:
// ramp(A, B) is k = (A * f + B) >> 12 across the sector, flat(k) a constant.
constexpr HueSaturation kHueSatColor1 = {ramp(-26215, 13422592), flat(-22938), flat(-22938), flat(-22938), ramp(26215, -93954048), flat(3277)};
constexpr HueSaturation kHueSatColor2 = {flat(-22938), flat(-22938), ramp(39322, -93954048), flat(16384), ramp(-39322, 67108864), flat(-22938)};
constexpr HueSaturation kHueSatColor3 = {flat(-22938), ramp(39322, -93954048), flat(16384), ramp(-39322, 67108864), flat(-22938), flat(-22938)};
constexpr HueSaturation kHueSatColor4 = {ramp(22938, -93954048), ramp(16384, 0), ramp(-16384, 67108864), ramp(-22938, 0), flat(-22938), flat(-22938)};
constexpr HueSaturation kHueSatColor5 = {ramp(42598, -107372544), ramp(-16384, 67108864), ramp(-26214, 0), flat(-26214), flat(-26214), flat(-26214)};
constexpr HueSaturation kHueSat2_2 = {ramp(-15728, -53686272), ramp(7864, -118108160), ramp(-7864, -85897216), ramp(-3933, -118108160), ramp(19661, -134217728), flat(-13107)};
constexpr HueSaturation kHueSat2_4 = {ramp(1638, 40263680), ramp(-27852, 46972928), ramp(9831, -67108864), ramp(-3277, -26841088), ramp(9830, -40263680), ramp(9830, 0)};
constexpr HueSaturation kHueSat2_5 = {ramp(-10485, 42946560), flat(0), ramp(-13107, 0), ramp(-3277, -53686272), ramp(9831, -67108864), ramp(17038, -26841088)};
constexpr HueSaturation kHueSat2_6 = {ramp(-6554, 40263680), ramp(-3276, 13418496), flat(0), flat(0), ramp(6553, 0), ramp(3277, 26841088)};
constexpr HueSaturation kHueSat2_7 = {ramp(-6553, -67108864), ramp(-3277, -93949952), ramp(9830, -107372544), flat(-16384), flat(-16384), flat(-16384)};
constexpr HueSaturation kHueSat2_9 = {flat(-6553), flat(-6553), flat(-6553), ramp(-7864, -26841088), ramp(7864, -59052032), flat(-6553)};

// Saturation factors for every hue: halved, lowered by 35 %, removed.
constexpr HueSaturation kHalved = everyHue(-16384);
constexpr HueSaturation kLowered = everyHue(-11468);
constexpr HueSaturation kRemoved = everyHue(-32768);

// Tint colours, Q15 (bytes 62,18,151; 18,154,146; 75,141,17; 199,181,23).
constexpr Rgb15 kPurple{7967, 2313, 19403};
constexpr Rgb15 kTeal{2313, 19789, 18761};
constexpr Rgb15 kGreen{9637, 18118, 2184};
constexpr Rgb15 kGold{25571, 23258, 2955};

// variant: saturation, tint (hue 21572 is about 316 degrees, magenta;
// 10158 is 31 %, 8192 25 %, 9175 28 %).
constexpr ColorLook kColorLooks[] = {
    {kHueSatColor1, true, 21572, {}, 10158},   // 1
    {kHueSatColor2, false, 0, kPurple, 8192},  // 2
    {kHueSatColor3, false, 0, kTeal, 8192},    // 3
    {kHueSatColor4, false, 0, kGreen, 8192},   // 4
    {kHueSatColor5, false, 0, kGold, 9175},    // 5
};

constexpr ClipFractions kBwColorClips[] = {
    {0.01f, 0.15f},  // 1
    {0.2f, 0.2f},    // 2
    {0.45f, 0.45f},  // 3
    {0.01f, 0.25f},  // 4
    {0.25f, 0.01f},  // 5
};

}  // namespace

const ColorLook& colorLook(int variant) {
    return variant >= 1 && variant <= 5 ? kColorLooks[variant - 1] : kColorLooks[4];
}

CurvePointSet color2Points(int variant) {
    switch (variant) {
        case 2:
            return {{{0, 0}, {0.4666f, 0.6274f}, {1, 1}},  // red
                    {{0, 0}, {0.3254f, 0.2549f}, {0.6392f, 0.6666f}, {1, 1}},  // green
                    {{0, 0}, {0.5764f, 0.5137f}, {1, 1}}};  // blue
        case 3:
            return {{{0, 0}, {0.5058f, 0.5803f}, {1, 1}},  // red
                    {{0, 0}, {0.3607f, 0.3019f}, {0.6862f, 0.7411f}, {1, 1}},  // green
                    {{0, 0}, {0.6392f, 0.5647f}, {1, 1}}};  // blue
        case 4:
            return {{{0, 0}, {0.4352f, 0.6392f}, {1, 1}},  // red
                    {{0, 0}, {0.2823f, 0.2196f}, {0.6078f, 0.745f}, {1, 1}},  // green
                    {{0, 0}, {0.4039f, 0.2745f}, {0.8313f, 0.9568f}, {1, 1}}};  // blue
        case 5:
            return {{{0.1568f, 0.1568f}, {0.3372f, 0.5803f}, {1, 1}},  // red
                    {{0, 0.1098f}, {0.2627f, 0.549f}, {0.5568f, 0.8392f}, {1, 1}},  // green
                    {{0, 0.3921f}, {0.4039f, 0.6901f}, {0.7647f, 0.6823f}, {1, 1}}};  // blue
        case 6:
            return {{{0.0588f, 0.1333f}, {0.7254f, 0.9686f}},  // red
                    {{0.098f, 0}, {0.498f, 0.5568f}, {1, 1}},  // green
                    {{0, 0.1764f}, {0.2901f, 0.2588f}, {0.6549f, 0.4705f}, {1, 0.6431f}}};  // blue
        case 7:
            return {{{0.0196f, 0}, {0.3921f, 0.4941f}, {1, 0.898f}},  // red
                    {{0.0823f, 0}, {0.5411f, 0.3686f}, {0.8235f, 0.8666f}},  // green
                    {{0.0509f, 0.1333f}, {0.6313f, 0.5137f}, {1, 0.9607f}}};  // blue
        case 8:
            return {{{0.1137f, 0.1372f}, {0.2823f, 0.3019f}, {0.5686f, 0.5568f}, {0.7607f, 0.7372f}, {0.9529f, 0.898f}},  // red
                    {{0.1607f, 0.0196f}, {0.3647f, 0.247f}, {0.6862f, 0.5725f}, {0.9725f, 0.8313f}},  // green
                    {{0.1411f, 0.0549f}, {0.4039f, 0.2627f}, {0.745f, 0.5058f}, {1, 0.7176f}}};  // blue
        case 9:
            return {{{0.0156f, 0.1372f}, {0.2549f, 0.3215f}, {0.4588f, 0.5803f}, {0.6f, 0.8156f}, {0.8078f, 1}},  // red
                    {{0.0509f, 0.0196f}, {0.2901f, 0.3058f}, {0.4274f, 0.5647f}, {0.6117f, 0.7882f}, {0.9803f, 0.9803f}},  // green
                    {{0.0235f, 0.145f}, {0.3647f, 0.4078f}, {0.6392f, 0.7215f}, {0.9333f, 0.8705f}, {1, 0.9294f}}};  // blue
        default:
            return {};
    }
}

CurvePointList color2Curve(int variant) {
    switch (variant) {
        case 11:
            return {{0.1882f, 0.0901f}, {0.2627f, 0.3725f}, {0.3921f, 0.7215f}, {0.6431f, 0.9568f}, {1, 1}};
        case 12:
            return {{0.0549f, 0}, {0.498f, 0.5372f}, {0.9372f, 1}};
        default:
            return {};
    }
}

const HueSaturation& color2Saturation(int variant) {
    switch (variant) {
        case 2: return kHueSat2_2;
        case 3: return kHalved;
        case 4: return kHueSat2_4;
        case 5: return kHueSat2_5;
        case 6: return kHueSat2_6;
        case 7: return kHueSat2_7;
        case 8: return kLowered;
        case 9: return kHueSat2_9;
        default: return kRemoved;
    }
}

ClipFractions bwColorClips(int variant) {
    return variant >= 1 && variant <= 5 ? kBwColorClips[variant - 1] : ClipFractions{0.01f, 0.01f};
}

}  // namespace lumetra
