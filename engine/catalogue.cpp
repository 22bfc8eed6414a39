// The built-in presets, in catalogue order: the index is a preset's only
// name, so entries are never reordered (104 and 112 are the same text and
// both stay).
#include "engine/catalogue.h"

#include <array>
#include <cstddef>

namespace lumetra {

namespace {
constexpr std::array<const char*, kPresetCount> kPresetScripts = {
    "@ lomo 1",  // 0
    "@ lomo 2",  // 1
    "@ lomo 3",  // 2
    "@ lomo 4",  // 3
    "@ lomo 5",  // 4
    "@ lomo2 1",  // 5
    "@ lomo2 2",  // 6
    "@ lomo2 3",  // 7
    "@ lomo2 4",  // 8
    "@ lomo2 5",  // 9
    "@ lomo2 6",  // 10
    "@ lomo2 16",  // 11
    "@ lomo2 17",  // 12
    "@ lomo2 18",  // 13
    "@ lomo2 19",  // 14
    "@ lomo2 20",  // 15
    "@ color 1",  // 16
    "@ color 2",  // 17
    "@ color 3",  // 18
    "@ color 4",  // 19
    "@ color 5",  // 20
    "@ color2 1",  // 21
    "@ color2 2",  // 22
    "@ color2 3",  // 23
    "@ color2 4",  // 24
    "@ color2 5",  // 25
    "@ color2 9",  // 26
    "@ color2 10",  // 27
    "@ bw_color 1",  // 28
    "@ bw_color 2",  // 29
    "@ bw_color 3",  // 30
    "@ bw_color 4",  // 31
    "@ bw_color 5",  // 32
    "@ texture Texturize1_1.jpg 1",  // 33
    "@ texture Texturize1_2.jpg 2",  // 34
    "@ texture Texturize1_3.jpg 3",  // 35
    "@ texture Texturize1_4.jpg 4",  // 36
    "@ texture Texturize1_5.jpg 5",  // 37
    "@ texture Texturize1_6.png 6",  // 38
    "@ texture Texturize1_7.jpg 7",  // 39
    "@ texture Texturize1_8.png 8",  // 40
    "@ texture Texturize1_9.png 9",  // 41
    "@ texture2 Texturize2_1.jpg overlay 100",  // 42
    "@ texture2 Texturize2_2.jpg darken 50",  // 43
    "@ texture2 Texturize2_3.jpg screen 100",  // 44
    "@ texture2 Texturize2_4.jpg overlay 100",  // 45
    "@ texture2 Texturize2_5.jpg overlay 65",  // 46
    "@ texture2 Texturize2_6.jpg lighten 50",  // 47
    "@ texture2 Texturize2_7.jpg screen 65",  // 48
    "@ texture2 Texturize2_8.jpg screen 100",  // 49
    "@ texture2 Texturize2_9.jpg overlay 50",  // 50
    "@ texture2 Texturize2_10.jpg overlay 100",  // 51
    "@ texture2 Texturize2_11.jpg overlay 80",  // 52
    "@ texture2 Texturize2_12.jpg overlay 30",  // 53
    "@ texture2 Texturize2_13.jpg overlay 30",  // 54
    "@ texture2 Texturize2_14.jpg overlay 30",  // 55
    "@ texture2 Texturize2_15.jpg overlay 40",  // 56
    "@ texture2 Texturize2_16.jpg overlay 40",  // 57
    "@ texture2 Texturize2_17.jpg overlay 20",  // 58
    "@ texture2 Texturize2_18.jpg hard_light 30",  // 59
    "@ texture2 Texturize2_19.jpg screen 80",  // 60
    "@ texture2 Texturize2_20.jpg overlay 20",  // 61
    "@ texture2 Texturize2_21.jpg multiply 40",  // 62
    "@ texture2 Texturize2_22.jpg overlay 30",  // 63
    "@ texture2 Texturize2_23.jpg color_dodge 75",  // 64
    "@ texture2 Texturize2_24.jpg lighten 80",  // 65
    "@ texture2 Texturize2_25.jpg lighten 60",  // 66
    "@ texture2 Texturize2_26.jpg lighten 45",  // 67
    "@ texture2 Texturize2_27.jpg lighten 55",  // 68
    "@ texture2 Texturize2_28.jpg lighten 30",  // 69
    "@ texture2 Texturize2_29.jpg lighten 40",  // 70
    "@ texture2 Texturize2_30.jpg lighten 40",  // 71
    "@ texture2 Texturize2_31.jpg lighten 50",  // 72
    "@ texture3 vtg.png 1",  // 73
    "@ texture3 vtg.png 2",  // 74
    "@ texture3 vtg.png 3",  // 75
    "@ texture3 vtg.png 4",  // 76
    "@ texture3 vtg.png 5",  // 77
    "@ texture3 vtg.png 6",  // 78
    "@ texture3 vtg.png 7",  // 79
    "@ texture3 vtg.png 8",  // 80
    "@ bw_texture bw1.png 1",  // 81
    "@ bw_texture bw2.png 2",  // 82
    "@ muti_texture 1 3 Muti_texture1-1.png Muti_texture1-2.png Muti_texture1-3.jpg",  // 83
    "@ muti_texture 2 2 Muti_texture2-1.png Muti_texture2-2.jpg",  // 84
    "@ muti_texture 4 3 Muti_texture4-1.jpg Muti_texture4-2.jpg Muti_texture4-3.jpg",  // 85
    "@ muti_texture 5 5 Muti_texture5-1.png Muti_texture5-2.png Muti_texture5-3.png Muti_texture5-4.png Muti_texture5-5.png",  // 86
    "@ ColorEffect 3",  // 87
    "@ ColorEffect 4",  // 88
    "@ ColorEffect 5",  // 89
    "@ ColorEffect 6",  // 90
    "@ ColorEffect 7",  // 91
    "@ ColorEffect 8",  // 92
    "@ ColorEffect 9",  // 93
    "@ ColorEffect 10",  // 94
    "@ ColorEffect 11",  // 95
    "@ ColorEffect 12",  // 96
    "@ ColorEffect 13",  // 97
    "@ ColorEffect 14",  // 98
    "@ ColorEffect 15",  // 99
    "@ color2 11 @ texture2 vtg.png color_burn 100",  // 100
    "@ color2 12 @ texture2 Texturize2_32.jpg overlay 30",  // 101
    "@ lomo2 7",  // 102
    "@ lomo2 9",  // 103
    "@ vignetting2 -100 0 0.01 0.01 0",  // 104
    "@ vignetting2 -100 0 0.1 0.1 0.6 @ lomo2 8",  // 105
    "@ vignetting2 -100 0 0.01 0.01 1.3 @ lomo2 11",  // 106
    "@ vignetting2 -100 0 0.01 0.01 1.3 @ lomo2 12",  // 107
    "@ vignetting2 -100 0 0.01 0.01 1.3 @ lomo2 13",  // 108
    "@ vignetting2 -100 0 0.01 0.01 1.3 @ lomo2 14",  // 109
    "@ vignetting2 -100 0 0.01 0.01 1.3 @ lomo2 15",  // 110
    "@ bw_color 6",  // 111
    "@ vignetting2 -100 0 0.01 0.01 0",  // 112
    "@ texture2 Texturize2_33.jpg overlay 100",  // 113
    "@ texture Texturize1_10.png 2",  // 114
    "@ texture2 Texturize2_34.jpg overlay 50",  // 115
    "@ texture Texturize1_11.png 6",  // 116
    "@ lomo2 8",  // 117
    "@ vignetting2 -100 -100 0.01 0.2 0 @ color2 13",  // 118
    "@ baw 1",  // 119
    "@ baw 2",  // 120
    "@ glimmer 1 Glimmer_1.png Glimmer_2.jpg Glimmer_Gina.jpg",  // 121
    "@ glimmer 4 Glimmer_1.png Glimmer_2.jpg NULL",  // 122
    "@ kailani 1 Kailani_1.png NULL",  // 123
    "@ kailani 2 Kailani_1.png NULL",  // 124
    "@ kailani 3 Kailani_1.png Kailani_Slide.png",  // 125
    "@ beattle 2 Beattle.jpg Beattle_blank.png NULL",  // 126
    "@ beattle 3 Beattle.jpg Beattle_Gina.png NULL",  // 127
    "@ glimmer 2 Glimmer_1.png Glimmer_2.jpg Glimmer_Slide.png",  // 128
    "@ glimmer 3 Glimmer_1.png Glimmer_2.jpg Glimmer_Freddie.png",  // 129
    "@ beattle 1 Beattle.jpg Beattle_blaky1.png Beattle_blaky2.png",  // 130
    "@ kailani 4 Kailani_1.png Kailani_Monochrome.png",  // 131
    "@ johnny 1 Johnny_1.jpg Johnny_2.jpg NULL",  // 132
    "@ johnny 2 Johnny_1.jpg Johnny_2.jpg NULL",  // 133
    "@ johnny 3 Johnny_1.jpg Johnny_2.jpg Johnny_Monochrome.png",  // 134
    "@ beattle 4 Beattle.jpg Beattle_Floaty.png NULL",  // 135
    "@ beattle 5 Beattle.jpg Beattle_Monochrome1.png Beattle_Monochrome2.png",  // 136
    "@ kailani 5 Kailani_1.png NULL",  // 137
    "@ new_wb 1",  // 138
    "@ new_wb 2",  // 139
    "@ new_wb 3",  // 140
    "@ new_wb 4",  // 141
    "@ new_wb 5",  // 142
    "@ new_wb 6",  // 143
    "@ new_wb 7",  // 144
    "@ new_wb 8",  // 145
    "@ noise 1 ns1.jpg",  // 146
    "@ noise 2 ns2.png",  // 147
    "@ noise 3 ns3.jpg",  // 148
    "@ noise_d 1 nsd1a.png nsd1b.jpg",  // 149
    "@ noise_d 2 nsd2a.png nsd2b.jpg",  // 150
    "@ noise_d 3 nsd3a.jpg nsd3b.png",  // 151
    "@ noise_d 4 nsd4a.jpg nsd4b.png",  // 152
};
}  // namespace

const char* presetScript(int index) {
    if (index < 0 || index >= kPresetCount) return nullptr;
    return kPresetScripts[static_cast<std::size_t>(index)];
}

}  // namespace lumetra
