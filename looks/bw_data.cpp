// The point data of the black-and-white looks, laid out as their tables.
#include "looks/bw_data.h"

namespace lumetra {

CurvePointSet bawPoints(int variant) {
    switch (variant) {
        case 1:
            return {{{0, 0.1137f}, {0.0784f, 0.1882f}, {0.3254f, 0.4039f}, {0.6431f, 0.6509f}, {1, 0.9372f}},  // red
                    {{0, 0.1176f}, {0.1176f, 0.2392f}, {0.2588f, 0.3686f}, {0.5921f, 0.6274f}, {1, 0.945f}},  // green
                    {{0.0078f, 0.1882f}, {0.3215f, 0.3647f}, {0.6509f, 0.5607f}, {1, 0.7803f}}};  // blue
        case 2:
            return {{{0, 0},
                     {0.0352f, 0.0392f},
                     {0.1843f, 0.149f},
                     {0.3411f, 0.2705f},
                     {0.447f, 0.3607f},
                     {0.5254f, 0.4549f},
                     {0.6862f, 0.6549f},
                     {0.8549f, 0.8549f},
                     {1, 1}},  // red
                    {{0.1568f, 0},
                     {0.1764f, 0.0549f},
                     {0.2274f, 0.1333f},
                     {0.2901f, 0.2156f},
                     {0.4901f, 0.4627f},
                     {0.7529f, 0.8039f},
                     {1, 1}},  // green
                    {{0, 0},
                     {0.0588f, 0.0627f},
                     {0.145f, 0.1215f},
                     {0.2784f, 0.2156f},
                     {0.4235f, 0.345f},
                     {0.6235f, 0.5921f},
                     {0.8f, 0.7882f},
                     {1, 1}}};  // blue
        default:
            return {};
    }
}

namespace {

//                                      reds  yellows  greens  cyans  blues  magentas
constexpr std::array<BwWeights, 10> kNewWbWeights = {{
    {0, 0, 0, 0, 0, 0},  // (no variant 0)
    {80, 94, -46, 60, -22, 91},  // 1
    {108, 96, 5, -4, 2, 38},  // 2
    {13, 170, 138, 93, -61, -22},  // 3
    {13, 140, 75, 106, -66, 7},  // 4
    {0, 0, 0, 0, 0, 0},  // 5: no grey mix
    {35, 104, -1, 63, 36, 114},  // 6
    {35, 104, -1, 63, 36, 114},  // 7
    {0, 0, 0, 0, 0, 0},  // 8: no grey mix
    {44, 72, 46, 54, 20, 80},  // 9
}};

}  // namespace

constexpr KnotInputs<17> kNewWbKnotInputs = {0, 16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240, 255};

constexpr std::array<ToningKnots<17>, 7> kNewWbKnots = {{
    {{0, 0, 0, 0, 0, 6, 21, 44, 71, 102, 135, 170, 205, 237, 255, 255, 255},  // 1     red
     {0, 0, 0, 0, 0, 6, 21, 44, 73, 103, 136, 170, 204, 233, 255, 255, 255},  //       green
     {0, 0, 0, 0, 0, 6, 21, 44, 71, 100, 132, 168, 207, 239, 252, 253, 253}},  //      blue
    {{8, 13, 22, 32, 44, 56, 70, 85, 101, 119, 138, 157, 177, 198, 218, 237, 255},  // 2    red
     {5, 13, 22, 32, 43, 56, 71, 86, 103, 120, 138, 156, 175, 196, 217, 240, 255},  //      green
     {8, 13, 22, 33, 44, 57, 71, 86, 102, 119, 137, 157, 178, 199, 218, 237, 255}},  //     blue
    {{0, 0, 0, 0, 6, 21, 44, 73, 110, 151, 189, 221, 240, 252, 255, 255, 255},  // 3        red
     {0, 0, 0, 1, 7, 20, 43, 74, 112, 152, 189, 218, 239, 255, 255, 255, 255},  //          green
     {0, 0, 0, 0, 7, 21, 44, 74, 111, 150, 186, 216, 238, 255, 255, 255, 255}},  //         blue
    {{0, 0, 0, 0, 11, 31, 61, 99, 143, 184, 215, 239, 255, 255, 255, 255, 255},  // 4       red
     {0, 0, 0, 0, 11, 31, 60, 98, 141, 183, 215, 238, 255, 255, 255, 255, 255},  //         green
     {0, 0, 0, 0, 11, 31, 60, 98, 143, 186, 218, 241, 255, 255, 255, 255, 255}},  //        blue
    {{5, 16, 33, 55, 75, 93, 112, 131, 151, 170, 188, 207, 225, 242, 253, 255, 255},  // 5  red
     {8, 15, 33, 55, 73, 91, 112, 132, 151, 169, 187, 205, 223, 240, 255, 255, 255},  //    green
     {6, 15, 34, 55, 72, 92, 112, 131, 149, 168, 188, 206, 224, 240, 255, 255, 255}},  //   blue
    {{0, 1, 7, 16, 29, 47, 70, 96, 126, 157, 184, 208, 226, 238, 247, 252, 255},  // 6, 7   red
     {0, 1, 7, 17, 30, 48, 71, 98, 128, 158, 185, 207, 225, 237, 246, 253, 255},  //        green
     {0, 1, 7, 17, 30, 48, 71, 97, 126, 156, 183, 206, 225, 239, 248, 255, 255}},  //       blue
    {{0, 14, 37, 62, 87, 110, 129, 147, 164, 180, 197, 212, 225, 235, 244, 252, 255},  // 8 red
     {0, 14, 37, 61, 85, 108, 128, 147, 165, 181, 196, 210, 223, 234, 243, 252, 255},  //   green
     {0, 15, 40, 66, 91, 112, 130, 148, 165, 182, 198, 213, 226, 236, 244, 250, 255}},  //  blue
}};

constexpr KnotValues<17> kNewWb9Knots = {0, 0, 0, 6, 24, 62, 112, 172, 244, 234, 164, 107, 57, 22, 4, 0, 0};  // 9

namespace {

// Variants 1 to 9 at their own index, 7 sharing 6's tables.
constexpr std::array<ChannelTables, 10> kNewWbTables = [] {
    std::array<ChannelTables, 10> tables{};
    constexpr std::array<int, 7> variantOf = {1, 2, 3, 4, 5, 6, 8};
    for (size_t i = 0; i < variantOf.size(); ++i)
        tables[static_cast<size_t>(variantOf[i])] = toningTables(kNewWbKnotInputs, kNewWbKnots[i]);
    tables[7] = tables[6];
    tables[9] = toningTables(kNewWbKnotInputs, kNewWb9Knots);
    return tables;
}();

size_t newWbIndex(int variant) { return variant >= 1 && variant <= 9 ? static_cast<size_t>(variant) : 1; }

}  // namespace

const BwWeights& newWbWeights(int variant) { return kNewWbWeights[newWbIndex(variant)]; }
const ChannelTables& newWbToning(int variant) { return kNewWbTables[newWbIndex(variant)]; }

}  // namespace lumetra
