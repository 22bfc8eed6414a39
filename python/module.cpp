// The module `lumetra`: the effect presets, compositing and the numbered
// effects over numpy pictures. Every library call runs without the GIL.
#include <opencv2/core.hpp>

#include "cli/cli.h"
#include "engine/catalogue.h"
#include "pixel/blend_names.h"
#include "python/binding.h"

namespace binding {

namespace {

void checkMode(const std::string& mode) {
    const std::string problem = cli::blendModeProblem(mode);
    if (!problem.empty()) throw py::value_error(problem);
}

std::optional<std::string> optionalText(py::handle value, const char* what) {
    if (value.is_none()) return std::nullopt;
    if (!py::isinstance<py::str>(value)) throw py::type_error(std::string(what) + " must be a str or None");
    return value.cast<std::string>();
}

py::object apply(py::handle picture, py::handle preset, py::handle vignette, py::handle frame, py::handle region,
                 py::handle pack, py::handle out) {
    Picture source = viewPicture(picture, "picture", Access::read, 3);
    const int presetIndex =
        preset.is_none() ? -1 : checkedInt(integerFrom(preset, "preset"), "preset", 0, LUMETRA_PRESET_COUNT - 1);
    const std::optional<std::string> vignetteName = optionalText(vignette, "vignette");
    const std::optional<std::string> frameSpec = optionalText(frame, "frame");
    if (frameSpec && frameSpec->empty()) throw py::value_error("frame needs a specification TYPE,THICKNESS,NAME");
    if (frameSpec)
        if (const std::optional<std::string> problem = cli::frameSpecProblem(*frameSpec))
            throw py::value_error("frame '" + *frameSpec + "': " + *problem);
    std::optional<EffectRegion> view = regionFrom(region);
    if (presetIndex < 0 && !vignetteName && !frameSpec)
        throw py::value_error("nothing to do: give preset, vignette or frame");
    Loader loader(pack);
    Destination destination = destinationFor(source, out);
    {
        py::gil_scoped_release released;
        if (destination.fillFromSource) copyPixels(source.header, destination.picture.header);
        fx(source.ipl(), destination.picture.ipl(), presetIndex, vignetteName ? vignetteName->c_str() : nullptr,
           frameSpec ? frameSpec->c_str() : nullptr, loader.function(), view ? &*view : nullptr, loader.userData());
    }
    loader.finish(frameSpec ? frameSpec->c_str() : nullptr);
    return destination.picture.array;
}

py::object blend(py::handle base, py::handle layer, const std::string& mode, long long opacity, py::handle region,
                 py::handle out) {
    Picture source = viewPicture(base, "base", Access::read);
    Picture over = viewPicture(layer, "layer", Access::read);
    checkMode(mode);
    const int percent = checkedInt(opacity, "opacity", 0, 1000);
    if (over.width() > 65535 || over.height() > 65535)
        throw py::value_error("layer is too large: at most 65535 pixels a side");
    std::optional<EffectRegion> view = regionFrom(region);
    Destination destination = destinationFor(source, out);
    py::gil_scoped_release released;
    if (destination.fillFromSource) copyPixels(source.header, destination.picture.header);
    AppplyTexture2(source.ipl(), destination.picture.ipl(), over.ipl(), percent, mode.c_str(), view ? &*view : nullptr);
    return destination.picture.array;
}

py::object effect(py::handle picture, long long family, py::handle index, py::handle layer, py::handle region,
                  py::handle out) {
    Picture source = viewPicture(picture, "picture", Access::read);
    const int familyNumber = checkedInt(family, "family", 1, 3);
    if (familyNumber == 1 && index.is_none()) throw py::value_error("family 1 needs index 1..93");
    const int look = index.is_none() ? 0 : checkedInt(integerFrom(index, "index"), "index", 1, 93);
    if (familyNumber == 3 && layer.is_none()) throw py::value_error("family 3 needs the frame picture: layer");
    std::optional<Picture> over;
    if (!layer.is_none()) over = viewPicture(layer, "layer", Access::read);
    std::optional<EffectRegion> view = regionFrom(region);
    Destination destination = destinationFor(source, out);
    py::gil_scoped_release released;
    if (destination.fillFromSource) copyPixels(source.header, destination.picture.header);
    AppplyEffect(source.ipl(), destination.picture.ipl(), over ? over->ipl() : nullptr, 0, familyNumber, look,
                 view ? &*view : nullptr);
    return destination.picture.array;
}

py::list presets() {
    py::list scripts;
    for (int index = 0; index < lumetra::kPresetCount; ++index) scripts.append(lumetra::presetScript(index));
    return scripts;
}

}  // namespace

}  // namespace binding

PYBIND11_MODULE(lumetra, module) {
    namespace py = pybind11;
    using namespace binding;
    module.doc() =
        "Photo effects over numpy pictures.\n\n"
        "Pictures are numpy uint8 arrays of shape (H, W, 3) or (H, W, 4), B,G,R(,A) as OpenCV-Python\n"
        "uses them. C-contiguous arrays and arrays whose rows are padded (a crop of the rows' width\n"
        "is not) are handed to the library without a copy. Each call returns a new array unless out=\n"
        "is given; out=picture works in place. Calls release the GIL, so threads run in parallel.";
    py::register_exception_translator([](std::exception_ptr raised) {
        try {
            if (raised) std::rethrow_exception(raised);
        } catch (const cli::UsageError& error) {
            PyErr_SetString(PyExc_ValueError, error.what());
        } catch (const cli::Failure& error) {  // a file that cannot be read or written
            PyErr_SetString(PyExc_ValueError, error.what());
        } catch (const cv::Exception& error) {
            PyErr_SetString(PyExc_RuntimeError, error.what());
        }
    });

    module.attr("PRESET_COUNT") = LUMETRA_PRESET_COUNT;
    module.attr("KIND_TEXTURE") = int(IMAGE_KIND_TEXTURE);
    module.attr("KIND_VIGNETTE") = int(IMAGE_KIND_VIGNETTE);
    module.attr("KIND_FRAME") = int(IMAGE_KIND_FRAME);
    py::list modes;
    for (const char* name : lumetra::kBlendModeNames) modes.append(name);
    module.attr("BLEND_MODES") = py::tuple(modes);

    module.def("apply", &apply, py::arg("picture"), py::arg("preset") = py::none(), py::arg("vignette") = py::none(),
               py::arg("frame") = py::none(), py::arg("region") = py::none(), py::arg("pack") = py::none(),
               py::arg("out") = py::none(),
               "apply(picture, preset=None, vignette=None, frame=None, region=None, pack=None, out=None)\n\n"
               "Runs up to three stages on a (H, W, 3) picture: the built-in preset `preset` (0..152, see\n"
               "presets()), the vignette mask named `vignette`, and the frame `frame` (\"TYPE,THICKNESS,NAME\").\n"
               "region=(x, y, width, height) renders the window at (x, y) of a width x height canvas.\n"
               "pack serves the pictures the stages name: a picture pack folder (textures/, vignettes/,\n"
               "frames/), a callable (kind, name) -> array | None (kind is KIND_TEXTURE, KIND_VIGNETTE or\n"
               "KIND_FRAME), or None (every picture missing). Exceptions raised by the callable are raised\n"
               "by apply; missing pictures and unusable frames give a UserWarning.\n"
               "Returns a new array, or out (out=picture works in place).");
    module.def("blend", &blend, py::arg("base"), py::arg("layer"), py::arg("mode"), py::arg("opacity") = 100,
               py::arg("region") = py::none(), py::arg("out") = py::none(),
               "blend(base, layer, mode, opacity=100, region=None, out=None)\n\n"
               "Lays `layer` (3 or 4 channels; its alpha scales the opacity) over `base` (3 or 4 channels)\n"
               "with one of BLEND_MODES at `opacity` percent (0..1000; past 100 the blend is pushed\n"
               "further). The layer is scaled to cover the picture (or the region's canvas), centred.");
    module.def("effect", &effect, py::arg("picture"), py::arg("family"), py::arg("index") = py::none(),
               py::arg("layer") = py::none(), py::arg("region") = py::none(), py::arg("out") = py::none(),
               "effect(picture, family, index=None, layer=None, region=None, out=None)\n\n"
               "One effect by number: family 1 is the look `index` (1..93), family 2 a vignette with\n"
               "`layer` as mask (or the radial falloff without one), family 3 `layer` (B,G,R,A) as a\n"
               "frame stretched over the picture or region.");
    module.def("presets", &presets,
               "presets() -> list[str]\n\nThe built-in preset catalogue: the effect script of each index.");
    registerPictureFiles(module);
    registerPhotoTools(module);
    registerTiltShift(module);
}
