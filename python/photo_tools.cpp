// The photo tools: ColorMap (settings composed by its methods, rendered in
// one pass), Transform, Histogram, smoothing and quarter turns. Records are
// copied before a render releases the GIL, so a thread changing a map never
// races a render of it.
#include <array>
#include <cmath>
#include <memory>

#include "python/binding.h"

namespace binding {

namespace {

template <class Record>
using Owner = cli::RecordOwner<Record>;

template <class Record>
Owner<Record> checkedRecord(Record* record) {
    if (!record) throw std::bad_alloc();
    return Owner<Record>(record);
}

struct PyTransform {
    Owner<Transform> record;
};

struct PyHistogram {
    Owner<Histography> record;
};

struct PyColorMap {
    Owner<ColorMap> record;
    ColorMap* get() { return record.get(); }
};

std::array<int, 12> twelve(const std::vector<long long>& values, const char* what, long low, long high) {
    if (values.size() != 12) throw py::value_error(std::string(what) + " takes 12 values, one per hue anchor");
    std::array<int, 12> result{};
    for (size_t i = 0; i < 12; ++i) result[i] = checkedInt(values[i], what, low, high);
    return result;
}

py::array channelCounts(const uint32_t (&counts)[256]) {
    py::array_t<uint32_t> result(256);
    std::copy(std::begin(counts), std::end(counts), result.mutable_data());
    return result;
}

py::object render(PyColorMap& self, py::handle picture, std::optional<PyTransform*> transform, py::handle second,
                  py::handle out) {
    Picture source = viewPicture(picture, "picture", Access::read, 3);
    std::optional<Picture> blended;
    if (!second.is_none()) {
        blended = viewPicture(second, "second", Access::read, 3);
        if (blended->width() != source.width() || blended->height() != source.height())
            throw py::value_error("second must have the picture's shape");
    }
    std::optional<Picture> written;
    py::array result;
    if (out.is_none()) {
        result = newPicture(source.height(), source.width(), 3);
        written = viewPicture(result, "out", Access::write, 3);
    } else {
        written = viewPicture(out, "out", Access::write, 3);
        result = written->array;
        if (!transform && (written->width() > source.width() || written->height() > source.height()))
            throw py::value_error("out may not be larger than the picture without a transform");
    }
    const Owner<ColorMap> map = checkedRecord(ptCloneColorMap(self.get()));
    Transform geometry{};
    if (transform && *transform) geometry = *(*transform)->record;
    int done = 0;
    {
        py::gil_scoped_release released;
        done = ptApplyMap(source.ipl(), blended ? blended->ipl() : nullptr, written->ipl(), map.get(),
                          transform && *transform ? &geometry : nullptr, nullptr);
    }
    if (!done) throw py::value_error("the map cannot be rendered (lens reference length outside 1..46340 pixels)");
    return result;
}

void registerColorMap(py::module_& module) {
    using Self = PyColorMap;
    py::class_<Self>(module, "ColorMap",
                     "Photo-tool settings composed by the methods below (each returns the map, so calls chain)\n"
                     "and rendered in one pass by render(). A new map renders a picture unchanged.")
        .def(py::init([](std::optional<PyHistogram*> histogram) {
                 if (histogram && *histogram)
                     return Self{checkedRecord(ptNewColorMapWithHistography((*histogram)->record.get()))};
                 return Self{checkedRecord(ptNewColorMap())};
             }),
             py::arg("histogram") = py::none(), "ColorMap(histogram=None): a neutral map (carrying the histogram).")
        .def("copy", [](Self& self) { return Self{checkedRecord(ptCloneColorMap(self.get()))}; },
             "An independent copy of the map.")
        .def(
            "curve",
            [](Self& self, const std::vector<std::pair<double, double>>& points) -> Self& {
                std::vector<double> x, y;
                for (const auto& [px, py_] : points) {
                    x.push_back(checkedNumber(px, "curve x", 0.0, 1.0));
                    y.push_back(checkedNumber(py_, "curve y", 0.0, 1.0));
                }
                std::array<int, PT_CURVE_SIZE> table{};
                ptDrawCurve(static_cast<int>(x.size()), x.data(), y.data(), table.data());
                ptApplyCurveSP(self.get(), table.data());
                return self;
            },
            py::arg("points"), py::return_value_policy::reference,
            "Composes the natural spline through points [(x, y), ...] (x ascending, both 0..1) after the tones.")
        .def(
            "hue_saturation",
            [](Self& self, long long hue, long long saturation) -> Self& {
                ptAdjustColorGlobalSP(self.get(), checkedInt(hue, "hue", -360, 360),
                                      checkedInt(saturation, "saturation", -100, 100));
                return self;
            },
            py::arg("hue"), py::arg("saturation"), py::return_value_policy::reference,
            "Global hue rotation (degrees) and saturation (percent, -100 grey, +100 double).")
        .def(
            "adjust_color",
            [](Self& self, const std::vector<long long>& hue, const std::vector<long long>& saturation,
               const std::vector<long long>& lightness) -> Self& {
                const auto h = twelve(hue, "hue", -1000, 1000), s = twelve(saturation, "saturation", -100, 100),
                           l = twelve(lightness, "lightness", -100, 100);
                ptAdjustColor(self.get(), h.data(), s.data(), l.data());
                return self;
            },
            py::arg("hue"), py::arg("saturation"), py::arg("lightness"), py::return_value_policy::reference,
            "Per-hue shift (0.4 degree steps), saturation and lightness (percent) at 12 hue anchors\n"
            "(0 red, 2 yellow, 4 green, 6 cyan, 8 blue, 10 magenta and the hues between).")
        .def(
            "technicolor",
            [](Self& self, double c0, double c1, double c2, double c3, double c4, double c5) -> Self& {
                const double c[6] = {c0, c1, c2, c3, c4, c5};
                float v[6];
                for (int i = 0; i < 6; ++i) v[i] = static_cast<float>(checkedNumber(c[i], "technicolor", 0.0, 1.0));
                ptTechnicolor(self.get(), v[0], v[1], v[2], v[3], v[4], v[5]);
                return self;
            },
            py::arg("c0"), py::arg("c1"), py::arg("c2"), py::arg("c3"), py::arg("c4"), py::arg("c5"),
            py::return_value_policy::reference, "Two-colour mixing with six coefficients on 0..1.")
        .def(
            "blend",
            [](Self& self, long long opacity) -> Self& {
                ptBlend(self.get(), checkedInt(opacity, "opacity", 0, 100));
                return self;
            },
            py::arg("opacity"), py::return_value_policy::reference,
            "Blend with render()'s second picture at opacity percent.")
        .def(
            "lens_correction",
            [](Self& self, long long amount, long long radius) -> Self& {
                ptLensCorrection(self.get(), checkedInt(amount, "lens amount", -100, 100),
                                 checkedInt(radius, "lens radius", -1000, 1000));
                return self;
            },
            py::arg("amount"), py::arg("radius"), py::return_value_policy::reference,
            "Lens vignetting correction: amount percent (positive brightens corners), radius in hundredths.")
        .def(
            "aberration",
            [](Self& self, long long red, long long blue) -> Self& {
                ptAberration(self.get(), checkedInt(red, "aberration red", -2000, 2000),
                             checkedInt(blue, "aberration blue", -2000, 2000));
                return self;
            },
            py::arg("red"), py::arg("blue"), py::return_value_policy::reference,
            "Lateral chromatic aberration: red and blue read (1 + v/50000) times as far from the centre.")
        .def(
            "brightness",
            [](Self& self, long long amount) -> Self& {
                ptBrightnessSP(self.get(), checkedInt(amount, "brightness", -100, 100));
                return self;
            },
            py::arg("amount"), py::return_value_policy::reference, "Brightness, -100..100.")
        .def(
            "exposure",
            [](Self& self, long long stops100) -> Self& {
                ptRealExposure(self.get(), checkedInt(stops100, "exposure", -500, 500));
                return self;
            },
            py::arg("stops100"), py::return_value_policy::reference,
            "Exposure in hundredths of a stop on the channel gains (+100 doubles them).")
        .def(
            "tone_exposure",
            [](Self& self, long long amount) -> Self& {
                ptExposureSP(self.get(), checkedInt(amount, "tone exposure", -100, 100));
                return self;
            },
            py::arg("amount"), py::return_value_policy::reference, "Exposure as a tone curve, -100..100.")
        .def(
            "light_dark",
            [](Self& self, long long highlights, long long shadows) -> Self& {
                ptLightDarkSP(self.get(), checkedInt(highlights, "highlights", -100, 100),
                              checkedInt(shadows, "shadows", -100, 100));
                return self;
            },
            py::arg("highlights"), py::arg("shadows"), py::return_value_policy::reference,
            "Positive highlights flatten the top, positive shadows lift the bottom (-100..100).")
        .def(
            "contrast",
            [](Self& self, long long amount) -> Self& {
                ptContrastSP(self.get(), checkedInt(amount, "contrast", -100, 100));
                return self;
            },
            py::arg("amount"), py::return_value_policy::reference, "Contrast, -100..100 (positive: an S curve).")
        .def(
            "white_black_point",
            [](Self& self, long long white, long long black) -> Self& {
                ptWhiteBlackPoint(self.get(), checkedInt(white, "white point", 1, 255),
                                  checkedInt(black, "black point", 0, 254));
                return self;
            },
            py::arg("white"), py::arg("black"), py::return_value_policy::reference,
            "Stretches black..white (bytes) to the full range.")
        .def(
            "white_balance",
            [](Self& self, double temperature, double green) -> Self& {
                ptWhiteBalanceSP(self.get(), checkedNumber(temperature, "temperature", 1200, 12000),
                                 checkedNumber(green, "tint", 0.02, 5.0));
                return self;
            },
            py::arg("temperature"), py::arg("green") = 1.0, py::return_value_policy::reference,
            "White balance for a light of the given temperature (kelvin) and green factor.")
        .def("render", &render, py::arg("picture"), py::arg("transform") = py::none(), py::arg("second") = py::none(),
             py::arg("out") = py::none(),
             "render(picture, transform=None, second=None, out=None)\n\n"
             "Renders the map onto a new (H, W, 3) array (or out), reading picture through transform\n"
             "when given and blending with second (same shape) when the map asks for it.");
}

void registerTransformAndHistogram(py::module_& module) {
    py::class_<PyTransform>(module, "Transform",
                            "Where each destination pixel is read from: origin (x, y) on a width x height canvas\n"
                            "and a matrix built by the methods (each returns the transform).")
        .def(py::init([](int x, int y, int width, int height) {
                 return PyTransform{checkedRecord(ptNewTransform(x, y, width, height))};
             }),
             py::arg("x"), py::arg("y"), py::arg("width"), py::arg("height"))
        .def(
            "shift",
            [](PyTransform& self, float dx, float dy) -> PyTransform& {
                ptTransformShift(self.record.get(), dx, dy);
                return self;
            },
            py::arg("dx"), py::arg("dy"), py::return_value_policy::reference, "Shift by (dx, dy) pixels.")
        .def(
            "rotate",
            [](PyTransform& self, float angle) -> PyTransform& {
                ptTransformRotate(self.record.get(), angle);
                return self;
            },
            py::arg("angle"), py::return_value_policy::reference, "Rotate by angle radians.")
        .def(
            "scale",
            [](PyTransform& self, float sx, float sy) -> PyTransform& {
                ptTransformScale(self.record.get(), sx, sy);
                return self;
            },
            py::arg("sx"), py::arg("sy"), py::return_value_policy::reference, "Scale by (sx, sy).")
        .def_property_readonly(
            "matrix",
            [](const PyTransform& self) {
                const Transform& t = *self.record;
                return py::make_tuple(t.a, t.b, t.c, t.d, t.e, t.f);
            },
            "The Q15 matrix (a, b, c, d, e, f): source = (a x + b y + c, d x + e y + f).");

    py::class_<PyHistogram>(module, "Histogram", "Channel counts of a picture with a white-balance estimate.")
        .def(py::init([](py::handle picture) {
                 Picture view = viewPicture(picture, "picture", Access::read, 3);
                 Histography* record = nullptr;
                 {
                     py::gil_scoped_release released;
                     record = ptCreateHistography(view.ipl());
                 }
                 return PyHistogram{checkedRecord(record)};
             }),
             py::arg("picture"))
        .def_property_readonly("pixel_count", [](const PyHistogram& self) { return self.record->pixelCount; })
        .def_property_readonly("blue", [](const PyHistogram& self) { return channelCounts(self.record->blue); })
        .def_property_readonly("green", [](const PyHistogram& self) { return channelCounts(self.record->green); })
        .def_property_readonly("red", [](const PyHistogram& self) { return channelCounts(self.record->red); })
        .def_property_readonly("temperature", [](const PyHistogram& self) { return self.record->temperature; },
                               "Estimated colour temperature in kelvin (0: unknown).")
        .def_property_readonly("green_factor", [](const PyHistogram& self) { return self.record->greenFactor; })
        .def(
            "draw",
            [](PyHistogram& self, py::handle canvas) {
                Picture view = viewPicture(canvas, "canvas", Access::write, 3);
                if (view.width() < 2) throw py::value_error("canvas must be at least 2 pixels wide");
                py::gil_scoped_release released;
                ptDrawHistography(self.record.get(), view.ipl());
            },
            py::arg("canvas"), "Paints the three histograms over a (H, W, 3) canvas, in place.");
}

py::object smooth(py::handle picture, double radius, long long amount, long long threshold, py::handle out) {
    Picture source = viewPicture(picture, "picture", Access::read, 3);
    const double sigma = checkedNumber(radius, "radius", 0.0, 1000.0);
    const int percent = checkedInt(amount, "amount", -100, 500);
    const int level = checkedInt(threshold, "threshold", 0, 255);
    Destination destination = destinationFor(source, out);
    int done = 0;
    {
        py::gil_scoped_release released;
        if (destination.fillFromSource) copyPixels(source.header, destination.picture.header);
        done = ptSmoothFilterSP(source.ipl(), destination.picture.ipl(), sigma, percent, level, nullptr);
    }
    if (!done) throw std::bad_alloc();
    return destination.picture.array;
}

py::array rotate(py::handle picture, long long quarterTurns, bool mirror) {
    Picture source = viewPicture(picture, "picture", Access::read);
    IplImage* turned = nullptr;
    {
        py::gil_scoped_release released;
        turned = ptRotateClone(source.ipl(), static_cast<int>(quarterTurns % 4), mirror ? 1 : 0);
    }
    if (!turned) throw std::bad_alloc();
    const std::unique_ptr<IplImage, void (*)(IplImage*)> owner(turned, [](IplImage* p) { cvReleaseImage(&p); });
    py::array result = newPicture(turned->height, turned->width, 3);
    Picture view = viewPicture(result, "result", Access::write);
    copyPixels(*turned, view.header);
    return result;
}

}  // namespace

void registerPhotoTools(py::module_& module) {
    registerTransformAndHistogram(module);
    registerColorMap(module);
    module.def("smooth", &smooth, py::arg("picture"), py::arg("radius"), py::arg("amount"), py::arg("threshold") = 0,
               py::arg("out") = py::none(),
               "smooth(picture, radius, amount, threshold=0, out=None)\n\n"
               "Smooths (amount < 0, -100 is the Gaussian blur of sigma `radius`) or sharpens (amount > 0,\n"
               "an unsharp mask, up to 500) a (H, W, 3) picture; differences up to `threshold` (0..255)\n"
               "are left alone.");
    module.def("rotate", &rotate, py::arg("picture"), py::arg("quarter_turns"), py::arg("mirror") = false,
               "rotate(picture, quarter_turns, mirror=False) -> new (W, H, 3) or (H, W, 3) array\n\n"
               "Turns clockwise by quarter turns (modulo 4), then flips left to right when mirror.");
}

}  // namespace binding
