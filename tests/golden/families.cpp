// The families of the sweep, in table order, with the exports each one
// exercises. To sweep a new export: write addXCases(cases) in its own file
// (one case per routine, variant and input), declare it in sweep.h and add
// a line here naming the exports it covers.
#include "golden/sweep.h"

namespace golden {

void addPackCases(std::vector<Case>& cases) {
    // The inputs themselves: a change in the pack drawing shows up here,
    // not as a puzzle in every preset that reads the picture.
    for (size_t i = 0; i < pack().size(); ++i) {
        static const char* const folders[] = {"textures", "vignettes", "frames"};
        const PackEntry& entry = pack()[i];
        cases.push_back({std::string("pack/") + folders[entry.kind] + "/" + entry.name,
                         [i](Hash& h) { h.pixels(pack()[i].picture.get()); }});
    }
}

const std::vector<Family>& families() {
    static const std::vector<Family> all = {
        {"pack", {}, addPackCases},
        {"presets", {"fx"}, addPresetCases},
        {"fx stages", {"fx"}, addFxStageCases},
        {"fx loader", {"fx"}, addFxLoaderCases},
        {"blend", {"AppplyTexture2"}, addBlendCases},
        {"tone",
         {"ptNewColorMap", "ptDeleteColorMap", "ptApplyMap", "ptBrightnessSP", "ptExposureSP", "ptRealExposure",
          "ptLightDarkSP", "ptContrastSP", "ptWhiteBlackPoint", "ptFillLightSP", "ptDrawCurve", "ptApplyCurveSP",
          "ptNewTransform", "ptTransformShift", "ptTransformRotate", "ptTransformScale", "ptDeleteTransform"},
         addToneCases},
        {"colour",
         {"ptApplyMap", "ptAdjustColorGlobalSP", "ptAdjustColor", "ptTechnicolor", "ptBlend", "ptLensCorrection",
          "ptAberration", "ptWhiteBalanceSP"},
         addColourCases},
        {"transform", {"ptApplyMap", "ptNewTransform", "ptTransformShift", "ptTransformRotate", "ptTransformScale", "ptRotateClone"},
         addTransformCases},
        {"records",
         {"ptNewColorMap", "ptCloneColorMap", "ptDeleteColorMap", "ptNewColorMapWithHistography", "ptDeleteHistography",
          "ptNewTransform", "ptDeleteTransform", "ptApplyMap"},
         addRecordCases},
        {"histogram", {"ptCreateHistography", "ptGetTemp", "ptDrawHistography", "ptDeleteHistography"}, addHistogramCases},
        {"temperature", {"ptTempToBalance", "ptBalanceToTemp", "ptColorToTemp", "ptPickTemp"}, addTemperatureCases},
        {"smooth", {"ptSmoothFilterSP"}, addSmoothCases},
        {"effect", {"AppplyEffect"}, addEffectCases},
        {"tilt-shift",
         {"doShiftStart", "AppplyShiftRound", "AppplyShiftLine", "AppplyShiftBlur", "doShiftEnd", "doShiftApStart",
          "ApplyShiftApRound", "ApplyShiftApLine", "ApplyShiftApBlur", "doShiftApEnd"},
         addTiltShiftCases},
    };
    return all;
}

}  // namespace golden
