// The toning knots of the grain looks: red, green and blue entries at the
// inputs below, one recipe after the other.
#include "pixel/grain_data.h"

namespace lumetra {

constexpr KnotInputs<10> kGrainKnotInputs = {0, 16, 32, 64, 96, 128, 160, 192, 224, 255};

constexpr std::array<ToningKnots<10>, kNoiseRecipes + kNoiseDRecipes> kGrainKnots = {{
    {{11, 30, 62, 127, 171, 201, 220, 235, 247, 255},  // noise 1    red
     {5, 15, 33, 81, 127, 166, 198, 224, 246, 255},  //              green
     {2, 11, 24, 63, 102, 137, 170, 203, 238, 255}},  //             blue
    {{44, 47, 53, 88, 145, 180, 203, 211, 219, 216},  // noise 2    red
     {10, 19, 28, 58, 138, 182, 217, 227, 238, 235},  //             green
     {29, 31, 35, 63, 109, 142, 172, 184, 196, 190}},  //            blue
    {{0, 14, 34, 91, 152, 200, 230, 248, 255, 255},  // noise 3      red
     {0, 16, 35, 84, 145, 193, 223, 240, 251, 255},  //              green
     {93, 84, 77, 83, 104, 134, 173, 212, 231, 236}},  //            blue
    {{0, 27, 57, 117, 165, 198, 221, 236, 248, 255},  // noise_d 1   red
     {0, 20, 44, 93, 132, 165, 194, 223, 253, 255},  //              green
     {0, 12, 26, 65, 108, 148, 184, 217, 249, 255}},  //             blue
    {{18, 38, 60, 101, 135, 164, 190, 212, 231, 248},  // noise_d 2  red
     {13, 38, 61, 101, 133, 160, 185, 207, 225, 240},  //            green
     {13, 36, 58, 97, 129, 157, 181, 203, 221, 237}},  //            blue
    {{85, 86, 91, 118, 159, 196, 222, 236, 240, 239},  // noise_d 3  red
     {2, 15, 31, 75, 129, 177, 211, 230, 236, 235},  //              green
     {74, 83, 95, 126, 165, 199, 223, 236, 239, 236}},  //           blue
    {{0, 0, 9, 63, 136, 186, 217, 237, 253, 255},  // noise_d 4      red
     {0, 0, 5, 38, 98, 156, 200, 227, 244, 255},  //                 green
     {0, 0, 14, 50, 79, 120, 160, 187, 204, 212}},  //               blue
}};

namespace {

constexpr std::array<ChannelTables, kNoiseRecipes + kNoiseDRecipes> kGrainTables = [] {
    std::array<ChannelTables, kNoiseRecipes + kNoiseDRecipes> tables{};
    for (size_t i = 0; i < tables.size(); ++i) tables[i] = toningTables(kGrainKnotInputs, kGrainKnots[i]);
    return tables;
}();

}  // namespace

const ChannelTables& noiseToning(int recipe) { return kGrainTables[static_cast<size_t>(recipe - 1)]; }
const ChannelTables& noiseDToning(int recipe) {
    return kGrainTables[static_cast<size_t>(kNoiseRecipes + recipe - 1)];
}

}  // namespace lumetra
