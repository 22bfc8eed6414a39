// The two tilt-shift families as context managers. A pyramid context may be
// changed by an apply (keep=False), so its applies take turns; aperture
// applies only read theirs and run together. close() waits for running
// applies, then releases the context.
#include <mutex>
#include <shared_mutex>

#include "python/binding.h"

namespace binding {

namespace {

constexpr long kMaxCoordinate = 1000000;

int coordinate(long long value, const char* what) { return checkedInt(value, what, -kMaxCoordinate, kMaxCoordinate); }
int distance(long long value, const char* what) { return checkedInt(value, what, 0, kMaxCoordinate); }

void checkRamp(int inner, int outer) {
    if (inner == outer) throw py::value_error("inner and outer must differ");
}

// A (H, W, 3) result: out, or a new black picture of the given size.
Picture resultPicture(py::handle out, int width, int height) {
    if (!out.is_none()) return viewPicture(out, "out", Access::write, 3);
    return viewPicture(newPicture(height, width, 3, true), "out", Access::write, 3);
}

class PyramidShift {
public:
    explicit PyramidShift(py::handle picture) {
        Picture source = viewPicture(picture, "picture", Access::read, 3);
        width_ = source.width();
        height_ = source.height();
        py::gil_scoped_release released;
        context_ = doShiftStart(source.ipl());
        if (!context_) throw std::bad_alloc();
    }
    ~PyramidShift() { doShiftEnd(context_); }

    void close() {
        py::gil_scoped_release released;
        const std::lock_guard<std::mutex> turn(lock_);
        doShiftEnd(context_);
        context_ = nullptr;
    }

    template <class Call>
    py::object run(float strength, py::handle region, py::handle out, Call call) {
        const float blur = static_cast<float>(checkedNumber(strength, "strength", 0.0, 100.0));
        std::optional<EffectRegion> view = regionFrom(region);
        Picture result = out.is_none() && view ? resultPicture(out, view->width, view->height)
                                               : resultPicture(out, width_, height_);
        if (!view && (result.width() != width_ || result.height() != height_))
            throw py::value_error("out must have the picture's size without a region");
        {
            py::gil_scoped_release released;
            const std::lock_guard<std::mutex> turn(lock_);
            if (!context_) throw py::value_error("the tilt-shift context is closed");
            call(context_, result.ipl(), blur, view ? &*view : nullptr);
        }
        return result.array;
    }

private:
    TiltShiftContext* context_ = nullptr;
    std::mutex lock_;
    int width_ = 0, height_ = 0;
};

class ApertureShift {
public:
    ApertureShift(py::handle picture, py::handle shape, double radius) {
        Picture source = viewPicture(picture, "picture", Access::read, 3);
        Picture kernel = viewPicture(shape, "shape", Access::read, 3);
        const float factor = static_cast<float>(checkedNumber(radius, "radius", 0.0, 1.0));
        width_ = source.width();
        height_ = source.height();
        {
            py::gil_scoped_release released;
            context_ = doShiftApStart(source.ipl(), kernel.ipl(), factor);
        }
        if (!context_) throw py::value_error("the aperture shape has no green to blur with, or memory ran out");
    }
    ~ApertureShift() { doShiftApEnd(context_); }

    void close() {
        py::gil_scoped_release released;
        const std::unique_lock<std::shared_mutex> alone(lock_);
        doShiftApEnd(context_);
        context_ = nullptr;
    }

    template <class Call>
    py::object run(py::handle out, Call call) {
        Picture result = resultPicture(out, width_, height_);
        if (result.width() != width_ || result.height() != height_)
            throw py::value_error("out must have the picture's size");
        {
            py::gil_scoped_release released;
            const std::shared_lock<std::shared_mutex> reading(lock_);
            if (!context_) throw py::value_error("the tilt-shift context is closed");
            call(context_, result.ipl());
        }
        return result.array;
    }

private:
    ApertureContext* context_ = nullptr;
    std::shared_mutex lock_;
    int width_ = 0, height_ = 0;
};

}  // namespace

void registerTiltShift(py::module_& module) {
    py::class_<PyramidShift>(module, "TiltShift",
                             "Progressive blur away from a sharp disc or band, from a blur pyramid built once\n"
                             "for the picture. Use as a context manager (or call close()).")
        .def(py::init<py::handle>(), py::arg("picture"))
        .def("__enter__", [](PyramidShift& self) -> PyramidShift& { return self; },
             py::return_value_policy::reference)
        .def("__exit__", [](PyramidShift& self, py::args) { self.close(); })
        .def("close", &PyramidShift::close, "Releases the context; later applies raise ValueError.")
        .def(
            "disc",
            [](PyramidShift& self, double strength, long long cx, long long cy, long long inner, long long outer,
               py::handle region, bool keep, py::handle out) {
                const int x = coordinate(cx, "cx"), y = coordinate(cy, "cy");
                const int in = distance(inner, "inner"), to = distance(outer, "outer");
                checkRamp(in, to);
                return self.run(strength, region, out, [&](TiltShiftContext* c, IplImage* dst, float s, EffectRegion* r) {
                    AppplyShiftRound(c, dst, s, x, y, in, to, r, keep ? 0 : 1);
                });
            },
            py::arg("strength"), py::arg("cx"), py::arg("cy"), py::arg("inner"), py::arg("outer"),
            py::arg("region") = py::none(), py::arg("keep") = false, py::arg("out") = py::none(),
            "Sharp disc of radius inner around (cx, cy), fully blurred from outer on. strength 0..100\n"
            "is the largest blur relative to the picture. region=(x, y, width, height) renders a preview\n"
            "of that size. keep=True (without a region) keeps the result in the context.")
        .def(
            "line",
            [](PyramidShift& self, double strength, long long x1, long long y1, long long x2, long long y2,
               long long inner, long long outer, py::handle region, bool keep, py::handle out) {
                const int ax = coordinate(x1, "x1"), ay = coordinate(y1, "y1");
                const int bx = coordinate(x2, "x2"), by = coordinate(y2, "y2");
                const int in = distance(inner, "inner"), to = distance(outer, "outer");
                if (ax == bx && ay == by) throw py::value_error("line needs two different points");
                checkRamp(in, to);
                return self.run(strength, region, out, [&](TiltShiftContext* c, IplImage* dst, float s, EffectRegion* r) {
                    AppplyShiftLine(c, dst, s, ax, ay, bx, by, in, to, r, keep ? 0 : 1);
                });
            },
            py::arg("strength"), py::arg("x1"), py::arg("y1"), py::arg("x2"), py::arg("y2"), py::arg("inner"),
            py::arg("outer"), py::arg("region") = py::none(), py::arg("keep") = false, py::arg("out") = py::none(),
            "Sharp band within inner of the line through (x1, y1) and (x2, y2).")
        .def(
            "even",
            [](PyramidShift& self, double strength, py::handle region, py::handle out) {
                return self.run(strength, region, out, [](TiltShiftContext* c, IplImage* dst, float s,
                                                          EffectRegion* r) { AppplyShiftBlur(c, dst, s, r); });
            },
            py::arg("strength"), py::arg("region") = py::none(), py::arg("out") = py::none(),
            "The largest blur everywhere.");

    py::class_<ApertureShift>(module, "ApertureTiltShift",
                              "Progressive blur with a kernel shaped like the aperture picture `shape` (its green\n"
                              "channel), at radius 0..1 of the picture's smaller side. A context manager.")
        .def(py::init<py::handle, py::handle, double>(), py::arg("picture"), py::arg("shape"), py::arg("radius"))
        .def("__enter__", [](ApertureShift& self) -> ApertureShift& { return self; },
             py::return_value_policy::reference)
        .def("__exit__", [](ApertureShift& self, py::args) { self.close(); })
        .def("close", &ApertureShift::close, "Releases the context; later applies raise ValueError.")
        .def(
            "disc",
            [](ApertureShift& self, long long cx, long long cy, long long inner, long long outer, py::handle out) {
                const int x = coordinate(cx, "cx"), y = coordinate(cy, "cy");
                const int in = distance(inner, "inner"), to = distance(outer, "outer");
                checkRamp(in, to);
                return self.run(out, [&](ApertureContext* c, IplImage* dst) { ApplyShiftApRound(c, dst, x, y, in, to, 0); });
            },
            py::arg("cx"), py::arg("cy"), py::arg("inner"), py::arg("outer"), py::arg("out") = py::none(),
            "Sharp disc of radius inner around (cx, cy).")
        .def(
            "line",
            [](ApertureShift& self, long long x1, long long y1, long long x2, long long y2, long long inner,
               long long outer, py::handle out) {
                const int ax = coordinate(x1, "x1"), ay = coordinate(y1, "y1");
                const int bx = coordinate(x2, "x2"), by = coordinate(y2, "y2");
                const int in = distance(inner, "inner"), to = distance(outer, "outer");
                if (ax == bx && ay == by) throw py::value_error("line needs two different points");
                checkRamp(in, to);
                return self.run(out, [&](ApertureContext* c, IplImage* dst) {
                    ApplyShiftApLine(c, dst, ax, ay, bx, by, in, to, 0);
                });
            },
            py::arg("x1"), py::arg("y1"), py::arg("x2"), py::arg("y2"), py::arg("inner"), py::arg("outer"),
            py::arg("out") = py::none(), "Sharp band within inner of the line through the two points.")
        .def(
            "even", [](ApertureShift& self, py::handle out) {
                return self.run(out, [](ApertureContext* c, IplImage* dst) { ApplyShiftApBlur(c, dst, 0, 0); });
            },
            py::arg("out") = py::none(), "The largest blur everywhere.");
}

}  // namespace binding
