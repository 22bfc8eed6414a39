// The loader of one call: a picture pack folder or a Python callable. The C
// callback runs while the library holds no Python state: it takes the GIL
// for the callable, copies the returned array into a picture the library
// owns, and keeps any exception for the caller instead of letting it out.
#include <cstring>

#include "python/binding.h"

namespace binding {

Loader::Loader(py::handle pack) {
    if (pack.is_none()) return;
    if (py::isinstance<py::str>(pack) || py::hasattr(pack, "__fspath__")) {
        source_ = Source::folder;
        folder_.root = py::str(py::module_::import("os").attr("fspath")(pack)).cast<std::string>();
        folder_.holdWarnings = true;
        return;
    }
    if (!PyCallable_Check(pack.ptr()))
        throw py::type_error("pack must be None, a picture pack folder or a callable (kind, name) -> array | None");
    source_ = Source::callable;
    callable_ = py::reinterpret_borrow<py::object>(pack);
}

ImageLoaderFn Loader::function() const {
    switch (source_) {
        case Source::folder: return cli::loadWatchingFrames;
        case Source::callable: return callPython;
        default: return nullptr;
    }
}

void* Loader::userData() { return source_ == Source::folder ? static_cast<void*>(&watch_) : this; }

IplImage* LUMETRA_CALL Loader::callPython(int kind, const char* name, void* self) {
    auto* loader = static_cast<Loader*>(self);
    py::gil_scoped_acquire held;
    if (loader->error_) return nullptr;  // the call already failed: load nothing more
    try {
        return loader->loadFromCallable(kind, name);
    } catch (py::error_already_set& error) {
        loader->error_ = std::move(error);
    } catch (py::builtin_exception& error) {
        error.set_error();
        loader->error_ = py::error_already_set();
    } catch (const std::exception& error) {
        PyErr_SetString(PyExc_RuntimeError, error.what());
        loader->error_ = py::error_already_set();
    } catch (...) {
        PyErr_SetString(PyExc_RuntimeError, "the picture loader failed");
        loader->error_ = py::error_already_set();
    }
    return nullptr;
}

IplImage* Loader::loadFromCallable(int kind, const char* name) {
    const py::object result = callable_(kind, name ? name : "");
    if (result.is_none()) {
        if (kind == IMAGE_KIND_FRAME) watch_.unusable.push_back(name ? name : "");
        return nullptr;
    }
    const std::string what = "the loader's picture for '" + std::string(name ? name : "") + "'";
    const py::object packed = py::module_::import("numpy").attr("ascontiguousarray")(result);
    const Picture view = viewPicture(packed, what.c_str(), Access::read);
    if (kind == IMAGE_KIND_FRAME && view.channels() != 4) watch_.unusable.push_back(name);
    IplImage* owned = cvCreateImage(cvSize(view.width(), view.height()), IPL_DEPTH_8U, view.channels());
    copyPixels(view.header, *owned);
    return owned;
}

void Loader::finish(const char* frameSpec) {
    if (error_) {
        py::error_already_set error = std::move(*error_);
        error_.reset();
        throw error;
    }
    auto warn = [](const std::string& message) {
        if (PyErr_WarnEx(PyExc_UserWarning, message.c_str(), 2) < 0) throw py::error_already_set();
    };
    for (const std::string& path : folder_.warned) warn("picture '" + path + "' is missing or unreadable");
    if (frameSpec && !watch_.unusable.empty())
        warn("frame '" + std::string(frameSpec) + "': frame picture '" + watch_.unusable.front() +
             "' is missing or has no alpha channel; the frame (for type 5, its inner frame) was not drawn");
}

}  // namespace binding
