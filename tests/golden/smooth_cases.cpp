// ptSmoothFilterSP: radii from the early return to the widest kernel,
// amounts that smooth, sharpen and saturate, thresholds, regions of
// interest (reading around them), in place, and the refusals.
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "golden/sweep.h"

namespace golden {

namespace {

struct SmoothCall {
    Shape shape{257, 13, 3, 5};
    double radius = 1.5;
    int amount = 60;
    int threshold = 0;
    std::optional<CvRect> srcRoi{}, dstRoi{};
    bool inPlace = false;
    int dstChannels = 3;
};

std::string roiLabel(const char* which, const CvRect& r) {
    return std::string("/") + which + "-roi=" + std::to_string(r.x) + "," + std::to_string(r.y) + "," +
           std::to_string(r.width) + "x" + std::to_string(r.height);
}

void addSmooth(std::vector<Case>& cases, const SmoothCall& call, const std::string& variant = "") {
    char settings[96];
    std::snprintf(settings, sizeof settings, "ptSmoothFilterSP/radius=%g/amount=%d/threshold=%d/", call.radius, call.amount,
                  call.threshold);
    std::string name = settings + call.shape.label();
    if (call.srcRoi) name += roiLabel("src", *call.srcRoi);
    if (call.dstRoi) name += roiLabel("dst", *call.dstRoi);
    if (call.inPlace) name += "/in-place";
    if (call.dstChannels != 3) name += "/dst=" + std::to_string(call.dstChannels) + "-channel";
    cases.push_back({name + variant, [call](Hash& h) {
                         Picture src = makePicture(call.shape, 1);
                         Shape dstShape = call.shape;
                         dstShape.channels = call.dstChannels;
                         // dst is the reference: another picture of the same scene
                         Picture separate = call.inPlace ? nullptr : makePicture(dstShape, 5);
                         IplImage* dst = call.inPlace ? src.get() : separate.get();
                         if (call.srcRoi) cvSetImageROI(src.get(), *call.srcRoi);
                         if (call.dstRoi) cvSetImageROI(dst, *call.dstRoi);
                         ProgressRecord progress{1, 0, 0};
                         h.number(ptSmoothFilterSP(src.get(), dst, call.radius, call.amount, call.threshold, &progress));
                         h.bytes(&progress, sizeof progress);
                         cvResetImageROI(dst);
                         h.picture(dst);
                         if (!call.inPlace) {
                             cvResetImageROI(src.get());
                             h.picture(src.get());
                         }
                     }});
}

}  // namespace

void addSmoothCases(std::vector<Case>& cases) {
    for (double radius : {0.1, 0.6, 1.5, 4.0, 9.0})
        for (int amount : {-100, -40, 35, 100, 400})
            for (int threshold : {0, 20, 255}) {
                if (threshold != 0 && radius != 1.5 && amount != 35) continue;
                for (const Shape& shape : inputShapes(3, false)) addSmooth(cases, {shape, radius, amount, threshold});
            }
    for (double radius : {0.8, 4.0})
        for (int amount : {-70, 80}) addSmooth(cases, {{640, 427, 3, 3}, radius, amount, 8});
    addSmooth(cases, {{257, 13, 3, 5}, 2.0, 0, 0});
    addSmooth(cases, {{257, 13, 3, 5}, 2.0, 70, 0, std::nullopt, std::nullopt, true});
    // Regions of interest: inside, on the edges (the blur reads around it),
    // and a destination region elsewhere of the same size.
    const CvRect inner{40, 3, 100, 7}, edge{0, 0, 60, 13}, far{190, 6, 60, 7};
    for (double radius : {1.5, 9.0}) {
        addSmooth(cases, {{257, 13, 3, 5}, radius, -60, 0, inner, inner});
        addSmooth(cases, {{257, 13, 3, 5}, radius, 90, 10, edge, edge});
        addSmooth(cases, {{257, 13, 3, 5}, radius, 50, 0, edge, CvRect{197, 0, 60, 13}});
        addSmooth(cases, {{257, 13, 3, 5}, radius, -100, 0, far, far});
    }
    addSmooth(cases, {{257, 13, 3, 5}, 3.0, 100, 0, far, std::nullopt, false}, "/refused");  // sizes differ
    addSmooth(cases, {{257, 13, 3, 5}, 3.0, 100, 0, CvRect{1, 1, 50, 5}, CvRect{3, 2, 50, 6}}, "/refused");
    // Refused: threshold, radius, channel counts.
    addSmooth(cases, {{9, 7, 3, 1}, 1.5, 60, 256}, "/refused");
    addSmooth(cases, {{9, 7, 3, 1}, 1.5, 60, -1}, "/refused");
    addSmooth(cases, {{9, 7, 3, 1}, std::numeric_limits<double>::quiet_NaN(), 60, 0}, "/refused");
    addSmooth(cases, {{9, 7, 4, 0}, 1.5, 60, 0, std::nullopt, std::nullopt, false, 4}, "/refused");
    addSmooth(cases, {{9, 7, 3, 1}, 1.5, 60, 0, std::nullopt, std::nullopt, false, 4}, "/refused");
    cases.push_back({"ptSmoothFilterSP/null/refused", [](Hash& h) {
                         Picture src = makePicture({9, 7, 3, 1}, 1);
                         h.number(ptSmoothFilterSP(src.get(), nullptr, 1.5, 60, 0, nullptr));
                         h.number(ptSmoothFilterSP(nullptr, src.get(), 1.5, 60, 0, nullptr));
                         h.picture(src.get());
                     }});
    cases.push_back({"ptSmoothFilterSP/stopped", [](Hash& h) {
                         Picture src = makePicture({31, 9, 3, 2}, 1), dst = makePicture({31, 9, 3, 2}, 5);
                         ProgressRecord progress{0, 0, 0};
                         h.number(ptSmoothFilterSP(src.get(), dst.get(), 1.5, 60, 0, &progress));
                         h.bytes(&progress, sizeof progress);
                         h.picture(dst.get());
                     }});
}

}  // namespace golden
