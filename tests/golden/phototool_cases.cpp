// The photo tools: each setter at several settings rendered with ptApplyMap
// (with and without a Transform, 8- and 16-bit sources, a second picture),
// the records, the histogram and its drawing, the temperature conversions.
#include <cmath>
#include <cstdio>
#include <tuple>
#include <cstring>
#include <functional>
#include <memory>

#include "golden/sweep.h"

namespace golden {

namespace {

struct RecordRelease {
    void operator()(void* record) const noexcept { ptDeleteColorMap(record); }
};
template <class Record>
using Owned = std::unique_ptr<Record, RecordRelease>;

using Setup = std::function<void(ColorMap*)>;

// Where the transformed cases read from: turned a little, scaled and moved,
// so the sampler reads between pixels and past the edges.
Owned<Transform> tiltedTransform(const IplImage* src) {
    Owned<Transform> tf(ptNewTransform(0, 0, src->width, src->height));
    ptTransformRotate(tf.get(), 0.12f);
    ptTransformScale(tf.get(), 0.85f, 1.1f);
    ptTransformShift(tf.get(), 3.5f, -2.25f);
    return tf;
}

enum Render { plain = 1, transformed = 2, deep = 4, second = 8, large = 16 };

void addRender(std::vector<Case>& cases, const std::string& routine, const Setup& setup, int renders) {
    std::vector<std::pair<Shape, bool>> runs;  // source shape, transformed
    if (renders & plain) runs.push_back({{257, 13, 3, 5}, false});
    if (renders & plain) runs.push_back({{3, 2, 3, 1}, false});
    if (renders & transformed) runs.push_back({{257, 13, 3, 5}, true});
    if (renders & deep) runs.push_back({{31, 9, 3, 2, IPL_DEPTH_16U}, false});
    if (renders & large) runs.push_back({{640, 427, 3, 3}, false});
    for (const auto& [shape, withTransform] : runs) {
        const bool withSecond = (renders & second) != 0;
        const std::string name = routine + "/" + shape.label() + (withTransform ? "/transform" : "") +
                                 (withSecond ? "/second" : "");
        cases.push_back({name, [shape, withTransform, withSecond, setup](Hash& h) {
                             Owned<ColorMap> map(ptNewColorMap());
                             setup(map.get());
                             Picture src = makePicture(shape, 1);
                             Picture src2 = withSecond ? makePicture(shape, 4) : nullptr;
                             Picture dst = makePicture({shape.width, shape.height, 3, 4}, 2);
                             Owned<Transform> tf = withTransform ? tiltedTransform(src.get()) : nullptr;
                             const int done = ptApplyMap(src.get(), src2.get(), dst.get(), map.get(), tf.get(), nullptr);
                             h.number(done);
                             h.bytes(map.get(), sizeof(ColorMap));
                             h.picture(dst.get());
                         }});
    }
}

std::string setting(const char* setter, std::initializer_list<double> values) {
    std::string text = setter;
    const char* separator = "=";
    for (double value : values) {
        char number[32];
        std::snprintf(number, sizeof number, "%g", value);
        text += separator, text += number, separator = ",";
    }
    return text;
}

}  // namespace

void addToneCases(std::vector<Case>& cases) {
    const int all = plain | transformed | deep;
    for (int v : {-100, -35, 40, 100, 250})
        addRender(cases, setting("ptBrightnessSP", {double(v)}), [v](ColorMap* m) { ptBrightnessSP(m, v); }, v == 40 ? all | large : all);
    for (int v : {-100, -20, 60, 100})
        addRender(cases, setting("ptExposureSP", {double(v)}), [v](ColorMap* m) { ptExposureSP(m, v); }, v == 60 ? all | large : all);
    for (int v : {-300, -50, 75, 400})
        addRender(cases, setting("ptRealExposure", {double(v)}), [v](ColorMap* m) { ptRealExposure(m, v); }, all);
    for (auto [hi, lo] : {std::pair{50, 0}, {0, 50}, {-40, 60}, {100, -100}})
        addRender(cases, setting("ptLightDarkSP", {double(hi), double(lo)}), [hi, lo](ColorMap* m) { ptLightDarkSP(m, hi, lo); },
                  hi == -40 ? all | large : all);
    for (int v : {-100, -33, 25, 100, 150})
        addRender(cases, setting("ptContrastSP", {double(v)}), [v](ColorMap* m) { ptContrastSP(m, v); }, v == 25 ? all | large : all);
    for (auto [white, black] : {std::pair{255, 0}, {230, 20}, {200, 60}, {100, 150}})
        addRender(cases, setting("ptWhiteBlackPoint", {double(white), double(black)}),
                  [white, black](ColorMap* m) { ptWhiteBlackPoint(m, white, black); }, all);
    addRender(cases, "ptFillLightSP=50", [](ColorMap* m) { ptFillLightSP(m, 50); }, plain);
    // Curves through ptDrawCurve: an S, a lift, one point (identity), equal x.
    const std::vector<std::pair<std::string, std::vector<std::pair<double, double>>>> curves = {
        {"s", {{0, 0}, {0.25, 0.18}, {0.75, 0.84}, {1, 1}}},
        {"lift", {{0, 0.1}, {0.5, 0.62}, {1, 0.95}}},
        {"one-point", {{0.5, 0.5}}},
        {"equal-x", {{0, 0}, {0.5, 0.2}, {0.5, 0.8}, {1, 1}}},
        {"overshoot", {{0.1, 0}, {0.3, 1}, {0.5, 0}, {0.9, 1}}},
    };
    for (const auto& [label, points] : curves) {
        addRender(cases, "ptDrawCurve+ptApplyCurveSP=" + label, [points](ColorMap* m) {
            std::vector<double> x, y;
            for (auto [px, py] : points) x.push_back(px), y.push_back(py);
            int curve[PT_CURVE_SIZE];
            ptDrawCurve(static_cast<int>(x.size()), x.data(), y.data(), curve);
            ptApplyCurveSP(m, curve);
        }, label == "s" ? all | large : plain);
    }
    // Setters compose: their order matters.
    addRender(cases, "compose/brightness,contrast,exposure", [](ColorMap* m) {
        ptBrightnessSP(ptContrastSP(ptExposureSP(m, 30), 40), -20);
    }, all | large);
}

void addColourCases(std::vector<Case>& cases) {
    const int all = plain | transformed | deep;
    for (auto [hue, sat] : {std::pair{30, 0}, {0, -50}, {-200, 40}, {400, 100}, {0, -100}})
        addRender(cases, setting("ptAdjustColorGlobalSP", {double(hue), double(sat)}),
                  [hue, sat](ColorMap* m) { ptAdjustColorGlobalSP(m, hue, sat); }, hue == -200 ? all | large : all);
    for (int pattern = 0; pattern < 4; ++pattern)
        addRender(cases, setting("ptAdjustColor", {double(pattern)}), [pattern](ColorMap* m) {
            int hue[12], sat[12], light[12];
            for (int i = 0; i < 12; ++i) {
                hue[i] = pattern == 0 ? (i == 4 ? 25 : 0) : (i * 37 + pattern * 11) % 201 - 100;
                sat[i] = pattern == 1 ? 0 : (i * 53 + pattern * 7) % 201 - 100;
                light[i] = pattern == 2 ? 0 : (i * 29 + pattern * 13) % 201 - 100;
            }
            ptAdjustColor(m, hue, sat, light);
        }, pattern == 3 ? all | large : all);
    for (int pattern = 0; pattern < 3; ++pattern)
        addRender(cases, setting("ptTechnicolor", {double(pattern)}), [pattern](ColorMap* m) {
            const float c[3][6] = {{0.5f, 0.5f, 0, 0, 1, 1}, {1, 0, 0.3f, 0.7f, 0.2f, 0.9f}, {-1, 2, 0.25f, 0.5f, 0.75f, 1}};
            ptTechnicolor(m, c[pattern][0], c[pattern][1], c[pattern][2], c[pattern][3], c[pattern][4], c[pattern][5]);
        }, pattern == 1 ? all | large : all);
    for (int opacity : {25, 100, 150})
        addRender(cases, setting("ptBlend", {double(opacity)}), [opacity](ColorMap* m) { ptBlend(m, opacity); },
                  plain | transformed | second | (opacity == 25 ? large : 0));
    for (auto [amount, radius] : {std::pair{50, 100}, {-30, 300}, {100, 0}})
        addRender(cases, setting("ptLensCorrection", {double(amount), double(radius)}),
                  [amount, radius](ColorMap* m) { ptLensCorrection(m, amount, radius); }, amount == 50 ? all | large : all);
    for (auto [red, blue] : {std::pair{500, -500}, {-2000, 3000}})
        addRender(cases, setting("ptAberration", {double(red), double(blue)}),
                  [red, blue](ColorMap* m) { ptAberration(m, red, blue); }, red == 500 ? all | large : all);
    for (auto [kelvin, green] : {std::pair{3200.0, 1.0}, {9000.0, 0.8}, {6504.0, 1.001}, {500.0, 9.0}})
        addRender(cases, setting("ptWhiteBalanceSP", {kelvin, green}),
                  [kelvin, green](ColorMap* m) { ptWhiteBalanceSP(m, kelvin, green); }, kelvin == 3200.0 ? all | large : all);
    addRender(cases, "compose/everything", [](ColorMap* m) {
        ptWhiteBalanceSP(m, 4800, 1.05);
        ptAdjustColorGlobalSP(m, 15, 20);
        ptContrastSP(m, 30);
        ptLensCorrection(m, 40, 150);
        ptAberration(m, 800, -600);
        ptTechnicolor(m, 0.2f, 0.8f, 0.1f, 0.4f, 0.9f, 0.3f);
        ptBlend(m, 40);
    }, plain | transformed | deep | second | large);
}

void addTransformCases(std::vector<Case>& cases) {
    struct Geometry {
        const char* label;
        float angle, sx, sy, dx, dy;
        int x, y, width, height;  // the canvas of ptNewTransform
    };
    const Geometry geometries[] = {
        {"identity", 0, 1, 1, 0, 0, 0, 0, 257, 13},       {"rotate=30deg", 0.5235988f, 1, 1, 0, 0, 0, 0, 257, 13},
        {"scale=0.5", 0, 0.5f, 0.5f, 0, 0, 0, 0, 257, 13}, {"scale=2,3", 0, 2, 3, 0, 0, 0, 0, 257, 13},
        {"shift=-40,7", 0, 1, 1, -40, 7, 0, 0, 257, 13},   {"canvas=-20,-3,300x20", 0.2f, 1, 1, 5, 5, -20, -3, 300, 20},
        {"scale=0", 0, 0, 0, 0, 0, 0, 0, 257, 13},         {"mirror", 3.1415927f, -1, 1, 0, 0, 0, 0, 257, 13},
    };
    for (const Geometry& g : geometries)
        for (bool withAberration : {false, true})
            cases.push_back({std::string("ptApplyMap/transform=") + g.label + (withAberration ? "/aberration" : ""),
                             [g, withAberration](Hash& h) {
                                 Owned<ColorMap> map(ptNewColorMap());
                                 if (withAberration) ptAberration(map.get(), 900, -700);
                                 Owned<Transform> tf(ptNewTransform(g.x, g.y, g.width, g.height));
                                 ptTransformRotate(tf.get(), g.angle);
                                 ptTransformScale(tf.get(), g.sx, g.sy);
                                 ptTransformShift(tf.get(), g.dx, g.dy);
                                 h.bytes(tf.get(), sizeof(Transform));
                                 Picture src = makePicture({257, 13, 3, 5}, 1);
                                 Picture dst = makePicture({200, 30, 3, 1}, 2);  // may differ from src with a transform
                                 h.number(ptApplyMap(src.get(), nullptr, dst.get(), map.get(), tf.get(), nullptr));
                                 h.picture(dst.get());
                             }});
    for (int turns : {-1, 0, 1, 2, 3, 5})
        for (int mirror : {0, 1})
            for (const Shape& shape : {Shape{257, 13, 3, 5}, Shape{3, 2, 4, 1}, Shape{1, 1, 3, 0}})
                cases.push_back({"ptRotateClone/turns=" + std::to_string(turns) + "/mirror=" + std::to_string(mirror) + "/" +
                                     shape.label(),
                                 [turns, mirror, shape](Hash& h) {
                                     Picture src = makePicture(shape, 1);
                                     Picture turned(ptRotateClone(src.get(), turns, mirror));
                                     h.pixels(turned.get());
                                 }});
}

void addRecordCases(std::vector<Case>& cases) {
    cases.push_back({"ptNewColorMap+ptCloneColorMap+ptDeleteColorMap", [](Hash& h) {
                         Owned<ColorMap> map(ptNewColorMap());
                         h.bytes(map.get(), sizeof(ColorMap));
                         ptContrastSP(map.get(), 20);
                         Owned<ColorMap> copy(ptCloneColorMap(map.get()));
                         h.bytes(copy.get(), sizeof(ColorMap));
                         h.number(ptCloneColorMap(nullptr) == nullptr);
                         ptDeleteColorMap(nullptr);
                     }});
    cases.push_back({"ptNewColorMapWithHistography+ptDeleteHistography", [](Hash& h) {
                         Picture src = makePicture({257, 13, 3, 5}, 1);
                         Owned<Histography> histogram(ptCreateHistography(src.get()));
                         Owned<ColorMap> map(ptNewColorMapWithHistography(histogram.get()));
                         h.bytes(map.get(), sizeof(ColorMap));
                         Owned<ColorMap> empty(ptNewColorMapWithHistography(nullptr));
                         h.bytes(empty.get(), sizeof(ColorMap));
                         ptDeleteHistography(histogram.release());
                     }});
    cases.push_back({"ptNewTransform+ptDeleteTransform", [](Hash& h) {
                         Owned<Transform> tf(ptNewTransform(-3, 4, 640, 427));
                         h.bytes(tf.get(), sizeof(Transform));
                         ptTransformRotate(ptTransformScale(ptTransformShift(tf.get(), 1e9f, -1e9f), 1e-9f, 7), 100);
                         h.bytes(tf.get(), sizeof(Transform));
                         ptDeleteTransform(tf.release());
                     }});
    // ptApplyMap refusals and the progress record: the destination keeps its pattern.
    const auto refusal = [&cases](const char* label, std::function<int(IplImage*, IplImage*, ColorMap*)> call) {
        cases.push_back({std::string("ptApplyMap/refused/") + label, [call](Hash& h) {
                             Owned<ColorMap> map(ptNewColorMap());
                             ptContrastSP(map.get(), 50);
                             Picture src = makePicture({20, 10, 3, 0}, 1), dst = makePicture({20, 10, 3, 0}, 2);
                             h.number(call(src.get(), dst.get(), map.get()));
                             h.picture(dst.get());
                         }});
    };
    refusal("adjustFlags=8", [](IplImage* s, IplImage* d, ColorMap* m) { m->adjustFlags = 8; return ptApplyMap(s, nullptr, d, m, nullptr, nullptr); });
    refusal("dst-wider", [](IplImage* s, IplImage*, ColorMap* m) {
        Picture wide = makePicture({21, 10, 3, 0}, 2);
        return ptApplyMap(s, nullptr, wide.get(), m, nullptr, nullptr);
    });
    refusal("second-mismatch", [](IplImage* s, IplImage* d, ColorMap* m) {
        Picture other = makePicture({20, 11, 3, 0}, 3);
        ptBlend(m, 50);
        return ptApplyMap(s, other.get(), d, m, nullptr, nullptr);
    });
    refusal("4-channel-src", [](IplImage*, IplImage* d, ColorMap* m) {
        Picture four = makePicture({20, 10, 4, 0}, 1);
        return ptApplyMap(four.get(), nullptr, d, m, nullptr, nullptr);
    });
    refusal("stopped", [](IplImage* s, IplImage* d, ColorMap* m) {
        ProgressRecord progress{0, 0, 0};
        return ptApplyMap(s, nullptr, d, m, nullptr, &progress) * 1000 + progress.total * 10 + progress.current;
    });
    refusal("lens-reference", [](IplImage* s, IplImage* d, ColorMap* m) {
        ptLensCorrection(m, 50, 100);
        Owned<Transform> tf(ptNewTransform(0, 0, 60000, 60000));
        return ptApplyMap(s, nullptr, d, m, tf.get(), nullptr);
    });
}

void addHistogramCases(std::vector<Case>& cases) {
    for (const Shape& shape : {Shape{1, 1, 3, 0}, Shape{3, 2, 3, 1}, Shape{257, 13, 3, 5}, Shape{640, 427, 3, 3},
                               Shape{31, 9, 3, 2, IPL_DEPTH_16U}, Shape{9, 7, 4, 0}}) {
        cases.push_back({"ptCreateHistography+ptGetTemp/" + shape.label(), [shape](Hash& h) {
                             Picture src = makePicture(shape, 1);
                             Owned<Histography> histogram(ptCreateHistography(src.get()));
                             h.bytes(histogram.get(), sizeof(Histography));
                             double temperature = -1, green = -1;
                             ptGetTemp(histogram.get(), &temperature, &green);
                             h.real(temperature), h.real(green);
                         }});
    }
    for (const Shape& canvas : {Shape{2, 1, 3, 0}, Shape{257, 13, 3, 5}, Shape{320, 120, 3, 2}, Shape{1, 50, 3, 0}, Shape{50, 50, 4, 0}})
        for (bool blank : {true, false})
            cases.push_back({"ptDrawHistography/" + canvas.label() + (blank ? "/blank" : "/over-picture"), [canvas, blank](Hash& h) {
                                 Picture src = makePicture({640, 427, 3, 3}, 5);
                                 Owned<Histography> histogram(ptCreateHistography(src.get()));
                                 Picture target = makePicture(canvas, 2);
                                 if (blank) cvSetZero(target.get());
                                 ptDrawHistography(histogram.get(), target.get());
                                 h.picture(target.get());
                             }});
    // Histograms of flat pictures: the highest bar sits at the edge of the
    // range the drawing scales to, or just outside it.
    for (int level : {8, 9, 128, 246, 247})
        cases.push_back({"ptDrawHistography/peak-at=" + std::to_string(level), [level](Hash& h) {
                             Picture flat = makePicture({40, 30, 3, 0}, 1);
                             for (int y = 0; y < 30; ++y)  // a flat picture with a little spread at the top left
                                 for (int i = 0; i < 120; ++i)
                                     flat->imageData[y * flat->widthStep + i] = static_cast<char>(y < 3 && i < 9 ? 60 + i : level);
                             Owned<Histography> histogram(ptCreateHistography(flat.get()));
                             Picture target = makePicture({256, 40, 3, 1}, 2);
                             cvSetZero(target.get());
                             ptDrawHistography(histogram.get(), target.get());
                             h.picture(target.get());
                         }});
}

void addTemperatureCases(std::vector<Case>& cases) {
    cases.push_back({"ptTempToBalance/grid", [](Hash& h) {
                         for (double kelvin : {800.0, 1200.0, 2700.0, 4000.0, 5500.0, 6504.0, 8000.0, 12000.0, 20000.0})
                             for (double green : {0.01, 0.5, 1.0, 1.001, 2.0, 6.0})
                                 for (int start : {0, 100, 250}) {
                                     int r = start, g = start + 1, b = start + 2;
                                     ptTempToBalance(kelvin, green, &r, &g, &b);
                                     h.number(r), h.number(g), h.number(b);
                                 }
                     }});
    cases.push_back({"ptBalanceToTemp+ptColorToTemp/grid", [](Hash& h) {
                         for (int r : {0, 1, 50, 100, 180, 255})
                             for (int g : {0, 1, 60, 100, 199, 255})
                                 for (int b : {0, 40, 100, 255}) {
                                     double temperature = -1, green = -1;
                                     ptBalanceToTemp(r, g, b, &temperature, &green);
                                     h.real(temperature), h.real(green);
                                     temperature = -1, green = -1;
                                     ptColorToTemp(r, g, b, &temperature, &green);
                                     h.real(temperature), h.real(green);
                                 }
                     }});
    cases.push_back({"ptPickTemp/points", [](Hash& h) {
                         Picture src = makePicture({257, 13, 3, 5}, 1);
                         for (auto [x, y, radius] : {std::tuple{0, 0, 0}, {128, 6, 3}, {256, 12, 10}, {-5, -5, 4},
                                                     {300, 6, 2}, {100, 100, 1000}, {40, 3, -2}}) {
                             double temperature = -1, green = -1;
                             ptPickTemp(src.get(), x, y, radius, &temperature, &green);
                             h.real(temperature), h.real(green);
                         }
                     }});
}

}  // namespace golden
